#include "player/PlayerLevel.h"

#include "player/ButtonClip.h"
#include "player/FramePlayer.h"
#include "player/MovieCache.h"
#include "player/TextField.h"
#include "player/script/ScriptGlobals.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfLimits.h"

#include <QDir>
#include <QImageReader>
#include <algorithm>

PlayerLevel::PlayerLevel(int number, std::shared_ptr<const SwfMovie> movie, const QString& typeName,
                         FramePlayer* frames, const QString& directory)
    : FNumber(number), FMovie(std::move(movie)), FTypeName(typeName), FFrames(frames),
      FDirectory(directory), FTextLeft(SwfLimits::MaxScriptTextChars) {
  FRoot = std::make_shared<MovieClip>(number, FMovie->FrameRect);
  FRoot->SetTimeline(&FMovie->Root);
  FRoot->SetDictionary(FMovie.get());
  Own(FRoot);
}

int PlayerLevel::Nesting(const MovieClip& clip) const {
  int nesting = 0;
  for (const MovieClip* parent = clip.Parent(); parent; parent = parent->Parent())
    ++nesting;
  return nesting;
}

std::shared_ptr<MovieClip> PlayerLevel::Place(MovieClip& clip, const SwfFrameItem& item,
                                              int frame) {
  MovieClip::DisplayEntry* existing = clip.EntryAt(item.Depth);
  // What a script put at a depth, or moved there, is no longer the timeline's to move.
  if (item.Move && existing && existing->PlacedOnFrame == 0)
    return nullptr;
  if (item.Move && existing) {
    const bool replaces = item.CharacterId && *item.CharacterId != existing->CharacterId;
    if (!replaces || existing->Clip) {
      // A clip keeps its identity when its character is swapped; so do moved shapes.
      Move(*existing, item);
      existing->MovedOnFrame = frame;
      return nullptr;
    }
  }
  if (!item.CharacterId)
    return nullptr;
  if (existing)
    Remove(clip, item.Depth);
  SwfTimeline::Placement placement{item.Depth,
                                   *item.CharacterId,
                                   item.Matrix.value_or(QTransform()),
                                   item.Name.value_or(QString()),
                                   item.Ratio.value_or(0),
                                   item.ColorTransform.value_or(SwfColorTransform()),
                                   item.ClipDepth.value_or(0),
                                   {item.Filters.value_or(std::vector<SwfFilter>()),
                                    item.Blend.value_or(SwfBlendMode::Normal),
                                    item.CacheAsBitmap.value_or(false)}};
  if (++FDisplayEntries > SwfLimits::MaxDisplayEntries)
    throw SwfError(frame == 1 ? "too many objects on the first frame"
                              : "too many objects on the stage");
  const auto stamp = [&clip, &placement, frame] {
    if (MovieClip::DisplayEntry* placed = clip.EntryAt(placement.Depth)) {
      placed->CharacterId = placement.CharacterId;
      placed->PlacedOnFrame = frame;
      placed->PlacedRatio = placement.Ratio;
    }
  };
  const auto [movie, id] =
      Resolve(clip.Dictionary() ? clip.Dictionary() : FMovie.get(), placement.CharacterId);
  if (AddCharacter(clip, *movie, id, placement)) {
    stamp();
    return nullptr;
  }
  const auto shape = movie->Shapes.find(id);
  const SwfTimeline* timeline = movie->ClipTimeline(id);
  const bool isShape = shape != movie->Shapes.end();
  if (!isShape && !timeline) {
    --FDisplayEntries;
    return nullptr;
  }
  if (isShape) {
    AddShape(clip, shape->second, placement);
    if (MovieClip::DisplayEntry* placed = clip.EntryAt(placement.Depth))
      placed->ShapeName = placement.Name;
    stamp();
    return nullptr;
  }
  if (Nesting(clip) + 1 > SwfLimits::MaxNesting)
    throw SwfError("clips nested deeper than " + std::to_string(SwfLimits::MaxNesting));
  // Instances without a name get one, as scripts may still reach them by it.
  const QString name = placement.Name.isEmpty()
                           ? QStringLiteral("instance") + QString::number(++FUnnamedInstances)
                           : placement.Name;
  const auto child = NewClip(clip, *movie, id, name, placement.Matrix);
  child->SetColorTransform(placement.ColorTransform);
  child->SetEffects(placement.Effects);
  child->SetClipActions(item.ClipActions);
  child->SetDictionary(movie);
  child->SetCharacter(id);
  Own(child);
  child->SetTimeline(timeline);
  clip.AddChild(child, placement.Depth, placement.ClipDepth);
  stamp();
  return child;
}

