#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The shared textual forms of diagnostic lines.
namespace lumaro::diag {

// IOKit-style return code as signed 32-bit decimal ("-536870212").
std::string code(std::int32_t returnCode);

// Upper-case hexadecimal, zero-padded to at least four digits, no prefix ("05AC").
// Negative values print their low 32 bits, as a 32-bit %X would.
std::string hex4(std::int64_t value);

// "true" / "false".
std::string boolean(bool value);

// Shortest decimal form that reads back to the same single-precision value,
// always with a fractional part or exponent: 0.5, 1.0, 0.49803922, 1e-05.
std::string floatValue(float value);

// As floatValue, or "nil" when absent.
std::string optionalFloat(std::optional<float> value);

}  // namespace lumaro::diag
