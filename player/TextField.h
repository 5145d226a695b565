#pragma once

#include "player/render/TextLayout.h"
#include "player/script/ScriptObject.h"
#include "player/swf/SwfText.h"

#include <QString>
#include <memory>
#include <optional>

class MovieClip;
class PlayerStage;

// A text field placed on a clip, and the script object scripts reach it by. It shows the
// current value of its variable, found from the clip it sits on, or its own text while that
// variable is unset; the value is read each time the field is drawn, so a change by a script
// or by the host shows at the next paint.
class TextField : public ScriptObject {
public:
  TextField(const SwfEditText& definition, MovieClip& owner, const QString& name = {});

  const SwfEditText& Definition() const { return FDefinition; }
  QString CurrentText(const PlayerStage& stage) const;
  // The text laid out in the field; laid out again only when the text or the look changed.
  const TextLayout& Layout(const QString& text) const;

  ActionValue Member(const QString& name) const override;
  void SetMember(const QString& name, const ActionValue& value) override;
  QString ToText() const override;

  // What scripts and formats change of the field's look.
  SwfEditText& EditDefinition() {
    FLayout.reset();
    return FDefinition;
  }
  // The field's own text (not its variable's): plain, with any markup taken out.
  QString PlainText() const;

private:
  SwfEditText FDefinition;
  std::weak_ptr<MovieClip> FOwner; // a script may keep the field after its clip is gone
  QString FName;
  std::optional<QString> FText; // set by a script; the definition's initial text until then
  mutable std::unique_ptr<TextLayout> FLayout;
  mutable QString FLaidOutText;
  bool FBackground = false;
  double FBackgroundColor = 0xFFFFFF;
  double FBorderColor = 0;
  QString FAutoSize = QStringLiteral("none");
  double FMaxChars = -1; // -1: no limit (scripts read null)
  bool FMouseWheelEnabled = true;
};
