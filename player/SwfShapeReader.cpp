#include "player/SwfShapeReader.h"

#include "player/SwfBudget.h"
#include "player/SwfError.h"
#include "player/SwfReader.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace {

struct Edge {
  QPoint From;
  QPoint Control;
  QPoint To;
  bool Curved = false;

  Edge Reversed() const { return {To, Control, From, Curved}; }
};

quint64 PointKey(QPoint point) {
  return (quint64(quint32(point.x())) << 32) | quint32(point.y());
}

// Collects the edges of each fill style while the shape records are read, then joins them
// into closed outlines.
class ShapeBuilder {
public:
  ShapeBuilder(SwfReader& reader, int version, SwfBudget& budget)
      : FReader(reader), FVersion(version), FBudget(budget) {}

  SwfShape Read();

private:
  void ReadStyles();
  void ReadFillStyle(bool keep);
  void ReadLineStyle();
  // A colour as the shape version stores it: with alpha from DefineShape3 on.
  QColor ReadColor();
  int FillIndex(quint32 styleNumber) const;
  void ReadEdge();
  QPainterPath Outline(const std::vector<Edge>& edges) const;

  SwfReader& FReader;
  int FVersion;
  SwfBudget& FBudget;
  // Every fill style read so far; a style array read later is appended after the earlier.
  std::vector<std::optional<QColor>> FFillColors;
  std::vector<std::vector<Edge>> FEdges;
  int FFillBase = 0;
  int FFillCount = 0;
  int FFillBits = 0;
  int FLineBits = 0;
  int FFill0 = -1;
  int FFill1 = -1;
  QPoint FPen;
};

int ShapeBuilder::FillIndex(quint32 styleNumber) const {
  if (styleNumber == 0 || styleNumber > quint32(FFillCount))
    return -1;
  return FFillBase + int(styleNumber) - 1;
}

QColor ShapeBuilder::ReadColor() {
  return FVersion >= 3 ? FReader.Rgba() : FReader.Rgb();
}

void ShapeBuilder::ReadFillStyle(bool keep) {
  FBudget.Consume();
  const quint8 type = FReader.U8();
  std::optional<QColor> color;
  if (type == 0x00) {
    color = ReadColor();
  } else if (type == 0x10 || type == 0x12 || type == 0x13) {
    FReader.Matrix();
    const int records = FReader.U8() & 0x0F;
    for (int i = 0; i < records; ++i) {
      FReader.U8();
      ReadColor();
    }
    if (type == 0x13)
      FReader.S16();
  } else if (type >= 0x40 && type <= 0x43) {
    FReader.U16();
    FReader.Matrix();
  } else {
    throw SwfError("unknown fill style type " + std::to_string(type));
  }
  if (keep) {
    FFillColors.push_back(color);
    FEdges.emplace_back();
  }
}

void ShapeBuilder::ReadLineStyle() {
  FBudget.Consume();
  FReader.U16();
  if (FVersion < 4) {
    ReadColor();
    return;
  }
  FReader.Bits(2);
  const quint32 join = FReader.Bits(2);
  const bool hasFill = FReader.Bits(1);
  FReader.Bits(11);
  if (join == 2)
    FReader.U16();
  if (hasFill)
    ReadFillStyle(false);
  else
    FReader.Rgba();
}

void ShapeBuilder::ReadStyles() {
  FReader.AlignToByte();
  int fills = FReader.U8();
  if (fills == 0xFF && FVersion >= 2)
    fills = FReader.U16();
  FFillBase = int(FFillColors.size());
  FFillCount = fills;
  for (int i = 0; i < fills; ++i)
    ReadFillStyle(true);
  int lines = FReader.U8();
  if (lines == 0xFF)
    lines = FReader.U16();
  for (int i = 0; i < lines; ++i)
    ReadLineStyle();
  FFillBits = int(FReader.Bits(4));
  FLineBits = int(FReader.Bits(4));
}

