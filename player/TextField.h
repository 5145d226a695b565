#pragma once

#include "player/render/TextLayout.h"

#include <QString>
#include <memory>

class MovieClip;
class PlayerStage;
struct SwfEditText;

// A text field placed on a clip. It shows the current value of its variable, found from the
// clip it sits on, or its initial text while that variable is unset; the value is read each
// time the field is drawn, so a change by a script or by the host shows at the next paint.
class TextField {
public:
  TextField(const SwfEditText& definition, MovieClip& owner)
      : FDefinition(definition), FOwner(owner) {}

  const SwfEditText& Definition() const { return FDefinition; }
  QString CurrentText(const PlayerStage& stage) const;
  // The text laid out in the field; laid out again only when the text changed.
  const TextLayout& Layout(const QString& text) const;

private:
  const SwfEditText& FDefinition;
  MovieClip& FOwner;
  mutable std::unique_ptr<TextLayout> FLayout;
  mutable QString FLaidOutText;
};
