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

#include <algorithm>
#include <map>
#include <utility>

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
constexpr int FrameLabel = 43;
constexpr int ExportAssets = 56;
constexpr int ImportAssets = 57;
constexpr int ImportAssets2 = 71;
constexpr int DefineFontInfo = 13;
constexpr int DefineBitsLossless = 20;
constexpr int DefineBitsJpeg2 = 21;
constexpr int DefineShape2 = 22;
constexpr int PlaceObject2 = 26;
constexpr int RemoveObject2 = 28;
constexpr int DefineShape3 = 32;
constexpr int DefineText2 = 33;
constexpr int DefineButton2 = 34;
constexpr int DefineButtonCxform = 23;
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

// Whether a tag defines a character (or data one uses) rather than changing the frame.
bool DefinesCharacter(int code) {
  static constexpr int Definitions[] = {
      Tag::DefineShape,    Tag::DefineBits,         Tag::DefineButton,
      Tag::JpegTables,     Tag::DefineFont,         Tag::DefineText,
      Tag::DefineFontInfo, Tag::DefineBitsLossless, Tag::DefineBitsJpeg2,
      Tag::DefineShape2,   Tag::DefineShape3,       Tag::DefineText2,
      Tag::DefineButton2,  Tag::DefineBitsJpeg3,    Tag::DefineBitsLossless2,
      Tag::DefineEditText, Tag::DefineSprite,       Tag::DefineMorphShape,
      Tag::DefineFont2,    Tag::DefineVideoStream,  Tag::DefineFontInfo2,
      Tag::DefineFont3,    Tag::DefineShape4,       Tag::DefineMorphShape2,
      Tag::DefineBitsJpeg4};
  return std::find(std::begin(Definitions), std::end(Definitions), code) != std::end(Definitions);
}

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
                    SwfFrame& frame, int nesting);
  void ParseTag(int code, SwfReader& body, SwfTimeline& timeline, DisplayList& frame1,
                bool onFrame1, SwfFrame& frame, int nesting);
  // Reads a display-list or script tag into the frame's items; false for other tags.
  bool ParseFrameTag(int code, SwfReader& body, SwfTimeline& timeline, SwfFrame& frame);
  void ParseShape(SwfReader& body, int shapeVersion);
  void ParseSprite(SwfReader& body, int nesting);
  void ParseFont(SwfReader& body, int fontVersion);
  void ParseFontInfo(SwfReader& body, int infoVersion);
  void ParseStaticText(SwfReader& body, int textVersion);
  // Reads again the texts that named fonts defined after them.
  void ReadDeferredTexts();
  void ParseBitmap(int code, SwfReader& body);
  // Gives bitmap fills read before their bitmap the image defined since.
  void ResolveBitmapFills();
  // Reads a character body after its id with read and keeps it in characters.
  template <typename Map, typename Read>
  static void Define(SwfReader& body, Map& characters, Read read);
  SwfFrameItem ParsePlaceObject2(SwfReader& body, bool version3);
  std::shared_ptr<const std::vector<SwfClipAction>> ParseClipActions(SwfReader& body);
  static void PlaceOnFrame1(const SwfFrameItem& item, DisplayList& frame1);

  SwfMovie& FMovie;
  SwfBudget FBudget;
  QByteArray FJpegTables;
  struct DeferredText {
    int Id;
    int Version;
    QByteArray Body;
  };
  std::vector<DeferredText> FDeferredTexts;
  std::size_t FBitmapBytesLeft = SwfLimits::MaxMovieBitmapBytes;
  // The root's last tag, a definition, runs past the end of the data: the file was cut short
  // inside it, which takes nothing from the frame before.
  bool FCutShort = false;
};

