#include "player/swf/SwfOutline.h"

#include "player/swf/SwfReader.h"

#include <cmath>
#include <optional>
#include <unordered_map>

namespace {

// How far short of its start, in twips, an outline that must not close stops.
constexpr double OpenLoopGap = 0.01;

quint64 PointKey(QPoint point) {
  return (quint64(quint32(point.x())) << 32) | quint32(point.y());
}

} // namespace

SwfEdge ReadSwfEdge(SwfReader& reader, QPoint from) {
  SwfEdge edge;
  edge.From = from;
  const bool straight = reader.Bits(1);
  const int bits = int(reader.Bits(4)) + 2;
  if (straight) {
    QPoint delta;
    if (reader.Bits(1)) {
      delta.setX(reader.SignedBits(bits));
      delta.setY(reader.SignedBits(bits));
    } else if (reader.Bits(1)) {
      delta.setY(reader.SignedBits(bits));
    } else {
      delta.setX(reader.SignedBits(bits));
    }
    edge.To = from + delta;
  } else {
    const int controlX = reader.SignedBits(bits);
    const int controlY = reader.SignedBits(bits);
    const int anchorX = reader.SignedBits(bits);
    const int anchorY = reader.SignedBits(bits);
    edge.Control = from + QPoint(controlX, controlY);
    edge.To = edge.Control + QPoint(anchorX, anchorY);
    edge.Curved = true;
  }
  return edge;
}

QPainterPath SwfFillOutline(const std::vector<SwfEdge>& edges) {
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
      const SwfEdge& edge = edges[*current];
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

QPainterPath SwfStrokePath(const std::vector<SwfEdge>& edges, bool closeLoops) {
  QPainterPath path;
  QPoint subpathStart;
  const auto finishSubpath = [&] {
    if (path.elementCount() < 2 || path.currentPosition() != QPointF(subpathStart))
      return;
    if (closeLoops) {
      path.closeSubpath();
      return;
    }
    // A stroker joins a subpath that ends where it starts; stopping a hair short of the
    // start keeps both ends open for their caps.
    const int last = path.elementCount() - 1;
    const QPointF before = path.elementAt(last - 1);
    const QPointF end = path.elementAt(last);
    const QPointF back = before - end;
    const double length = std::hypot(back.x(), back.y());
    if (length > 0)
      path.setElementPositionAt(last, end.x() + back.x() / length * OpenLoopGap,
                                end.y() + back.y() / length * OpenLoopGap);
  };
  for (const SwfEdge& edge : edges) {
    if (path.elementCount() == 0 || path.currentPosition() != QPointF(edge.From)) {
      finishSubpath();
      path.moveTo(edge.From);
      subpathStart = edge.From;
    }
    if (edge.Curved)
      path.quadTo(edge.Control, edge.To);
    else
      path.lineTo(edge.To);
  }
  finishSubpath();
  return path;
}
