#include "model/QelStrFunct.h"

#include "platform/Numbers.h"

#include <gtest/gtest.h>

namespace {

TEST(QelStrFunctTest, StrAfterAndStrBeforeCutAtTheFirstDelimiter) {
  EXPECT_EQ(StrAfter("Name=Value", "="), "Value");
  EXPECT_EQ(StrBefore("Name=Value", "="), "Name");
  EXPECT_EQ(StrAfter("a=b=c", "="), "b=c");
  EXPECT_EQ(StrBefore("a=b=c", "="), "a");
  EXPECT_EQ(StrBefore("=v", "="), "");
  EXPECT_EQ(StrAfter("k=", "="), "");
  EXPECT_EQ(StrAfter("abc", "="), "");
  EXPECT_EQ(StrAfter("abc", ""), "");
  EXPECT_EQ(StrAfter("", "="), "");
}

TEST(QelStrFunctTest, DelimiterSearchFoldsOnlyAsciiLetters) {
  EXPECT_EQ(StrAfter("xKEYy", "key"), "y");
  EXPECT_EQ(StrBefore("xKeYy", "kEy"), "x");
  // Accented, Cyrillic and letters that Unicode upper-cases to ASCII all compare exactly.
  EXPECT_EQ(StrAfter(QStringLiteral("aÉb"), QStringLiteral("é")), "");
  EXPECT_EQ(StrAfter(QStringLiteral("aЖb"), QStringLiteral("ж")), "");
  EXPECT_EQ(StrAfter(QStringLiteral("aſb"), QStringLiteral("s")), "");
  EXPECT_EQ(StrBefore(QStringLiteral("aıb"), QStringLiteral("I")), "");
  EXPECT_EQ(StrAfter(QStringLiteral("xéKEYy"), QStringLiteral("éKey")), "y");
}

TEST(QelStrFunctTest, QuoteAndJoinKeepTheirPartsUnchanged) {
  EXPECT_EQ(QuoteStr("it's"), "'it's'");
  EXPECT_EQ(JoinStrings(",", {"a", "", "b"}), "a,,b");
  EXPECT_EQ(JoinStrings(",", {}), "");
}

TEST(QelStrFunctTest, SplitToLinesKeepsEveryEmptyPiece) {
  EXPECT_EQ(SplitToLines("&", "a=1&&b=2&"), "a=1\r\n\r\nb=2\r\n\r\n");
  EXPECT_EQ(SplitToLines("&", ""), "\r\n");
  EXPECT_EQ(SplitToLines("&", "&"), "\r\n\r\n");
  EXPECT_EQ(SplitToLines("", "a&b"), "a&b\r\n");
  EXPECT_EQ(SplitToLines("::", "a::b:c"), "a\r\nb:c\r\n");
  EXPECT_EQ(SplitToLines("&", "A&a"), "A\r\na\r\n");
}

TEST(QelStrFunctTest, SplitToLinesTreatsQuestionMarkAsAnyCharacter) {
  EXPECT_EQ(SplitToLines("?", "ab"), "\r\n\r\n\r\n");
  EXPECT_EQ(SplitToLines("a?c", "xabcyadcz"), "x\r\ny\r\nz\r\n");
  EXPECT_EQ(SplitToLines("??", "abc"), "\r\nc\r\n");
  EXPECT_EQ(SplitToLines("x?", "ax"), "ax\r\n"); // a match may not run past the end
}

TEST(QelStrFunctTest, StringListTextFormRoundTripsAndSplitsAtEveryBreak) {
  EXPECT_EQ(StringListToText({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(TextToStringList(""), QStringList());
  EXPECT_EQ(TextToStringList("\r\n"), QStringList({""}));
  EXPECT_EQ(TextToStringList("a\r\nb"), QStringList({"a", "b"}));
  EXPECT_EQ(TextToStringList("a\rb\nc\r\n"), QStringList({"a", "b", "c"}));
  EXPECT_EQ(TextToStringList("a\n\rb"), QStringList({"a", "", "b"}));
  EXPECT_EQ(TextToStringList("a\r\n\r\n"), QStringList({"a", ""}));
  EXPECT_EQ(TextToStringList("a\r"), QStringList({"a"}));
  const QStringList lines{"x", "", "y=1", ""};
  EXPECT_EQ(TextToStringList(StringListToText(lines)), lines);
}

TEST(QelStrFunctTest, StrToFloatDefPointTakesPointAndCommaUnderEitherSeparator) {
  const QChar saved = DecimalSeparator();
  for (const QChar separator : {QChar(u'.'), QChar(u',')}) {
    SetDecimalSeparator(separator);
    EXPECT_EQ(StrToFloatDefPoint("12.5", 0), 12.5);
    EXPECT_EQ(StrToFloatDefPoint("12,5", 0), 12.5);
    EXPECT_EQ(StrToFloatDefPoint(" -0.25 ", 0), -0.25);
    EXPECT_EQ(StrToFloatDefPoint("1.5E2", 0), 150.0);
    EXPECT_EQ(StrToFloatDefPoint("abc", 7), 7.0);
    EXPECT_EQ(StrToFloatDefPoint("", -3), -3.0);
    EXPECT_EQ(StrToFloatDefPoint("1.000,5", 9), 9.0); // two decimal points do not convert
    EXPECT_EQ(StrToFloatDefPoint("1 000", 9), 9.0);
  }
  SetDecimalSeparator(saved);
}

TEST(QelStrFunctTest, ExtractFileBaseNameDropsDirectoryAndLastExtension) {
  EXPECT_EQ(ExtractFileBaseName("C:\\clips\\Ok.swf"), "Ok");
  EXPECT_EQ(ExtractFileBaseName("./objects/a.b.swf"), "a.b");
  EXPECT_EQ(ExtractFileBaseName("C:Ok.swf"), "Ok");
  EXPECT_EQ(ExtractFileBaseName("Ok"), "Ok");
  EXPECT_EQ(ExtractFileBaseName("dir/.swf"), "");
  EXPECT_EQ(ExtractFileBaseName("dir.v2/clip"), "clip");
  EXPECT_EQ(ExtractFileBaseName("dir/"), "");
}

TEST(QelStrFunctTest, AddUniqueComparesCaseSensitively) {
  QStringList list{"A"};
  AddUnique("a", list);
  EXPECT_EQ(list, QStringList({"A", "a"}));
  QStringList twice{"a", "a"};
  AddUnique("a", twice);
  EXPECT_EQ(twice, QStringList({"a", "a"}));
}

} // namespace
