#include "player/SwfParser.h"

#include "player/SwfBitmapReader.h"
#include "player/SwfBudget.h"
#include "player/SwfError.h"
#include "player/SwfFileDecoder.h"
#include "player/SwfLimits.h"
#include "player/SwfReader.h"
#include "player/SwfScriptDecoder.h"
#include "player/SwfShapeReader.h"

#include <map>

namespace {

namespace Tag {
constexpr int End = 0;
constexpr int ShowFrame = 1;
constexpr int DefineShape = 2;
constexpr int PlaceObject = 4;
constexpr int RemoveObject = 5;
constexpr int DefineBits = 6;
constexpr int JpegTables = 8;
constexpr int SetBackgroundColor = 9;
constexpr int DoAction = 12;
constexpr int DefineBitsLossless = 20;
constexpr int DefineBitsJpeg2 = 21;
constexpr int DefineShape2 = 22;
constexpr int PlaceObject2 = 26;
constexpr int RemoveObject2 = 28;
constexpr int DefineShape3 = 32;
constexpr int DefineBitsJpeg3 = 35;
constexpr int DefineBitsLossless2 = 36;
constexpr int DefineSprite = 39;
constexpr int PlaceObject3 = 70;
constexpr int DefineShape4 = 83;
constexpr int DefineBitsJpeg4 = 90;
} // namespace Tag

using DisplayList = std::map<int, SwfTimeline::Placement>;

class TagParser {
public:
  explicit TagParser(SwfMovie& movie) : FMovie(movie), FBudget(SwfLimits::MaxDecodedItems) {}

  // Reads tags up to End (or the end of the data) into timeline; nesting counts the
  // sprites around it.
  void ParseTimeline(SwfReader& reader, SwfTimeline& timeline, int nesting);

private:
  void ParseTag(int code, SwfReader& body, SwfTimeline& timeline, DisplayList& frame1,
                bool onFrame1, int nesting);
  void ParseShape(SwfReader& body, int shapeVersion);
  void ParseSprite(SwfReader& body, int nesting);
  void ParseBitmap(int code, SwfReader& body);
  static void ParsePlaceObject2(SwfReader& body, bool version3, int swfVersion,
                                DisplayList& frame1);

