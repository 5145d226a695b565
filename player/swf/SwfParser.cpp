#include "player/swf/SwfParser.h"

#include "player/swf/SwfBitmapReader.h"
#include "player/swf/SwfBudget.h"
#include "player/swf/SwfButtonReader.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfFileDecoder.h"
#include "player/swf/SwfFilterReader.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfMorphReader.h"
#include "player/swf/SwfReader.h"
#include "player/swf/SwfScriptDecoder.h"
#include "player/swf/SwfShapeReader.h"
#include "player/swf/SwfTextReader.h"
#include "player/swf/SwfVideoReader.h"

#include <map>

namespace {

namespace Tag {
constexpr int End = 0;
constexpr int ShowFrame = 1;
constexpr int DefineShape = 2;
constexpr int PlaceObject = 4;
constexpr int RemoveObject = 5;
constexpr int DefineBits = 6;
constexpr int DefineButton = 7;
constexpr int JpegTables = 8;
constexpr int SetBackgroundColor = 9;
constexpr int DefineFont = 10;
constexpr int DefineText = 11;
constexpr int DoAction = 12;
constexpr int DefineFontInfo = 13;
constexpr int DefineBitsLossless = 20;
constexpr int DefineBitsJpeg2 = 21;
constexpr int DefineShape2 = 22;
constexpr int PlaceObject2 = 26;
constexpr int RemoveObject2 = 28;
constexpr int DefineShape3 = 32;
constexpr int DefineText2 = 33;
constexpr int DefineButton2 = 34;
constexpr int DefineBitsJpeg3 = 35;
constexpr int DefineBitsLossless2 = 36;
constexpr int DefineEditText = 37;
constexpr int DefineSprite = 39;
constexpr int DefineMorphShape = 46;
constexpr int DefineFont2 = 48;
constexpr int DoInitAction = 59;
constexpr int DefineVideoStream = 60;
constexpr int DefineFontInfo2 = 62;
constexpr int FileAttributes = 69;
constexpr int PlaceObject3 = 70;
constexpr int DoAbc = 72;
constexpr int DefineFont3 = 75;
constexpr int DoAbc2 = 82;
constexpr int DefineShape4 = 83;
constexpr int DefineMorphShape2 = 84;
constexpr int DefineBitsJpeg4 = 90;
} // namespace Tag

using DisplayList = std::map<int, SwfTimeline::Placement>;

// How a movie notes damage that its first frame plays over.
QString DamageAfterFirstFrame(const std::string& reason) {
  return QStringLiteral("damaged after the first frame: ") + QString::fromStdString(reason);
}

class TagParser {
public:
  explicit TagParser(SwfMovie& movie) : FMovie(movie), FBudget(SwfLimits::MaxDecodedItems) {}

