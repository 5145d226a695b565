#include "player/swf/SwfShapeReader.h"

#include "player/swf/SwfBudget.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfOutline.h"
#include "player/swf/SwfReader.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Collects the edges of each fill and line style while the shape records are read, then
// joins the fill edges into closed outlines and the line edges into strokes.
class ShapeBuilder {
public:
  ShapeBuilder(SwfReader& reader, int version, SwfBudget& budget, const SwfBitmapTable& bitmaps)
      : FReader(reader), FVersion(version), FBudget(budget), FBitmaps(bitmaps) {}

  SwfShape Read();

private:
  template <typename Style> struct StyleEdges {
    Style Value;
    std::vector<SwfEdge> Edges;
    int Layer = 0;
  };

  void ReadStyles();
  SwfFillStyle ReadFillStyle();
  SwfGradient ReadGradient(bool focal);
  SwfLineStyle ReadLineStyle();
  // A colour as the shape version stores it: with alpha from DefineShape3 on.
  QColor ReadColor();
  static int StyleIndex(quint32 styleNumber, int base, int count);
  void ReadEdge();

  SwfReader& FReader;
  int FVersion;
  SwfBudget& FBudget;
  const SwfBitmapTable& FBitmaps;
  // Every style read so far; a style array read later is appended after the earlier.
  std::vector<StyleEdges<SwfFillStyle>> FFills;
  std::vector<StyleEdges<SwfLineStyle>> FLines;
  int FLayer = -1;
  int FFillBase = 0;
  int FFillCount = 0;
  int FLineBase = 0;
  int FLineCount = 0;
  int FFillBits = 0;
  int FLineBits = 0;
  int FFill0 = -1;
  int FFill1 = -1;
  int FLine = -1;
  QPoint FPen;
};

int ShapeBuilder::StyleIndex(quint32 styleNumber, int base, int count) {
  if (styleNumber == 0 || styleNumber > quint32(count))
    return -1;
  return base + int(styleNumber) - 1;
}

QColor ShapeBuilder::ReadColor() {
  return FVersion >= 3 ? FReader.Rgba() : FReader.Rgb();
}

SwfGradient ShapeBuilder::ReadGradient(bool focal) {
  SwfGradient gradient;
  FReader.AlignToByte();
  const quint32 spread = FReader.Bits(2);
  gradient.SpreadMode = spread == 1   ? SwfGradient::Spread::Reflect
                        : spread == 2 ? SwfGradient::Spread::Repeat
                                      : SwfGradient::Spread::Pad;
  gradient.InterpolationMode = FReader.Bits(2) == 1 ? SwfGradient::Interpolation::LinearRgb
                                                    : SwfGradient::Interpolation::Normal;
  const int records = int(FReader.Bits(4));
  // Stops keep their file order and ratios, out of order or not: drawing follows both.
  for (int i = 0; i < records; ++i) {
    const double position = FReader.U8() / 255.0;
    gradient.Stops.push_back({position, ReadColor()});
  }
  if (focal)
    gradient.FocalPoint = std::clamp(FReader.S16() / 256.0, -1.0, 1.0);
  return gradient;
}

SwfFillStyle ShapeBuilder::ReadFillStyle() {
  FBudget.Consume();
  SwfFillStyle style;
  const quint8 type = FReader.U8();
  switch (type) {
  case 0x00:
    style.Color = ReadColor();
    break;
  case 0x10:
  case 0x12:
  case 0x13:
    style.Type = type == 0x10   ? SwfFillStyle::Kind::LinearGradient
                 : type == 0x12 ? SwfFillStyle::Kind::RadialGradient
                                : SwfFillStyle::Kind::FocalGradient;
    style.Matrix = FReader.Matrix();
    style.Gradient = ReadGradient(type == 0x13);
    break;
  case 0x40:
  case 0x41:
  case 0x42:
  case 0x43: {
    style.Type = SwfFillStyle::Kind::Bitmap;
    style.BitmapId = FReader.U16();
    const auto bitmap = FBitmaps.find(style.BitmapId);
    if (bitmap != FBitmaps.end())
      style.Bitmap = bitmap->second;
    style.Matrix = FReader.Matrix();
    style.Repeats = !(type & 0x01);
    style.Smoothed = !(type & 0x02);
    break;
  }
  default:
    throw SwfError("unknown fill style type " + std::to_string(type));
  }
  return style;
}

