#include "player/PlayerLevel.h"

#include "player/swf/SwfError.h"
#include "player/swf/SwfLimits.h"
#include "player/TextField.h"

PlayerLevel::PlayerLevel(int number, std::shared_ptr<const SwfMovie> movie, const QString& typeName)
    : FNumber(number), FMovie(std::move(movie)), FTypeName(typeName),
      FTextLeft(SwfLimits::MaxScriptTextChars) {
  FRoot = std::make_shared<MovieClip>(number, FMovie->FrameRect);
  FRoot->SetTimeline(&FMovie->Root);
  Own(FRoot);
  Populate(*FRoot, FMovie->Root, 0);
}

void PlayerLevel::Populate(MovieClip& clip, const SwfTimeline& timeline, int nesting) {
  for (const SwfTimeline::Placement& placement : timeline.Frame1) {
    if (++FDisplayEntries > SwfLimits::MaxDisplayEntries)
      throw SwfError("too many objects on the first frame");
    if (AddCharacter(clip, placement))
      continue;
    const auto shape = FMovie->Shapes.find(placement.CharacterId);
    const SwfTimeline* timeline = FMovie->ClipTimeline(placement.CharacterId);
    const bool isShape = shape != FMovie->Shapes.end();
    if (!isShape && !timeline)
      continue;
    if (isShape && placement.Name.isEmpty()) {
      AddShape(clip, shape->second, placement);
      continue;
    }
    // Instances without a name get one, as scripts may still reach them by it.
    const QString name = placement.Name.isEmpty()
                             ? QStringLiteral("instance") + QString::number(++FUnnamedInstances)
                             : placement.Name;
    auto child = std::make_shared<MovieClip>(&clip, name, placement.Matrix);
    child->SetColorTransform(placement.ColorTransform);
    child->SetEffects(placement.Effects);
    Own(child);
    if (isShape) {
      AddShape(*child, shape->second, {});
    } else {
      if (nesting + 1 > SwfLimits::MaxNesting)
        throw SwfError("clips nested deeper than " + std::to_string(SwfLimits::MaxNesting));
      child->SetTimeline(timeline);
      Populate(*child, *timeline, nesting + 1);
    }
    clip.AddChild(child, placement.Depth, placement.ClipDepth);
  }
}

std::shared_ptr<const SwfDisplayEffects>
PlayerLevel::EffectsOf(const SwfTimeline::Placement& placement) {
  if (placement.Effects.IsPlain())
    return nullptr;
  return std::make_shared<const SwfDisplayEffects>(placement.Effects);
}

void PlayerLevel::Own(const std::shared_ptr<ScriptObject>& object) {
  object->IgnoreCase(IgnoresCase());
  FObjects.push_back(object);
}

void PlayerLevel::AddShape(MovieClip& clip, const SwfShape& shape,
                           const SwfTimeline::Placement& placement) {
  clip.AddShape(&shape, placement.Matrix, placement.ColorTransform, placement.Depth,
                placement.ClipDepth, EffectsOf(placement));
  FHasDrawnShapes = FHasDrawnShapes || shape.HasDrawing();
}

bool PlayerLevel::AddCharacter(MovieClip& clip, const SwfTimeline::Placement& placement) {
  const int id = placement.CharacterId;
  MovieClip::DisplayEntry entry{.Matrix = placement.Matrix,
                                .ColorTransform = placement.ColorTransform,
                                .Depth = placement.Depth,
                                .ClipDepth = placement.ClipDepth,
                                .Effects = EffectsOf(placement)};
  if (const auto field = FMovie->EditTexts.find(id); field != FMovie->EditTexts.end()) {
    entry.Bounds = field->second.Bounds;
    entry.Field = std::make_shared<TextField>(field->second, clip);
  } else if (const auto text = FMovie->StaticTexts.find(id); text != FMovie->StaticTexts.end()) {
    entry.Bounds = text->second.Bounds;
    entry.StaticText = &text->second;
  } else if (const auto morph = FMovie->MorphShapes.find(id); morph != FMovie->MorphShapes.end()) {
    entry.Bounds = morph->second.BoundsAt(placement.Ratio);
  } else if (const auto video = FMovie->Videos.find(id); video != FMovie->Videos.end()) {
    entry.Bounds = video->second;
  } else {
    return false;
  }
  FHasDrawnShapes = FHasDrawnShapes || entry.Field || entry.StaticText;
  clip.AddCharacter(std::move(entry));
  return true;
}

std::shared_ptr<ScriptObject> PlayerLevel::NewObject() {
  return Adopt(std::make_shared<ScriptObject>());
}

const std::shared_ptr<ScriptObject>& PlayerLevel::Global() {
  if (!FGlobal) {
    FGlobal = std::make_shared<ScriptObject>();
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
