#include "text/canonical_equivalence.hpp"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

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

}  // namespace lumaro::text
