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
#include <cmath>

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
// How far a tab advances in a paragraph without tab stops, in spaces.
constexpr int SpacesPerDefaultTab = 6;
// Lengths a layout works with, in twips: a field's own lengths are clamped well inside.
constexpr double MaxTwips = 1e9;

QRectF TextArea(const SwfEditText& field) {
  return field.Bounds.adjusted(Gutter + field.LeftMargin, Gutter, -Gutter - field.RightMargin,
                               -Gutter);
}

// A length in whole twips, cut as the player cuts its font metrics.
int WholeTwips(double twips) {
  return int(std::floor(std::clamp(twips, -MaxTwips, MaxTwips)));
}

// Where a line may break and what hangs past its end; a tab is part of its word.
bool IsBlank(char32_t code) {
  return code == u' ';
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

// The device font at the field's size, one pixel of it a twip: the layout's own unit.
QFont DeviceFont(const SwfEditText& field) {
  QFont font(DeviceFamily(field.Font ? field.Font->Name : QStringLiteral("_serif")));
  font.setPixelSize(std::max(1, int(std::lround(field.Height))));
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(false);
  if (field.Font) {
    font.setBold(field.Font->Bold);
    font.setItalic(field.Font->Italic);
  }
  return font;
}

// A line of a paragraph: its glyphs [Begin, End), where the spaces it ends in start, its
// width with and without them, and whether the paragraph goes on below it.
struct Line {
  std::size_t Begin = 0;
  std::size_t End = 0;
  std::size_t TrimmedEnd = 0;
  int Width = 0;
  int TrimmedWidth = 0;
  bool Wrapped = false;
};

// The line of glyphs from start in a line `available` twips wide that starts `indent` twips
// right of the text's left edge, where tabs are measured from. Greedy breaks: after the last
// space before the first glyph that does not fit, or before that glyph when a word is wider
// than a line that has room at all. Spaces never break a line: they hang past its end.
template <class TabAdvance>
Line BreakLine(std::vector<TextLayout::Glyph>& glyphs, std::size_t start, int indent, int available,
               bool wordWrap, const TabAdvance& tabAdvance) {
  Line line{start, start};
  std::size_t afterSpace = start;
  int used = 0;
  for (; line.End < glyphs.size(); ++line.End) {
    TextLayout::Glyph& glyph = glyphs[line.End];
    if (glyph.Code == u'\t')
      glyph.Advance = tabAdvance(indent + used);
    const bool space = IsBlank(glyph.Code);
    if (wordWrap && !space && line.End > start && used + glyph.Advance > available &&
        (afterSpace > start || available > 0)) {
      if (afterSpace > start)
        line.End = afterSpace;
      line.Wrapped = true;
      break;
    }
    used += glyph.Advance;
    if (space)
      afterSpace = line.End + 1;
  }
  for (std::size_t i = line.Begin; i < line.End; ++i)
    line.Width += glyphs[i].Advance;
  line.TrimmedWidth = line.Width;
  for (line.TrimmedEnd = line.End;
       line.TrimmedEnd > line.Begin && IsBlank(glyphs[line.TrimmedEnd - 1].Code); --line.TrimmedEnd)
    line.TrimmedWidth -= glyphs[line.TrimmedEnd - 1].Advance;
  return line;
}

} // namespace

