#include "tools/swfgen/SwfWriter.h"

#include "tools/swfgen/BitWriter.h"
#include "tools/swfgen/SwfBytes.h"

#include <algorithm>
#include <cmath>
#include <lzma.h>
#include <stdexcept>
#include <zlib.h>

namespace swfgen::SwfWriter {

namespace {

constexpr int HeaderSize = 8;
constexpr int LzmaPropertiesSize = 5;
// The lzma_alone header: the five property bytes, then the 64-bit uncompressed size.
constexpr int LzmaAloneHeaderSize = 13;
constexpr int ShortTagLengthLimit = 0x3F;

QByteArray tagHeader(TagCode code, qsizetype length, bool forceLong) {
  if (length > qsizetype(0x7FFFFFFF))
    throw std::length_error("tag body too long");
  QByteArray header;
  const quint16 codeBits = quint16(quint16(code) << 6);
  if (!forceLong && length < ShortTagLengthLimit) {
    appendUi16(header, quint16(codeBits | quint16(length)));
  } else {
    appendUi16(header, quint16(codeBits | ShortTagLengthLimit));
    appendUi32(header, quint32(length));
  }
  return header;
}

void appendRgb(QByteArray& out, QRgb color) {
  out.append(char(qRed(color)));
  out.append(char(qGreen(color)));
  out.append(char(qBlue(color)));
}

QByteArray zlibCompress(const QByteArray& data) {
  uLongf size = compressBound(uLong(data.size()));
  QByteArray out(qsizetype(size), Qt::Uninitialized);
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("zlib compression failed");
  out.truncate(qsizetype(size));
  return out;
}

// Encodes with the lzma_alone format, whose stream ends with an end marker, so a reader
// does not need the uncompressed size.
QByteArray lzmaAloneCompress(const QByteArray& data) {
  lzma_options_lzma options;
  if (lzma_lzma_preset(&options, LZMA_PRESET_DEFAULT))
    throw std::runtime_error("LZMA preset unavailable");
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
    throw std::runtime_error("LZMA encoder could not start");
  QByteArray out(qsizetype(data.size() + data.size() / 2 + 4096), Qt::Uninitialized);
  stream.next_in = reinterpret_cast<const uint8_t*>(data.constData());
  stream.avail_in = size_t(data.size());
  stream.next_out = reinterpret_cast<uint8_t*>(out.data());
  stream.avail_out = size_t(out.size());
  const lzma_ret result = lzma_code(&stream, LZMA_FINISH);
  const size_t written = size_t(out.size()) - stream.avail_out;
  lzma_end(&stream);
  if (result != LZMA_STREAM_END)
    throw std::runtime_error("LZMA compression failed");
  out.truncate(qsizetype(written));
  return out;
}

} // namespace

QByteArray tag(TagCode code, const QByteArray& body) {
  return tagHeader(code, body.size(), false) + body;
}

QByteArray longTag(TagCode code, const QByteArray& body) {
  return tagHeader(code, body.size(), true) + body;
}

QByteArray rect(const QRect& twips) {
  const qint32 xMin = twips.left();
  const qint32 xMax = twips.left() + twips.width();
  const qint32 yMin = twips.top();
  const qint32 yMax = twips.top() + twips.height();
  const int bits = BitWriter::signedBitCount({xMin, xMax, yMin, yMax});
  BitWriter writer;
  writer.writeUnsigned(quint32(bits), 5);
  for (const qint32 value : {xMin, xMax, yMin, yMax})
    writer.writeSigned(value, bits);
  return writer.takeBytes();
}

QByteArray translateMatrix(const QPoint& twips) {
  BitWriter writer;
  writer.writeUnsigned(0, 1); // no scale
  writer.writeUnsigned(0, 1); // no rotation
  const bool moves = !twips.isNull();
  const int bits = moves ? BitWriter::signedBitCount({twips.x(), twips.y()}) : 0;
  writer.writeUnsigned(quint32(bits), 5);
  if (moves) {
    writer.writeSigned(twips.x(), bits);
    writer.writeSigned(twips.y(), bits);
  }
  return writer.takeBytes();
}

QByteArray setBackgroundColor(QRgb color) {
  QByteArray body;
  appendRgb(body, color);
  return tag(TagCode::SetBackgroundColor, body);
}

QByteArray defineRectangleShape(quint16 characterId, const QSize& twips, QRgb color) {
  if (twips.width() <= 0 || twips.height() <= 0)
    throw std::invalid_argument("rectangle without area");
  QByteArray body;
  appendUi16(body, characterId);
  body.append(rect(QRect(QPoint(0, 0), twips)));
  body.append(char(1));    // one fill style:
  body.append(char(0x00)); // solid
  appendRgb(body, color);
  body.append(char(0)); // no line styles

  BitWriter records;
  records.writeUnsigned(1, 4); // fill style index bits
  records.writeUnsigned(0, 4); // line style index bits
  // Style change: move to the origin and take fill style 1 on the right of the edges,
  // which is the inside when walking the outline clockwise on screen.
  records.writeUnsigned(0, 1); // not an edge
  records.writeUnsigned(0, 1); // no new styles
  records.writeUnsigned(0, 1); // no line style change
  records.writeUnsigned(1, 1); // fill style 1 changes
  records.writeUnsigned(0, 1); // fill style 0 unchanged
  records.writeUnsigned(1, 1); // move to
  records.writeUnsigned(1, 5);
  records.writeSigned(0, 1);
  records.writeSigned(0, 1);
  records.writeUnsigned(1, 1); // fill style 1 := the solid fill
  // Edge fields store their width minus two, so two bits is the narrowest.
  const int bits = std::max(2, BitWriter::signedBitCount({twips.width(), twips.height(),
                                                          -twips.width(), -twips.height()}));
  const QPoint clockwise[] = {
      {twips.width(), 0}, {0, twips.height()}, {-twips.width(), 0}, {0, -twips.height()}};
  for (const QPoint& delta : clockwise) {
    records.writeUnsigned(1, 1); // edge
    records.writeUnsigned(1, 1); // straight
    records.writeUnsigned(quint32(bits - 2), 4);
    records.writeUnsigned(0, 1); // a vertical or horizontal line
    const bool vertical = delta.x() == 0;
    records.writeUnsigned(vertical ? 1 : 0, 1);
    records.writeSigned(vertical ? delta.y() : delta.x(), bits);
  }
  records.writeUnsigned(0, 6); // end of shape
  body.append(records.takeBytes());
  return tag(TagCode::DefineShape, body);
}

QByteArray placeObject2(quint16 depth, quint16 characterId, const QPoint& translateTwips,
                        const QString& name) {
  constexpr quint8 HasName = 0x20;
  constexpr quint8 HasMatrix = 0x04;
  constexpr quint8 HasCharacter = 0x02;
  QByteArray body;
  body.append(char(HasMatrix | HasCharacter | (name.isEmpty() ? 0 : HasName)));
  appendUi16(body, depth);
  appendUi16(body, characterId);
  body.append(translateMatrix(translateTwips));
  if (!name.isEmpty())
    appendString(body, name);
  return tag(TagCode::PlaceObject2, body);
}

QByteArray defineDeviceFont(quint16 characterId, const QString& name) {
  const QByteArray nameBytes = name.toUtf8();
  if (nameBytes.size() > 0xFF)
    throw std::length_error("font name longer than 255 bytes");
  QByteArray body;
  appendUi16(body, characterId);
  body.append(char(0)); // no layout, narrow offsets and codes, plain style
  body.append(char(0)); // no language
  body.append(char(nameBytes.size()));
  body.append(nameBytes);
  appendUi16(body, 0); // no glyphs
  return tag(TagCode::DefineFont2, body);
}

QByteArray defineEditText(quint16 characterId, const EditTextField& field) {
  constexpr quint8 HasText = 0x80;
  constexpr quint8 ReadOnly = 0x08;
  constexpr quint8 HasTextColor = 0x04;
  constexpr quint8 HasFont = 0x01;
  constexpr quint8 HasLayout = 0x20;
  constexpr quint8 NoSelect = 0x10;
  if (field.heightTwips <= 0 || field.heightTwips > 0xFFFF)
    throw std::invalid_argument("font size outside 1 to 65535 twips");
  QByteArray body;
  appendUi16(body, characterId);
  body.append(rect(field.twips));
  body.append(
      char((field.initialText.isEmpty() ? 0 : HasText) | ReadOnly | HasTextColor | HasFont));
  body.append(char(HasLayout | NoSelect));
  appendUi16(body, field.fontId);
  appendUi16(body, quint16(field.heightTwips));
  appendRgb(body, field.color);
  body.append(char(0xFF)); // opaque
  body.append(char(field.align));
  for (int i = 0; i < 4; ++i) // no margins, indent or leading
    appendUi16(body, 0);
  appendString(body, field.variable);
  if (!field.initialText.isEmpty())
    appendString(body, field.initialText);
  return tag(TagCode::DefineEditText, body);
}

QByteArray defineSprite(quint16 characterId, quint16 frameCount, const QByteArray& controlTags) {
  QByteArray body;
  appendUi16(body, characterId);
  appendUi16(body, frameCount);
  body.append(controlTags);
  return tag(TagCode::DefineSprite, body);
}

QByteArray doAction(const QByteArray& actions) {
  return tag(TagCode::DoAction, actions);
}

QByteArray showFrame() {
  return tag(TagCode::ShowFrame, {});
}

QByteArray end() {
  return tag(TagCode::End, {});
}

QByteArray movieBody(const QRect& frameTwips, double frameRate, quint16 frameCount,
                     const QByteArray& tags) {
  // The rate is an 8.8 fixed-point number: fraction byte first, then the whole part.
  if (!(frameRate >= 0 && frameRate < 256))
    throw std::invalid_argument("frame rate outside 0 to 255.99");
  QByteArray body = rect(frameTwips);
  appendUi16(body, quint16(std::lround(frameRate * 256) & 0xFFFF));
  appendUi16(body, frameCount);
  body.append(tags);
  return body;
}

QByteArray file(SwfSignature signature, quint8 version, const QByteArray& body) {
  const qint64 fileLength = qint64(HeaderSize) + body.size();
  if (fileLength > qint64(0xFFFFFFFF))
    throw std::length_error("movie longer than 4 GiB");
  QByteArray out;
  switch (signature) {
  case SwfSignature::Fws:
    out = "FWS";
    break;
  case SwfSignature::Cws:
    out = "CWS";
    break;
  case SwfSignature::Zws:
    out = "ZWS";
    break;
  }
  out.append(char(version));
  appendUi32(out, quint32(fileLength));
  switch (signature) {
  case SwfSignature::Fws:
    out.append(body);
    break;
  case SwfSignature::Cws:
    out.append(zlibCompress(body));
    break;
  case SwfSignature::Zws: {
    // The SWF form keeps the property bytes but replaces the 64-bit size by the length of
    // the compressed stream that follows them.
    const QByteArray alone = lzmaAloneCompress(body);
    const QByteArray stream = alone.mid(LzmaAloneHeaderSize);
    appendUi32(out, quint32(stream.size()));
    out.append(alone.left(LzmaPropertiesSize));
    out.append(stream);
    break;
  }
  }
  return out;
}

} // namespace swfgen::SwfWriter