void PlayerLevel::Move(MovieClip::DisplayEntry& entry, const SwfFrameItem& item) {
  if (item.ClipDepth)
    entry.ClipDepth = *item.ClipDepth;
  if (entry.Clip) {
    if (entry.Clip->IsTransformedByScript())
      return;
    if (item.Matrix)
      entry.Clip->SetMatrix(*item.Matrix);
    if (item.ColorTransform)
      entry.Clip->SetColorTransform(*item.ColorTransform);
    return;
  }
  if (item.Matrix)
    entry.Matrix = *item.Matrix;
  if (item.ColorTransform)
    entry.ColorTransform = *item.ColorTransform;
  if (item.Ratio)
    if (const auto morph = FMovie->MorphShapes.find(entry.CharacterId);
        morph != FMovie->MorphShapes.end()) {
      entry.Bounds = morph->second.BoundsAt(*item.Ratio);
      entry.Shape = &morph->second.ShapeAt(*item.Ratio);
    }
}

std::shared_ptr<MovieClip> PlayerLevel::Remove(MovieClip& clip, int depth) {
  std::optional<MovieClip::DisplayEntry> entry = clip.RemoveEntryAt(depth);
  if (!entry)
    return nullptr;
  if (FDisplayEntries > 0)
    --FDisplayEntries;
  if (!entry->Clip)
    return nullptr;
  return std::static_pointer_cast<MovieClip>(entry->Clip->shared_from_this());
}

bool PlayerLevel::HasRoomIn(const MovieClip& parent) const {
  return FDisplayEntries < SwfLimits::MaxDisplayEntries &&
         Nesting(parent) + 1 <= SwfLimits::MaxNesting;
}

std::shared_ptr<MovieClip> PlayerLevel::AddScriptClip(MovieClip& parent,
                                                      std::shared_ptr<MovieClip> child, int depth) {
  if (!Adopt(child))
    return nullptr;
  TakeOff(parent, depth);
  ++FDisplayEntries;
  parent.AddChild(child, depth);
  return child;
}

std::shared_ptr<MovieClip> PlayerLevel::CreateEmptyClip(MovieClip& parent, const QString& name,
                                                        int depth) {
  if (!HasRoomIn(parent))
    return nullptr;
  return AddScriptClip(parent, std::make_shared<MovieClip>(&parent, name, QTransform()), depth);
}

std::shared_ptr<MovieClip> PlayerLevel::AttachClip(MovieClip& parent, const QString& linkage,
                                                   const QString& name, int depth) {
  const SwfMovie* dictionary = parent.Dictionary() ? parent.Dictionary() : FMovie.get();
  const auto exported = std::find_if(
      dictionary->Exports.begin(), dictionary->Exports.end(), [&linkage](const auto& entry) {
        return entry.first.compare(linkage, Qt::CaseInsensitive) == 0;
      });
  if (exported == dictionary->Exports.end() || !HasRoomIn(parent))
    return nullptr;
  const auto [movie, id] = Resolve(dictionary, exported->second);
  const SwfTimeline* timeline = movie->ClipTimeline(id);
  if (!timeline)
    return nullptr;
  auto child = NewClip(parent, *movie, id, name, QTransform());
  child->SetTimeline(timeline);
  child->SetDictionary(movie);
  child->SetCharacter(id);
  return AddScriptClip(parent, std::move(child), depth);
}

std::shared_ptr<MovieClip> PlayerLevel::DuplicateClip(MovieClip& clip, const QString& name,
                                                      int depth) {
  MovieClip* parent = clip.Parent();
  if (!parent || !HasRoomIn(*parent))
    return nullptr;
  auto copy = std::make_shared<MovieClip>(parent, name, clip.Transform());
  copy->SetColorTransform(clip.ColorTransform());
  copy->SetEffects(clip.Effects());
  copy->SetScrollRect(clip.ScrollRect());
  copy->SetProperty(MovieClip::Visible, clip.IsVisible());
  copy->SetTimeline(clip.Timeline());
  copy->SetDictionary(clip.Dictionary());
  copy->SetCharacter(clip.Character());
  if (const auto* actions = clip.ClipActions())
    copy->SetClipActions(std::make_shared<const std::vector<SwfClipAction>>(*actions));
  return AddScriptClip(*parent, std::move(copy), depth);
}

