#include "player/render/FormattedOutlines.h"

#include "player/swf/SwfMovie.h"
#include "player/swf/SwfText.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Space kept free inside a field's bounds on every side.
constexpr double Gutter = 2 * TwipsPerPixel;
// Parts of the em above and below the baseline for a font that does not say.
constexpr double DefaultAscent = 0.8;
constexpr double DefaultDescent = 0.2;
// Advance of a character the font has no glyph for, in ems.
constexpr double MissingGlyphAdvance = 0.25;
// Sizes and lengths taken, in pixels: larger ones are drawn at these.
constexpr int MaxFontPixels = 2000;
constexpr int MaxLengthPixels = 100'000;
// Outline elements one field may hold; glyphs beyond them are not drawn.
constexpr int MaxOutlineElements = 200'000;

double Twips(const std::optional<int>& pixels) {
  return std::clamp(pixels.value_or(0), -MaxLengthPixels, MaxLengthPixels) * TwipsPerPixel;
}

} // namespace

struct FormattedOutlines::Glyph {
  const SwfFont* Font = nullptr; // null: nothing drawn, only advanced
  int Index = -1;
  double Scale = 0; // twips per font unit
  double Advance = 0;
  double Ascent = 0;
  double Descent = 0;
  QColor Color;
  bool Space = false;
};

FormattedOutlines::FormattedOutlines(const SwfEditText& field, const FormattedText& text,
                                     const FontFinder& fonts) {
  const QString& characters = text.Text();
  std::vector<std::shared_ptr<const SwfFont>> used; // kept alive while glyphs point at them
  std::vector<Glyph> paragraph;
  TextFormat paragraphLook;
  double top = field.Bounds.top() + Gutter;
  qsizetype at = 0;
  for (const FormattedText::Run& run : text.Runs()) {
    std::shared_ptr<const SwfFont> font = fonts ? fonts(run.Format) : nullptr;
    if (!font || font->Glyphs.empty())
      font = field.Font && !field.Font->Glyphs.empty() ? field.Font : nullptr;
    if (font)
      used.push_back(font);
    const double em = std::clamp(run.Format.Size.value_or(12), 0, MaxFontPixels) * TwipsPerPixel;
    Glyph look;
    look.Font = font.get();
    look.Scale = font ? em / font->EmSquare : 0;
    // Metrics and advances are whole twips, cut, as the player measures them.
    look.Ascent =
        std::trunc(font && font->Ascent > 0 ? font->Ascent * look.Scale : em * DefaultAscent);
    look.Descent =
        std::trunc(font && font->Descent > 0 ? font->Descent * look.Scale : em * DefaultDescent);
    look.Color = QColor::fromRgb(QRgb(run.Format.Color.value_or(0) & 0xFFFFFF));
    for (qsizetype end = at + run.Length; at < end && at < characters.size(); ++at) {
      const QChar character = characters[at];
      if (paragraph.empty())
        paragraphLook = run.Format;
      if (character == u'\r' || character == u'\n') {
        LayOutParagraph(field, paragraph, paragraphLook, top);
        paragraph.clear();
        continue;
      }
      Glyph glyph = look;
      glyph.Space = character == u' ';
      glyph.Index = font ? font->GlyphByCode.value(character.unicode(), -1) : -1;
      const auto index = std::size_t(glyph.Index);
      if (glyph.Index < 0 || index >= font->Glyphs.size()) {
        glyph.Index = -1;
        glyph.Advance = em * MissingGlyphAdvance;
      } else if (index < font->Advances.size()) {
        glyph.Advance = font->Advances[index] * glyph.Scale;
      } else {
        glyph.Advance = font->Glyphs[index].boundingRect().right() * glyph.Scale;
      }
      glyph.Advance = std::trunc(glyph.Advance);
      paragraph.push_back(glyph);
    }
  }
  // What follows the last paragraph end is a paragraph too, if only an empty one.
  if (paragraph.empty() && !text.Runs().empty())
    paragraphLook = text.Runs().back().Format;
  LayOutParagraph(field, paragraph, paragraphLook, top);
}

