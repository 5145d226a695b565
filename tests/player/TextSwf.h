#pragma once

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QString>
#include <utility>
#include <vector>

// Tags of fonts, texts, buttons, morph shapes and videos for the player's tests and fuzz
// seeds, assembled byte by byte.
namespace TextSwf {

// A DefineEditText; font 0 means none.
struct Field {
  QRect Twips{0, 0, 2000, 400};
  int Font = 0;
  int Height = 240;
  QColor Color = Qt::black;
  int Align = 0;  // 0 left, 1 right, 2 center
  int Indent = 0; // twips, negative for a hanging first line
  QString Variable = {};
  QString Text = {};
  bool WordWrap = false;
  bool Multiline = false;
  bool Html = false;
  bool Outlines = false;
  bool Border = false; // a white background and a black border
};
QByteArray EditText(int id, const Field& field);
// A DefineFont2 without glyphs naming a device font.
QByteArray DeviceFont(int id, const QString& name);
// A font of one glyph for character: a block 600 units wide from the baseline up 800 units,
// 100 units from the origin, with an advance of 800 units. Version 1 is a DefineFont with
// its DefineFontInfo, 2 and 3 are DefineFont2 and DefineFont3 (whose units are 20 times
// smaller). A bold one is the bold face of "Block" (versions 2 and 3).
QByteArray BlockFont(int id, int version, QChar character, bool bold = false);
// The same font with the glyph outline given as its SHAPE bytes.
QByteArray GlyphFont(int id, int version, QChar character, const QByteArray& glyph,
                     bool bold = false);
// A DefineFont3 named name with a block glyph for each character, advancing as given, and
// the ascent and descent given, all in the font's units (20480 to the em).
QByteArray MeasuredFont(int id, const QString& name,
                        const std::vector<std::pair<QChar, int>>& advances, int ascent,
                        int descent);
// A DefineText (version 1) or DefineText2 (2) of count block glyphs of font at x, y in the
// text's space, each 'advance' apart, moved by the text matrix (translate, scale).
QByteArray StaticText(int id, int version, const QRect& bounds, int font, int height, QColor color,
                      int count, int advance, int translateX = 0, int translateY = 0,
                      double scale = 1);
// A DefineButton (1) or DefineButton2 (2) showing upCharacter in its up state and
// overCharacter (placed by the same matrix) only when the pointer is over it.
QByteArray Button(int id, int version, int upCharacter, int overCharacter, int x = 0, int y = 0);
// A DefineMorphShape with the given start and end bounds (twips) and no edges.
QByteArray MorphShape(int id, const QRect& start, const QRect& end);
// PlaceObject2 of a character at depth with a ratio.
QByteArray PlaceWithRatio(int depth, int character, int ratio);
QByteArray VideoStream(int id, int width, int height);

} // namespace TextSwf
