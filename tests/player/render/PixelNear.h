#pragma once

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

// Whether the pixel at x, y is within tolerance of expected in each of red, green and blue;
// the failure names both colours.
inline testing::AssertionResult PixelNear(const QImage& image, int x, int y, const QColor& expected,
                                          int tolerance) {
  const QColor actual = image.pixelColor(x, y);
  if (std::max({std::abs(actual.red() - expected.red()),
                std::abs(actual.green() - expected.green()),
                std::abs(actual.blue() - expected.blue())}) <= tolerance)
    return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "pixel " << x << "," << y << " is " << actual.name().toStdString() << ", not "
         << expected.name().toStdString();
}
