#include "player/render/FilterPaint.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Blur sizes past this many device pixels are drawn at it; the reference caps them too.
constexpr double MaxBlur = 255;

using Plane = std::vector<float>; // one value per pixel, 0..1

// Quality runs from 1 to 15 blur passes; the file's five bits allow more, the player does not.
constexpr int MaxPasses = 15;

int PassCount(const SwfFilter& filter) {
  return std::clamp(filter.Passes, 1, MaxPasses);
}

int BoxSize(double blur, double scale) {
  return int(std::lround(std::clamp(blur * scale, 0.0, MaxBlur)));
}

// One box blur pass of width size along a row or a column, in place: stride steps between
// neighbours, count of them, starting at first.
void BoxPass(float* first, int count, int stride, int size, std::vector<float>& line) {
  if (size < 2 || count == 0)
    return;
  line.assign(std::size_t(count), 0);
  for (int i = 0; i < count; ++i)
    line[std::size_t(i)] = first[i * stride];
  const int before = size / 2;
  const int after = size - before - 1;
  double sum = 0;
  for (int i = -before; i <= after; ++i)
    if (i >= 0 && i < count)
      sum += line[std::size_t(i)];
  for (int i = 0; i < count; ++i) {
    first[i * stride] = float(sum / size);
    const int leaving = i - before;
    const int entering = i + after + 1;
    if (leaving >= 0)
      sum -= line[std::size_t(leaving)];
    if (entering < count)
      sum += line[std::size_t(entering)];
  }
}

void Blur(Plane& plane, int width, int height, int sizeX, int sizeY, int passes) {
  std::vector<float> line;
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < height; ++y)
      BoxPass(plane.data() + std::size_t(y) * width, width, 1, sizeX, line);
    for (int x = 0; x < width; ++x)
      BoxPass(plane.data() + x, height, width, sizeY, line);
  }
}

Plane AlphaPlane(const QImage& image) {
  Plane plane(std::size_t(image.width()) * image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      plane[std::size_t(y) * image.width() + x] = qAlpha(row[x]) / 255.0f;
  }
  return plane;
}

// The plane moved by (dx, dy) pixels, filled with fill where nothing moves in.
Plane Shifted(const Plane& plane, int width, int height, int dx, int dy, float fill) {
  Plane moved(plane.size(), fill);
  for (int y = 0; y < height; ++y) {
    const int from = y - dy;
    if (from < 0 || from >= height)
      continue;
    for (int x = 0; x < width; ++x) {
      const int source = x - dx;
      if (source >= 0 && source < width)
        moved[std::size_t(y) * width + x] = plane[std::size_t(from) * width + source];
    }
  }
  return moved;
}

// Colours an amount plane: each pixel takes the colour lookup gives for its amount.
template <typename Lookup>
QImage Colored(const Plane& amount, int width, int height, Lookup lookup) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x)
      row[x] = lookup(std::clamp(amount[std::size_t(y) * width + x], 0.0f, 1.0f));
  }
  return image;
}

QRgb Premultiplied(const QColor& color, float amount) {
  return qPremultiply(
      qRgba(color.red(), color.green(), color.blue(), int(std::lround(color.alpha() * amount))));
}

// 256 colours of a filter's gradient by amount 0..1.
std::vector<QRgb> GradientTable(const QGradientStops& stops) {
  std::vector<QRgb> table(256, qRgba(0, 0, 0, 0));
  if (stops.isEmpty())
    return table;
  for (int i = 0; i < 256; ++i) {
    const double at = i / 255.0;
    auto next = std::find_if(stops.begin(), stops.end(),
                             [at](const QGradientStop& stop) { return stop.first > at; });
    QColor color;
    if (next == stops.begin())
      color = next->second;
    else if (next == stops.end())
      color = stops.last().second;
    else {
      const QGradientStop& from = *(next - 1);
      const double t = (at - from.first) / (next->first - from.first);
      const auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
      color = QColor(mix(from.second.red(), next->second.red()),
                     mix(from.second.green(), next->second.green()),
                     mix(from.second.blue(), next->second.blue()),
                     mix(from.second.alpha(), next->second.alpha()));
    }
    table[std::size_t(i)] = Premultiplied(color, 1);
  }
  return table;
}

// Puts an effect drawn from the object's alpha together with the object: an inner effect
// shows inside the object, an outer one beneath it, and knockout leaves the object out.
QImage Composite(const QImage& source, QImage effect, bool inner, bool knockout, bool onTop) {
  QPainter painter(&effect);
  if (inner) {
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, source);
    if (knockout)
      return effect;
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    painter.drawImage(0, 0, source);
    return effect;
  }
  if (!onTop) {
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    painter.drawImage(0, 0, source);
  }
  if (knockout)
    return effect;
  painter.setCompositionMode(onTop ? QPainter::CompositionMode_DestinationOver
                                   : QPainter::CompositionMode_SourceOver);
  painter.drawImage(0, 0, source);
  return effect;
}

