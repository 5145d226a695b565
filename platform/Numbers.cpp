#include "platform/Numbers.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr int GeneralPrecision = 15;
// A double's exact decimal expansion never needs more significant digits than this.
constexpr int ExactSignificantDigits = 770;
// Exponents are held up to this size: beyond it any text in memory over- or underflows.
constexpr long ExponentLimit = 1'000'000'000'000;

char16_t InitialSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.isEmpty() ? u'.' : point.front().unicode();
}

std::atomic<char16_t>& SeparatorStorage() {
  static std::atomic<char16_t> separator{InitialSeparator()};
  return separator;
}

// A finite value as its decimal digits: value = 0.Digits * 10^PointPosition, with no leading
// or trailing zeros in Digits; no digits means zero.
struct DecimalDigits {
  bool Negative = false;
  std::string Digits;
  int PointPosition = 0;
};

// An upper bound of the significant digits of a finite, non-zero magnitude's exact decimal
// expansion: its integer digits and one decimal per binary place below the point that the
// mantissa uses. Asking for no more keeps a whole number at a few digits and the usual
// geometry value at a few dozen, instead of hundreds.
int ExactDigitBound(double magnitude) {
  int exponent = 0;
  const double fraction = std::frexp(magnitude, &exponent);
  constexpr int MantissaBits = std::numeric_limits<double>::digits;
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, MantissaBits));
  const int binaryPlaces = MantissaBits - exponent - std::countr_zero(mantissa);
  // Below 2^exponent a number has at most exponent * log10(2) + 1 integer digits; one more
  // covers the rounding of the factor.
  const int integerDigits = exponent > 0 ? exponent * 30103 / 100000 + 2 : 0;
  return std::min(ExactSignificantDigits, integerDigits + std::max(0, binaryPlaces));
}

DecimalDigits ExactDigits(double value) {
  DecimalDigits result;
  result.Negative = std::signbit(value);
  if (value == 0)
    return result;
  std::array<char, ExactSignificantDigits + 16> buffer{};
  const double magnitude = std::fabs(value);
  const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                     std::chars_format::scientific, ExactDigitBound(magnitude));
  // "d.ddd...e[+-]xx": the first digit, the digits after the point, the decimal exponent.
  const std::string_view text(buffer.data(), written.ptr - buffer.data());
  const auto exponentMark = text.find('e');
  result.Digits.reserve(exponentMark);
  result.Digits.push_back(text.front());
  result.Digits.append(text.substr(2, exponentMark - 2));
  result.Digits.erase(result.Digits.find_last_not_of('0') + 1);
  std::string_view exponentText = text.substr(exponentMark + 1);
  if (exponentText.front() == '+')
    exponentText.remove_prefix(1);
  int exponent = 0;
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
  result.PointPosition = exponent + 1;
  return result;
}

// Keeps the first keep significant digits; a dropped part of half a unit or more rounds the
// magnitude up.
void RoundToDigits(DecimalDigits& number, int keep) {
  if (keep >= static_cast<int>(number.Digits.size()))
    return;
  const bool up = keep >= 0 && number.Digits[keep] >= '5';
  keep = std::max(keep, 0);
  number.Digits.resize(keep);
  if (up) {
    while (!number.Digits.empty() && number.Digits.back() == '9')
      number.Digits.pop_back();
    if (number.Digits.empty()) {
      number.Digits.assign(1, '1');
      ++number.PointPosition;
    } else {
      ++number.Digits.back();
    }
  }
  number.Digits.erase(number.Digits.find_last_not_of('0') + 1);
  if (number.Digits.empty())
    number.PointPosition = 0;
}

DecimalDigits RoundedDigits(double value, int decimals) {
  DecimalDigits number = ExactDigits(value);
  RoundToDigits(number, std::min(GeneralPrecision, number.PointPosition + decimals));
  return number;
}

char DigitAt(const DecimalDigits& number, int index) {
  return index >= 0 && index < static_cast<int>(number.Digits.size()) ? number.Digits[index] : '0';
}

QString SignText(const DecimalDigits& number) {
  return number.Negative && !number.Digits.empty() ? QStringLiteral("-") : QString();
}

QString FixedText(const DecimalDigits& number, int decimals, QChar separator) {
  QString text = SignText(number);
  if (number.PointPosition <= 0)
    text += u'0';
  for (int i = 0; i < number.PointPosition; ++i)
    text += QLatin1Char(DigitAt(number, i));
  if (decimals > 0)
    text += separator;
  for (int i = 0; i < decimals; ++i)
    text += QLatin1Char(DigitAt(number, number.PointPosition + i));
  return text;
}

