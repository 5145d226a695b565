#pragma once

#include <QByteArrayView>
#include <QImage>
#include <cstddef>

class SwfReader;

// A bitmap character: its id and its pixels, premultiplied ARGB32. A bitmap without pixels
// (zero width or height) has a null image.
struct SwfBitmap {
  int Id = 0;
  QImage Image;
};

// Reads a DefineBitsLossless (withAlpha false) or DefineBitsLossless2 tag body: colour-mapped
// 8-bit, 15-bit and 24/32-bit pixels. Throws SwfError for malformed data and for a bitmap
// over the limits of SwfLimits or over bytesLeft, the decoded size the movie's bitmaps may
// still take; such a bitmap is refused before its pixels are allocated. Its size is taken
// from bytesLeft.
SwfBitmap ReadLosslessBitmap(SwfReader& body, bool withAlpha, std::size_t& bytesLeft);

// Reads a DefineBits (version 1, completed by jpegTables), DefineBitsJPEG2, 3 or 4 tag body
// (which carry their own tables). The data may be JPEG, PNG or GIF; a JPEG of version 3 or 4
// takes its alpha from the zlib-compressed plane after it. Throws as ReadLosslessBitmap does.
SwfBitmap ReadJpegBitmap(SwfReader& body, int version, QByteArrayView jpegTables,
                         std::size_t& bytesLeft);
