#include "text/canonical_equivalence.hpp"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace lumaro::text {

bool canonicallyEqual(std::string_view a, std::string_view b) {
  if (a == b) return true;
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return false;
  const auto ua = icu::UnicodeString::fromUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())));
  const auto ub = icu::UnicodeString::fromUTF8(icu::StringPiece(b.data(), static_cast<int32_t>(b.size())));
  const icu::UnicodeString na = nfc->normalize(ua, status);
  const icu::UnicodeString nb = nfc->normalize(ub, status);
  if (U_FAILURE(status)) return false;
  return na == nb;
}

std::string canonicalKey(std::string_view text) {
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return std::string(text);
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return std::string(text);
  const auto unicode = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  const icu::UnicodeString normalized = nfc->normalize(unicode, status);
  if (U_FAILURE(status)) return std::string(text);
  std::string key;
  normalized.toUTF8String(key);
  return key;
}

}  // namespace lumaro::text