void FormattedOutlines::LayOutParagraph(const SwfEditText& field, const std::vector<Glyph>& glyphs,
                                        const TextFormat& look, double& top) {
  const double indent = Twips(look.Indent);
  const double leading = Twips(look.Leading);
  const QRectF area =
      field.Bounds.adjusted(Gutter + Twips(look.LeftMargin) + Twips(look.BlockIndent), Gutter,
                            -Gutter - Twips(look.RightMargin), -Gutter);
  const SwfTextAlign align = look.Align.value_or(SwfTextAlign::Left);
  // An empty paragraph is one line as high as its look.
  const double emptyHeight = std::clamp(look.Size.value_or(12), 0, MaxFontPixels) * TwipsPerPixel *
                             (DefaultAscent + DefaultDescent);
  std::size_t start = 0;
  do {
    if (top > field.Bounds.bottom())
      return;
    const double lineIndent = start == 0 ? indent : 0;
    const double available = area.width() - lineIndent;
    // Greedy breaks after the last space that fits, or before the glyph that does not fit
    // when a word is wider than the line.
    double used = 0;
    std::size_t end = start;
    std::size_t afterSpace = 0;
    for (; end < glyphs.size(); ++end) {
      if (field.WordWrap && end > start && used + glyphs[end].Advance > available) {
        if (afterSpace > start)
          end = afterSpace;
        break;
      }
      used += glyphs[end].Advance;
      if (glyphs[end].Space)
        afterSpace = end + 1;
    }
    double width = 0;
    double ascent = 0;
    double descent = 0;
    for (std::size_t i = start; i < end; ++i) {
      width += glyphs[i].Advance;
      ascent = std::max(ascent, glyphs[i].Ascent);
      descent = std::max(descent, glyphs[i].Descent);
    }
    for (std::size_t i = end; i > start && glyphs[i - 1].Space; --i)
      width -= glyphs[i - 1].Advance;
    if (start == end && glyphs.empty()) {
      ascent = emptyHeight * DefaultAscent / (DefaultAscent + DefaultDescent);
      descent = emptyHeight - ascent;
    }
    const double room = area.width() - lineIndent - width;
    double x = area.left() + lineIndent +
               (align == SwfTextAlign::Right    ? room
                : align == SwfTextAlign::Center ? room / 2
                                                : 0);
    for (std::size_t i = start; i < end; ++i) {
      const Glyph& glyph = glyphs[i];
      if (glyph.Font && glyph.Index >= 0)
        AddOutline(glyph.Color, QTransform(glyph.Scale, 0, 0, glyph.Scale, x, top + ascent)
                                    .map(glyph.Font->Glyphs[std::size_t(glyph.Index)]));
      x += glyph.Advance;
    }
    FTextSize.setWidth(std::max(FTextSize.width(), width + lineIndent));
    FTextSize.setHeight(FTextSize.height() + ascent + descent + leading);
    FLineHeights.push_back(ascent + descent + leading);
    top += ascent + descent + leading;
    start = end;
  } while (start < glyphs.size());
}

void FormattedOutlines::AddOutline(const QColor& color, const QPainterPath& outline) {
  if (FElements > MaxOutlineElements)
    return;
  FElements += outline.elementCount();
  if (FOutlines.empty() || FOutlines.back().first != color)
    FOutlines.emplace_back(color, QPainterPath());
  FOutlines.back().second.addPath(outline);
}

void FormattedOutlines::Draw(QPainter& painter) const {
  for (const auto& [color, outline] : FOutlines)
    painter.fillPath(outline, color);
}

QPainterPath FormattedOutlines::Outlines() const {
  QPainterPath all;
  for (const auto& [color, outline] : FOutlines)
    all.addPath(outline);
  return all;
}