  SwfMovie& FMovie;
  SwfBudget FBudget;
  QByteArray FJpegTables;
  std::size_t FBitmapBytesLeft = SwfLimits::MaxMovieBitmapBytes;
};

void TagParser::ParseTimeline(SwfReader& reader, SwfTimeline& timeline, int nesting) {
  DisplayList frame1;
  bool onFrame1 = true;
  while (!reader.AtEnd()) {
    const qsizetype tagStart = reader.Position();
    const quint16 header = reader.U16();
    const int code = header >> 6;
    qsizetype length = header & 0x3F;
    if (length == 0x3F)
      length = reader.U32();
    if (length > reader.Remaining())
      throw SwfError("tag " + std::to_string(code) + " at byte " + std::to_string(tagStart) +
                     " is longer than the data left");
    SwfReader body(reader.Bytes(length));
    FBudget.Consume();
    if (code == Tag::End)
      break;
    if (code == Tag::ShowFrame)
      onFrame1 = false;
    else
      ParseTag(code, body, timeline, frame1, onFrame1, nesting);
  }
  for (auto& [depth, placement] : frame1)
    timeline.Frame1.push_back(std::move(placement));
}

void TagParser::ParseTag(int code, SwfReader& body, SwfTimeline& timeline, DisplayList& frame1,
                         bool onFrame1, int nesting) {
  switch (code) {
  case Tag::SetBackgroundColor:
    if (!FMovie.Background)
      FMovie.Background = body.Rgb();
    break;
  case Tag::DefineShape:
    ParseShape(body, 1);
    break;
  case Tag::DefineShape2:
    ParseShape(body, 2);
    break;
  case Tag::DefineShape3:
    ParseShape(body, 3);
    break;
  case Tag::DefineShape4:
    ParseShape(body, 4);
    break;
  case Tag::DefineSprite:
    ParseSprite(body, nesting);
    break;
  case Tag::JpegTables:
    FJpegTables = body.Bytes(body.Remaining()).toByteArray();
    break;
  case Tag::DefineBits:
  case Tag::DefineBitsJpeg2:
  case Tag::DefineBitsJpeg3:
  case Tag::DefineBitsJpeg4:
  case Tag::DefineBitsLossless:
  case Tag::DefineBitsLossless2:
    ParseBitmap(code, body);
    break;
  case Tag::PlaceObject:
    if (onFrame1) {
      SwfTimeline::Placement placement;
      placement.CharacterId = body.U16();
      placement.Depth = body.U16();
      placement.Matrix = body.Matrix();
      frame1[placement.Depth] = placement;
    }
    break;
  case Tag::PlaceObject2:
  case Tag::PlaceObject3:
    if (onFrame1)
      ParsePlaceObject2(body, code == Tag::PlaceObject3, FMovie.Version, frame1);
    break;
  case Tag::RemoveObject:
    if (onFrame1) {
      body.U16();
      frame1.erase(body.U16());
    }
    break;
  case Tag::RemoveObject2:
    if (onFrame1)
      frame1.erase(body.U16());
    break;
  case Tag::DoAction:
    if (onFrame1)
      timeline.Frame1Scripts.push_back(
          DecodeSwfScript(body.Bytes(body.Remaining()), FMovie.Version, FBudget));
    break;
  default:
    break; // tags the player does not use are skipped by their length
  }
}

void TagParser::ParseShape(SwfReader& body, int shapeVersion) {
  const int id = body.U16();
  FMovie.Shapes.try_emplace(id, ReadSwfShape(body, shapeVersion, FBudget, FMovie.Bitmaps));
}

void TagParser::ParseBitmap(int code, SwfReader& body) {
  const int jpegVersion = code == Tag::DefineBits        ? 1
                          : code == Tag::DefineBitsJpeg2 ? 2
                          : code == Tag::DefineBitsJpeg3 ? 3
                                                         : 4;
  SwfBitmap bitmap =
      code == Tag::DefineBitsLossless || code == Tag::DefineBitsLossless2
          ? ReadLosslessBitmap(body, code == Tag::DefineBitsLossless2, FBitmapBytesLeft)
          : ReadJpegBitmap(body, jpegVersion, FJpegTables, FBitmapBytesLeft);
  FMovie.Bitmaps.try_emplace(bitmap.Id, std::move(bitmap.Image));
}

void TagParser::ParseSprite(SwfReader& body, int nesting) {
  if (nesting + 1 > SwfLimits::MaxNesting)
    throw SwfError("sprites nested deeper than " + std::to_string(SwfLimits::MaxNesting));
  const int id = body.U16();
  body.U16(); // frame count
  SwfTimeline sprite;
  ParseTimeline(body, sprite, nesting + 1);
  FMovie.Sprites.try_emplace(id, std::move(sprite));
}

void TagParser::ParsePlaceObject2(SwfReader& body, bool version3, int swfVersion,
                                  DisplayList& frame1) {
  const quint8 flags = body.U8();
  const quint8 flags3 = version3 ? body.U8() : 0;
  const int depth = body.U16();
  const bool hasCharacter = flags & 0x02;
  if (version3 && ((flags3 & 0x08) || ((flags3 & 0x10) && hasCharacter)))
    body.CString(swfVersion); // class name
  std::optional<int> character;
  if (hasCharacter)
    character = body.U16();
  std::optional<QTransform> matrix;
  if (flags & 0x04)
    matrix = body.Matrix();
  std::optional<SwfColorTransform> colors;
  if (flags & 0x08)
    colors = body.ColorTransform(true);
  if (flags & 0x10)
    body.U16(); // ratio
  std::optional<QString> name;
  if (flags & 0x20)
    name = body.CString(swfVersion);
  std::optional<int> clipDepth;
  if (flags & 0x40)
    clipDepth = body.U16();

  const bool move = flags & 0x01;
  const auto existing = frame1.find(depth);
  if (move && existing != frame1.end()) {
    SwfTimeline::Placement& placement = existing->second;
    placement.CharacterId = character.value_or(placement.CharacterId);
    placement.Matrix = matrix.value_or(placement.Matrix);
    placement.Name = name.value_or(placement.Name);
    placement.ColorTransform = colors.value_or(placement.ColorTransform);
    placement.ClipDepth = clipDepth.value_or(placement.ClipDepth);
  } else if (character) {
    frame1[depth] = {depth,
                     *character,
                     matrix.value_or(QTransform()),
                     name.value_or(QString()),
                     colors.value_or(SwfColorTransform()),
                     clipDepth.value_or(0)};
  }
}

} // namespace

std::shared_ptr<const SwfMovie> ParseSwfMovie(QByteArrayView file) {
  const SwfFileContent content = DecodeSwfFile(file);
  auto movie = std::make_shared<SwfMovie>();
  movie->Version = content.Version;
  SwfReader reader(content.Body);
  movie->FrameRect = reader.Rect();
  movie->FrameRate = reader.U16() / 256.0;
  movie->FrameCount = reader.U16();
  TagParser(*movie).ParseTimeline(reader, movie->Root, 0);
  return movie;
}
