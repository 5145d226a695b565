#pragma once

#include "player/MovieClip.h"
#include "player/swf/SwfMovie.h"

// A button placed on a display list: a clip whose display list shows one of its definition's
// states at a time, the up state until the mouse comes. Scripts see it as an object of the
// Button class, with the clip's properties.
class ButtonClip : public MovieClip {
public:
  ButtonClip(MovieClip* parent, const QString& name, const QTransform& matrix,
             const SwfButton& definition);

  const SwfButton& Definition() const { return FDefinition; }
  // The state shown; the frame player's placements of it stand on the display list.
  SwfButton::State State() const { return FState; }
  void SetState(SwfButton::State state) { FState = state; }

  // `enabled` and `useHandCursor` read true until a script sets them.
  ActionValue Member(const QString& name) const override;
  QString TypeOf() const override { return QStringLiteral("object"); }

private:
  const SwfButton& FDefinition;
  SwfButton::State FState = SwfButton::Up;
};