QPoint Offset(const SwfFilter& filter, double scale) {
  return QPoint(int(std::lround(std::cos(filter.Angle) * filter.Distance * scale)),
                int(std::lround(std::sin(filter.Angle) * filter.Distance * scale)));
}

// Drop shadows and glows, plain or by gradient.
QImage Shadow(const QImage& source, const SwfFilter& filter, double scale) {
  const int width = source.width(), height = source.height();
  Plane alpha = AlphaPlane(source);
  if (filter.Inner)
    for (float& value : alpha)
      value = 1 - value;
  const QPoint offset = Offset(filter, scale);
  alpha = Shifted(alpha, width, height, offset.x(), offset.y(), filter.Inner ? 1 : 0);
  Blur(alpha, width, height, BoxSize(filter.BlurX, scale), BoxSize(filter.BlurY, scale),
       PassCount(filter));
  for (float& value : alpha)
    value = float(value * filter.Strength);
  QImage effect;
  if (filter.Type == SwfFilter::Kind::GradientGlow) {
    const std::vector<QRgb> table = GradientTable(filter.Colors);
    effect = Colored(alpha, width, height,
                     [&table](float amount) { return table[std::size_t(amount * 255)]; });
  } else {
    effect = Colored(alpha, width, height,
                     [&filter](float amount) { return Premultiplied(filter.Color, amount); });
  }
  return Composite(source, effect, filter.Inner, filter.Knockout, false);
}

// Bevels: light on the side the angle faces away from, shadow on the other.
QImage Bevel(const QImage& source, const SwfFilter& filter, double scale) {
  const int width = source.width(), height = source.height();
  const Plane alpha = AlphaPlane(source);
  const QPoint offset = Offset(filter, scale);
  Plane lit = Shifted(alpha, width, height, -offset.x(), -offset.y(), 0);
  Plane shaded = Shifted(alpha, width, height, offset.x(), offset.y(), 0);
  const int sizeX = BoxSize(filter.BlurX, scale), sizeY = BoxSize(filter.BlurY, scale);
  Blur(lit, width, height, sizeX, sizeY, PassCount(filter));
  Blur(shaded, width, height, sizeX, sizeY, PassCount(filter));
  Plane balance(alpha.size());
  for (std::size_t i = 0; i < balance.size(); ++i)
    balance[i] = float((shaded[i] - lit[i]) * filter.Strength);
  QImage effect;
  if (filter.Type == SwfFilter::Kind::GradientBevel) {
    const std::vector<QRgb> table = GradientTable(filter.Colors);
    for (float& value : balance)
      value = (value + 1) / 2;
    effect = Colored(balance, width, height,
                     [&table](float amount) { return table[std::size_t(amount * 255)]; });
  } else {
    effect = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<QRgb*>(effect.scanLine(y));
      for (int x = 0; x < width; ++x) {
        const float value = std::clamp(balance[std::size_t(y) * width + x], -1.0f, 1.0f);
        row[x] = value >= 0 ? Premultiplied(filter.Highlight, value)
                            : Premultiplied(filter.Color, -value);
      }
    }
  }
  return Composite(source, effect, filter.Inner, filter.Knockout, filter.OnTop);
}

QImage BlurImage(QImage image, const SwfFilter& filter, double scale) {
  const int width = image.width(), height = image.height();
  const int sizeX = BoxSize(filter.BlurX, scale), sizeY = BoxSize(filter.BlurY, scale);
  std::array<Plane, 4> channels;
  for (auto& channel : channels)
    channel.resize(std::size_t(width) * height);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      const std::size_t at = std::size_t(y) * width + x;
      channels[0][at] = float(qRed(row[x]));
      channels[1][at] = float(qGreen(row[x]));
      channels[2][at] = float(qBlue(row[x]));
      channels[3][at] = float(qAlpha(row[x]));
    }
  }
  for (auto& channel : channels)
    Blur(channel, width, height, sizeX, sizeY, PassCount(filter));
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const std::size_t at = std::size_t(y) * width + x;
      const auto value = [](float v) { return std::clamp(int(std::lround(v)), 0, 255); };
      const int alpha = value(channels[3][at]);
      row[x] =
          qRgba(std::min(value(channels[0][at]), alpha), std::min(value(channels[1][at]), alpha),
                std::min(value(channels[2][at]), alpha), alpha);
    }
  }
  return image;
}

