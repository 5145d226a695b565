#pragma once

#include "player/SwfAction.h"
#include "player/SwfColorTransform.h"
#include "player/SwfShape.h"

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
    SwfColorTransform ColorTransform;
    int ClipDepth = 0; // when set, a mask over the depths above it up to this one
  };
  std::vector<Placement> Frame1; // ordered by depth
  std::vector<SwfScript> Frame1Scripts;
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
  SwfTimeline Root;
};
