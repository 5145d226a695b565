#include "player/swf/SwfMorphReader.h"

#include "player/swf/SwfBudget.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfReader.h"

#include <algorithm>
#include <optional>

namespace {

class MorphBuilder {
public:
  MorphBuilder(SwfReader& reader, int version, SwfBudget& budget, const SwfBitmapTable& bitmaps)
      : FReader(reader), FVersion(version), FBudget(budget), FBitmaps(bitmaps) {}

  SwfMorphShape Read();

private:
  using FillPair = SwfMorphShape::StylePair<SwfFillStyle>;
  using LinePair = SwfMorphShape::StylePair<SwfLineStyle>;

  int ReadCount();
  FillPair ReadFillStyle();
  void ReadGradients(FillPair& fill, bool focal);
  LinePair ReadLineStyle();
  // The edges of one of the two shapes, each with the styles its records name.
  std::vector<SwfMorphShape::Edge> ReadEdges(const SwfMorphShape& morph);

  SwfReader& FReader;
  int FVersion;
  SwfBudget& FBudget;
  const SwfBitmapTable& FBitmaps;
};

int MorphBuilder::ReadCount() {
  FReader.AlignToByte();
  const int count = FReader.U8();
  return count == 0xFF ? FReader.U16() : count;
}

void MorphBuilder::ReadGradients(FillPair& fill, bool focal) {
  FReader.AlignToByte();
  const quint8 header = FReader.U8();
  const int spread = header >> 6;
  SwfGradient gradient;
  gradient.SpreadMode = spread == 1   ? SwfGradient::Spread::Reflect
                        : spread == 2 ? SwfGradient::Spread::Repeat
                                      : SwfGradient::Spread::Pad;
  gradient.InterpolationMode = ((header >> 4) & 3) == 1 ? SwfGradient::Interpolation::LinearRgb
                                                        : SwfGradient::Interpolation::Normal;
  fill.Start.Gradient = gradient;
  fill.End.Gradient = gradient;
  for (int i = 0; i < (header & 0x0F); ++i) {
    const double startRatio = FReader.U8() / 255.0;
    const QColor startColor = FReader.Rgba();
    const double endRatio = FReader.U8() / 255.0;
    const QColor endColor = FReader.Rgba();
    fill.Start.Gradient.Stops.push_back({startRatio, startColor});
    fill.End.Gradient.Stops.push_back({endRatio, endColor});
  }
  if (focal) {
    fill.Start.Gradient.FocalPoint = std::clamp(FReader.S16() / 256.0, -1.0, 1.0);
    fill.End.Gradient.FocalPoint = std::clamp(FReader.S16() / 256.0, -1.0, 1.0);
  }
}

MorphBuilder::FillPair MorphBuilder::ReadFillStyle() {
  FBudget.Consume();
  FReader.AlignToByte();
  FillPair fill;
  const quint8 type = FReader.U8();
  switch (type) {
  case 0x00:
    fill.Start.Color = FReader.Rgba();
    fill.End.Color = FReader.Rgba();
    break;
  case 0x10:
  case 0x12:
  case 0x13:
    fill.Start.Type = type == 0x10   ? SwfFillStyle::Kind::LinearGradient
                      : type == 0x12 ? SwfFillStyle::Kind::RadialGradient
                                     : SwfFillStyle::Kind::FocalGradient;
    fill.End.Type = fill.Start.Type;
    fill.Start.Matrix = FReader.Matrix();
    fill.End.Matrix = FReader.Matrix();
    ReadGradients(fill, type == 0x13);
    break;
  case 0x40:
  case 0x41:
  case 0x42:
  case 0x43: {
    fill.Start.Type = SwfFillStyle::Kind::Bitmap;
    FReader.AlignToByte();
    fill.Start.BitmapId = FReader.U16();
    if (const auto bitmap = FBitmaps.find(fill.Start.BitmapId); bitmap != FBitmaps.end())
      fill.Start.Bitmap = bitmap->second;
    fill.Start.Repeats = !(type & 0x01);
    fill.Start.Smoothed = !(type & 0x02);
    fill.End = fill.Start;
    fill.Start.Matrix = FReader.Matrix();
    fill.End.Matrix = FReader.Matrix();
    break;
  }
  default:
    throw SwfError("unknown morph fill style type " + std::to_string(type));
  }
  return fill;
}

MorphBuilder::LinePair MorphBuilder::ReadLineStyle() {
  FBudget.Consume();
  static constexpr Qt::PenCapStyle Caps[] = {Qt::RoundCap, Qt::FlatCap, Qt::SquareCap,
                                             Qt::RoundCap};
  static constexpr Qt::PenJoinStyle Joins[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::MiterJoin,
                                               Qt::RoundJoin};
  FReader.AlignToByte();
  LinePair line;
  line.Start.Width = FReader.U16();
  line.End.Width = FReader.U16();
  if (FVersion < 2) {
    line.Start.Color = FReader.Rgba();
    line.End.Color = FReader.Rgba();
    return line;
  }
  SwfLineStyle& style = line.Start;
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
  FReader.AlignToByte();
  if (join == 2)
    style.MiterLimit = FReader.U16() / 256.0;
  const double endWidth = line.End.Width;
  line.End = style;
  line.End.Width = endWidth;
  if (hasFill) {
    const FillPair fill = ReadFillStyle();
    line.Start.Fill = fill.Start;
    line.End.Fill = fill.End;
  } else {
    line.Start.Color = FReader.Rgba();
    line.End.Color = FReader.Rgba();
  }
  return line;
}

std::vector<SwfMorphShape::Edge> MorphBuilder::ReadEdges(const SwfMorphShape& morph) {
  FReader.AlignToByte();
  const int fillBits = int(FReader.Bits(4));
  const int lineBits = int(FReader.Bits(4));
  const auto style = [](quint32 number, std::size_t count) {
    return number >= 1 && number <= count ? int(number) - 1 : -1;
  };
  std::vector<SwfMorphShape::Edge> edges;
  SwfMorphShape::Edge current;
  QPoint pen;
  for (;;) {
    if (FReader.Bits(1)) {
      FBudget.Consume();
      current.Start = ReadSwfEdge(FReader, pen);
      pen = current.Start.To;
      edges.push_back(current);
      continue;
    }
    const quint32 flags = FReader.Bits(5);
    if (flags == 0)
      break;
    FBudget.Consume();
    if (flags & 0x10)
      throw SwfError("a morph shape's edges bring new styles");
    if (flags & 0x01) {
      const int bits = int(FReader.Bits(5));
      const int x = FReader.SignedBits(bits);
      pen = QPoint(x, FReader.SignedBits(bits));
    }
    if (flags & 0x02)
      current.Fill0 = style(FReader.Bits(fillBits), morph.Fills.size());
    if (flags & 0x04)
      current.Fill1 = style(FReader.Bits(fillBits), morph.Fills.size());
    if (flags & 0x08)
      current.Line = style(FReader.Bits(lineBits), morph.Lines.size());
  }
  return edges;
}

SwfMorphShape MorphBuilder::Read() {
  SwfMorphShape morph;
  morph.StartBounds = FReader.Rect();
  morph.EndBounds = FReader.Rect();
  if (FVersion >= 2) {
    FReader.Rect();
    FReader.Rect();
    FReader.AlignToByte();
    FReader.U8();
  }
  FReader.AlignToByte();
  FReader.U32(); // where the end edges start; they follow the start edges directly
  const int fills = ReadCount();
  for (int i = 0; i < fills; ++i)
    morph.Fills.push_back(ReadFillStyle());
  const int lines = ReadCount();
  for (int i = 0; i < lines; ++i)
    morph.Lines.push_back(ReadLineStyle());
  morph.Edges = ReadEdges(morph);
  // The end shape gives each edge its end position; its style changes are not used.
  const std::vector<SwfMorphShape::Edge> ends = ReadEdges(morph);
  // Edges without a partner at the end are left out, as a broken morph draws what it can.
  morph.Edges.resize(std::min(morph.Edges.size(), ends.size()));
  for (std::size_t i = 0; i < morph.Edges.size(); ++i)
    morph.Edges[i].End = ends[i].Start;
  return morph;
}

} // namespace

SwfMorphShape ReadSwfMorphShape(SwfReader& reader, int version, SwfBudget& budget,
                                const SwfBitmapTable& bitmaps) {
  return MorphBuilder(reader, version, budget, bitmaps).Read();
}
