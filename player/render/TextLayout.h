#pragma once

#include <QGlyphRun>
#include <QHash>
#include <QLineF>
#include <QPainterPath>
#include <QRawFont>
#include <QSizeF>
#include <QString>
#include <vector>

class QPainter;
struct SwfEditText;

// A text field's text broken into lines and placed in the field, in twips, measured as the
// player measures: every glyph advances by a whole number of twips (cut, not rounded), a line
// is as high as the font's ascent and descent in whole twips plus the field's leading, and
// spaces where a line breaks hang past its right edge. Lines start inside the field's gutter
// and margins and are aligned as the field says. An embedded font is drawn from its glyph
// outlines, a device font from the installed font standing in for it.
class TextLayout {
public:
  // What the field's format adds to its definition.
  struct Options {
    // Before version 8 trailing spaces count in every line's width; from 8 on only in
    // left-aligned lines.
    int SwfVersion = 8;
    // Tab stops in pixels from the left of the text; none: tabs advance by six spaces.
    std::vector<int> TabStops;
    bool Underline = false;
  };

  // Lays out text (HTML reduced to its plain text when the field holds HTML).
  TextLayout(const SwfEditText& field, const QString& text, const Options& options);
  ~TextLayout();

  // Draws the glyphs in the field's colour.
  void Draw(QPainter& painter) const;
  // The width of the widest line and the height of the lines laid out, in twips.
  QSizeF TextSize() const { return FTextSize; }
  // The height of every line laid out, leading included, in twips, top to bottom.
  const std::vector<double>& LineHeights() const { return FLineHeights; }
  // The glyph outlines of an embedded font; empty for a device font.
  const QPainterPath& Outlines() const { return FOutlines; }

  // A character's glyph: in the embedded font or in one of the device fonts used.
  struct Glyph {
    char32_t Code = 0;
    int Index = -1; // -1: no font has a glyph for the character
    int Font = 0;   // which device font draws it
    int Advance = 0;
  };

private:
  void MeasureOutlineGlyphs(const QString& paragraph, std::vector<Glyph>& glyphs) const;
  void MeasureDeviceGlyphs(const QString& paragraph, std::vector<Glyph>& glyphs);
  int DeviceFontFor(char32_t code, quint32& index);
  void PlaceLine(const std::vector<Glyph>& glyphs, std::size_t begin, std::size_t end, double x,
                 double baseline, double spaceExtra);

  const SwfEditText& FField;
  Options FOptions;
  bool FOutlineFont = false;
  std::vector<QRawFont> FDeviceFonts;
  QHash<char32_t, Glyph> FDeviceGlyphs; // measured once per character
  std::vector<QGlyphRun> FGlyphRuns;
  QPainterPath FOutlines;
  std::vector<QLineF> FUnderlines;
  QSizeF FTextSize{0, 0};
  std::vector<double> FLineHeights;
};
