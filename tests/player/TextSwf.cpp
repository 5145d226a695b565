#include "player/TextSwf.h"

#include "player/SwfBuilder.h"

using namespace SwfBuilder;

namespace TextSwf {

namespace {

QByteArray RectOf(const QRect& twips) {
  return Rect(twips.left(), twips.left() + twips.width(), twips.top(),
              twips.top() + twips.height());
}

// The block glyph in units of scale: from (100, -800) 600 wide and 800 high.
QByteArray BlockGlyph(int scale) {
  Writer writer;
  writer.Bits(1, 4).Bits(0, 4);
  writer.Bits(0, 1).Bits(0x05, 5).Bits(18, 5);
  writer.SignedBits(100 * scale, 18).SignedBits(-800 * scale, 18).Bits(1, 1);
  const auto edge = [&](bool vertical, int delta) {
    writer.Bits(1, 1).Bits(1, 1).Bits(15, 4).Bits(0, 1).Bits(vertical, 1);
    writer.SignedBits(delta * scale, 17);
  };
  edge(false, 600);
  edge(true, 800);
  edge(false, -600);
  edge(true, -800);
  writer.Bits(0, 6);
  return writer.Data();
}

} // namespace

QByteArray EditText(int id, const Field& field) {
  Writer writer;
  writer.U16(id).Bytes(RectOf(field.Twips));
  writer.U8((field.Text.isEmpty() ? 0 : 0x80) | (field.WordWrap ? 0x40 : 0) |
            (field.Multiline ? 0x20 : 0) | 0x04 | (field.Font ? 0x01 : 0));
  writer.U8(0x20 | (field.Border ? 0x08 : 0) | (field.Html ? 0x02 : 0) |
            (field.Outlines ? 0x01 : 0));
  if (field.Font)
    writer.U16(field.Font).U16(field.Height);
  writer.U8(field.Color.red()).U8(field.Color.green()).U8(field.Color.blue()).U8(255);
  writer.U8(field.Align).U16(0).U16(0).U16(quint16(field.Indent)).U16(0);
  writer.Text(field.Variable);
  if (!field.Text.isEmpty())
    writer.Text(field.Text);
  return Tag(37, writer.Data());
}

QByteArray DeviceFont(int id, const QString& name) {
  const QByteArray bytes = name.toUtf8();
  return Tag(48, Writer().U16(id).U8(0).U8(0).U8(int(bytes.size())).Bytes(bytes).U16(0).Data());
}

QByteArray BlockFont(int id, int version, QChar character, bool bold) {
  return GlyphFont(id, version, character, BlockGlyph(version == 3 ? 20 : 1), bold);
}

QByteArray GlyphFont(int id, int version, QChar character, const QByteArray& glyph, bool bold) {
  const int scale = version == 3 ? 20 : 1;
  if (version == 1) {
    const QByteArray font = Tag(10, Writer().U16(id).U16(2).Bytes(glyph).Data());
    const QByteArray info =
        Tag(13, Writer().U16(id).U8(5).Bytes("Block").U8(0).U8(character.unicode()).Data());
    return font + info;
  }
  Writer writer;
  writer.U16(id).U8(0x84 | (bold ? 0x01 : 0)).U8(0).U8(5).Bytes("Block").U16(1);
  writer.U16(4).U16(4 + int(glyph.size())).Bytes(glyph).U16(character.unicode());
  writer.U16(900 * scale).U16(200 * scale).U16(0).U16(800 * scale);
  writer.Bytes(Rect(100 * scale, 700 * scale, -800 * scale, 0)).U16(0);
  return Tag(version == 3 ? 75 : 48, writer.Data());
}

QByteArray MeasuredFont(int id, const QString& name,
                        const std::vector<std::pair<QChar, int>>& advances, int ascent,
                        int descent) {
  const QByteArray glyph = BlockGlyph(20);
  const int count = int(advances.size());
  const QByteArray nameBytes = name.toUtf8();
  Writer writer;
  writer.U16(id).U8(0x84).U8(0).U8(int(nameBytes.size())).Bytes(nameBytes).U16(count);
  for (int i = 0; i <= count; ++i)
    writer.U16(2 * (count + 1) + i * int(glyph.size()));
  for (int i = 0; i < count; ++i)
    writer.Bytes(glyph);
  for (const auto& [character, advance] : advances)
    writer.U16(character.unicode());
  writer.U16(ascent).U16(descent).U16(0);
  for (const auto& [character, advance] : advances)
    writer.U16(advance);
  for (int i = 0; i < count; ++i)
    writer.Bytes(Rect(2000, 14000, -16000, 0));
  writer.U16(0);
  return Tag(75, writer.Data());
}

QByteArray StaticText(int id, int version, const QRect& bounds, int font, int height, QColor color,
                      int count, int advance, int translateX, int translateY, double scale) {
  Writer writer;
  writer.U16(id).Bytes(RectOf(bounds)).Bytes(Matrix(translateX, translateY, scale));
  writer.U8(1).U8(16); // glyph and advance bits
  writer.U8(0x8F).U16(font).U8(color.red()).U8(color.green()).U8(color.blue());
  if (version == 2)
    writer.U8(color.alpha());
  writer.U16(0).U16(0).U16(height).U8(count);
  for (int i = 0; i < count; ++i)
    writer.Bits(0, 1).SignedBits(advance, 16);
  writer.U8(0);
  return Tag(version == 2 ? 33 : 11, writer.Data());
}

QByteArray Button(int id, int version, int upCharacter, int overCharacter, int x, int y) {
  Writer writer;
  writer.U16(id);
  if (version == 2)
    writer.U8(0).U16(0);
  for (const auto& [state, character] : {std::pair{0x01, upCharacter}, {0x02, overCharacter}}) {
    writer.U8(state).U16(character).U16(1).Bytes(Matrix(x, y));
    if (version == 2)
      writer.Bits(0, 2).Bits(1, 4).Align(); // colour transform without terms
  }
  writer.U8(0).U8(0); // end of records, no actions
  return Tag(version == 2 ? 34 : 7, writer.Data());
}

QByteArray MorphShape(int id, const QRect& start, const QRect& end) {
  Writer writer;
  writer.U16(id).Bytes(RectOf(start)).Bytes(RectOf(end)).U32(4);
  writer.U8(0).U8(0).U8(0).U8(0).U8(0).U8(0); // no styles, empty start and end edges
  return Tag(46, writer.Data());
}

QByteArray PlaceWithRatio(int depth, int character, int ratio) {
  return Tag(26, Writer().U8(0x12).U16(depth).U16(character).U16(ratio).Data());
}

QByteArray VideoStream(int id, int width, int height) {
  return Tag(60, Writer().U16(id).U16(10).U16(width).U16(height).U8(0).U8(2).Data());
}

} // namespace TextSwf
