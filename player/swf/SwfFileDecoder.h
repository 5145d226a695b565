#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <string>

// The uncompressed content of an SWF file: the version byte and everything after the
// eight-byte file header, inflated for CWS (zlib) and ZWS (LZMA) files.
struct SwfFileContent {
  int Version = 0;
  QByteArray Body;
  // Why a compressed body stops early (its stream is corrupt after what it gave); "" when
  // the stream is whole.
  std::string Damage;
};

// Reads the file header and decompresses the body. The body never grows past the length
// the header declares; a body that really holds more than SwfLimits::MaxMovieBytes throws
// SwfError, whatever length the header declares. Any other fault throws SwfError too,
// except a compressed stream that turns corrupt after giving some of the body.
SwfFileContent DecodeSwfFile(QByteArrayView file);

// Inflates a zlib stream, producing at most limit bytes. Throws SwfError on a corrupt stream;
// a stream that ends early gives what it produced.
QByteArray InflateZlib(QByteArrayView input, qsizetype limit);
