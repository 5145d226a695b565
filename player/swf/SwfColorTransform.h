#pragma once

#include <QColor>
#include <array>

// A colour transform as placements carry it: each channel is multiplied, then offset, then
// clamped to 0..255. Channels are red, green, blue, alpha.
struct SwfColorTransform {
  std::array<double, 4> Multiply{1, 1, 1, 1};
  std::array<double, 4> Add{0, 0, 0, 0}; // in 0..255 units

  bool operator==(const SwfColorTransform&) const = default;

  bool IsIdentity() const { return *this == SwfColorTransform(); }
  // Whether only the alpha multiplier differs from identity, as `_alpha` alone does.
  bool ScalesAlphaOnly() const {
    return Multiply[0] == 1 && Multiply[1] == 1 && Multiply[2] == 1 && Add == decltype(Add){};
  }
  // The transform that applies this one first, then outer.
  SwfColorTransform Then(const SwfColorTransform& outer) const {
    SwfColorTransform result;
    for (size_t channel = 0; channel < 4; ++channel) {
      result.Multiply[channel] = outer.Multiply[channel] * Multiply[channel];
      result.Add[channel] = outer.Multiply[channel] * Add[channel] + outer.Add[channel];
    }
    return result;
  }
  QColor Apply(const QColor& color) const {
    return QColor(Channel(0, color.red()), Channel(1, color.green()), Channel(2, color.blue()),
                  Channel(3, color.alpha()));
  }
  // The channel's value in 0..255 after the transform.
  int Channel(size_t channel, int value) const {
    const double result = value * Multiply[channel] + Add[channel];
    return result <= 0 ? 0 : result >= 255 ? 255 : int(result + 0.5);
  }
};
