#pragma once

#include "player/render/FormattedText.h"

#include <QColor>
#include <QPainterPath>
#include <QSizeF>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
struct SwfEditText;
struct SwfFont;

// A field's formatted text drawn with embedded fonts run by run, in twips: every run keeps
// its own font (bold and italic faces are fonts of their own), size and colour. Lines break
// after the last space that fits, each as high as its tallest run plus its paragraph's
// leading; a paragraph takes its alignment, margins and indent from its first character.
class FormattedOutlines {
public:
  // The embedded font a look draws with; null when the movie has none for it.
  using FontFinder = std::function<std::shared_ptr<const SwfFont>(const TextFormat&)>;

  // Lays text out inside field's bounds; lines below the bounds are not made.
  FormattedOutlines(const SwfEditText& field, const FormattedText& text, const FontFinder& fonts);

  // Draws the glyphs, each run in its colour.
  void Draw(QPainter& painter) const;
  // Every glyph's outline, whatever its colour.
  QPainterPath Outlines() const;
  // The height of every line laid out, leading included, top to bottom, in twips.
  const std::vector<double>& LineHeights() const { return FLineHeights; }
  // The width of the widest line and the height of the lines, in twips.
  QSizeF TextSize() const { return FTextSize; }

private:
  struct Glyph;
  void LayOutParagraph(const SwfEditText& field, const std::vector<Glyph>& glyphs,
                       const TextFormat& look, double& top);
  void AddOutline(const QColor& color, const QPainterPath& outline);

  std::vector<std::pair<QColor, QPainterPath>> FOutlines;
  std::vector<double> FLineHeights;
  QSizeF FTextSize;
  int FElements = 0;
};
