#include "player/TextField.h"

#include "player/PlayerStage.h"
#include "player/swf/SwfText.h"

QString TextField::CurrentText(const PlayerStage& stage) const {
  if (FDefinition.Variable.isEmpty())
    return FDefinition.InitialText;
  const ActionValue value = stage.Resolve(FDefinition.Variable, &FOwner);
  return value.IsUndefined() ? FDefinition.InitialText : value.ToString();
}

const TextLayout& TextField::Layout(const QString& text) const {
  if (!FLayout || text != FLaidOutText) {
    FLayout = std::make_unique<TextLayout>(FDefinition, text);
    FLaidOutText = text;
  }
  return *FLayout;
}