void ShapeBuilder::ReadEdge() {
  FBudget.Consume();
  Edge edge;
  edge.From = FPen;
  const bool straight = FReader.Bits(1);
  const int bits = int(FReader.Bits(4)) + 2;
  if (straight) {
    QPoint delta;
    if (FReader.Bits(1)) {
      delta.setX(FReader.SignedBits(bits));
      delta.setY(FReader.SignedBits(bits));
    } else if (FReader.Bits(1)) {
      delta.setY(FReader.SignedBits(bits));
    } else {
      delta.setX(FReader.SignedBits(bits));
    }
    edge.To = FPen + delta;
  } else {
    const int controlX = FReader.SignedBits(bits);
    const int controlY = FReader.SignedBits(bits);
    const int anchorX = FReader.SignedBits(bits);
    const int anchorY = FReader.SignedBits(bits);
    edge.Control = FPen + QPoint(controlX, controlY);
    edge.To = edge.Control + QPoint(anchorX, anchorY);
    edge.Curved = true;
  }
  FPen = edge.To;
  // Fill style 1 lies to the left of the edge as drawn, fill style 0 to its right; turning
  // the fill-0 edges round gives every outline of a style the same orientation.
  if (FFill1 >= 0)
    FEdges[size_t(FFill1)].push_back(edge);
  if (FFill0 >= 0)
    FEdges[size_t(FFill0)].push_back(edge.Reversed());
}

QPainterPath ShapeBuilder::Outline(const std::vector<Edge>& edges) const {
  std::unordered_multimap<quint64, size_t> byStart;
  for (size_t i = 0; i < edges.size(); ++i)
    byStart.emplace(PointKey(edges[i].From), i);
  std::vector<bool> used(edges.size(), false);
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  for (size_t first = 0; first < edges.size(); ++first) {
    if (used[first])
      continue;
    path.moveTo(edges[first].From);
    for (std::optional<size_t> current = first; current;) {
      const Edge& edge = edges[*current];
      used[*current] = true;
      if (edge.Curved)
        path.quadTo(edge.Control, edge.To);
      else
        path.lineTo(edge.To);
      current.reset();
      if (edge.To == edges[first].From)
        break;
      const auto [begin, end] = byStart.equal_range(PointKey(edge.To));
      for (auto next = begin; next != end; ++next)
        if (!used[next->second]) {
          current = next->second;
          break;
        }
    }
    path.closeSubpath();
  }
  return path;
}

SwfShape ShapeBuilder::Read() {
  SwfShape shape;
  shape.Bounds = FReader.Rect();
  if (FVersion >= 4) {
    FReader.Rect();
    FReader.U8();
  }
  ReadStyles();
  for (;;) {
    if (FReader.Bits(1)) {
      ReadEdge();
      continue;
    }
    const quint32 flags = FReader.Bits(5);
    if (flags == 0)
      break;
    FBudget.Consume();
    if (flags & 0x01) {
      const int bits = int(FReader.Bits(5));
      const int x = FReader.SignedBits(bits);
      FPen = QPoint(x, FReader.SignedBits(bits));
    }
    std::optional<quint32> fill0, fill1;
    if (flags & 0x02)
      fill0 = FReader.Bits(FFillBits);
    if (flags & 0x04)
      fill1 = FReader.Bits(FFillBits);
    if (flags & 0x08)
      FReader.Bits(FLineBits);
    // Style numbers in the record that brings new styles refer to the new ones.
    if (flags & 0x10) {
      ReadStyles();
      FFill0 = FFill1 = -1;
    }
    if (fill0)
      FFill0 = FillIndex(*fill0);
    if (fill1)
      FFill1 = FillIndex(*fill1);
  }
  for (size_t style = 0; style < FFillColors.size(); ++style)
    if (FFillColors[style] && !FEdges[style].empty())
      shape.Fills.push_back({*FFillColors[style], Outline(FEdges[style])});
  return shape;
}

} // namespace

SwfShape ReadSwfShape(SwfReader& reader, int shapeVersion, SwfBudget& budget) {
  return ShapeBuilder(reader, shapeVersion, budget).Read();
}
