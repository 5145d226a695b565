#include "player/swf/SwfTextReader.h"

#include "player/swf/SwfBudget.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfReader.h"

namespace {

// Font flags of DefineFont2 and DefineFont3.
constexpr quint8 FontHasLayout = 0x80;
constexpr quint8 FontWideOffsets = 0x08;
constexpr quint8 FontWideCodes = 0x04;
constexpr quint8 FontItalic = 0x02;
constexpr quint8 FontBold = 0x01;
// DefineFont3 glyphs are drawn at twenty times the resolution of the older fonts.
constexpr double EmSquare = 1024;
constexpr double EmSquareFont3 = 20 * EmSquare;

// The bytes from..to of data; throws when they are not all inside it.
QByteArrayView Slice(QByteArrayView data, qsizetype from, qsizetype to) {
  if (from < 0 || to < from || to > data.size())
    throw SwfError("font glyph table points outside its tag");
  return data.sliced(from, to - from);
}

QString FontName(QByteArrayView bytes, int swfVersion) {
  QString name = swfVersion >= 6 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
  while (name.endsWith(QChar(0)))
    name.chop(1);
  return name;
}

// One glyph: a SHAPE whose edges all bound the glyph's single fill.
QPainterPath ReadGlyph(QByteArrayView bytes, SwfBudget& budget) {
  SwfReader reader(bytes);
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  if (reader.AtEnd())
    return path;
  const int fillBits = int(reader.Bits(4));
  const int lineBits = int(reader.Bits(4));
  QPoint pen;
  for (;;) {
    budget.Consume();
    if (reader.Bits(1)) {
      const bool straight = reader.Bits(1);
      const int bits = int(reader.Bits(4)) + 2;
      if (straight) {
        const bool general = reader.Bits(1);
        const bool vertical = !general && reader.Bits(1);
        const int dx = general || !vertical ? reader.SignedBits(bits) : 0;
        const int dy = general || vertical ? reader.SignedBits(bits) : 0;
        pen += QPoint(dx, dy);
        path.lineTo(pen);
      } else {
        const int controlX = reader.SignedBits(bits);
        const int controlY = reader.SignedBits(bits);
        const int anchorX = reader.SignedBits(bits);
        const int anchorY = reader.SignedBits(bits);
        const QPoint control = pen + QPoint(controlX, controlY);
        pen = control + QPoint(anchorX, anchorY);
        path.quadTo(control, pen);
      }
      continue;
    }
    const quint32 flags = reader.Bits(5);
    if (flags == 0)
      break;
    if (flags & 0x10)
      throw SwfError("glyph outline with styles of its own");
    if (flags & 0x01) {
      const int bits = int(reader.Bits(5));
      const int x = reader.SignedBits(bits);
      pen = QPoint(x, reader.SignedBits(bits));
      path.moveTo(pen);
    }
    for (const quint32 flag : {0x02u, 0x04u})
      if (flags & flag)
        reader.Bits(fillBits);
    if (flags & 0x08)
      reader.Bits(lineBits);
  }
  return path;
}

void ReadCodes(SwfReader& reader, bool wide, SwfFont& font) {
  font.GlyphByCode.clear();
  font.CodeOfGlyph.clear();
  for (int glyph = 0; glyph < int(font.Glyphs.size()); ++glyph) {
    const char16_t code = wide ? reader.U16() : reader.U8();
    font.GlyphByCode.insert(code, glyph);
    font.CodeOfGlyph.push_back(code);
  }
}

SwfFont ReadFont1(SwfReader& reader, SwfBudget& budget) {
  SwfFont font;
  const QByteArrayView table = reader.Bytes(reader.Remaining());
  if (table.isEmpty())
    return font;
  SwfReader offsets(table);
  const int first = offsets.U16();
  const int count = first / 2;
  std::vector<qsizetype> starts{first};
  for (int i = 1; i < count; ++i)
    starts.push_back(offsets.U16());
  starts.push_back(table.size());
  for (int i = 0; i < count; ++i)
    font.Glyphs.push_back(
        ReadGlyph(Slice(table, starts[size_t(i)], starts[size_t(i) + 1]), budget));
  return font;
}

SwfFont ReadFont2(SwfReader& reader, int fontVersion, int swfVersion, SwfBudget& budget) {
  SwfFont font;
  const quint8 flags = reader.U8();
  reader.U8(); // language
  font.Name = FontName(reader.Bytes(reader.U8()), swfVersion);
  font.Bold = flags & FontBold;
  font.Italic = flags & FontItalic;
  font.EmSquare = fontVersion == 3 ? EmSquareFont3 : EmSquare;
  const int count = reader.U16();
  // A font with no glyphs only names a device font.
  if (count == 0)
    return font;
  budget.Consume(std::size_t(count));
  const QByteArrayView table = reader.Bytes(reader.Remaining());
  SwfReader offsets(table);
  const bool wideOffsets = flags & FontWideOffsets;
  std::vector<qsizetype> starts;
  for (int i = 0; i <= count; ++i) // the last one is where the code table starts
    starts.push_back(wideOffsets ? qsizetype(offsets.U32()) : qsizetype(offsets.U16()));
  for (int i = 0; i < count; ++i)
    font.Glyphs.push_back(
        ReadGlyph(Slice(table, starts[size_t(i)], starts[size_t(i) + 1]), budget));
  SwfReader rest(Slice(table, starts.back(), table.size()));
  ReadCodes(rest, fontVersion == 3 || (flags & FontWideCodes), font);
  if (flags & FontHasLayout) {
    font.Ascent = rest.U16();
    font.Descent = rest.U16();
    font.Leading = rest.S16();
    for (int i = 0; i < count; ++i)
      font.Advances.push_back(rest.S16());
  }
  return font;
}

SwfTextAlign Alignment(quint8 code) {
  switch (code) {
  case 1:
    return SwfTextAlign::Right;
  case 2:
    return SwfTextAlign::Center;
  case 3:
    return SwfTextAlign::Justify;
  default:
    return SwfTextAlign::Left;
  }
}

std::shared_ptr<const SwfFont> FindFont(const SwfFontTable& fonts, int id) {
  const auto found = fonts.find(id);
  return found == fonts.end() ? nullptr : found->second;
}

} // namespace

