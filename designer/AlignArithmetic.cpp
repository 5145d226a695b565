#include "designer/AlignArithmetic.h"

#include <algorithm>
#include <numeric>

namespace AlignArithmetic {

namespace {

int Compare(double A, double B) {
  return A > B ? 1 : (A == B ? 0 : -1);
}

// A box's start and extent along one axis.
double Start(const TBox& Box, bool Horizontally) {
  return Horizontally ? Box.X : Box.Y;
}

double Extent(const TBox& Box, bool Horizontally) {
  return Horizontally ? Box.Width : Box.Height;
}

// The point of a box that goes on the line, as a share of its extent from its start.
double AnchorShare(TAlignLine Line) {
  switch (Line) {
  case TAlignLine::Left:
  case TAlignLine::Top:
    return 0;
  case TAlignLine::Center:
  case TAlignLine::TopCenter:
    return 0.5;
  case TAlignLine::Right:
  case TAlignLine::Bottom:
    break;
  }
  return 1;
}

} // namespace

bool SetsX(TAlignLine Line) {
  return Line == TAlignLine::Left || Line == TAlignLine::Right || Line == TAlignLine::Center;
}

QList<double> AlignedPositions(TAlignLine Line, const QList<TBox>& Boxes) {
  QList<double> positions;
  if (Boxes.isEmpty())
    return positions;
  const bool horizontally = SetsX(Line);
  const double share = AnchorShare(Line);
  const auto anchor = [&](const TBox& Box) {
    return Start(Box, horizontally) + share * Extent(Box, horizontally);
  };

  // The line is taken from the boxes themselves, so boxes lying wholly left of (or above)
  // the stage align on their own outermost edge.
  double line = 0;
  switch (Line) {
  case TAlignLine::Left:
  case TAlignLine::Top:
    line = anchor(*std::ranges::min_element(Boxes, {}, anchor));
    break;
  case TAlignLine::Right:
  case TAlignLine::Bottom:
    line = anchor(*std::ranges::max_element(Boxes, {}, anchor));
    break;
  case TAlignLine::Center:
  case TAlignLine::TopCenter:
    line = std::accumulate(Boxes.begin(), Boxes.end(), 0.0,
                           [&](double Sum, const TBox& Box) { return Sum + anchor(Box); }) /
           Boxes.size();
    break;
  }

  positions.reserve(Boxes.size());
  for (const TBox& box : Boxes)
    positions.append(line - share * Extent(box, horizontally));
  return positions;
}

int CompareElementsByX(const TBox& A, const TBox& B) {
  return Compare(A.X, B.X);
}

int CompareElementsByY(const TBox& A, const TBox& B) {
  return Compare(A.Y, B.Y);
}

QList<TPlacement> DistributedPositions(bool Horizontally, const QList<TBox>& Boxes) {
  QList<TPlacement> placements;
  const qsizetype count = Boxes.size();
  if (count < 3)
    return placements;

  QList<qsizetype> order(count);
  std::iota(order.begin(), order.end(), 0);
  const auto compare = Horizontally ? CompareElementsByX : CompareElementsByY;
  std::ranges::stable_sort(
      order, [&](qsizetype A, qsizetype B) { return compare(Boxes[A], Boxes[B]) < 0; });

  const TBox& first = Boxes[order.first()];
  const TBox& last = Boxes[order.last()];
  double middleExtent = 0;
  for (qsizetype i = 1; i < count - 1; ++i)
    middleExtent += Extent(Boxes[order[i]], Horizontally);
  const double firstEnd = Start(first, Horizontally) + Extent(first, Horizontally);
  const double gap = (Start(last, Horizontally) - firstEnd - middleExtent) / (count - 1);

  // The running end is kept unrounded; the element setters round only what they store.
  double cursor = firstEnd;
  placements.reserve(count - 2);
  for (qsizetype i = 1; i < count - 1; ++i) {
    cursor += gap;
    placements.append({order[i], cursor});
    cursor += Extent(Boxes[order[i]], Horizontally);
  }
  return placements;
}

} // namespace AlignArithmetic
