#pragma once

#include <string>
#include <string_view>

namespace lumaro::text {

// True when the two UTF-8 texts are canonically equivalent (equal after NFC),
// so "é" precomposed equals "e" + combining acute. Ill-formed UTF-8 falls back
// to byte equality.
bool canonicallyEqual(std::string_view a, std::string_view b);

// The NFC form of a UTF-8 text, so canonically equivalent texts give equal keys.
std::string canonicalKey(std::string_view text);

}  // namespace lumaro::text