TextLayout::TextLayout(const SwfEditText& field, const QString& text, const Options& options)
    : FField(field), FOptions(options),
      FOutlineFont(field.UseOutlines && field.Font && !field.Font->Glyphs.empty()) {
  static const QRegularExpression lineBreak(QStringLiteral("[\r\n]"));
  const QString shown = ShownText(field, text);
  if (shown.isEmpty())
    return; // no line at all: an empty field measures nothing

  // The font's metrics in whole twips.
  int ascent = 0;
  int descent = 0;
  if (FOutlineFont) {
    const SwfFont& font = *field.Font;
    const double scale = field.Height / font.EmSquare;
    ascent = WholeTwips(font.Ascent > 0 ? font.Ascent * scale : field.Height * DefaultAscent);
    descent = WholeTwips(font.Descent > 0 ? font.Descent * scale : field.Height * DefaultDescent);
  } else {
    FDeviceFonts.push_back(QRawFont::fromFont(DeviceFont(field)));
    ascent = WholeTwips(FDeviceFonts.front().ascent());
    descent = WholeTwips(FDeviceFonts.front().descent());
  }
  const int leading = WholeTwips(field.Leading);
  const int lineHeight = ascent + descent + leading;

  std::vector<Glyph> space;
  if (FOutlineFont)
    MeasureOutlineGlyphs(QStringLiteral(" "), space);
  else
    MeasureDeviceGlyphs(QStringLiteral(" "), space);
  const int defaultTab = SpacesPerDefaultTab * (space.empty() ? 0 : space.front().Advance);
  // A tab reaches the next stop right of x; past the last stop it does not advance.
  const auto tabAdvance = [&](int x) {
    if (FOptions.TabStops.empty())
      return defaultTab;
    for (const int stop : FOptions.TabStops) {
      const int stopTwips = WholeTwips(stop * TwipsPerPixel);
      if (stopTwips > x)
        return stopTwips - x;
    }
    return 0;
  };

  const QRectF area = TextArea(field);
  // A negative indent hangs the first line into the left margin, but not past the gutter.
  const int indent = std::max(WholeTwips(field.Indent), -WholeTwips(field.LeftMargin));
  const int areaWidth = WholeTwips(area.width());
  const bool trailingBlanksCount = FOptions.SwfVersion < 8 || field.Align == SwfTextAlign::Left;
  int lines = 0;
  double top = area.top();
  for (const QString& paragraph : shown.split(lineBreak)) {
    if (top > field.Bounds.bottom())
      break; // lines below the field would be clipped away: they are not made
    std::vector<Glyph> glyphs;
    if (FOutlineFont)
      MeasureOutlineGlyphs(paragraph, glyphs);
    else
      MeasureDeviceGlyphs(paragraph, glyphs);
    std::size_t start = 0;
    do {
      if (top > field.Bounds.bottom())
        break;
      const int lineIndent = start == 0 ? indent : 0;
      const int available = areaWidth - lineIndent;
      const Line line = BreakLine(glyphs, start, lineIndent, available, field.WordWrap, tabAdvance);
      const int width = trailingBlanksCount ? line.Width : line.TrimmedWidth;
      FTextSize.setWidth(std::max(FTextSize.width(), double(width + lineIndent)));
      ++lines;
      FLineHeights.push_back(lineHeight);

      const double room = available - width;
      double x = area.left() + lineIndent;
      double spaceExtra = 0;
      if (field.Align == SwfTextAlign::Right) {
        x += room;
      } else if (field.Align == SwfTextAlign::Center) {
        x += room / 2;
      } else if (field.Align == SwfTextAlign::Justify && line.Wrapped && room > 0) {
        // The room goes to the spaces between the words, not to the ones the line ends in.
        const auto gaps = std::count_if(glyphs.begin() + std::ptrdiff_t(line.Begin),
                                        glyphs.begin() + std::ptrdiff_t(line.TrimmedEnd),
                                        [](const Glyph& glyph) { return IsBlank(glyph.Code); });
        if (gaps > 0)
          spaceExtra = room / double(gaps);
      }
      PlaceLine(glyphs, line.Begin, line.End, x, top + ascent, spaceExtra);
      if (FOptions.Underline && width > 0) {
        const double underlineY = top + ascent + TwipsPerPixel;
        const double drawnWidth = width + (spaceExtra > 0 ? room : 0);
        FUnderlines.emplace_back(x, underlineY, x + drawnWidth, underlineY);
      }
      top += lineHeight;
      start = line.End;
    } while (start < glyphs.size());
  }
  // Lines lie lineHeight apart; the text ends at the last one's descent, or takes the whole
  // height of a single line.
  FTextSize.setHeight(lines > 1 ? double(lines) * lineHeight - leading : lines * lineHeight);
}

TextLayout::~TextLayout() = default;

void TextLayout::MeasureOutlineGlyphs(const QString& paragraph, std::vector<Glyph>& glyphs) const {
  const SwfFont& font = *FField.Font;
  const double scale = FField.Height / font.EmSquare;
  for (const QChar character : paragraph) {
    Glyph glyph{character.unicode(), font.GlyphByCode.value(character.unicode(), -1)};
    const auto index = std::size_t(glyph.Index);
    double advance = FField.Height * MissingGlyphAdvance;
    if (glyph.Index < 0 || index >= font.Glyphs.size())
      glyph.Index = -1;
    else if (index < font.Advances.size())
      advance = font.Advances[index] * scale;
    else
      advance = font.Glyphs[index].boundingRect().right() * scale;
    glyph.Advance = std::max(0, WholeTwips(advance));
    glyphs.push_back(glyph);
  }
}

