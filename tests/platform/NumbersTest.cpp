#include "platform/Numbers.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Runs each test under a decimal point and a decimal comma, restoring the process setting.
class NumbersTest : public testing::TestWithParam<QChar> {
protected:
  void SetUp() override {
    saved = DecimalSeparator();
    SetDecimalSeparator(GetParam());
  }
  void TearDown() override { SetDecimalSeparator(saved); }

  // Writes a number text given with "." in the current separator.
  static QString Local(QString text) { return text.replace(u'.', DecimalSeparator()); }

  QChar saved;
};

INSTANTIATE_TEST_SUITE_P(Separators, NumbersTest, testing::Values(QChar(u'.'), QChar(u',')),
                         [](const auto& info) {
                           return info.param == u'.' ? std::string("Point") : std::string("Comma");
                         });

TEST_P(NumbersTest, RoundDecimalsTakesHalvesAwayFromZeroOnTheExactExpansion) {
  EXPECT_EQ(RoundDecimals(10.125, 2), 10.13); // exactly a half
  EXPECT_EQ(RoundDecimals(-10.125, 2), -10.13);
  EXPECT_EQ(RoundDecimals(1.005, 2), 1.0);  // held as slightly less than the half
  EXPECT_EQ(RoundDecimals(2.675, 2), 2.67); // likewise
  EXPECT_EQ(RoundDecimals(2.345, 2), 2.35); // held as slightly more than the half
  EXPECT_EQ(RoundDecimals(12.5, 0), 13.0);
  EXPECT_EQ(RoundDecimals(-12.5, 0), -13.0);
  EXPECT_EQ(RoundDecimals(0.5, 0), 1.0);
  EXPECT_EQ(RoundDecimals(2.5, 0), 3.0); // not to even
  EXPECT_EQ(RoundDecimals(9.995, 2), 9.99);
  EXPECT_EQ(RoundDecimals(99.996, 2), 100.0); // carry through every digit
  EXPECT_EQ(RoundDecimals(0.004, 2), 0.0);
  EXPECT_FALSE(std::signbit(RoundDecimals(-0.004, 2)));
}

TEST_P(NumbersTest, FlashTextHasTwoDecimalsAndAPointWhateverTheSeparator) {
  EXPECT_EQ(FloatToFlashText(10.125), "10.13");
  EXPECT_EQ(FloatToFlashText(-2.5), "-2.50");
  EXPECT_EQ(FloatToFlashText(3), "3.00");
  EXPECT_EQ(FloatToFlashText(1.005), "1.00");
  EXPECT_EQ(FloatToFlashText(0.005), "0.01");
  EXPECT_EQ(FloatToFlashText(-0.001), "0.00");
  EXPECT_EQ(FloatToFlashText(99.999), "100.00");
  EXPECT_EQ(FloatToFlashText(123456.785), "123456.79");
  EXPECT_EQ(FloatToFlashText(1e12), "1000000000000.00");
}

TEST_P(NumbersTest, GeneralFormIsShortWithTheCurrentSeparator) {
  EXPECT_EQ(FloatToText(12.5), Local("12.5"));
  EXPECT_EQ(FloatToText(100), "100");
  EXPECT_EQ(FloatToText(0), "0");
  EXPECT_EQ(FloatToText(-0.0), "0");
  EXPECT_EQ(FloatToText(0.1 + 0.2), Local("0.3"));
  EXPECT_EQ(FloatToText(1.0 / 3), Local("0.333333333333333"));
  EXPECT_EQ(FloatToText(2.0 / 3), Local("0.666666666666667"));
  EXPECT_EQ(FloatToText(123456789.125), Local("123456789.125"));
}

