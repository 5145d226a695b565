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

void appendColor(QByteArray& out, QRgb color, bool withAlpha) {
  appendRgb(out, color);
  if (withAlpha)
    out.append(char(qAlpha(color)));
}

qint32 fixed16(double value) {
  return qint32(std::lround(value * 65536));
}

void appendFillStyle(QByteArray& out, const FillStyle& fill, int version) {
  const bool withAlpha = version >= 3;
  switch (fill.kind) {
  case FillStyle::Kind::Solid:
    out.append(char(0x00));
    appendColor(out, fill.color, withAlpha);
    return;
  case FillStyle::Kind::Bitmap:
    out.append(char(0x40 | (fill.repeats ? 0 : 0x01) | (fill.smoothed ? 0 : 0x02)));
    appendUi16(out, fill.bitmapId);
    out.append(matrix(fill.matrix));
    return;
  case FillStyle::Kind::LinearGradient:
  case FillStyle::Kind::RadialGradient:
  case FillStyle::Kind::FocalGradient:
    break;
  }
  if (fill.stops.size() > 15)
    throw std::invalid_argument("a gradient holds at most 15 stops");
  out.append(char(fill.kind == FillStyle::Kind::LinearGradient   ? 0x10
                  : fill.kind == FillStyle::Kind::RadialGradient ? 0x12
                                                                 : 0x13));
  out.append(matrix(fill.matrix));
  out.append(char((int(fill.spread) << 6) | (fill.linearRgb ? 0x10 : 0) | int(fill.stops.size())));
  for (const FillStyle::Stop& stop : fill.stops) {
    out.append(char(stop.ratio));
    appendColor(out, stop.color, withAlpha);
  }
  if (fill.kind == FillStyle::Kind::FocalGradient)
    appendUi16(out, quint16(qint16(std::lround(std::clamp(fill.focalPoint, -1.0, 1.0) * 256))));
}

