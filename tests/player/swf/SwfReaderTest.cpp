#include "player/swf/SwfReader.h"

#include "player/swf/SwfError.h"

#include <QByteArray>
#include <bit>
#include <gtest/gtest.h>

TEST(SwfReader, ReadsLittleEndianNumbersAndBitFields) {
  const QByteArray data = QByteArray::fromHex("3412"
                                              "78563412"
                                              "feff"
                                              "b5"
                                              "c0"
                                              "00");
  SwfReader reader(data);
  EXPECT_EQ(reader.U16(), 0x1234);
  EXPECT_EQ(reader.U32(), 0x12345678u);
  EXPECT_EQ(reader.S16(), -2);
  // 0xb5 = 1011 0101: a 3-bit field 5, then a signed 5-bit field 10101 = -11.
  EXPECT_EQ(reader.Bits(3), 5u);
  EXPECT_EQ(reader.SignedBits(5), -11);
  // A bit field crossing into the next byte, then a byte read that drops the rest.
  EXPECT_EQ(reader.Bits(1), 1u);
  EXPECT_EQ(reader.U8(), 0);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(SwfReader, ReadsDoublesHighWordFirstAndTextByVersion) {
  const quint64 bits = std::bit_cast<quint64>(0.1);
  QByteArray data;
  for (const quint32 word : {quint32(bits >> 32), quint32(bits)})
    for (int i = 0; i < 4; ++i)
      data.append(char(word >> (8 * i)));
  data.append("caf\xc3\xa9", 5).append('\0').append("caf\xe9", 4).append('\0');
  SwfReader reader(data);
  EXPECT_EQ(reader.SplitDouble(), 0.1);
  EXPECT_EQ(reader.CString(6), QString::fromUtf8("café"));
  EXPECT_EQ(reader.CString(5), QString::fromUtf8("café"));
}

TEST(SwfReader, ThrowsInsteadOfReadingPastTheEnd) {
  const QByteArray three("\x01\x02\x03", 3);
  EXPECT_THROW(SwfReader(three).U32(), SwfError);
  EXPECT_THROW(SwfReader(three).Bits(25), SwfError);
  EXPECT_THROW(SwfReader(three).Bytes(4), SwfError);
  EXPECT_THROW(SwfReader(three).Bytes(-1), SwfError);
  EXPECT_THROW(SwfReader(three).CString(10), SwfError);
  EXPECT_THROW(SwfReader(three).Bits(33), SwfError);
  EXPECT_THROW(SwfReader(QByteArray()).Rect(), SwfError);
  SwfReader reader(three);
  reader.U16();
  EXPECT_THROW(reader.U16(), SwfError);
}
