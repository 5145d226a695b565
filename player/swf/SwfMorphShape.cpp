#include "player/swf/SwfMorphShape.h"

#include <algorithm>
#include <cmath>

namespace {

// Exact ratios kept per morph; past them ratios snap to a grid of as many steps, so a long
// tween keeps a bounded number of shapes.
constexpr int MostExactRatios = 1024;
constexpr int RatioGridSteps = 1024;
constexpr int LastRatio = 65535;

double Between(double start, double end, double t) {
  return start + (end - start) * t;
}

QPoint Between(QPoint start, QPoint end, double t) {
  return QPoint(int(std::lround(Between(start.x(), end.x(), t))),
                int(std::lround(Between(start.y(), end.y(), t))));
}

QColor Between(const QColor& start, const QColor& end, double t) {
  const auto channel = [t](int from, int to) { return int(std::lround(Between(from, to, t))); };
  return QColor(channel(start.red(), end.red()), channel(start.green(), end.green()),
                channel(start.blue(), end.blue()), channel(start.alpha(), end.alpha()));
}

QTransform Between(const QTransform& start, const QTransform& end, double t) {
  return QTransform(Between(start.m11(), end.m11(), t), Between(start.m12(), end.m12(), t),
                    Between(start.m21(), end.m21(), t), Between(start.m22(), end.m22(), t),
                    Between(start.dx(), end.dx(), t), Between(start.dy(), end.dy(), t));
}

SwfFillStyle Between(const SwfFillStyle& start, const SwfFillStyle& end, double t) {
  SwfFillStyle fill = start;
  fill.Color = Between(start.Color, end.Color, t);
  fill.Matrix = Between(start.Matrix, end.Matrix, t);
  const QGradientStops& to = end.Gradient.Stops;
  for (qsizetype i = 0; i < fill.Gradient.Stops.size() && i < to.size(); ++i) {
    QGradientStop& stop = fill.Gradient.Stops[i];
    stop = {Between(stop.first, to[i].first, t), Between(stop.second, to[i].second, t)};
  }
  fill.Gradient.FocalPoint = Between(start.Gradient.FocalPoint, end.Gradient.FocalPoint, t);
  return fill;
}

SwfLineStyle Between(const SwfLineStyle& start, const SwfLineStyle& end, double t) {
  SwfLineStyle line = start;
  line.Width = Between(start.Width, end.Width, t);
  line.Color = Between(start.Color, end.Color, t);
  if (start.Fill && end.Fill)
    line.Fill = Between(*start.Fill, *end.Fill, t);
  return line;
}

// A straight edge met by a curve at the other end bends as a curve with its control point
// half way.
SwfEdge AsCurve(const SwfEdge& edge) {
  if (edge.Curved)
    return edge;
  return {edge.From, (edge.From + edge.To) / 2, edge.To, true};
}

} // namespace

QRectF SwfMorphShape::BoundsAt(int ratio) const {
  const double t = std::clamp(ratio, 0, LastRatio) / double(LastRatio);
  return QRectF(QPointF(Between(StartBounds.left(), EndBounds.left(), t),
                        Between(StartBounds.top(), EndBounds.top(), t)),
                QPointF(Between(StartBounds.right(), EndBounds.right(), t),
                        Between(StartBounds.bottom(), EndBounds.bottom(), t)));
}

const SwfShape& SwfMorphShape::ShapeAt(int ratio) const {
  ratio = std::clamp(ratio, 0, LastRatio);
  if (!FShapes->contains(ratio) && int(FShapes->size()) >= MostExactRatios) {
    const int step = int(std::lround(ratio / double(LastRatio) * RatioGridSteps));
    ratio = int(std::lround(step * double(LastRatio) / RatioGridSteps));
  }
  auto kept = FShapes->find(ratio);
  if (kept == FShapes->end())
    kept = FShapes->emplace(ratio, MakeShape(ratio)).first;
  return kept->second;
}

SwfShape SwfMorphShape::MakeShape(int ratio) const {
  const double t = ratio / double(LastRatio);
  std::vector<std::vector<SwfEdge>> fillEdges(Fills.size());
  std::vector<std::vector<SwfEdge>> lineEdges(Lines.size());
  for (const Edge& edge : Edges) {
    const bool curved = edge.Start.Curved || edge.End.Curved;
    const SwfEdge start = curved ? AsCurve(edge.Start) : edge.Start;
    const SwfEdge end = curved ? AsCurve(edge.End) : edge.End;
    const SwfEdge now{Between(start.From, end.From, t), Between(start.Control, end.Control, t),
                      Between(start.To, end.To, t), curved};
    // As in a shape: fill 1 lies left of the edge, fill 0 right of it.
    if (edge.Fill1 >= 0)
      fillEdges[size_t(edge.Fill1)].push_back(now);
    if (edge.Fill0 >= 0)
      fillEdges[size_t(edge.Fill0)].push_back(now.Reversed());
    if (edge.Line >= 0)
      lineEdges[size_t(edge.Line)].push_back(now);
  }
  SwfShape shape;
  shape.Bounds = BoundsAt(ratio);
  for (std::size_t i = 0; i < Fills.size(); ++i)
    if (!fillEdges[i].empty())
      shape.Fills.push_back(
          {Between(Fills[i].Start, Fills[i].End, t), SwfFillOutline(fillEdges[i]), 0});
  for (std::size_t i = 0; i < Lines.size(); ++i)
    if (!lineEdges[i].empty()) {
      const SwfLineStyle style = Between(Lines[i].Start, Lines[i].End, t);
      shape.Strokes.push_back({style, SwfStrokePath(lineEdges[i], !style.NoClose), 0});
    }
  return shape;
}
