#pragma once

#include <QRectF>

class SwfReader;

// Reads a DefineVideoStream body after the character id into the video's bounds in twips:
// its width and height from the origin. The frames themselves are not decoded.
QRectF ReadSwfVideoBounds(SwfReader& reader);
