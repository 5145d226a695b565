#pragma once

#include <QPainterPath>
#include <QSizeF>
#include <QString>
#include <memory>
#include <vector>

class QPainter;
class QTextLayout;
struct SwfEditText;

// A text field's text broken into lines and placed in the field, in twips: with a device
// font as text layouts, with an embedded font as the outlines of its glyphs. Lines start
// inside the field's gutter and margins, are aligned as the field says and lie one below
// the other by the font's line height plus the field's leading.
class TextLayout {
public:
  // Lays out text (HTML reduced to its plain text when the field holds HTML).
  TextLayout(const SwfEditText& field, const QString& text);
  ~TextLayout();

  // Draws the glyphs in the field's colour.
  void Draw(QPainter& painter) const;
  // The width of the widest line and the height of the lines laid out, in twips.
  QSizeF TextSize() const { return FTextSize; }
  // The height of every line laid out, leading included, in twips, top to bottom.
  const std::vector<double>& LineHeights() const { return FLineHeights; }
  // The glyph outlines of an embedded font; empty for a device font.
  const QPainterPath& Outlines() const { return FOutlines; }

private:
  void LayOutDeviceText(const QStringList& paragraphs);
  void LayOutOutlines(const QStringList& paragraphs);

  const SwfEditText& FField;
  std::vector<std::unique_ptr<QTextLayout>> FParagraphs;
  QPainterPath FOutlines;
  QSizeF FTextSize;
  std::vector<double> FLineHeights;
};
