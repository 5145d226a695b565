#pragma once

#include "player/script/ScriptObject.h"

#include <memory>

class MovieClip;

// What a reference to a clip taken off the stage reads as while no clip stands at its path:
// still a movie clip to typeof, the empty text, and without members. It belongs to the
// removed clip, so it lasts as long as that clip does, and it finds a clip placed later at
// the same path again.
class ScriptRemovedClip : public ScriptObject {
public:
  explicit ScriptRemovedClip(std::weak_ptr<MovieClip> clip) : FClip(std::move(clip)) { MakeBare(); }

  const std::weak_ptr<MovieClip>& Clip() const { return FClip; }

  // Assignments to a removed clip go nowhere.
  void SetMember(const QString&, const ActionValue&) override {}
  QString ToText() const override { return {}; }
  QString TypeOf() const override { return QStringLiteral("movieclip"); }

private:
  std::weak_ptr<MovieClip> FClip;
};
