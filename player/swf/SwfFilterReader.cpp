#include "player/swf/SwfFilterReader.h"

#include "player/swf/SwfError.h"
#include "player/swf/SwfReader.h"

namespace {

double Fixed(SwfReader& reader) {
  return qint32(reader.U32()) / 65536.0;
}

double Fixed8(SwfReader& reader) {
  return qint16(reader.U16()) / 256.0;
}

void ReadBlur(SwfReader& reader, SwfFilter& filter) {
  filter.BlurX = Fixed(reader);
  filter.BlurY = Fixed(reader);
}

// The flag byte of the shadow family: inner, knockout, composite source, on top (where the
// kind has it) and the number of passes in the bits left.
void ReadShadowFlags(SwfReader& reader, SwfFilter& filter, bool hasOnTop) {
  const quint8 flags = reader.U8();
  filter.Inner = flags & 0x80;
  filter.Knockout = flags & 0x40;
  filter.OnTop = hasOnTop && (flags & 0x10);
  filter.Passes = hasOnTop ? flags & 0x0F : flags & 0x1F;
}

void ReadGradient(SwfReader& reader, SwfFilter& filter) {
  const int count = reader.U8();
  std::vector<QColor> colors;
  for (int i = 0; i < count; ++i)
    colors.push_back(reader.Rgba());
  for (int i = 0; i < count; ++i) {
    const double ratio = reader.U8() / 255.0;
    filter.Colors.append({ratio, colors[std::size_t(i)]});
  }
}

// Where a shadow or bevel falls and how strong it is.
void ReadDirection(SwfReader& reader, SwfFilter& filter) {
  filter.Angle = Fixed(reader);
  filter.Distance = Fixed(reader);
  filter.Strength = Fixed8(reader);
}

SwfFilter ReadFilter(SwfReader& reader) {
  SwfFilter filter;
  const int kind = reader.U8();
  switch (kind) {
  case 0:
    filter.Type = SwfFilter::Kind::DropShadow;
    filter.Color = reader.Rgba();
    ReadBlur(reader, filter);
    ReadDirection(reader, filter);
    ReadShadowFlags(reader, filter, false);
    break;
  case 1: {
    filter.Type = SwfFilter::Kind::Blur;
    ReadBlur(reader, filter);
    filter.Passes = reader.U8() >> 3;
    break;
  }
  case 2:
    filter.Type = SwfFilter::Kind::Glow;
    filter.Color = reader.Rgba();
    ReadBlur(reader, filter);
    filter.Strength = Fixed8(reader);
    ReadShadowFlags(reader, filter, false);
    break;
  case 3:
    filter.Type = SwfFilter::Kind::Bevel;
    filter.Color = reader.Rgba();
    filter.Highlight = reader.Rgba();
    ReadBlur(reader, filter);
    ReadDirection(reader, filter);
    ReadShadowFlags(reader, filter, true);
    break;
  case 4:
  case 7:
    filter.Type = kind == 4 ? SwfFilter::Kind::GradientGlow : SwfFilter::Kind::GradientBevel;
    ReadGradient(reader, filter);
    ReadBlur(reader, filter);
    ReadDirection(reader, filter);
    ReadShadowFlags(reader, filter, true);
    break;
  case 5: {
    filter.Type = SwfFilter::Kind::Convolution;
    filter.MatrixX = reader.U8();
    filter.MatrixY = reader.U8();
    filter.Divisor = reader.Float32();
    filter.Bias = reader.Float32();
    for (int i = 0; i < filter.MatrixX * filter.MatrixY; ++i)
      filter.Matrix.push_back(reader.Float32());
    filter.EdgeColor = reader.Rgba();
    const quint8 flags = reader.U8();
    filter.Clamp = flags & 0x02;
    filter.PreserveAlpha = flags & 0x01;
    break;
  }
  case 6:
    filter.Type = SwfFilter::Kind::ColorMatrix;
    for (double& value : filter.ColorMatrix)
      value = reader.Float32();
    break;
  default:
    throw SwfError("unknown filter type " + std::to_string(kind));
  }
  return filter;
}

} // namespace

std::vector<SwfFilter> ReadSwfFilters(SwfReader& reader) {
  const int count = reader.U8();
  std::vector<SwfFilter> filters;
  for (int i = 0; i < count; ++i)
    filters.push_back(ReadFilter(reader));
  return filters;
}

SwfBlendMode SwfBlendModeOf(int value) {
  // 0 and 1 are both normal; 2 to 14 follow the enumeration from Layer on.
  if (value < 2 || value > 14)
    return SwfBlendMode::Normal;
  return SwfBlendMode(value - 1);
}
