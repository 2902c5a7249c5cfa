#pragma once
// Number text with the decimal separator as a parameter: song files and the
// editor's fields use a comma, control files a point. No locale is involved.
#include <cstdint>
#include <string>
#include <string_view>

namespace MyServis {

// Optional sign and decimal digits, nothing else, within the 32-bit range.
bool TryParseInt32(std::string_view text, std::int32_t& value);
// Integer text or EConvertError "'%s' is not a valid integer value".
std::int32_t ParseInt32(std::string_view text);

// Blanks, optional sign, digits with at most one decimal separator, an optional
// exponent, blanks. Fails on anything else and on values out of the double range.
bool TryParseFloat(std::string_view text, char decimalSeparator, double& value);

// Fixed notation with at most `digits` significant digits; trailing zeros and a
// trailing separator left out: 300.25 -> "300,25", 123.456 with 5 digits -> "123,46".
std::string FormatGeneral(double value, int digits, char decimalSeparator);
// A whole number written without exponent, of any magnitude: 1234.5 -> "1234".
std::string FormatRounded(double value);
// The shortest text that reads back as the same double, with a point.
std::string FormatShortest(double value);

} // namespace MyServis
