#pragma once

#include <QPoint>

class QPainter;

// Fills a square of side 2*H centred on P (right and bottom edges excluded) with Color, given in
// the 0x00BBGGRR form; leaves the painter's brush set to that colour.
void DrawHandle(QPainter& Canvas, QPoint P, int H, quint32 Color);

// Draws the selection frame of the rectangle with opposite corners P1 and P2: the outline with
// the painter's current pen and a black-bordered lime handle at each corner.
void DrawFrameWithHandles(QPainter& Canvas, QPoint P1, QPoint P2);
