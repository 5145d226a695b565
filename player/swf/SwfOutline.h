#pragma once

#include <QPainterPath>
#include <QPoint>
#include <vector>

class SwfReader;

// One straight or curved edge of a shape, in twips.
struct SwfEdge {
  QPoint From;
  QPoint Control;
  QPoint To;
  bool Curved = false;

  SwfEdge Reversed() const { return {To, Control, From, Curved}; }
};

// Reads an edge record after its first bit (the one that tells an edge from a style change),
// starting at from.
SwfEdge ReadSwfEdge(SwfReader& reader, QPoint from);
// Joins a fill style's edges, every one with the fill on the same side, into closed outlines.
QPainterPath SwfFillOutline(const std::vector<SwfEdge>& edges);
// Joins a line style's edges in their order into strokes; an outline that ends where it
// starts is closed when closeLoops is set, and ends in two caps otherwise.
QPainterPath SwfStrokePath(const std::vector<SwfEdge>& edges, bool closeLoops);
