#pragma once

#include "player/swf/SwfOutline.h"
#include "player/swf/SwfShape.h"

#include <QRectF>
#include <map>
#include <memory>
#include <vector>

// A morph shape character: a start and an end shape with the same styles and edges, drawn
// part of the way between them at a placement's ratio. Coordinates are in twips.
struct SwfMorphShape {
  template <typename Style> struct StylePair {
    Style Start;
    Style End;
  };
  // An edge at both ends of the morph, with the styles of its start shape (-1 for none).
  struct Edge {
    SwfEdge Start;
    SwfEdge End;
    int Fill0 = -1;
    int Fill1 = -1;
    int Line = -1;
  };

  QRectF StartBounds;
  QRectF EndBounds;
  std::vector<StylePair<SwfFillStyle>> Fills;
  std::vector<StylePair<SwfLineStyle>> Lines;
  std::vector<Edge> Edges;

  // The bounds at a placement's ratio, 0 (start) to 65535 (end).
  QRectF BoundsAt(int ratio) const;
  // The shape at ratio, made at its first use and kept, at the same address, while the morph
  // lives.
  const SwfShape& ShapeAt(int ratio) const;

private:
  SwfShape MakeShape(int ratio) const;

  std::shared_ptr<std::map<int, SwfShape>> FShapes = std::make_shared<std::map<int, SwfShape>>();
};
