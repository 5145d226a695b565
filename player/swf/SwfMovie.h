#pragma once

#include "player/swf/SwfAction.h"
#include "player/swf/SwfColorTransform.h"
#include "player/swf/SwfFilter.h"
#include "player/swf/SwfMorphShape.h"
#include "player/swf/SwfShape.h"
#include "player/swf/SwfText.h"

#include <QColor>
#include <QRectF>
#include <QTransform>
#include <optional>
#include <unordered_map>
#include <vector>

// Movie coordinates are in twips; script properties are in pixels.
inline constexpr double TwipsPerPixel = 20;

// What one timeline shows and runs on its first frame.
struct SwfTimeline {
  struct Placement {
    int Depth = 0;
    int CharacterId = 0;
    QTransform Matrix;
    QString Name;
    int Ratio = 0; // how far a morph shape has changed, 0 to 65535
    SwfColorTransform ColorTransform;
    int ClipDepth = 0; // when set, a mask over the depths above it up to this one
    SwfDisplayEffects Effects;
  };
  std::vector<Placement> Frame1; // ordered by depth
  std::vector<SwfScript> Frame1Scripts;
  int FrameCount = 1; // as the timeline declares it
};

// A parsed movie: immutable once built, shared by every level that plays it.
struct SwfMovie {
  int Version = 0;
  QRectF FrameRect; // twips
  double FrameRate = 0;
  int FrameCount = 0;
  std::optional<QColor> Background;
  std::unordered_map<int, SwfShape> Shapes;
  SwfBitmapTable Bitmaps;
  std::unordered_map<int, SwfTimeline> Sprites;
  SwfFontTable Fonts;
  std::unordered_map<int, SwfEditText> EditTexts;
  std::unordered_map<int, SwfStaticText> StaticTexts;
  std::unordered_map<int, SwfTimeline> Buttons; // what each shows in its up state
  std::unordered_map<int, SwfMorphShape> MorphShapes;
  std::unordered_map<int, QRectF> Videos; // bounds in twips
  SwfTimeline Root;
  // What was wrong after the root's first frame, which plays all the same; "" for a whole file.
  QString Damage;
  // Why each bitmap that could not be read draws nothing, in file order.
  std::vector<QString> BitmapFaults;
  // DoInitAction scripts of the first frame, run before any frame script.
  std::vector<SwfScript> InitScripts;
  // An ActionScript 3 movie: its frame 1 is shown, none of its scripts is run.
  bool ActionScript3 = false;

  // The first frame of a sprite or a button's up state; null for other characters.
  const SwfTimeline* ClipTimeline(int characterId) const {
    const auto sprite = Sprites.find(characterId);
    if (sprite != Sprites.end())
      return &sprite->second;
    const auto button = Buttons.find(characterId);
    return button == Buttons.end() ? nullptr : &button->second;
  }
};