QString ScientificText(const DecimalDigits& number, QChar separator) {
  QString text = SignText(number) + QLatin1Char(number.Digits.front());
  if (number.Digits.size() > 1)
    text += separator + QString::fromLatin1(number.Digits.substr(1));
  return text + u'E' + QString::number(number.PointPosition - 1);
}

bool NonFiniteText(double value, QString& text) {
  if (std::isnan(value))
    text = QStringLiteral("NAN");
  else if (std::isinf(value))
    text = value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  else
    return false;
  return true;
}

bool IsAsciiDigit(QChar c) {
  return c >= u'0' && c <= u'9';
}

// Reads a run of ASCII digits starting at position; returns how many there were.
qsizetype ReadDigits(const QString& text, qsizetype& position, std::string& digits) {
  const qsizetype start = position;
  while (position < text.size() && IsAsciiDigit(text[position]))
    digits += static_cast<char>(text[position++].unicode());
  return position - start;
}

void SkipBlanks(const QString& text, qsizetype& position) {
  while (position < text.size() && text[position] == u' ')
    ++position;
}

bool ReadSign(const QString& text, qsizetype& position) {
  if (position < text.size() && (text[position] == u'+' || text[position] == u'-'))
    return text[position++] == u'-';
  return false;
}

} // namespace

QChar DecimalSeparator() {
  return QChar(SeparatorStorage().load());
}

void SetDecimalSeparator(QChar separator) {
  SeparatorStorage().store(separator.unicode());
}

double RoundDecimals(double value, int decimals) {
  if (!std::isfinite(value))
    return value;
  const DecimalDigits number = RoundedDigits(value, decimals);
  if (number.Digits.empty())
    return 0.0;
  const std::string text =
      (number.Negative ? "-0." : "0.") + number.Digits + "e" + std::to_string(number.PointPosition);
  double rounded = 0;
  std::from_chars(text.data(), text.data() + text.size(), rounded);
  return rounded;
}

QString FloatToFlashText(double value) {
  QString text;
  if (NonFiniteText(value, text))
    return text;
  return FixedText(RoundedDigits(value, 2), 2, u'.');
}

QString FloatToText(double value) {
  QString text;
  if (NonFiniteText(value, text))
    return text;
  DecimalDigits number = ExactDigits(value);
  RoundToDigits(number, GeneralPrecision);
  if (number.Digits.empty())
    return QStringLiteral("0");
  if (number.PointPosition < -3 || number.PointPosition > GeneralPrecision)
    return ScientificText(number, DecimalSeparator());
  const int decimals = std::max(0, static_cast<int>(number.Digits.size()) - number.PointPosition);
  return FixedText(number, decimals, DecimalSeparator());
}

bool TextToFloat(const QString& text, double& value) {
  qsizetype position = 0;
  SkipBlanks(text, position);
  const bool negative = ReadSign(text, position);
  std::string integerDigits;
  std::string fractionDigits;
  qsizetype digitCount = ReadDigits(text, position, integerDigits);
  if (position < text.size() && text[position] == DecimalSeparator()) {
    ++position;
    digitCount += ReadDigits(text, position, fractionDigits);
  }
  if (digitCount == 0)
    return false;
  long exponent = 0;
  if (position < text.size() && (text[position] == u'E' || text[position] == u'e')) {
    ++position;
    const bool negativeExponent = ReadSign(text, position);
    std::string exponentDigits;
    if (ReadDigits(text, position, exponentDigits) == 0)
      return false;
    for (const char digit : exponentDigits)
      exponent = std::min(ExponentLimit, exponent * 10 + (digit - '0'));
    if (negativeExponent)
      exponent = -exponent;
  }
  SkipBlanks(text, position);
  if (position != text.size())
    return false;

  const std::string normalized = (integerDigits.empty() ? "0" : integerDigits) + "." +
                                 (fractionDigits.empty() ? "0" : fractionDigits) + "e" +
                                 std::to_string(exponent);
  double magnitude = 0;
  const auto parsed =
      std::from_chars(normalized.data(), normalized.data() + normalized.size(), magnitude);
  if (parsed.ec == std::errc::result_out_of_range) {
    // Too large to hold fails; too small to hold reads as zero.
    const auto firstNonZero = (integerDigits + fractionDigits).find_first_not_of('0');
    if (static_cast<long>(integerDigits.size() - firstNonZero) + exponent > 0)
      return false;
    magnitude = 0;
  } else if (parsed.ec != std::errc() || std::isinf(magnitude)) {
    return false;
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

QString FloatToWholeText(double value) {
  QString text;
  if (NonFiniteText(value, text))
    return text;
  DecimalDigits number = ExactDigits(value);
  RoundToDigits(number, number.PointPosition);
  return FixedText(number, 0, u'.');
}