void TextLayout::MeasureDeviceGlyphs(const QString& paragraph, std::vector<Glyph>& glyphs) {
  for (const char32_t code : paragraph.toUcs4()) {
    if (const auto known = FDeviceGlyphs.constFind(code); known != FDeviceGlyphs.constEnd()) {
      glyphs.push_back(*known);
      continue;
    }
    Glyph glyph{code};
    quint32 index = 0;
    glyph.Font = DeviceFontFor(glyph.Code, index);
    if (glyph.Font >= 0) {
      const QRawFont& font = FDeviceFonts[std::size_t(glyph.Font)];
      const QList<QPointF> advances = font.advancesForGlyphIndexes(QList<quint32>{index});
      glyph.Index = int(index);
      glyph.Advance = advances.isEmpty() ? 0 : std::max(0, WholeTwips(advances.front().x()));
    } else {
      glyph.Font = 0;
    }
    FDeviceGlyphs.insert(code, glyph);
    glyphs.push_back(glyph);
  }
}

// The device font that has a glyph for code: the field's own, else the one the system falls
// back to, kept for the rest of the layout; -1 when none has it.
int TextLayout::DeviceFontFor(char32_t code, quint32& index) {
  const QString character = QString::fromUcs4(&code, 1);
  const auto indexIn = [&character](const QRawFont& font) {
    const QList<quint32> indexes = font.glyphIndexesForString(character);
    return indexes.size() == 1 ? indexes.front() : 0;
  };
  for (std::size_t i = 0; i < FDeviceFonts.size(); ++i) {
    if (!FDeviceFonts[i].supportsCharacter(code))
      continue;
    if ((index = indexIn(FDeviceFonts[i])) != 0)
      return int(i);
  }
  if (IsBlank(code) || code == u'\t')
    return -1;
  QTextLayout fallback(character, DeviceFont(FField));
  fallback.beginLayout();
  fallback.createLine();
  fallback.endLayout();
  for (const QGlyphRun& run : fallback.glyphRuns()) {
    if (run.glyphIndexes().size() != 1 || run.glyphIndexes().front() == 0)
      continue;
    index = run.glyphIndexes().front();
    FDeviceFonts.push_back(run.rawFont());
    return int(FDeviceFonts.size() - 1);
  }
  return -1;
}

void TextLayout::PlaceLine(const std::vector<Glyph>& glyphs, std::size_t begin, std::size_t end,
                           double x, double baseline, double spaceExtra) {
  std::vector<QList<quint32>> indexes(FDeviceFonts.size());
  std::vector<QList<QPointF>> positions(FDeviceFonts.size());
  for (std::size_t i = begin; i < end; ++i) {
    const Glyph& glyph = glyphs[i];
    if (glyph.Index >= 0 && !IsBlank(glyph.Code) && glyph.Code != u'\t') {
      if (FOutlineFont) {
        if (FOutlines.elementCount() <= MaxOutlineElements) {
          const double scale = FField.Height / FField.Font->EmSquare;
          FOutlines.addPath(QTransform(scale, 0, 0, scale, x, baseline)
                                .map(FField.Font->Glyphs[std::size_t(glyph.Index)]));
        }
      } else {
        indexes[std::size_t(glyph.Font)].push_back(quint32(glyph.Index));
        positions[std::size_t(glyph.Font)].push_back(QPointF(x, baseline));
      }
    }
    x += glyph.Advance + (glyph.Code == u' ' ? spaceExtra : 0);
  }
  for (std::size_t font = 0; font < indexes.size(); ++font) {
    if (indexes[font].isEmpty())
      continue;
    QGlyphRun run;
    run.setRawFont(FDeviceFonts[font]);
    run.setGlyphIndexes(indexes[font]);
    run.setPositions(positions[font]);
    FGlyphRuns.push_back(std::move(run));
  }
}

void TextLayout::Draw(QPainter& painter) const {
  painter.setPen(FField.Color);
  for (const QGlyphRun& run : FGlyphRuns)
    painter.drawGlyphRun(QPointF(), run);
  if (!FOutlines.isEmpty())
    painter.fillPath(FOutlines, FField.Color);
  if (!FUnderlines.empty()) {
    painter.setPen(QPen(FField.Color, 0));
    for (const QLineF& underline : FUnderlines)
      painter.drawLine(underline);
  }
}
