#include "player/ClipGeometry.h"

#include "player/MovieClip.h"

#include <cmath>

namespace {

QTransform Fixed(const QTransform& matrix) {
  const auto fixed = [](double value) { return std::round(value * 65536) / 65536; };
  return QTransform(fixed(matrix.m11()), fixed(matrix.m12()), fixed(matrix.m21()),
                    fixed(matrix.m22()), matrix.dx(), matrix.dy());
}

QTransform WholeTwips(const QTransform& matrix) {
  return QTransform(matrix.m11(), matrix.m12(), matrix.m21(), matrix.m22(), std::round(matrix.dx()),
                    std::round(matrix.dy()));
}

} // namespace

namespace ClipGeometry {

QTransform ToStage(const MovieClip& clip) {
  QTransform transform = Fixed(clip.Transform());
  for (const MovieClip* parent = clip.Parent(); parent; parent = parent->Parent())
    transform = WholeTwips(transform * Fixed(parent->Transform()));
  return transform;
}

std::optional<QTransform> FromStage(const MovieClip& clip) {
  const QTransform toStage = ToStage(clip);
  if (!toStage.isInvertible())
    return std::nullopt;
  return WholeTwips(toStage.inverted());
}

} // namespace ClipGeometry