  // Reads tags up to End (or the end of the data) into timeline; nesting counts the
  // sprites around it.
  void ParseTimeline(SwfReader& reader, SwfTimeline& timeline, int nesting);

private:
  // Reads one tag; false at the End tag.
  bool ParseNextTag(SwfReader& reader, SwfTimeline& timeline, DisplayList& frame1, bool& onFrame1,
                    int nesting);
  void ParseTag(int code, SwfReader& body, SwfTimeline& timeline, DisplayList& frame1,
                bool onFrame1, int nesting);
  void ParseShape(SwfReader& body, int shapeVersion);
  void ParseSprite(SwfReader& body, int nesting);
  void ParseFont(SwfReader& body, int fontVersion);
  void ParseFontInfo(SwfReader& body, int infoVersion);
  void ParseBitmap(int code, SwfReader& body);
  // Gives bitmap fills read before their bitmap the image defined since.
  void ResolveBitmapFills();
  // Reads a character body after its id with read and keeps it in characters.
  template <typename Map, typename Read>
  static void Define(SwfReader& body, Map& characters, Read read);
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
  try {
    while (!reader.AtEnd() && ParseNextTag(reader, timeline, frame1, onFrame1, nesting)) {
    }
  } catch (const SwfError& error) {
    // Once the root's first frame is complete, damage after it leaves that frame to play.
    if (nesting > 0 || onFrame1)
      throw;
    FMovie.Damage = DamageAfterFirstFrame(error.what());
  }
  if (nesting == 0 && onFrame1)
    ResolveBitmapFills();
  for (auto& [depth, placement] : frame1)
    timeline.Frame1.push_back(std::move(placement));
}

bool TagParser::ParseNextTag(SwfReader& reader, SwfTimeline& timeline, DisplayList& frame1,
                             bool& onFrame1, int nesting) {
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
    return false;
  if (code == Tag::ShowFrame) {
    // Some writers define a shape before the bitmap it fills with: within the first frame
    // a fill draws the bitmap the frame defines, wherever the frame defines it.
    if (nesting == 0 && onFrame1)
      ResolveBitmapFills();
    onFrame1 = false;
  } else
    ParseTag(code, body, timeline, frame1, onFrame1, nesting);
  return true;
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
  case Tag::DefineFont:
    ParseFont(body, 1);
    break;
  case Tag::DefineFont2:
    ParseFont(body, 2);
    break;
  case Tag::DefineFont3:
    ParseFont(body, 3);
    break;
  case Tag::DefineFontInfo:
    ParseFontInfo(body, 1);
    break;
  case Tag::DefineFontInfo2:
    ParseFontInfo(body, 2);
    break;
  case Tag::DefineEditText:
    Define(body, FMovie.EditTexts,
           [this](SwfReader& r) { return ReadSwfEditText(r, FMovie.Version, FMovie.Fonts); });
    break;
  case Tag::DefineText:
  case Tag::DefineText2:
    Define(body, FMovie.StaticTexts, [this, code](SwfReader& r) {
      return ReadSwfStaticText(r, code == Tag::DefineText2 ? 2 : 1, FMovie.Fonts, FBudget);
    });
    break;
  case Tag::DefineButton:
  case Tag::DefineButton2:
    Define(body, FMovie.Buttons, [this, code](SwfReader& r) {
      return ReadSwfButtonUpState(r, code == Tag::DefineButton2 ? 2 : 1, FBudget);
    });
    break;
  case Tag::DefineMorphShape:
  case Tag::DefineMorphShape2:
    Define(body, FMovie.MorphShapes, ReadSwfMorphShape);
    break;
  case Tag::DefineVideoStream:
    Define(body, FMovie.Videos, ReadSwfVideoBounds);
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
  case Tag::DoInitAction:
    if (onFrame1 && nesting == 0) {
      body.U16(); // the sprite it initialises
      FMovie.InitScripts.push_back(
          DecodeSwfScript(body.Bytes(body.Remaining()), FMovie.Version, FBudget));
    }
    break;
  case Tag::FileAttributes:
    FMovie.ActionScript3 = FMovie.ActionScript3 || (body.U8() & 0x08);
    break;
  case Tag::DoAbc:
  case Tag::DoAbc2:
    FMovie.ActionScript3 = true;
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
  // A bitmap that cannot be read draws nothing; the rest of the movie plays.
  try {
    SwfBitmap bitmap =
        code == Tag::DefineBitsLossless || code == Tag::DefineBitsLossless2
            ? ReadLosslessBitmap(body, code == Tag::DefineBitsLossless2, FBitmapBytesLeft)
            : ReadJpegBitmap(body, jpegVersion, FJpegTables, FBitmapBytesLeft);
    FMovie.Bitmaps.try_emplace(bitmap.Id, std::move(bitmap.Image));
  } catch (const SwfError& fault) {
    FMovie.BitmapFaults.push_back(QString::fromStdString(fault.what()));
  }
}

void TagParser::ResolveBitmapFills() {
  const auto resolve = [this](SwfFillStyle& fill) {
    if (fill.Type != SwfFillStyle::Kind::Bitmap || !fill.Bitmap.isNull())
      return;
    const auto bitmap = FMovie.Bitmaps.find(fill.BitmapId);
    if (bitmap != FMovie.Bitmaps.end())
      fill.Bitmap = bitmap->second;
  };
  for (auto& [id, shape] : FMovie.Shapes) {
    for (SwfShape::Fill& fill : shape.Fills)
      resolve(fill.Style);
    for (SwfShape::Stroke& stroke : shape.Strokes)
      if (stroke.Style.Fill)
        resolve(*stroke.Style.Fill);
  }
}

void TagParser::ParseFont(SwfReader& body, int fontVersion) {
  const int id = body.U16();
  FMovie.Fonts.try_emplace(
      id, std::make_shared<SwfFont>(ReadSwfFont(body, fontVersion, FMovie.Version, FBudget)));
}

void TagParser::ParseFontInfo(SwfReader& body, int infoVersion) {
  const auto font = FMovie.Fonts.find(body.U16());
  if (font != FMovie.Fonts.end())
    ReadSwfFontInfo(body, infoVersion, FMovie.Version, *font->second);
}

template <typename Map, typename Read>
void TagParser::Define(SwfReader& body, Map& characters, Read read) {
  const int id = body.U16();
  characters.try_emplace(id, read(body));
}

void TagParser::ParseSprite(SwfReader& body, int nesting) {
  if (nesting + 1 > SwfLimits::MaxNesting)
    throw SwfError("sprites nested deeper than " + std::to_string(SwfLimits::MaxNesting));
  const int id = body.U16();
  SwfTimeline sprite;
  sprite.FrameCount = body.U16();
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
  std::optional<int> ratio;
  if (flags & 0x10)
    ratio = body.U16();
  std::optional<QString> name;
  if (flags & 0x20)
    name = body.CString(swfVersion);
  std::optional<int> clipDepth;
  if (flags & 0x40)
    clipDepth = body.U16();
  std::optional<std::vector<SwfFilter>> filters;
  if (flags3 & 0x01)
    filters = ReadSwfFilters(body);
  std::optional<SwfBlendMode> blend;
  if (flags3 & 0x02)
    blend = SwfBlendModeOf(body.U8());
  std::optional<bool> cacheAsBitmap;
  if (flags3 & 0x04)
    cacheAsBitmap = body.U8() != 0;

  const bool move = flags & 0x01;
  const auto existing = frame1.find(depth);
  if (move && existing != frame1.end()) {
    SwfTimeline::Placement& placement = existing->second;
    placement.CharacterId = character.value_or(placement.CharacterId);
    placement.Matrix = matrix.value_or(placement.Matrix);
    placement.Name = name.value_or(placement.Name);
    placement.Ratio = ratio.value_or(placement.Ratio);
    placement.ColorTransform = colors.value_or(placement.ColorTransform);
    placement.ClipDepth = clipDepth.value_or(placement.ClipDepth);
    SwfDisplayEffects& effects = placement.Effects;
    effects.Filters = filters.value_or(effects.Filters);
    effects.Blend = blend.value_or(effects.Blend);
    effects.CacheAsBitmap = cacheAsBitmap.value_or(effects.CacheAsBitmap);
  } else if (character) {
    frame1[depth] = {depth,
                     *character,
                     matrix.value_or(QTransform()),
                     name.value_or(QString()),
                     ratio.value_or(0),
                     colors.value_or(SwfColorTransform()),
                     clipDepth.value_or(0),
                     {filters.value_or(std::vector<SwfFilter>()),
                      blend.value_or(SwfBlendMode::Normal), cacheAsBitmap.value_or(false)}};
  }
}

} // namespace

std::shared_ptr<const SwfMovie> ParseSwfMovie(QByteArrayView file) {
  const SwfFileContent content = DecodeSwfFile(file);
  auto movie = std::make_shared<SwfMovie>();
  movie->Version = content.Version;
  try {
    SwfReader reader(content.Body);
    movie->FrameRect = reader.Rect();
    movie->FrameRate = reader.U16() / 256.0;
    movie->FrameCount = reader.U16();
    movie->Root.FrameCount = movie->FrameCount;
    TagParser(*movie).ParseTimeline(reader, movie->Root, 0);
  } catch (const SwfError&) {
    // A body cut short by its corrupt compression fails for that reason.
    if (content.Damage.empty())
      throw;
    throw SwfError(content.Damage);
  }
  if (!content.Damage.empty())
    movie->Damage = DamageAfterFirstFrame(content.Damage);
  return movie;
}