SwfLineStyle ShapeBuilder::ReadLineStyle() {
  FBudget.Consume();
  static constexpr Qt::PenCapStyle Caps[] = {Qt::RoundCap, Qt::FlatCap, Qt::SquareCap,
                                             Qt::RoundCap};
  static constexpr Qt::PenJoinStyle Joins[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::MiterJoin,
                                               Qt::RoundJoin};
  SwfLineStyle style;
  style.Width = FReader.U16();
  if (FVersion < 4) {
    style.Color = ReadColor();
    return style;
  }
  style.Cap = Caps[FReader.Bits(2)];
  const quint32 join = FReader.Bits(2);
  style.Join = Joins[join];
  const bool hasFill = FReader.Bits(1);
  style.ScalesHorizontally = !FReader.Bits(1);
  style.ScalesVertically = !FReader.Bits(1);
  style.PixelHinting = FReader.Bits(1);
  FReader.Bits(5);
  style.NoClose = FReader.Bits(1);
  style.EndCap = Caps[FReader.Bits(2)];
  if (join == 2)
    style.MiterLimit = FReader.U16() / 256.0;
  if (hasFill)
    style.Fill = ReadFillStyle();
  else
    style.Color = FReader.Rgba();
  return style;
}

void ShapeBuilder::ReadStyles() {
  ++FLayer;
  FReader.AlignToByte();
  int fills = FReader.U8();
  if (fills == 0xFF && FVersion >= 2)
    fills = FReader.U16();
  FFillBase = int(FFills.size());
  FFillCount = fills;
  for (int i = 0; i < fills; ++i)
    FFills.push_back({ReadFillStyle(), {}, FLayer});
  int lines = FReader.U8();
  if (lines == 0xFF)
    lines = FReader.U16();
  FLineBase = int(FLines.size());
  FLineCount = lines;
  for (int i = 0; i < lines; ++i)
    FLines.push_back({ReadLineStyle(), {}, FLayer});
  FFillBits = int(FReader.Bits(4));
  FLineBits = int(FReader.Bits(4));
}

void ShapeBuilder::ReadEdge() {
  FBudget.Consume();
  const SwfEdge edge = ReadSwfEdge(FReader, FPen);
  FPen = edge.To;
  // Fill style 1 lies to the left of the edge as drawn, fill style 0 to its right; turning
  // the fill-0 edges round gives every outline of a style the same orientation.
  if (FFill1 >= 0)
    FFills[size_t(FFill1)].Edges.push_back(edge);
  if (FFill0 >= 0)
    FFills[size_t(FFill0)].Edges.push_back(edge.Reversed());
  if (FLine >= 0)
    FLines[size_t(FLine)].Edges.push_back(edge);
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
    std::optional<quint32> fill0, fill1, line;
    if (flags & 0x02)
      fill0 = FReader.Bits(FFillBits);
    if (flags & 0x04)
      fill1 = FReader.Bits(FFillBits);
    if (flags & 0x08)
      line = FReader.Bits(FLineBits);
    // Style numbers in the record that brings new styles refer to the new ones.
    if (flags & 0x10) {
      ReadStyles();
      FFill0 = FFill1 = FLine = -1;
    }
    if (fill0)
      FFill0 = StyleIndex(*fill0, FFillBase, FFillCount);
    if (fill1)
      FFill1 = StyleIndex(*fill1, FFillBase, FFillCount);
    if (line)
      FLine = StyleIndex(*line, FLineBase, FLineCount);
  }
  for (const auto& fill : FFills)
    if (!fill.Edges.empty())
      shape.Fills.push_back({fill.Value, SwfFillOutline(fill.Edges), fill.Layer});
  for (const auto& line : FLines)
    if (!line.Edges.empty())
      shape.Strokes.push_back(
          {line.Value, SwfStrokePath(line.Edges, !line.Value.NoClose), line.Layer});
  return shape;
}

} // namespace

SwfShape ReadSwfShape(SwfReader& reader, int shapeVersion, SwfBudget& budget,
                      const SwfBitmapTable& bitmaps) {
  return ShapeBuilder(reader, shapeVersion, budget, bitmaps).Read();
}
