#include "player/PlayerLevel.h"

#include "player/SwfError.h"
#include "player/SwfLimits.h"

PlayerLevel::PlayerLevel(int number, std::shared_ptr<const SwfMovie> movie, const QString& typeName)
    : FNumber(number), FMovie(std::move(movie)), FTypeName(typeName),
      FTextLeft(SwfLimits::MaxScriptTextChars) {
  FRoot = std::make_shared<MovieClip>(number, FMovie->FrameRect);
  FRoot->SetTimeline(&FMovie->Root);
  FObjects.push_back(FRoot);
  Populate(*FRoot, FMovie->Root, 0);
}

void PlayerLevel::Populate(MovieClip& clip, const SwfTimeline& timeline, int nesting) {
  for (const SwfTimeline::Placement& placement : timeline.Frame1) {
    if (++FDisplayEntries > SwfLimits::MaxDisplayEntries)
      throw SwfError("too many objects on the first frame");
    const auto shape = FMovie->Shapes.find(placement.CharacterId);
    const auto sprite = FMovie->Sprites.find(placement.CharacterId);
    const bool isShape = shape != FMovie->Shapes.end();
    if (!isShape && sprite == FMovie->Sprites.end())
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
    FObjects.push_back(child);
    if (isShape) {
      AddShape(*child, shape->second, {});
    } else {
      if (nesting + 1 > SwfLimits::MaxNesting)
        throw SwfError("clips nested deeper than " + std::to_string(SwfLimits::MaxNesting));
      child->SetTimeline(&sprite->second);
      Populate(*child, sprite->second, nesting + 1);
    }
    clip.AddChild(child, placement.Depth, placement.ClipDepth);
  }
}

void PlayerLevel::AddShape(MovieClip& clip, const SwfShape& shape,
                           const SwfTimeline::Placement& placement) {
  clip.AddShape(&shape, placement.Matrix, placement.ColorTransform, placement.Depth,
                placement.ClipDepth);
  FHasDrawnShapes = FHasDrawnShapes || shape.HasDrawing();
}

std::shared_ptr<ScriptObject> PlayerLevel::NewObject() {
  if (++FScriptObjects > SwfLimits::MaxScriptObjects)
    return nullptr;
  FObjects.push_back(std::make_shared<ScriptObject>());
  return FObjects.back();
}

bool PlayerLevel::SpendText(qsizetype characters) {
  if (characters < 0 || std::size_t(characters) > FTextLeft)
    return false;
  FTextLeft -= std::size_t(characters);
  return true;
}