std::shared_ptr<MovieClip> PlayerLevel::NewClip(MovieClip& parent, const SwfMovie& movie, int id,
                                                const QString& name, const QTransform& matrix) {
  if (const SwfButton* button = movie.Button(id))
    return std::make_shared<ButtonClip>(&parent, name, matrix, *button);
  return std::make_shared<MovieClip>(&parent, name, matrix);
}

std::shared_ptr<ScriptObject> PlayerLevel::ClassOf(const MovieClip& clip) const {
  // A button stays a button whatever class its symbol is registered with.
  if (!clip.Character() || !clip.Dictionary() || FRegisteredClasses.empty() ||
      dynamic_cast<const ButtonClip*>(&clip))
    return nullptr;
  for (const auto& [linkage, id] : clip.Dictionary()->Exports)
    if (id == clip.Character())
      if (auto constructor = RegisteredClass(linkage))
        return constructor;
  return nullptr;
}

void PlayerLevel::TakeOff(MovieClip& clip, int depth) {
  const auto gone = Remove(clip, depth);
  if (!gone)
    return;
  if (FFrames)
    FFrames->Depart(*this, gone, depth);
  else
    Release(*gone);
}

void PlayerLevel::Release(MovieClip& clip) {
  for (const MovieClip::DisplayEntry& entry : clip.DisplayList())
    if (entry.Clip) {
      if (FDisplayEntries > 0)
        --FDisplayEntries;
      clip.KeepChild(std::static_pointer_cast<MovieClip>(entry.Clip->shared_from_this()));
      Release(*entry.Clip);
    }
  clip.SetUnloaded();
  FObjects.erase(&clip);
}

std::shared_ptr<const SwfDisplayEffects>
PlayerLevel::EffectsOf(const SwfTimeline::Placement& placement) {
  if (placement.Effects.IsPlain())
    return nullptr;
  return std::make_shared<const SwfDisplayEffects>(placement.Effects);
}

void PlayerLevel::Own(const std::shared_ptr<ScriptObject>& object) {
  object->IgnoreCase(IgnoresCase());
  FObjects.emplace(object.get(), object);
}

void PlayerLevel::AddShape(MovieClip& clip, const SwfShape& shape,
                           const SwfTimeline::Placement& placement) {
  clip.AddShape(&shape, placement.Matrix, placement.ColorTransform, placement.Depth,
                placement.ClipDepth, EffectsOf(placement));
  FHasDrawnShapes = FHasDrawnShapes || shape.HasDrawing();
}

std::pair<const SwfMovie*, int> PlayerLevel::Resolve(const SwfMovie* movie, int id) {
  // An imported character may itself be imported; a chain that loops ends here.
  for (int step = 0; step < SwfLimits::MaxNesting && !movie->Defines(id); ++step) {
    const auto import = movie->Imports.find(id);
    if (import == movie->Imports.end())
      break;
    const SwfMovie* source = Imported(import->second.Url);
    if (!source)
      break;
    const auto exported = source->Exports.find(import->second.Name);
    if (exported == source->Exports.end())
      break;
    movie = source;
    id = exported->second;
  }
  return {movie, id};
}

const SwfMovie* PlayerLevel::Imported(const QString& url) {
  return FDirectory.isEmpty() ? nullptr : Keep(QDir(FDirectory).filePath(url));
}

const SwfMovie* PlayerLevel::Keep(const QString& path) {
  const auto known = FImported.find(path);
  if (known != FImported.end())
    return known->second.get();
  const std::shared_ptr<const SwfMovie> movie = MovieCache::Instance().Load(path).Movie;
  FImported.emplace(path, movie);
  return movie.get();
}

const SwfShape* PlayerLevel::KeepPicture(const QString& path) {
  const auto known = FPictures.find(path);
  if (known != FPictures.end())
    return known->second.get();
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  const QSize size = reader.size();
  std::unique_ptr<SwfShape> shape;
  if (size.isValid() && size.width() <= SwfLimits::MaxBitmapSide &&
      size.height() <= SwfLimits::MaxBitmapSide)
    if (const QImage image = reader.read(); !image.isNull()) {
      shape = std::make_unique<SwfShape>();
      const QRectF bounds(0, 0, image.width() * TwipsPerPixel, image.height() * TwipsPerPixel);
      SwfShape::Fill fill;
      fill.Style.Type = SwfFillStyle::Kind::Bitmap;
      fill.Style.Matrix = QTransform::fromScale(TwipsPerPixel, TwipsPerPixel);
      fill.Style.Bitmap = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
      fill.Style.Repeats = false;
      fill.Path.addRect(bounds);
      shape->Bounds = bounds;
      shape->Fills.push_back(std::move(fill));
    }
  return FPictures.emplace(path, std::move(shape)).first->second.get();
}

