#pragma once

#include "player/swf/SwfShape.h"

#include <QPointF>
#include <initializer_list>
#include <optional>

// What a clip's script draws with the drawing methods: a shape of its own, built one
// command at a time, that the clip shows beneath its display list. Coordinates are twips.
// A fill follows the pen from its begin to its end and closes back to where it started;
// lines follow the pen with the line style of the moment.
class ClipDrawing {
public:
  // Takes everything drawn away and forgets the line style.
  void Clear();
  // No style: the pen moves without drawing a line.
  void SetLineStyle(std::optional<SwfLineStyle> style);
  // Paints the current line style's stroke with fill, as a gradient line style does.
  void SetLineFill(const SwfFillStyle& fill);
  // Ends an open fill and starts the next; no style ends it only.
  void BeginFill(std::optional<SwfFillStyle> style);
  void EndFill();
  void MoveTo(QPointF to);
  void LineTo(QPointF to);
  void CurveTo(QPointF control, QPointF to);

  // What has been drawn, an open fill closed as it would be ended.
  const SwfShape& Shape() const { return FShape; }
  bool IsEmpty() const { return !FShape.HasDrawing(); }
  // How many lines and curves it holds.
  std::size_t SegmentCount() const { return FSegments; }
  // Changes whenever the drawing does; no two drawings share a value.
  quint64 Version() const { return FVersion; }

private:
  void StartStroke();
  void Changed();
  void Include(std::initializer_list<QPointF> points);

  SwfShape FShape;
  std::optional<SwfLineStyle> FLine;
  QPointF FPen;
  // Indices into FShape.Fills and FShape.Strokes of what the pen draws into now.
  std::optional<size_t> FOpenFill;
  std::optional<size_t> FOpenStroke;
  QPointF FFillStart;
  int FLayer = 0;
  std::size_t FSegments = 0;
  bool FBounded = false; // whether FShape.Bounds holds a point yet
  quint64 FVersion = 0;
};
