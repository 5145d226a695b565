#include "player/render/GradientPaint.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace {

// Half the side of the gradient square, in gradient units.
constexpr double GradientHalfSide = 16384;
// Stops added between two stops when a gradient interpolates in linear light.
constexpr int LinearLightSteps = 8;
// How far apart stops at one ratio are pulled, so both colours show with a hard edge.
constexpr double CoincidentStopGap = 1e-6;

double ToLinear(int channel) {
  const double value = channel / 255.0;
  return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

int FromLinear(double value) {
  const double encoded =
      value <= 0.0031308 ? value * 12.92 : 1.055 * std::pow(value, 1 / 2.4) - 0.055;
  return int(std::lround(std::clamp(encoded, 0.0, 1.0) * 255));
}

QColor MixInLinearLight(const QColor& from, const QColor& to, double t) {
  const auto mix = [t](int a, int b) {
    return FromLinear(ToLinear(a) + (ToLinear(b) - ToLinear(a)) * t);
  };
  return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                mix(from.blue(), to.blue()),
                int(std::lround(from.alpha() + (to.alpha() - from.alpha()) * t)));
}

// The gradient's stops under the colour transform, strictly ascending as Qt needs them, with
// linear-light interpolation spelled out as intermediate stops.
QGradientStops DrawnStops(const SwfGradient& gradient, const SwfColorTransform& colors) {
  QGradientStops stops;
  for (const QGradientStop& stop : gradient.Stops) {
    const QColor color = colors.Apply(stop.second);
    if (!stops.isEmpty() && stop.first <= stops.last().first) {
      const double moved = stops.last().first + CoincidentStopGap;
      if (moved > 1) {
        stops.last().second = color; // the later stop at the end wins
        continue;
      }
      stops.append({moved, color});
      continue;
    }
    stops.append({stop.first, color});
  }
  if (stops.size() == 1)
    stops = {{0, stops[0].second}, {1, stops[0].second}};
  if (gradient.InterpolationMode != SwfGradient::Interpolation::LinearRgb)
    return stops;
  QGradientStops expanded;
  for (qsizetype i = 0; i < stops.size(); ++i) {
    expanded.append(stops[i]);
    if (i + 1 == stops.size())
      break;
    const QGradientStop& next = stops[i + 1];
    for (int step = 1; step < LinearLightSteps; ++step) {
      const double t = double(step) / LinearLightSteps;
      expanded.append({stops[i].first + (next.first - stops[i].first) * t,
                       MixInLinearLight(stops[i].second, next.second, t)});
    }
  }
  return expanded;
}

QGradient::Spread QtSpread(SwfGradient::Spread spread) {
  switch (spread) {
  case SwfGradient::Spread::Reflect:
    return QGradient::ReflectSpread;
  case SwfGradient::Spread::Repeat:
    return QGradient::RepeatSpread;
  case SwfGradient::Spread::Pad:
    break;
  }
  return QGradient::PadSpread;
}

template <typename Gradient>
QBrush BrushOf(Gradient gradient, const QGradientStops& stops, const SwfFillStyle& fill) {
  gradient.setStops(stops);
  gradient.setSpread(QtSpread(fill.Gradient.SpreadMode));
  QBrush brush(gradient);
  brush.setTransform(fill.Matrix);
  return brush;
}

} // namespace

QBrush GradientBrush(const SwfFillStyle& fill, const SwfColorTransform& colors) {
  const QGradientStops stops = DrawnStops(fill.Gradient, colors);
  if (stops.isEmpty())
    return Qt::NoBrush;
  if (fill.Type == SwfFillStyle::Kind::LinearGradient)
    return BrushOf(QLinearGradient(-GradientHalfSide, 0, GradientHalfSide, 0), stops, fill);
  const double focus =
      fill.Type == SwfFillStyle::Kind::FocalGradient ? fill.Gradient.FocalPoint : 0;
  return BrushOf(
      QRadialGradient(QPointF(0, 0), GradientHalfSide, QPointF(focus * GradientHalfSide, 0)), stops,
      fill);
}