void TagParser::ParseTimeline(SwfReader& reader, SwfTimeline& timeline, int nesting) {
  DisplayList frame1;
  bool onFrame1 = true;
  SwfFrame frame;
  try {
    bool ended = false;
    while (!reader.AtEnd() && !ended)
      ended = !ParseNextTag(reader, timeline, frame1, onFrame1, frame, nesting);
    // Scripts and placements after the last ShowFrame still play, as one last frame that the
    // timeline does not loop from; a timeline without any ShowFrame still shows its one frame.
    const bool trailing = !frame.Items.empty();
    timeline.Loops = ended && !trailing;
    if ((trailing && timeline.Frames.size() < SwfLimits::MaxFrames) || timeline.Frames.empty())
      timeline.Frames.push_back(std::move(frame));
  } catch (const SwfError& error) {
    timeline.Loops = false;
    // Once the root's first frame is complete, damage after it leaves the whole frames before
    // it to play. A file that ends inside a definition on its first frame plays that frame as
    // far as it came.
    if (nesting > 0 || (onFrame1 && !FCutShort))
      throw;
    if (onFrame1) {
      timeline.Frames.push_back(std::move(frame));
      FMovie.Damage = QStringLiteral("cut short in the first frame: ") + error.what();
    } else {
      FMovie.Damage = DamageAfterFirstFrame(error.what());
    }
  }
  if (nesting == 0 && onFrame1)
    ResolveBitmapFills();
  if (nesting == 0)
    ReadDeferredTexts();
  for (auto& [depth, placement] : frame1)
    timeline.Frame1.push_back(std::move(placement));
}

bool TagParser::ParseNextTag(SwfReader& reader, SwfTimeline& timeline, DisplayList& frame1,
                             bool& onFrame1, SwfFrame& frame, int nesting) {
  const qsizetype tagStart = reader.Position();
  const quint16 header = reader.U16();
  const int code = header >> 6;
  qsizetype length = header & 0x3F;
  if (length == 0x3F)
    length = reader.U32();
  if (length > reader.Remaining()) {
    FCutShort = nesting == 0 && DefinesCharacter(code);
    throw SwfError("tag " + std::to_string(code) + " at byte " + std::to_string(tagStart) +
                   " is longer than the data left");
  }
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
    if (timeline.Frames.size() >= SwfLimits::MaxFrames)
      throw SwfError("more than " + std::to_string(SwfLimits::MaxFrames) + " frames");
    timeline.Frames.push_back(std::exchange(frame, {}));
  } else {
    ParseTag(code, body, timeline, frame1, onFrame1, frame, nesting);
  }
  return true;
}

bool TagParser::ParseFrameTag(int code, SwfReader& body, SwfTimeline& timeline, SwfFrame& frame) {
  SwfFrameItem item;
  switch (code) {
  case Tag::PlaceObject:
    item.CharacterId = body.U16();
    item.Depth = body.U16();
    item.Matrix = body.Matrix();
    if (!body.AtEnd())
      item.ColorTransform = body.ColorTransform(false);
    break;
  case Tag::PlaceObject2:
  case Tag::PlaceObject3:
    item = ParsePlaceObject2(body, code == Tag::PlaceObject3);
    break;
  case Tag::RemoveObject:
    body.U16();
    item.What = SwfFrameItem::Remove;
    item.Depth = body.U16();
    break;
  case Tag::RemoveObject2:
    item.What = SwfFrameItem::Remove;
    item.Depth = body.U16();
    break;
  case Tag::DoAction:
    item.What = SwfFrameItem::Action;
    item.Script = frame.Scripts.size();
    frame.Scripts.push_back(DecodeSwfScript(body.Bytes(body.Remaining()), FMovie.Version, FBudget));
    break;
  case Tag::FrameLabel:
    timeline.Labels.emplace_back(body.CString(FMovie.Version), int(timeline.Frames.size()) + 1);
    return true;
  default:
    return false;
  }
  frame.Items.push_back(std::move(item));
  return true;
}

