#pragma once

#include <QColor>
#include <QGradientStops>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>
#include <optional>
#include <unordered_map>
#include <vector>

// A gradient's colours along the 32,768-unit gradient square and how it continues past it.
struct SwfGradient {
  enum class Spread { Pad, Reflect, Repeat };
  enum class Interpolation { Normal, LinearRgb };

  QGradientStops Stops; // ratios as positions 0..1, in file order, ascending or not
  Spread SpreadMode = Spread::Pad;
  Interpolation InterpolationMode = Interpolation::Normal;
  double FocalPoint = 0; // -1..1 along the x axis of a focal radial gradient
};

// How a fill style paints: one colour, a gradient or a bitmap.
struct SwfFillStyle {
  enum class Kind { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };

  Kind Type = Kind::Solid;
  QColor Color;
  // Maps the gradient square or the bitmap's pixels into the shape's twips.
  QTransform Matrix;
  SwfGradient Gradient;
  int BitmapId = 0; // the bitmap character a bitmap fill names
  QImage Bitmap;    // premultiplied; null when the fill names no known bitmap
  bool Repeats = true;
  bool Smoothed = true;
};

// How an outline is stroked.
struct SwfLineStyle {
  double Width = 20;                     // twips; 0 is a hairline, one pixel wide at any scale
  QColor Color;                          // used when Fill is not set
  std::optional<SwfFillStyle> Fill;      // the stroke is painted like a fill
  Qt::PenCapStyle Cap = Qt::RoundCap;    // at the start of each open outline
  Qt::PenCapStyle EndCap = Qt::RoundCap; // at its end
  Qt::PenJoinStyle Join = Qt::RoundJoin;
  double MiterLimit = 3; // in stroke widths
  bool NoClose = false;  // a closed outline ends in caps instead of a join
  bool PixelHinting = false;
  bool ScalesHorizontally = true;
  bool ScalesVertically = true;
};

// A shape character: its declared bounds and, for drawing, one path per used fill and line
// style. Coordinates are in twips. Each style array a shape brings starts a new layer; a
// layer draws its fills, then its strokes, over the layers before it.
struct SwfShape {
  struct Fill {
    SwfFillStyle Style;
    QPainterPath Path; // closed outlines
    int Layer = 0;
  };
  struct Stroke {
    SwfLineStyle Style;
    QPainterPath Path; // open or closed polylines and curves
    int Layer = 0;
  };

  QRectF Bounds;
  std::vector<Fill> Fills;
  std::vector<Stroke> Strokes;

  bool HasDrawing() const { return !Fills.empty() || !Strokes.empty(); }
};

// Bitmaps defined in a movie, by character id.
using SwfBitmapTable = std::unordered_map<int, QImage>;
