#pragma once

#include "player/swf/SwfText.h"

class SwfBudget;
class SwfReader;

// Readers of the font and text tags; each starts after the tag's character id.

// DefineFont (fontVersion 1), DefineFont2 (2) or DefineFont3 (3).
SwfFont ReadSwfFont(SwfReader& reader, int fontVersion, int swfVersion, SwfBudget& budget);
// DefineFontInfo (infoVersion 1) or DefineFontInfo2 (2): the name, style and character
// codes of a DefineFont's glyphs.
void ReadSwfFontInfo(SwfReader& reader, int infoVersion, int swfVersion, SwfFont& font);
// DefineEditText; its font id is looked up in fonts.
SwfEditText ReadSwfEditText(SwfReader& reader, int swfVersion, const SwfFontTable& fonts);
// DefineText (textVersion 1) or DefineText2 (2), drawn from the glyphs of fonts; fontMissing,
// when given, tells whether it names a font that fonts does not hold (yet).
SwfStaticText ReadSwfStaticText(SwfReader& reader, int textVersion, const SwfFontTable& fonts,
                                SwfBudget& budget, bool* fontMissing = nullptr);
