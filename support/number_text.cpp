#include "support/number_text.h"

#include "support/runtime_errors.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace MyServis {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

} // namespace

bool TryParseInt32(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > 2147483648LL) return false;
  }
  std::int64_t result = negative ? -magnitude : magnitude;
  if (result > 2147483647LL) return false;
  value = static_cast<std::int32_t>(result);
  return true;
}

std::int32_t ParseInt32(std::string_view text) {
  std::int32_t value = 0;
  if (!TryParseInt32(text, value))
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

bool TryParseFloat(std::string_view text, char decimalSeparator, double& value) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  std::string plain; // the number with a point, as from_chars reads it
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  std::size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
    plain += text[i];
  if (i < text.size() && text[i] == decimalSeparator) {
    plain += '.';
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits)
      plain += text[i];
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    std::size_t exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits)
      plain += text[i];
    if (exponentDigits == 0) return false;
  }
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  if (i != text.size()) return false;
  double parsed = 0;
  auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), parsed);
  if (error != std::errc() || end != plain.data() + plain.size()) return false;
  value = parsed;
  return true;
}

std::string FormatGeneral(double value, int digits, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  // The value rounded to `digits` significant digits: d.ddd e exponent. to_chars,
  // unlike printf, never looks at the locale that the window toolkit sets.
  char scientific[64];
  auto written = std::to_chars(scientific, scientific + sizeof scientific, value,
                               std::chars_format::scientific, digits - 1);
  std::string text(scientific, written.ptr);
  bool negative = text.front() == '-';
  if (negative) text.erase(0, 1);
  std::size_t e = text.find('e');
  int exponent = std::atoi(text.c_str() + e + 1);
  std::string mantissa;
  for (std::size_t i = 0; i < e; ++i) {
    if (IsDigit(text[i])) mantissa += text[i];
  }
  std::string whole, fraction;
  if (exponent >= 0) {
    auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
    if (mantissa.size() < wholeDigits) mantissa.append(wholeDigits - mantissa.size(), '0');
    whole = mantissa.substr(0, wholeDigits);
    fraction = mantissa.substr(wholeDigits);
  } else {
    whole = "0";
    fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
  }
  while (!fraction.empty() && fraction.back() == '0')
    fraction.pop_back();
  std::string result = negative ? "-" : "";
  result += whole;
  if (!fraction.empty()) result += decimalSeparator + fraction;
  return result;
}

std::string FormatRounded(double value) {
  double rounded = std::nearbyint(value);
  if (rounded == 0) return "0";
  char text[400];
  auto written = std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, 0);
  return std::string(text, written.ptr);
}

std::string FormatShortest(double value) {
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return std::string(text, error == std::errc() ? end : text);
}

} // namespace MyServis
