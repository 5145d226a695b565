#include "model/QelDrowFunct.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr quint32 HandleBorderColor = 0x000000; // black
constexpr quint32 HandleColor = 0x00FF00;       // lime
constexpr int HandleBorderHalfSize = 4;
constexpr int HandleHalfSize = 3;

QColor ColorFromBgr(quint32 Color) {
  return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

} // namespace

void DrawHandle(QPainter& Canvas, QPoint P, int H, quint32 Color) {
  Canvas.setBrush(ColorFromBgr(Color));
  Canvas.fillRect(QRect(P.x() - H, P.y() - H, 2 * H, 2 * H), Canvas.brush());
}

void DrawFrameWithHandles(QPainter& Canvas, QPoint P1, QPoint P2) {
  const QPoint TL(std::min(P1.x(), P2.x()), std::min(P1.y(), P2.y()));
  const QPoint BR(std::max(P1.x(), P2.x()), std::max(P1.y(), P2.y()));
  const QPoint Outline[] = {TL, {BR.x(), TL.y()}, BR, {TL.x(), BR.y()}, TL};
  Canvas.drawPolyline(Outline, std::size(Outline));

  // Lime squares go on after every black one, so overlapping handles end lime.
  const QPoint Corners[] = {TL, BR, {TL.x(), BR.y()}, {BR.x(), TL.y()}};
  for (const QPoint& Corner : Corners)
    DrawHandle(Canvas, Corner, HandleBorderHalfSize, HandleBorderColor);
  for (const QPoint& Corner : Corners)
    DrawHandle(Canvas, Corner, HandleHalfSize, HandleColor);
}
