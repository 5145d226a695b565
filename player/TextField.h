#pragma once

#include "player/MovieClip.h"
#include "player/render/FormattedText.h"
#include "player/render/TextLayout.h"
#include "player/script/ScriptObject.h"
#include "player/swf/SwfText.h"

#include <QColor>
#include <QString>
#include <memory>
#include <optional>

class PlayerStage;

// A text field placed on a clip, and the script object scripts reach it by. It shows the
// current value of its variable, found from the clip it sits on, or its own text while that
// variable is unset; the value is read each time the field is drawn, so a change by a script
// or by the host shows at the next paint. Its own text keeps the look of every character;
// text a script adds takes the field's format for new text.
class TextField : public ScriptObject {
public:
  TextField(const SwfEditText& definition, MovieClip& owner, const QString& name = {});

  const SwfEditText& Definition() const { return FDefinition; }
  // The text drawn: the variable's value when it has one, else the field's own text; plain.
  QString CurrentText(const PlayerStage& stage) const;
  // The text laid out in the field; laid out again only when the text or the look changed.
  const TextLayout& Layout(const QString& text) const;

  ActionValue Member(const QString& name) const override;
  void SetMember(const QString& name, const ActionValue& value) override;
  QString ToText() const override;

  const FormattedText& Content() const { return FContent; }
  const TextFormat& NewTextFormat() const { return FNewFormat; }
  // The look shared by the characters of [begin, end); the format for new text when the
  // range holds none.
  TextFormat FormatOver(qsizetype begin, qsizetype end) const;
  void ApplyFormat(qsizetype begin, qsizetype end, const TextFormat& format);
  void SetNewTextFormat(const TextFormat& format);
  // The size of the laid-out text in whole pixels, without the gutter.
  QSizeF TextSize() const;
  // Takes the field off its clip; false when it was not on one.
  bool Remove();

  bool HasBackground() const { return FBackground; }
  // Whether the field draws the outlines of an embedded font rather than a device font.
  bool UsesOutlines() const { return FDefinition.UseOutlines; }
  QColor BackgroundColor() const { return QColor::fromRgb(QRgb(FBackgroundColor)); }
  QColor BorderColor() const { return QColor::fromRgb(QRgb(FBorderColor)); }

private:
  // The entry that places the field on its clip; null once it is off the clip.
  MovieClip::DisplayEntry* PlacingEntry() const;
  void SetText(const QString& text, bool html);
  // Whether the variable is a member of the field's own clip (a name without a path).
  bool VariableOnOwner() const;
  // Gives an unset variable of the clip the field's initial text.
  void BindVariable();
  // A variable's value as the field shows it: plain text.
  QString ShownValue(const ActionValue& value) const;
  // The definition with the look of the field's first character, as the layout draws it.
  SwfEditText LaidOutDefinition() const;
  // The look of the first character, or of new text when there is none: the layout's.
  TextFormat FirstFormat() const;
  // The movie whose characters the field's clip uses; null when there is none.
  const SwfMovie* OwnerMovie() const;
  // What the field's format and movie add to the definition for the layout.
  TextLayout::Options LayoutOptions() const;
  QSizeF TextSizeTwips() const;
  // Fits the bounds to the text when the field sizes itself.
  void FitToText();
  void Changed();

  SwfEditText FDefinition;
  std::weak_ptr<MovieClip> FOwner; // a script may keep the field after its clip is gone
  QString FName;
  FormattedText FContent;
  QString FInitialText; // the definition's text, plain
  TextFormat FNewFormat;
  mutable std::unique_ptr<TextLayout> FLayout;
  mutable SwfEditText FLaidOutDefinition;
  mutable QString FLaidOutText;
  bool FBackground = false;
  quint32 FBackgroundColor = 0xFFFFFF;
  quint32 FBorderColor = 0;
  QString FAutoSize = QStringLiteral("none");
  double FMaxChars = -1; // -1: no limit (scripts read null)
  bool FMouseWheelEnabled = true;
  bool FSelectable = true;
};
