#pragma once

#include "player/swf/SwfFilter.h"

#include <QImage>

// How far, in device pixels, the filters can reach beyond the object they filter.
int FilterReach(const std::vector<SwfFilter>& filters, double scale);

// Roughly how many steps the filters take per pixel of the image they filter.
qint64 FilterCost(const std::vector<SwfFilter>& filters);

// Applies filters in order to image, an object drawn alone onto a transparent premultiplied
// image with FilterReach of room around it. scale is device pixels per stage pixel, by which
// blur sizes and distances grow with the stage.
QImage ApplyFilters(QImage image, const std::vector<SwfFilter>& filters, double scale);