void TagParser::ParseTag(int code, SwfReader& body, SwfTimeline& timeline, DisplayList& frame1,
                         bool onFrame1, SwfFrame& frame, int nesting) {
  if (ParseFrameTag(code, body, timeline, frame)) {
    if (!onFrame1 || frame.Items.empty())
      return;
    const SwfFrameItem& item = frame.Items.back();
    if (item.What == SwfFrameItem::Action)
      timeline.Frame1Scripts.push_back(frame.Scripts.back());
    else if (item.What == SwfFrameItem::Remove)
      frame1.erase(item.Depth);
    else
      PlaceOnFrame1(item, frame1);
    return;
  }
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
    ParseStaticText(body, code == Tag::DefineText2 ? 2 : 1);
    break;
  case Tag::DefineButton:
  case Tag::DefineButton2:
    Define(body, FMovie.Buttons, [this, code](SwfReader& r) {
      return ReadSwfButton(r, code == Tag::DefineButton2 ? 2 : 1, FMovie.Version, FBudget);
    });
    break;
  case Tag::DefineButtonCxform:
    if (const auto button = FMovie.Buttons.find(body.U16()); button != FMovie.Buttons.end())
      ReadSwfButtonColorTransform(body, button->second);
    break;
  case Tag::DefineMorphShape:
  case Tag::DefineMorphShape2:
    Define(body, FMovie.MorphShapes, [this, code](SwfReader& r) {
      return ReadSwfMorphShape(r, code == Tag::DefineMorphShape2 ? 2 : 1, FBudget, FMovie.Bitmaps);
    });
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
  case Tag::DoInitAction:
    if (onFrame1 && nesting == 0) {
      body.U16(); // the sprite it initialises
      FMovie.InitScripts.push_back(
          DecodeSwfScript(body.Bytes(body.Remaining()), FMovie.Version, FBudget));
    }
    break;
  case Tag::ExportAssets:
    for (int count = body.U16(); count > 0; --count) {
      const int id = body.U16();
      FMovie.Exports.try_emplace(body.CString(FMovie.Version), id);
    }
    break;
  case Tag::ImportAssets:
  case Tag::ImportAssets2: {
    const QString url = body.CString(FMovie.Version);
    if (code == Tag::ImportAssets2)
      body.U16(); // reserved
    if (onFrame1 && nesting == 0 &&
        std::none_of(FMovie.ImportedFiles.begin(), FMovie.ImportedFiles.end(),
                     [&url](const SwfMovie::ImportedFile& file) { return file.Url == url; }))
      FMovie.ImportedFiles.push_back({url, FMovie.InitScripts.size()});
    for (int count = body.U16(); count > 0; --count) {
      const int id = body.U16();
      FMovie.Imports.try_emplace(id, SwfMovie::Import{url, body.CString(FMovie.Version)});
    }
    break;
  }
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

void TagParser::ParseStaticText(SwfReader& body, int textVersion) {
  const int id = body.U16();
  if (FMovie.StaticTexts.contains(id))
    return;
  const QByteArray bytes = body.Bytes(body.Remaining()).toByteArray();
  SwfReader reader(bytes);
  bool fontMissing = false;
  FMovie.StaticTexts.emplace(
      id, ReadSwfStaticText(reader, textVersion, FMovie.Fonts, FBudget, &fontMissing));
  // Some writers define a text before its font: it is read again once the movie is read.
  if (fontMissing)
    FDeferredTexts.push_back({id, textVersion, bytes});
}

void TagParser::ReadDeferredTexts() {
  for (const DeferredText& text : std::exchange(FDeferredTexts, {})) {
    SwfReader reader(text.Body);
    FMovie.StaticTexts[text.Id] = ReadSwfStaticText(reader, text.Version, FMovie.Fonts, FBudget);
  }
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
  sprite.ByteCount = body.Remaining();
  ParseTimeline(body, sprite, nesting + 1);
  FMovie.Sprites.try_emplace(id, std::move(sprite));
}

SwfFrameItem TagParser::ParsePlaceObject2(SwfReader& body, bool version3) {
  const int swfVersion = FMovie.Version;
  const quint8 flags = body.U8();
  const quint8 flags3 = version3 ? body.U8() : 0;
  SwfFrameItem item;
  item.Depth = body.U16();
  item.Move = flags & 0x01;
  const bool hasCharacter = flags & 0x02;
  if (version3 && ((flags3 & 0x08) || ((flags3 & 0x10) && hasCharacter)))
    body.CString(swfVersion); // class name
  if (hasCharacter)
    item.CharacterId = body.U16();
  if (flags & 0x04)
    item.Matrix = body.Matrix();
  if (flags & 0x08)
    item.ColorTransform = body.ColorTransform(true);
  if (flags & 0x10)
    item.Ratio = body.U16();
  if (flags & 0x20)
    item.Name = body.CString(swfVersion);
  if (flags & 0x40)
    item.ClipDepth = body.U16();
  if (version3 && (flags3 & 0x01))
    item.Filters = ReadSwfFilters(body);
  if (version3 && (flags3 & 0x02))
    item.Blend = SwfBlendModeOf(body.U8());
  if (version3 && (flags3 & 0x04))
    item.CacheAsBitmap = body.U8() != 0;
  if (version3 && (flags3 & 0x20))
    body.U8(); // visible
  if (version3 && (flags3 & 0x40))
    body.U32(); // opaque background
  if ((flags & 0x80) && swfVersion >= 5)
    item.ClipActions = ParseClipActions(body);
  return item;
}

std::shared_ptr<const std::vector<SwfClipAction>> TagParser::ParseClipActions(SwfReader& body) {
  // A handler list cut short keeps the handlers read before the cut; the placement stands.
  auto actions = std::make_shared<std::vector<SwfClipAction>>();
  const bool wide = FMovie.Version >= 6;
  const auto readFlags = [&body, wide]() -> quint32 { return wide ? body.U32() : body.U16(); };
  try {
    body.U16();  // reserved
    readFlags(); // every event of the list
    for (quint32 events = readFlags(); events != 0; events = readFlags()) {
      qsizetype size = qsizetype(body.U32());
      if (size > body.Remaining())
        throw SwfError("clip event handler longer than its tag");
      constexpr quint32 KeyPress = 0x20000;
      if (events & KeyPress) {
        body.U8();
        --size;
      }
      SwfClipAction action;
      action.Events = events;
      action.Script =
          DecodeSwfScript(body.Bytes(std::max<qsizetype>(0, size)), FMovie.Version, FBudget);
      actions->push_back(std::move(action));
    }
  } catch (const SwfError&) {
  }
  return actions;
}

void TagParser::PlaceOnFrame1(const SwfFrameItem& item, DisplayList& frame1) {
  const auto existing = frame1.find(item.Depth);
  if (item.Move && existing != frame1.end()) {
    SwfTimeline::Placement& placement = existing->second;
    placement.CharacterId = item.CharacterId.value_or(placement.CharacterId);
    placement.Matrix = item.Matrix.value_or(placement.Matrix);
    placement.Name = item.Name.value_or(placement.Name);
    placement.Ratio = item.Ratio.value_or(placement.Ratio);
    placement.ColorTransform = item.ColorTransform.value_or(placement.ColorTransform);
    placement.ClipDepth = item.ClipDepth.value_or(placement.ClipDepth);
    SwfDisplayEffects& effects = placement.Effects;
    effects.Filters = item.Filters.value_or(effects.Filters);
    effects.Blend = item.Blend.value_or(effects.Blend);
    effects.CacheAsBitmap = item.CacheAsBitmap.value_or(effects.CacheAsBitmap);
  } else if (item.CharacterId) {
    frame1[item.Depth] = {item.Depth,
                          *item.CharacterId,
                          item.Matrix.value_or(QTransform()),
                          item.Name.value_or(QString()),
                          item.Ratio.value_or(0),
                          item.ColorTransform.value_or(SwfColorTransform()),
                          item.ClipDepth.value_or(0),
                          {item.Filters.value_or(std::vector<SwfFilter>()),
                           item.Blend.value_or(SwfBlendMode::Normal),
                           item.CacheAsBitmap.value_or(false)}};
  }
}

// The signature, version and length before the body.
constexpr qint64 FileHeaderBytes = 8;

} // namespace

std::shared_ptr<const SwfMovie> ParseSwfMovie(QByteArrayView file) {
  const SwfFileContent content = DecodeSwfFile(file);
  auto movie = std::make_shared<SwfMovie>();
  movie->Version = content.Version;
  movie->FileLength = file.size();
  try {
    SwfReader reader(content.Body);
    movie->FrameRect = reader.Rect();
    movie->FrameRate = reader.U16() / 256.0;
    movie->FrameCount = reader.U16();
    movie->Root.FrameCount = movie->FrameCount;
    movie->Root.ByteCount = content.Body.size() + FileHeaderBytes;
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