void appendLineStyle(QByteArray& out, const LineStyle& line, int version) {
  appendUi16(out, line.widthTwips);
  if (version < 4) {
    appendColor(out, line.color, version >= 3);
    return;
  }
  BitWriter flags;
  flags.writeUnsigned(quint32(line.cap), 2);
  flags.writeUnsigned(quint32(line.join), 2);
  flags.writeUnsigned(line.fill ? 1 : 0, 1);
  flags.writeUnsigned(line.scales ? 0 : 1, 1); // no horizontal scaling
  flags.writeUnsigned(line.scales ? 0 : 1, 1); // no vertical scaling
  flags.writeUnsigned(line.pixelHinting ? 1 : 0, 1);
  flags.writeUnsigned(0, 5);
  flags.writeUnsigned(line.noClose ? 1 : 0, 1);
  flags.writeUnsigned(quint32(line.endCap), 2);
  out.append(flags.takeBytes());
  if (line.join == LineStyle::Join::Miter)
    appendUi16(out, quint16(std::lround(std::clamp(line.miterLimit, 0.0, 255.0) * 256)));
  if (line.fill)
    appendFillStyle(out, *line.fill, version);
  else
    appendColor(out, line.color, true);
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

QByteArray matrix(const QTransform& transform) {
  BitWriter writer;
  const bool scales = transform.m11() != 1 || transform.m22() != 1;
  writer.writeUnsigned(scales ? 1 : 0, 1);
  if (scales) {
    const qint32 x = fixed16(transform.m11());
    const qint32 y = fixed16(transform.m22());
    const int bits = BitWriter::signedBitCount({x, y});
    writer.writeUnsigned(quint32(bits), 5);
    writer.writeSigned(x, bits);
    writer.writeSigned(y, bits);
  }
  const bool rotates = transform.m12() != 0 || transform.m21() != 0;
  writer.writeUnsigned(rotates ? 1 : 0, 1);
  if (rotates) {
    const qint32 skew0 = fixed16(transform.m12());
    const qint32 skew1 = fixed16(transform.m21());
    const int bits = BitWriter::signedBitCount({skew0, skew1});
    writer.writeUnsigned(quint32(bits), 5);
    writer.writeSigned(skew0, bits);
    writer.writeSigned(skew1, bits);
  }
  const qint32 x = qint32(std::lround(transform.dx()));
  const qint32 y = qint32(std::lround(transform.dy()));
  const bool moves = x != 0 || y != 0;
  const int bits = moves ? BitWriter::signedBitCount({x, y}) : 0;
  writer.writeUnsigned(quint32(bits), 5);
  if (moves) {
    writer.writeSigned(x, bits);
    writer.writeSigned(y, bits);
  }
  return writer.takeBytes();
}

namespace {

// CXFORMWITHALPHA, or CXFORM (red, green and blue alone) without alpha.
QByteArray colorTransformRecord(const ColorTransform& transform, bool withAlpha) {
  const size_t channels = withAlpha ? 4 : 3;
  std::array<qint32, 4> multiply{};
  for (size_t channel = 0; channel < 4; ++channel)
    multiply[channel] = qint32(std::lround(transform.multiply[channel] * 256));
  std::array<qint32, 4> add{transform.add[0], transform.add[1], transform.add[2], transform.add[3]};
  if (!withAlpha) {
    multiply[3] = 256;
    add[3] = 0;
  }
  const bool multiplies = multiply != std::array<qint32, 4>{256, 256, 256, 256};
  const bool adds = add != std::array<qint32, 4>{};
  const int bits = BitWriter::signedBitCount(
      {multiply[0], multiply[1], multiply[2], multiply[3], add[0], add[1], add[2], add[3]});
  if (bits > 15)
    throw std::invalid_argument("colour transform term out of range");
  BitWriter writer;
  writer.writeUnsigned(adds ? 1 : 0, 1);
  writer.writeUnsigned(multiplies ? 1 : 0, 1);
  writer.writeUnsigned(quint32(bits), 4);
  if (multiplies)
    for (size_t channel = 0; channel < channels; ++channel)
      writer.writeSigned(multiply[channel], bits);
  if (adds)
    for (size_t channel = 0; channel < channels; ++channel)
      writer.writeSigned(add[channel], bits);
  return writer.takeBytes();
}

QByteArray buttonRecords(const QList<ButtonRecord>& records, bool version2) {
  QByteArray bytes;
  for (const ButtonRecord& record : records) {
    if ((record.states & 0x0F) == 0 || (record.states & ~0x0F))
      throw std::invalid_argument("a button record shows in no state or in an unknown one");
    bytes.append(char(record.states));
    appendUi16(bytes, record.characterId);
    appendUi16(bytes, record.depth);
    bytes.append(matrix(record.matrix));
    if (version2)
      bytes.append(colorTransformRecord(record.colors.value_or(ColorTransform{}), true));
  }
  bytes.append('\0');
  return bytes;
}

} // namespace

QByteArray colorTransformWithAlpha(const ColorTransform& transform) {
  return colorTransformRecord(transform, true);
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

QByteArray defineShape(quint16 characterId, int version, const QList<QPoint>& pointsTwips,
                       bool closed, const std::optional<FillStyle>& fill,
                       const std::optional<LineStyle>& line) {
  if (version < 1 || version > 4)
    throw std::invalid_argument("shape version must be 1 to 4");
  if (pointsTwips.size() < 2)
    throw std::invalid_argument("an outline needs two points");
  QPolygon outline(pointsTwips);
  const int margin = line ? line->widthTwips / 2 : 0;
  const QRect bounds = outline.boundingRect().adjusted(-margin, -margin, margin, margin);
  QByteArray body;
  appendUi16(body, characterId);
  body.append(rect(bounds));
  if (version == 4) {
    body.append(rect(outline.boundingRect()));
    body.append(char(line && !line->scales ? 0x02 : 0x01));
  }
  body.append(char(fill ? 1 : 0));
  if (fill)
    appendFillStyle(body, *fill, version);
  body.append(char(line ? 1 : 0));
  if (line)
    appendLineStyle(body, *line, version);

  BitWriter records;
  records.writeUnsigned(1, 4); // fill style index bits
  records.writeUnsigned(1, 4); // line style index bits
  records.writeUnsigned(0, 1); // not an edge
  records.writeUnsigned(0, 1); // no new styles
  records.writeUnsigned(1, 1); // line style changes
  records.writeUnsigned(1, 1); // fill style 1 changes
  records.writeUnsigned(0, 1); // fill style 0 unchanged
  records.writeUnsigned(1, 1); // move to
  const int moveBits = BitWriter::signedBitCount({pointsTwips[0].x(), pointsTwips[0].y()});
  records.writeUnsigned(quint32(moveBits), 5);
  records.writeSigned(pointsTwips[0].x(), moveBits);
  records.writeSigned(pointsTwips[0].y(), moveBits);
  records.writeUnsigned(fill ? 1 : 0, 1);
  records.writeUnsigned(line ? 1 : 0, 1);
  QList<QPoint> path = pointsTwips;
  if (closed)
    path.append(pointsTwips[0]);
  for (qsizetype i = 1; i < path.size(); ++i) {
    const QPoint delta = path[i] - path[i - 1];
    const int bits = std::max(2, BitWriter::signedBitCount({delta.x(), delta.y()}));
    records.writeUnsigned(1, 1); // edge
    records.writeUnsigned(1, 1); // straight
    records.writeUnsigned(quint32(bits - 2), 4);
    records.writeUnsigned(1, 1); // general line
    records.writeSigned(delta.x(), bits);
    records.writeSigned(delta.y(), bits);
  }
  records.writeUnsigned(0, 6); // end of shape
  body.append(records.takeBytes());
  static constexpr TagCode Codes[] = {TagCode::DefineShape, TagCode::DefineShape2,
                                      TagCode::DefineShape3, TagCode::DefineShape4};
  return tag(Codes[version - 1], body);
}

QByteArray placeObject2(quint16 depth, quint16 characterId, const QPoint& translateTwips,
                        const QString& name, const std::optional<ColorTransform>& colors,
                        quint16 clipDepth, const QList<ClipEventHandler>& clipEvents) {
  constexpr quint8 HasClipActions = 0x80;
  constexpr quint8 HasClipDepth = 0x40;
  constexpr quint8 HasName = 0x20;
  constexpr quint8 HasColorTransform = 0x08;
  constexpr quint8 HasMatrix = 0x04;
  constexpr quint8 HasCharacter = 0x02;
  QByteArray body;
  body.append(char(HasMatrix | HasCharacter | (name.isEmpty() ? 0 : HasName) |
                   (colors ? HasColorTransform : 0) | (clipDepth ? HasClipDepth : 0) |
                   (clipEvents.isEmpty() ? 0 : HasClipActions)));
  appendUi16(body, depth);
  appendUi16(body, characterId);
  body.append(translateMatrix(translateTwips));
  if (colors)
    body.append(colorTransformWithAlpha(*colors));
  if (!name.isEmpty())
    appendString(body, name);
  if (clipDepth)
    appendUi16(body, clipDepth);
  if (!clipEvents.isEmpty()) {
    // Reserved word, every handler's events together, the handlers, a zero event mask.
    quint32 allEvents = 0;
    for (const ClipEventHandler& handler : clipEvents)
      allEvents |= handler.events;
    appendUi16(body, 0);
    appendUi32(body, allEvents);
    for (const ClipEventHandler& handler : clipEvents) {
      if (handler.events == 0)
        throw std::invalid_argument("a clip event handler answers no event");
      appendUi32(body, handler.events);
      appendUi32(body, quint32(handler.actions.size()));
      body.append(handler.actions);
    }
    appendUi32(body, 0);
  }
  return tag(TagCode::PlaceObject2, body);
}

QByteArray removeObject2(quint16 depth) {
  QByteArray body;
  appendUi16(body, depth);
  return tag(TagCode::RemoveObject2, body);
}

QByteArray defineButton(quint16 characterId, const QList<ButtonRecord>& records,
                        const QByteArray& actions) {
  QByteArray body;
  appendUi16(body, characterId);
  body.append(buttonRecords(records, false));
  body.append(actions.isEmpty() ? QByteArray(1, '\0') : actions);
  return tag(TagCode::DefineButton, body);
}

QByteArray defineButton2(quint16 characterId, const QList<ButtonRecord>& records,
                         const QList<ButtonAction>& actions, bool trackAsMenu) {
  const QByteArray recordBytes = buttonRecords(records, true);
  QByteArray body;
  appendUi16(body, characterId);
  body.append(char(trackAsMenu ? 1 : 0));
  // The offset counts from its own field to the first action; 0 for none.
  appendUi16(body, actions.isEmpty() ? 0 : quint16(2 + recordBytes.size()));
  body.append(recordBytes);
  for (qsizetype index = 0; index < actions.size(); ++index) {
    const ButtonAction& action = actions[index];
    if (action.keyCode > 0x7F || (action.conditions & ~0x1FF))
      throw std::invalid_argument("button action condition out of range");
    const bool last = index + 1 == actions.size();
    const qsizetype size = 4 + action.actions.size();
    if (size > 0xFFFF)
      throw std::length_error("button action longer than 65535 bytes");
    appendUi16(body, last ? 0 : quint16(size));
    appendUi16(body, quint16(action.conditions | (quint16(action.keyCode) << 9)));
    body.append(action.actions);
  }
  return tag(TagCode::DefineButton2, body);
}

QByteArray defineButtonCxform(quint16 buttonId, const ColorTransform& transform) {
  QByteArray body;
  appendUi16(body, buttonId);
  body.append(colorTransformRecord(transform, false));
  return tag(TagCode::DefineButtonCxform, body);
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

QByteArray doInitAction(quint16 spriteId, const QByteArray& actions) {
  QByteArray body;
  appendUi16(body, spriteId);
  body.append(actions);
  return tag(TagCode::DoInitAction, body);
}

QByteArray frameLabel(const QString& name) {
  QByteArray body;
  appendString(body, name);
  return tag(TagCode::FrameLabel, body);
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
