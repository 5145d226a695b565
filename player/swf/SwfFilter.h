#pragma once

#include <QColor>
#include <QGradientStops>
#include <array>
#include <vector>

// One filter of a placement's filter list, as PlaceObject3 stores it. Only the fields its
// kind uses are set; blur sizes and distances are in pixels, angles in radians.
struct SwfFilter {
  enum class Kind {
    DropShadow,
    Blur,
    Glow,
    Bevel,
    GradientGlow,
    Convolution,
    ColorMatrix,
    GradientBevel
  };

  Kind Type = Kind::Blur;
  QColor Color;          // drop shadow and glow; a bevel's shadow
  QColor Highlight;      // a bevel's light side
  QGradientStops Colors; // gradient glow and bevel, by ratio 0..1
  double BlurX = 0, BlurY = 0;
  double Angle = 0, Distance = 0;
  double Strength = 1;
  bool Inner = false, Knockout = false, OnTop = false;
  int Passes = 1;
  // Convolution: the matrix by rows, its divisor and bias, the colour beyond the edges.
  int MatrixX = 0, MatrixY = 0;
  std::vector<double> Matrix;
  double Divisor = 1, Bias = 0;
  QColor EdgeColor;
  bool Clamp = true, PreserveAlpha = true;
  // Colour matrix: four rows of red, green, blue, alpha and an offset (0..255 units).
  std::array<double, 20> ColorMatrix{};
};

// How a placed object mixes with what lies beneath it.
enum class SwfBlendMode {
  Normal,
  Layer,
  Multiply,
  Screen,
  Lighten,
  Darken,
  Difference,
  Add,
  Subtract,
  Invert,
  Alpha,
  Erase,
  Overlay,
  HardLight
};

// What PlaceObject3 adds to a placement beyond matrix and colours.
struct SwfDisplayEffects {
  std::vector<SwfFilter> Filters;
  SwfBlendMode Blend = SwfBlendMode::Normal;
  bool CacheAsBitmap = false;

  // Whether the object is drawn straight onto what lies beneath it.
  bool IsPlain() const { return Filters.empty() && Blend == SwfBlendMode::Normal; }
};