QImage ColorMatrixImage(QImage image, const SwfFilter& filter) {
  const auto& m = filter.ColorMatrix;
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = qUnpremultiply(row[x]);
      const double in[4] = {double(qRed(pixel)), double(qGreen(pixel)), double(qBlue(pixel)),
                            double(qAlpha(pixel))};
      int out[4];
      for (int channel = 0; channel < 4; ++channel) {
        const double* weights = &m[std::size_t(channel) * 5];
        const double value = weights[0] * in[0] + weights[1] * in[1] + weights[2] * in[2] +
                             weights[3] * in[3] + weights[4];
        out[channel] = std::clamp(int(std::lround(value)), 0, 255);
      }
      row[x] = qPremultiply(qRgba(out[0], out[1], out[2], out[3]));
    }
  }
  return image;
}

QImage ConvolutionImage(const QImage& source, const SwfFilter& filter) {
  if (filter.MatrixX == 0 || filter.MatrixY == 0 || filter.Divisor == 0)
    return source;
  const int width = source.width(), height = source.height();
  QImage result(width, height, QImage::Format_ARGB32_Premultiplied);
  const QRgb edge = qRgba(filter.EdgeColor.red(), filter.EdgeColor.green(), filter.EdgeColor.blue(),
                          filter.EdgeColor.alpha());
  const auto pixelAt = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
      if (!filter.Clamp)
        return edge;
      x = std::clamp(x, 0, width - 1);
      y = std::clamp(y, 0, height - 1);
    }
    return qUnpremultiply(reinterpret_cast<const QRgb*>(source.constScanLine(y))[x]);
  };
  const int halfX = filter.MatrixX / 2, halfY = filter.MatrixY / 2;
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
    for (int x = 0; x < width; ++x) {
      double sum[4] = {0, 0, 0, 0};
      for (int j = 0; j < filter.MatrixY; ++j)
        for (int i = 0; i < filter.MatrixX; ++i) {
          const double weight = filter.Matrix[std::size_t(j * filter.MatrixX + i)];
          const QRgb pixel = pixelAt(x + i - halfX, y + j - halfY);
          sum[0] += weight * qRed(pixel);
          sum[1] += weight * qGreen(pixel);
          sum[2] += weight * qBlue(pixel);
          sum[3] += weight * qAlpha(pixel);
        }
      const auto value = [&](double total) {
        return std::clamp(int(std::lround(total / filter.Divisor + filter.Bias)), 0, 255);
      };
      const int alpha = filter.PreserveAlpha ? qAlpha(pixelAt(x, y)) : value(sum[3]);
      row[x] = qPremultiply(qRgba(value(sum[0]), value(sum[1]), value(sum[2]), alpha));
    }
  }
  return result;
}

} // namespace

int FilterReach(const std::vector<SwfFilter>& filters, double scale) {
  double reach = 0;
  for (const SwfFilter& filter : filters) {
    const double blur = std::max(BoxSize(filter.BlurX, scale), BoxSize(filter.BlurY, scale));
    reach += blur * PassCount(filter) / 2.0 + std::abs(filter.Distance) * scale;
    if (filter.Type == SwfFilter::Kind::Convolution)
      reach += std::max(filter.MatrixX, filter.MatrixY) / 2.0;
  }
  return int(std::ceil(reach)) + 1;
}

qint64 FilterCost(const std::vector<SwfFilter>& filters) {
  qint64 cost = 0;
  for (const SwfFilter& filter : filters) {
    const bool bevel =
        filter.Type == SwfFilter::Kind::Bevel || filter.Type == SwfFilter::Kind::GradientBevel;
    cost += 2 + 2 * PassCount(filter) * (bevel ? 2 : 1);
    if (filter.Type == SwfFilter::Kind::Convolution)
      cost += qint64(filter.MatrixX) * filter.MatrixY;
  }
  return cost;
}

QImage ApplyFilters(QImage image, const std::vector<SwfFilter>& filters, double scale) {
  for (const SwfFilter& filter : filters) {
    switch (filter.Type) {
    case SwfFilter::Kind::DropShadow:
    case SwfFilter::Kind::Glow:
    case SwfFilter::Kind::GradientGlow:
      image = Shadow(image, filter, scale);
      break;
    case SwfFilter::Kind::Bevel:
    case SwfFilter::Kind::GradientBevel:
      image = Bevel(image, filter, scale);
      break;
    case SwfFilter::Kind::Blur:
      image = BlurImage(image, filter, scale);
      break;
    case SwfFilter::Kind::ColorMatrix:
      image = ColorMatrixImage(image, filter);
      break;
    case SwfFilter::Kind::Convolution:
      image = ConvolutionImage(image, filter);
      break;
    }
  }
  return image;
}
