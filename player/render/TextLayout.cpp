#include "player/render/TextLayout.h"

#include "player/swf/SwfMovie.h"
#include "player/swf/SwfText.h"

#include <QFontDatabase>
#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <algorithm>

namespace {

// Space kept free inside a field's bounds on every side.
constexpr double Gutter = 2 * TwipsPerPixel;
// Parts of the em above and below the baseline for a font that does not say.
constexpr double DefaultAscent = 0.8;
constexpr double DefaultDescent = 0.2;
// Advance of a character the embedded font has no glyph for, in ems.
constexpr double MissingGlyphAdvance = 0.25;
// Outline elements one field may hold; glyphs beyond them are not drawn.
constexpr int MaxOutlineElements = 200'000;

QRectF TextArea(const SwfEditText& field) {
  return field.Bounds.adjusted(Gutter + field.LeftMargin, Gutter, -Gutter - field.RightMargin,
                               -Gutter);
}

QString ShownText(const SwfEditText& field, const QString& text) {
  QString shown = field.Html ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
  shown.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
  shown.replace(QChar::Nbsp, u' ');
  if (field.Password)
    shown.fill(u'*');
  return shown;
}

// The installed family standing in for a device font: the device font names and the common
// Windows names map to the metric-compatible Liberation families, so text keeps the width
// and line height it has in the reference; a name not installed falls back to the default.
QString DeviceFamily(const QString& name) {
  static const QHash<QString, QString> families = {
      {QStringLiteral("_sans"), QStringLiteral("Liberation Sans")},
      {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
      {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
      {QStringLiteral("_serif"), QStringLiteral("Liberation Serif")},
      {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
      {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
      {QStringLiteral("_typewriter"), QStringLiteral("Liberation Mono")},
      {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
      {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
  };
  const QString mapped = families.value(name.toLower());
  if (!mapped.isEmpty())
    return mapped;
  return QFontDatabase::hasFamily(name) ? name : families.value(QStringLiteral("_serif"));
}

QFont DeviceFont(const SwfEditText& field) {
  QFont font(DeviceFamily(field.Font ? field.Font->Name : QStringLiteral("_serif")));
  font.setPixelSize(std::max(1, int(std::lround(field.Height))));
  if (field.Font) {
    font.setBold(field.Font->Bold);
    font.setItalic(field.Font->Italic);
  }
  return font;
}

Qt::Alignment AlignmentFlag(SwfTextAlign align) {
  switch (align) {
  case SwfTextAlign::Right:
    return Qt::AlignRight;
  case SwfTextAlign::Center:
    return Qt::AlignHCenter;
  case SwfTextAlign::Justify:
    return Qt::AlignJustify;
  case SwfTextAlign::Left:
    break;
  }
  return Qt::AlignLeft;
}

struct PlacedGlyph {
  int Index = -1; // -1: the font has no glyph for the character
  double Advance = 0;
  bool Space = false;
};

// Where each line of glyphs ends: greedy breaks after the last space that fits, or
// before the glyph that does not fit when a word is wider than the line.
std::vector<std::size_t> LineEnds(const std::vector<PlacedGlyph>& glyphs, double firstWidth,
                                  double width, bool wordWrap) {
  std::vector<std::size_t> ends;
  std::size_t start = 0;
  do {
    const double available = ends.empty() ? firstWidth : width;
    double used = 0;
    std::size_t end = start;
    std::size_t afterSpace = 0;
    for (; end < glyphs.size(); ++end) {
      if (wordWrap && end > start && used + glyphs[end].Advance > available) {
        if (afterSpace > start)
          end = afterSpace;
        break;
      }
      used += glyphs[end].Advance;
      if (glyphs[end].Space)
        afterSpace = end + 1;
    }
    ends.push_back(end);
    start = end;
  } while (start < glyphs.size());
  return ends;
}

} // namespace

TextLayout::TextLayout(const SwfEditText& field, const QString& text) : FField(field) {
  static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
  const QStringList paragraphs = ShownText(field, text).split(lineBreak);
  if (field.UseOutlines && field.Font && !field.Font->Glyphs.empty())
    LayOutOutlines(paragraphs);
  else
    LayOutDeviceText(paragraphs);
}

TextLayout::~TextLayout() = default;

void TextLayout::LayOutDeviceText(const QStringList& paragraphs) {
  const QFont font = DeviceFont(FField);
  QTextOption option(AlignmentFlag(FField.Align));
  option.setWrapMode(FField.WordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                     : QTextOption::NoWrap);
  const QRectF area = TextArea(FField);
  double top = area.top();
  for (const QString& paragraph : paragraphs) {
    if (top > FField.Bounds.bottom())
      break;
    auto layout = std::make_unique<QTextLayout>(paragraph, font);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    // Lines below the field would be clipped away: they are not made.
    while (top <= FField.Bounds.bottom()) {
      QTextLine line = layout->createLine();
      if (!line.isValid())
        break;
      const double indent = line.lineNumber() == 0 ? FField.Indent : 0;
      line.setLineWidth(std::max(0.0, area.width() - indent));
      line.setPosition(QPointF(area.left() + indent, top));
      FTextSize.setWidth(std::max(FTextSize.width(), line.naturalTextWidth() + indent));
      FTextSize.setHeight(FTextSize.height() + line.height() + FField.Leading);
      FLineHeights.push_back(line.height() + FField.Leading);
      top += line.height() + FField.Leading;
    }
    layout->endLayout();
    FParagraphs.push_back(std::move(layout));
  }
}

void TextLayout::LayOutOutlines(const QStringList& paragraphs) {
  const SwfFont& font = *FField.Font;
  const double scale = FField.Height / font.EmSquare;
  const double ascent = font.Ascent > 0 ? font.Ascent * scale : FField.Height * DefaultAscent;
  const double descent = font.Descent > 0 ? font.Descent * scale : FField.Height * DefaultDescent;
  const QRectF area = TextArea(FField);
  double top = area.top();
  for (const QString& paragraph : paragraphs) {
    if (top > FField.Bounds.bottom())
      break;
    std::vector<PlacedGlyph> glyphs;
    for (const QChar character : paragraph) {
      PlacedGlyph glyph{font.GlyphByCode.value(character.unicode(), -1), 0, character == u' '};
      const auto index = std::size_t(glyph.Index);
      if (glyph.Index < 0 || index >= font.Glyphs.size())
        glyph = {-1, FField.Height * MissingGlyphAdvance, glyph.Space};
      else if (index < font.Advances.size())
        glyph.Advance = font.Advances[index] * scale;
      else
        glyph.Advance = font.Glyphs[index].boundingRect().right() * scale;
      glyphs.push_back(glyph);
    }
    std::size_t start = 0;
    for (const std::size_t end :
         LineEnds(glyphs, area.width() - FField.Indent, area.width(), FField.WordWrap)) {
      if (top > FField.Bounds.bottom())
        return;
      const double indent = start == 0 ? FField.Indent : 0;
      double width = 0;
      for (std::size_t i = start; i < end; ++i)
        width += glyphs[i].Advance;
      for (std::size_t i = end; i > start && glyphs[i - 1].Space; --i)
        width -= glyphs[i - 1].Advance;
      FTextSize.setWidth(std::max(FTextSize.width(), width + indent));
      FTextSize.setHeight(FTextSize.height() + ascent + descent + FField.Leading);
      FLineHeights.push_back(ascent + descent + FField.Leading);
      const double room = area.width() - indent - width;
      double x = area.left() + indent +
                 (FField.Align == SwfTextAlign::Right    ? room
                  : FField.Align == SwfTextAlign::Center ? room / 2
                                                         : 0);
      for (std::size_t i = start; i < end; ++i) {
        if (FOutlines.elementCount() > MaxOutlineElements)
          return;
        if (glyphs[i].Index >= 0)
          FOutlines.addPath(QTransform(scale, 0, 0, scale, x, top + ascent)
                                .map(font.Glyphs[std::size_t(glyphs[i].Index)]));
        x += glyphs[i].Advance;
      }
      top += ascent + descent + FField.Leading;
      start = end;
    }
  }
}

void TextLayout::Draw(QPainter& painter) const {
  painter.setPen(FField.Color);
  for (const auto& paragraph : FParagraphs)
    paragraph->draw(&painter, QPointF());
  if (!FOutlines.isEmpty())
    painter.fillPath(FOutlines, FField.Color);
}
