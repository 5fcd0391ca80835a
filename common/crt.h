#pragma once
// Number rules of the C runtime that the file formats depend on.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessera {

// The C runtime's atoi rule: skip leading white space (space, \t, \n, \v, \f, \r), take one
// optional '+' or '-', then decimal digits up to the first non-digit. Text without digits
// gives 0. A value beyond the 32-bit range saturates: it gives INT32_MAX, or INT32_MIN for a
// negative one (the C standard leaves it undefined; saturation keeps the sign and never wraps).
int32_t crtAtoi(std::string_view text);

// The C runtime's atof rule in the C locale: leading white space skipped, then the longest
// decimal number with an optional sign, point and exponent; a text without a leading number
// gives 0 (so do hexadecimal and infinity forms, which the meters never write).
double crtAtof(std::string_view text);

// "%d" formatting of a signed 32-bit integer.
std::string formatInt(int32_t value);

} // namespace tessera
