#include "player/render/GradientPaint.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Half the side of the gradient square, in gradient units.
constexpr double GradientHalfSide = 16384;
// A gradient is drawn as this many flat steps, one per ratio, as the reference shows it.
constexpr int Steps = 256;
// How far before the next step a step's colour ends.
constexpr double StepEdge = 1e-7;

double ToLinear(int channel) {
  const double value = channel / 255.0;
  return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

int FromLinear(double value) {
  const double encoded =
      value <= 0.0031308 ? value * 12.92 : 1.055 * std::pow(value, 1 / 2.4) - 0.055;
  return int(std::lround(std::clamp(encoded, 0.0, 1.0) * 255));
}

QColor Mix(const QColor& from, const QColor& to, double t, bool linearLight) {
  const auto mix = [t, linearLight](int a, int b) {
    if (linearLight)
      return FromLinear(ToLinear(a) + (ToLinear(b) - ToLinear(a)) * t);
    return int(std::lround(a + (b - a) * t));
  };
  return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                mix(from.blue(), to.blue()),
                int(std::lround(from.alpha() + (to.alpha() - from.alpha()) * t)));
}

// The colour of each of the gradient's steps, as the reference draws them. Stops keep the
// file's order: each starts at its ratio, or one step past the stop before it when that is
// further, and so holds at least one step of its own. Between two stops the colour is mixed
// by the ratios the file gives, so a stop moved up starts part of the way to the next.
std::vector<QColor> StepColors(const SwfGradient& gradient, const SwfColorTransform& colors) {
  struct Stop {
    int Start = 0; // the first step the stop colours
    int Ratio = 0; // as the file gives it
    QColor Color;
  };
  std::vector<Stop> stops;
  for (const QGradientStop& stop : gradient.Stops) {
    const int ratio = int(std::lround(stop.first * (Steps - 1)));
    const int start =
        stops.empty() ? ratio : std::max(ratio, std::min(stops.back().Start + 1, Steps - 1));
    stops.push_back({start, ratio, colors.Apply(stop.second)});
  }
  const bool linearLight = gradient.InterpolationMode == SwfGradient::Interpolation::LinearRgb;
  std::vector<QColor> steps(Steps);
  std::size_t next = 0; // the first stop starting past the step
  for (int step = 0; step < Steps; ++step) {
    while (next < stops.size() && stops[next].Start <= step)
      ++next;
    QColor& color = steps[std::size_t(step)];
    if (next == 0)
      color = stops.front().Color;
    else if (next == stops.size())
      color = stops.back().Color;
    else {
      const Stop& from = stops[next - 1];
      const Stop& to = stops[next];
      const double span = to.Ratio - from.Ratio;
      const double t = span > 0 ? std::clamp((step - from.Ratio) / span, 0.0, 1.0) : 0;
      color = Mix(from.Color, to.Color, t, linearLight);
    }
  }
  return steps;
}

// The steps as gradient stops for Qt, strictly ascending, one flat run per colour.
QGradientStops DrawnStops(const SwfGradient& gradient, const SwfColorTransform& colors) {
  if (gradient.Stops.isEmpty())
    return {};
  const std::vector<QColor> steps = StepColors(gradient, colors);
  QGradientStops stops;
  for (int step = 0; step < Steps; ++step) {
    const QColor& color = steps[std::size_t(step)];
    const bool runStarts = step == 0 || steps[std::size_t(step - 1)] != color;
    const bool runEnds = step + 1 == Steps || steps[std::size_t(step + 1)] != color;
    if (runStarts)
      stops.append({double(step) / Steps, color});
    if (runEnds)
      stops.append({double(step + 1) / Steps - (step + 1 == Steps ? 0 : StepEdge), color});
  }
  return stops;
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