SwfFont ReadSwfFont(SwfReader& reader, int fontVersion, int swfVersion, SwfBudget& budget) {
  return fontVersion == 1 ? ReadFont1(reader, budget)
                          : ReadFont2(reader, fontVersion, swfVersion, budget);
}

void ReadSwfFontInfo(SwfReader& reader, int infoVersion, int swfVersion, SwfFont& font) {
  font.Name = FontName(reader.Bytes(reader.U8()), swfVersion);
  const quint8 flags = reader.U8();
  font.Italic = flags & 0x04;
  font.Bold = flags & 0x02;
  if (infoVersion == 2)
    reader.U8(); // language
  ReadCodes(reader, infoVersion == 2 || (flags & 0x01), font);
}

SwfEditText ReadSwfEditText(SwfReader& reader, int swfVersion, const SwfFontTable& fonts) {
  SwfEditText text;
  text.Bounds = reader.Rect();
  const quint8 flags = reader.U8();
  const quint8 flags2 = reader.U8();
  const bool hasText = flags & 0x80;
  text.WordWrap = flags & 0x40;
  text.Multiline = flags & 0x20;
  text.Password = flags & 0x10;
  text.ReadOnly = flags & 0x08;
  const bool hasColor = flags & 0x04;
  const bool hasMaxLength = flags & 0x02;
  const bool hasFont = flags & 0x01;
  const bool hasFontClass = flags2 & 0x80;
  text.AutoSize = flags2 & 0x40;
  const bool hasLayout = flags2 & 0x20;
  text.NoSelect = flags2 & 0x10;
  text.Border = flags2 & 0x08;
  text.Html = flags2 & 0x02;
  text.UseOutlines = flags2 & 0x01;
  if (hasFont)
    text.Font = FindFont(fonts, reader.U16());
  if (hasFontClass)
    reader.CString(swfVersion);
  if (hasFont || hasFontClass)
    text.Height = reader.U16();
  if (hasColor)
    text.Color = reader.Rgba();
  if (hasMaxLength)
    text.MaxLength = reader.U16();
  if (hasLayout) {
    text.Align = Alignment(reader.U8());
    text.LeftMargin = reader.U16();
    text.RightMargin = reader.U16();
    text.Indent = reader.S16(); // a hanging first line has a negative indent
    text.Leading = reader.S16();
  }
  text.Variable = reader.CString(swfVersion);
  if (hasText)
    text.InitialText = reader.CString(swfVersion);
  return text;
}

SwfStaticText ReadSwfStaticText(SwfReader& reader, int textVersion, const SwfFontTable& fonts,
                                SwfBudget& budget, bool* fontMissing) {
  SwfStaticText text;
  const QRectF bounds = reader.Rect();
  const QTransform matrix = reader.Matrix();
  const int glyphBits = reader.U8();
  const int advanceBits = reader.U8();
  std::shared_ptr<const SwfFont> font;
  QColor color = Qt::black;
  double height = 0;
  QPointF pen;
  for (quint8 flags = reader.U8(); flags != 0; flags = reader.U8()) {
    budget.Consume();
    if (flags & 0x08) {
      font = FindFont(fonts, reader.U16());
      if (!font && fontMissing)
        *fontMissing = true;
    }
    if (flags & 0x04)
      color = textVersion == 2 ? reader.Rgba() : reader.Rgb();
    if (flags & 0x01)
      pen.setX(reader.S16());
    if (flags & 0x02) {
      pen.setY(reader.S16());
      const qsizetype start = text.Characters.size();
      if (start > 0 && (text.LineStarts.empty() || text.LineStarts.back() != start))
        text.LineStarts.push_back(start);
    }
    if (flags & 0x08)
      height = reader.U16();
    if (text.Runs.empty() || text.Runs.back().Color != color)
      text.Runs.push_back({color, {}});
    QPainterPath& path = text.Runs.back().Path;
    const int glyphs = reader.U8();
    budget.Consume(std::size_t(glyphs));
    for (int i = 0; i < glyphs; ++i) {
      const quint32 glyph = reader.Bits(glyphBits);
      const int advance = reader.SignedBits(advanceBits);
      if (font && glyph < font->CodeOfGlyph.size())
        text.Characters += QChar(font->CodeOfGlyph[glyph]);
      if (font && glyph < font->Glyphs.size()) {
        // A glyph's outline is copied for every use: its size counts each time.
        budget.Consume(std::size_t(font->Glyphs[glyph].elementCount()));
        const double scale = height / font->EmSquare;
        const QTransform place(scale, 0, 0, scale, pen.x(), pen.y());
        path.addPath((place * matrix).map(font->Glyphs[glyph]));
      }
      pen.rx() += advance;
    }
  }
  text.Bounds = matrix.mapRect(bounds);
  return text;
}
