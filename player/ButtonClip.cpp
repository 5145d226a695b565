#include "player/ButtonClip.h"

ButtonClip::ButtonClip(MovieClip* parent, const QString& name, const QTransform& matrix,
                       const SwfButton& definition)
    : MovieClip(parent, name, matrix), FDefinition(definition) {
  SetTimeline(&definition.States[SwfButton::Up]);
}

ActionValue ButtonClip::Member(const QString& name) const {
  const ActionValue value = MovieClip::Member(name);
  if (value.IsUndefined() && (name == u"enabled" || name == u"useHandCursor"))
    return true;
  return value;
}