bool PlayerLevel::AddCharacter(MovieClip& clip, const SwfMovie& movie, int id,
                               const SwfTimeline::Placement& placement) {
  MovieClip::DisplayEntry entry{.Matrix = placement.Matrix,
                                .ColorTransform = placement.ColorTransform,
                                .Depth = placement.Depth,
                                .ClipDepth = placement.ClipDepth,
                                .Effects = EffectsOf(placement)};
  if (const auto field = movie.EditTexts.find(id); field != movie.EditTexts.end()) {
    entry.Bounds = field->second.Bounds;
    // An unnamed field gets a name as an unnamed clip does.
    const QString name = placement.Name.isEmpty()
                             ? QStringLiteral("instance") + QString::number(++FUnnamedInstances)
                             : placement.Name;
    entry.Field = std::make_shared<TextField>(field->second, clip, name);
    entry.Field->IgnoreCase(IgnoresCase());
    // A named field is a member of its clip, as scripts reach it by name.
    if (!placement.Name.isEmpty())
      clip.SetMember(placement.Name, std::static_pointer_cast<ScriptObject>(entry.Field));
  } else if (const auto text = movie.StaticTexts.find(id); text != movie.StaticTexts.end()) {
    entry.Bounds = text->second.Bounds;
    entry.StaticText = &text->second;
  } else if (const auto morph = movie.MorphShapes.find(id); morph != movie.MorphShapes.end()) {
    entry.Bounds = morph->second.BoundsAt(placement.Ratio);
    entry.Shape = &morph->second.ShapeAt(placement.Ratio);
  } else if (const auto video = movie.Videos.find(id); video != movie.Videos.end()) {
    entry.Bounds = video->second;
  } else {
    return false;
  }
  FHasDrawnShapes = FHasDrawnShapes || entry.Field || entry.StaticText ||
                    (entry.Shape && entry.Shape->HasDrawing());
  clip.AddCharacter(std::move(entry));
  return true;
}

bool PlayerLevel::ChargeDrawing(std::size_t count) {
  if (count > SwfLimits::MaxDecodedItems - FDrawnSegments)
    return false;
  FDrawnSegments += count;
  FHasDrawnShapes = true;
  return true;
}

std::shared_ptr<ScriptObject> PlayerLevel::NewObject() {
  const auto prototype = ScriptGlobals::Prototype(*this, QStringLiteral("Object"));
  const auto object = Adopt(std::make_shared<ScriptObject>());
  if (object && prototype)
    object->DefineMember(QStringLiteral("__proto__"), prototype);
  return object;
}

std::shared_ptr<ScriptObject> PlayerLevel::Builtin(const QString& name) const {
  const auto found = FBuiltins.find(name);
  return found == FBuiltins.end() ? nullptr : found->second;
}

const std::shared_ptr<ScriptObject>& PlayerLevel::Global() {
  if (!FGlobal) {
    FGlobal = std::make_shared<ScriptObject>();
    FGlobal->MakeBare();
    Own(FGlobal);
  }
  return FGlobal;
}

bool PlayerLevel::SpendText(qsizetype characters) {
  if (characters < 0 || std::size_t(characters) > FTextLeft)
    return false;
  FTextLeft -= std::size_t(characters);
  return true;
}

void PlayerLevel::RegisterClass(const QString& symbol,
                                const std::shared_ptr<ScriptObject>& constructor) {
  if (constructor)
    FRegisteredClasses[symbol] = constructor;
  else
    FRegisteredClasses.erase(symbol);
}

std::shared_ptr<ScriptObject> PlayerLevel::RegisteredClass(const QString& symbol) const {
  const auto found = FRegisteredClasses.find(symbol);
  return found == FRegisteredClasses.end() ? nullptr : found->second;
}

void PlayerLevel::SetDraggedClip(MovieClip* clip) {
  FDragged = clip ? std::static_pointer_cast<MovieClip>(clip->shared_from_this())
                  : std::weak_ptr<MovieClip>();
}
