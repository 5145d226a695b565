#include "tools/swfgen/ClipDescription.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace swfgen;

namespace {

// The tags of an uncompressed movie with a one-byte frame RECT header of the given size.
QList<std::pair<int, QByteArray>> TagsOf(const QByteArray& file) {
  const int rectBits = 5 + 4 * (quint8(file[8]) >> 3);
  qsizetype at = 8 + (rectBits + 7) / 8 + 4;
  QList<std::pair<int, QByteArray>> tags;
  while (at + 2 <= file.size()) {
    const quint16 header = qFromLittleEndian<quint16>(file.constData() + at);
    at += 2;
    qsizetype length = header & 0x3F;
    if (length == 0x3F) {
      length = qFromLittleEndian<quint32>(file.constData() + at);
      at += 4;
    }
    tags.append({header >> 6, file.mid(at, length)});
    at += length;
  }
  return tags;
}

} // namespace

TEST(TextFieldDirectiveTest, ReadsTheFieldAndKeepsTheSpacesOfItsText) {
  QString error;
  const auto description =
      ClipDescription::parse("text 6 -3 150 22 #FFEE00 14 center item.text  Zone  1 \n"
                             "text 0 0 10 10 #000000 9 right _root.caption",
                             &error);
  ASSERT_TRUE(description) << error.toStdString();
  ASSERT_EQ(description->textFields.size(), 2);
  const ClipDescription::TextField& first = description->textFields[0];
  EXPECT_EQ(first.pixels, QRect(6, -3, 150, 22));
  EXPECT_EQ(first.color, qRgb(0xFF, 0xEE, 0x00));
  EXPECT_EQ(first.size, 14);
  EXPECT_EQ(first.align, TextAlign::Center);
  EXPECT_EQ(first.variable, "item.text");
  EXPECT_EQ(first.initialText, "Zone  1");
  EXPECT_EQ(description->textFields[1].align, TextAlign::Right);
  EXPECT_EQ(description->textFields[1].initialText, "");

  const std::pair<const char*, const char*> faults[] = {
      {"text 1 2 3 4 #FFFFFF 12 middle v",
       "line 1: alignment must be left, center or right, not \"middle\""},
      {"text 1 2 3 4 #FFFFFF 12 left", "line 1: \"text\" takes at least 8 argument(s)"},
      {"text 1 2 3 4 #FFFFFF 0 left v", "line 1: \"0\" is no whole number from 1 to 52428"},
  };
  for (const auto& [text, message] : faults) {
    EXPECT_FALSE(ClipDescription::parse(QString::fromLatin1(text), &error)) << text;
    EXPECT_EQ(error, QString::fromLatin1(message));
  }
}

TEST(TextFieldDirectiveTest, WritesOneDeviceFontAndAFieldPerDirectiveAboveTheShapes) {
  QString error;
  const auto description = ClipDescription::parse(
      "frame 100 50\nrect 0 0 100 50 #102030\ntext 5 10 90 20 #FFFFFF 14 center item.caption "
      "Power\ntext 0 0 10 10 #000000 9 left v\nload",
      &error);
  ASSERT_TRUE(description) << error.toStdString();
  const auto tags = TagsOf(description->toSwf());
  QList<int> codes;
  for (const auto& [code, body] : tags)
    codes << code;
  EXPECT_EQ(codes, (QList<int>{2, 26, 48, 37, 26, 37, 26, 12, 1, 0}));

  // The font: id 2, no flags, the name "_sans", no glyphs.
  EXPECT_EQ(tags[2].second, QByteArray("\x02\x00\x00\x00\x05_sans\x00\x00", 12));
  // The field: id 3, bounds at 100,200 twips 1800 x 400, read-only with text, colour and
  // font; laid out, not selectable; font 2 of 280 twips, white, centred, no margins.
  const QByteArray field = tags[3].second;
  EXPECT_EQ(qFromLittleEndian<quint16>(field.constData()), 3);
  const QByteArray afterBounds = QByteArray("\x8D\x30\x02\x00\x18\x01\xFF\xFF\xFF\xFF\x02", 11) +
                                 QByteArray(8, '\0') + QByteArray("item.caption\0Power\0", 19);
  EXPECT_TRUE(field.endsWith(afterBounds));
  // A field without text ends with its variable name after the opaque black, left-aligned
  // layout.
  EXPECT_TRUE(tags[5].second.endsWith(QByteArray("\xFF", 1) + QByteArray(9, '\0') + "v" +
                                      QByteArray(1, '\0')));
}