TEST_P(NumbersTest, GeneralFormSwitchesToScientificOutsideItsFixedRange) {
  EXPECT_EQ(FloatToText(0.0001), Local("0.0001"));
  EXPECT_EQ(FloatToText(0.00012345), Local("0.00012345"));
  EXPECT_EQ(FloatToText(0.00001), "1E-5");
  EXPECT_EQ(FloatToText(-0.000015), Local("-1.5E-5"));
  EXPECT_EQ(FloatToText(999999999999999.0), "999999999999999");
  EXPECT_EQ(FloatToText(999999999999999.5), "1E15"); // rounds up to 16 integer digits
  EXPECT_EQ(FloatToText(1e15), "1E15");
  EXPECT_EQ(FloatToText(1.5e20), Local("1.5E20"));
  EXPECT_EQ(FloatToText(1234567890123456789.0), Local("1.23456789012346E18"));
  EXPECT_EQ(FloatToText(std::numeric_limits<double>::max()), Local("1.79769313486232E308"));
  EXPECT_EQ(FloatToText(std::numeric_limits<double>::denorm_min()), Local("4.94065645841247E-324"));
}

TEST_P(NumbersTest, GeneralFormReadsBackToTheSameValue) {
  for (const double value : {12.5, -0.25, 1e-5, 1.5e20, 640.0, 0.0001, -123456.789}) {
    double read = 0;
    ASSERT_TRUE(TextToFloat(FloatToText(value), read)) << FloatToText(value).toStdString();
    EXPECT_DOUBLE_EQ(read, value);
  }
}

TEST_P(NumbersTest, TextToFloatAcceptsTheDocumentedForms) {
  const auto read = [](const QString& text) {
    double value = -999;
    EXPECT_TRUE(TextToFloat(Local(text), value)) << text.toStdString();
    return value;
  };
  EXPECT_EQ(read("12.5"), 12.5);
  EXPECT_EQ(read("  -12.5  "), -12.5);
  EXPECT_EQ(read("+7"), 7.0);
  EXPECT_EQ(read(".5"), 0.5);
  EXPECT_EQ(read("5."), 5.0);
  EXPECT_EQ(read("1E3"), 1000.0);
  EXPECT_EQ(read("1.5e-2"), 0.015);
  EXPECT_EQ(read("2E+2"), 200.0);
  EXPECT_EQ(read("1E-400"), 0.0);
  EXPECT_EQ(read("1E-99999999999999999999"), 0.0);
  EXPECT_EQ(read("000123"), 123.0);
}

TEST_P(NumbersTest, TextToFloatRejectsEverythingElseAndKeepsTheValue) {
  for (const char* text :
       {"",    " ",    "-",  "+",   ".",    "abc", "12a", "1.2.3", "1 000",
        "1E",  "1E+",  "E5", "--1", "0x10", "inf", "nan", "1E400", "1E99999999999999999999",
        "\t1", "1e5.5"}) {
    double value = 42;
    EXPECT_FALSE(TextToFloat(Local(QString::fromLatin1(text)), value)) << text;
    EXPECT_EQ(value, 42.0) << text;
  }
}

TEST_P(NumbersTest, TextToFloatTakesOnlyTheCurrentSeparator) {
  const QChar other = DecimalSeparator() == u'.' ? u',' : u'.';
  double value = 0;
  EXPECT_FALSE(TextToFloat(QStringLiteral("12") + other + QStringLiteral("5"), value));
  EXPECT_FALSE(TextToFloat(QStringLiteral("1") + other + QStringLiteral("000") +
                               DecimalSeparator() + QStringLiteral("5"),
                           value));
}

TEST_P(NumbersTest, WholeTextRoundsHalvesAwayFromZero) {
  EXPECT_EQ(FloatToWholeText(12.5), "13");
  EXPECT_EQ(FloatToWholeText(-12.5), "-13");
  EXPECT_EQ(FloatToWholeText(0.5), "1");
  EXPECT_EQ(FloatToWholeText(0.49999999999999994), "0");
  EXPECT_EQ(FloatToWholeText(-0.4), "0");
  EXPECT_EQ(FloatToWholeText(99.5), "100");
  EXPECT_EQ(FloatToWholeText(123456789.5), "123456790");
}

} // namespace
