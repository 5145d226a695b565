#pragma once

#include <QColor>
#include <QHash>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <memory>
#include <unordered_map>
#include <vector>

// A font character: its name and style, and for embedded fonts the outline of every glyph
// with the character it stands for. Glyph coordinates are in font units, EmSquare to the
// em; the baseline is at y 0.
struct SwfFont {
  QString Name;
  bool Bold = false;
  bool Italic = false;
  double EmSquare = 1024;
  std::vector<QPainterPath> Glyphs;
  QHash<char16_t, int> GlyphByCode;
  std::vector<char16_t> CodeOfGlyph;
  // Layout in font units; Advances is empty when the font carries no layout.
  std::vector<double> Advances;
  double Ascent = 0;
  double Descent = 0;
  double Leading = 0;
};

// Fonts by character id. DefineFontInfo completes a font after its definition.
using SwfFontTable = std::unordered_map<int, std::shared_ptr<SwfFont>>;

enum class SwfTextAlign { Left, Right, Center, Justify };

// A text field character (DefineEditText). Lengths are in twips.
struct SwfEditText {
  QRectF Bounds;
  std::shared_ptr<const SwfFont> Font; // null: the player's default device font
  double Height = 240;                 // font size: the em in twips
  QColor Color = Qt::black;
  SwfTextAlign Align = SwfTextAlign::Left;
  double LeftMargin = 0;
  double RightMargin = 0;
  double Indent = 0;
  double Leading = 0;
  QString Variable; // "" when the field is bound to no variable
  QString InitialText;
  bool WordWrap = false;
  bool Multiline = false;
  bool Password = false;
  bool Html = false;
  bool UseOutlines = false; // draw with the font's glyphs instead of a device font
  bool Border = false;
  bool ReadOnly = false; // a dynamic field; an input field takes typing otherwise
  bool AutoSize = false; // the field grows and shrinks to its text, anchored left
  bool NoSelect = false;
  int MaxLength = -1; // -1: no limit
};

// A static text character (DefineText, DefineText2): its glyph outlines by colour, already
// placed through the text matrix, in twips.
struct SwfStaticText {
  struct Run {
    QColor Color;
    QPainterPath Path;
  };
  QRectF Bounds;
  std::vector<Run> Runs;
  // The characters the glyphs stand for, in the order they are placed, and where each line
  // after the first starts in it (a record that moves the pen down starts a line).
  QString Characters;
  std::vector<qsizetype> LineStarts;
};
