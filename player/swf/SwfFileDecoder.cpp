#include "player/swf/SwfFileDecoder.h"

#include "player/swf/SwfError.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfReader.h"

#include <algorithm>
#include <lzma.h>
#include <zlib.h>

namespace {

constexpr qsizetype HeaderSize = 8;
constexpr qsizetype ZwsHeaderSize = 17;
constexpr qsizetype LzmaPropertiesSize = 5;
constexpr qsizetype ChunkSize = 64 * 1024;

// Grows the output in steps so a small file that declares a huge size costs nothing
// until its stream actually produces that much.
void GrowOutput(QByteArray& output, qsizetype produced, qsizetype limit) {
  if (produced < output.size())
    return;
  output.resize(std::min(limit, std::max(produced * 2, ChunkSize)));
}

// Keeps what a corrupt stream gave before its fault, noting the fault in damage.
void KeepPartialOutput(qsizetype produced, const std::string& fault, std::string& damage) {
  if (produced == 0)
    throw SwfError(fault);
  damage = fault;
}

QByteArray Inflate(QByteArrayView input, qsizetype limit, std::string& damage) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK)
    throw SwfError("cannot decompress (zlib initialisation failed)");
  QByteArray output;
  qsizetype produced = 0;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream.avail_in = uInt(input.size());
  int status = Z_OK;
  while (produced < limit) {
    GrowOutput(output, produced, limit);
    stream.next_out = reinterpret_cast<Bytef*>(output.data() + produced);
    stream.avail_out = uInt(output.size() - produced);
    status = inflate(&stream, Z_NO_FLUSH);
    produced = output.size() - stream.avail_out;
    if (status != Z_OK)
      break;
  }
  const std::string reason = stream.msg ? stream.msg : "error " + std::to_string(status);
  inflateEnd(&stream);
  if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
    KeepPartialOutput(produced, "compressed body corrupt (zlib: " + reason + ")", damage);
  output.truncate(produced);
  return output;
}

QByteArray InflateLzma(QByteArrayView file, qsizetype limit, std::string& damage) {
  if (file.size() < ZwsHeaderSize)
    throw SwfError("truncated (LZMA header incomplete)");
  // Rebuild the header of the lzma-alone format: the five property bytes, then an unknown
  // uncompressed size. No match can reach back further than the output is long, so the
  // dictionary is clamped to that length and a forged property cannot demand gigabytes.
  QByteArray alone(file.sliced(12, LzmaPropertiesSize).toByteArray());
  quint32 dictionary = 0;
  for (int i = 0; i < 4; ++i)
    dictionary |= quint32(quint8(alone[1 + i])) << (8 * i);
  dictionary = std::min<quint32>(dictionary, quint32(std::max<qsizetype>(limit, 4096)));
  for (int i = 0; i < 4; ++i)
    alone[1 + i] = char(dictionary >> (8 * i));
  alone.append(8, char(0xFF));
  alone.append(file.sliced(ZwsHeaderSize).toByteArray());

  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_alone_decoder(&stream, 2 * SwfLimits::MaxMovieBytes) != LZMA_OK)
    throw SwfError("cannot decompress (LZMA initialisation failed)");
  QByteArray output;
  qsizetype produced = 0;
  stream.next_in = reinterpret_cast<const uint8_t*>(alone.constData());
  stream.avail_in = size_t(alone.size());
  lzma_ret status = LZMA_OK;
  while (produced < limit) {
    GrowOutput(output, produced, limit);
    stream.next_out = reinterpret_cast<uint8_t*>(output.data() + produced);
    stream.avail_out = size_t(output.size() - produced);
    status = lzma_code(&stream, stream.avail_in ? LZMA_RUN : LZMA_FINISH);
    produced = output.size() - qsizetype(stream.avail_out);
    if (status != LZMA_OK)
      break;
  }
  lzma_end(&stream);
  // A stream without an end marker stops with a buffer error once its input is spent.
  if (status != LZMA_OK && status != LZMA_STREAM_END && status != LZMA_BUF_ERROR)
    KeepPartialOutput(
        produced, "compressed body corrupt (LZMA error " + std::to_string(status) + ")", damage);
  output.truncate(produced);
  return output;
}

} // namespace

QByteArray InflateZlib(QByteArrayView input, qsizetype limit) {
  std::string damage;
  QByteArray output = Inflate(input, limit, damage);
  if (!damage.empty())
    throw SwfError(damage);
  return output;
}

SwfFileContent DecodeSwfFile(QByteArrayView file) {
  const QByteArrayView signature = file.first(std::min<qsizetype>(3, file.size()));
  if (signature != "FWS" && signature != "CWS" && signature != "ZWS")
    throw SwfError(file.isEmpty() ? "not a Flash movie (empty file)"
                                  : "not a Flash movie (bad signature)");
  if (file.size() < HeaderSize)
    throw SwfError("truncated (" + std::to_string(file.size()) + " bytes, shorter than the " +
                   std::to_string(HeaderSize) + "-byte header)");
  SwfReader header(file);
  header.Skip(3);
  SwfFileContent content;
  content.Version = header.U8();
  const quint32 declaredLength = header.U32();
  if (declaredLength < HeaderSize)
    throw SwfError("bad header (declared length " + std::to_string(declaredLength) +
                   " is shorter than the header)");
  // Some writers leave a placeholder length: the limit holds for what the body really
  // holds, and one byte past it is read to tell a body at the limit from one beyond it.
  const qsizetype bodyLimit =
      std::min(qsizetype(declaredLength) - HeaderSize, qsizetype(SwfLimits::MaxMovieBytes) + 1);

  if (signature == "FWS")
    content.Body =
        file.sliced(HeaderSize, std::min(bodyLimit, file.size() - HeaderSize)).toByteArray();
  else if (signature == "CWS")
    content.Body = Inflate(file.sliced(HeaderSize), bodyLimit, content.Damage);
  else
    content.Body = InflateLzma(file, bodyLimit, content.Damage);
  if (std::size_t(content.Body.size()) > SwfLimits::MaxMovieBytes)
    throw SwfError("movie body exceeds the limit of " + std::to_string(SwfLimits::MaxMovieBytes) +
                   " bytes");
  return content;
}
