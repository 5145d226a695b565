// The TextSnapshot class and MovieClip.getTextSnapshot: the static text of a clip, to read
// and search.
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptClasses.h"
#include "player/script/ScriptFunction.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfText.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

// The characters of a clip's static texts, in depth order, and where lines start.
class TextSnapshotObject : public ScriptObject {
public:
  QString Characters;
  std::set<qsizetype> LineStarts;
  // False when made for no clip: its methods answer undefined, as on an object that is no
  // snapshot.
  bool Readable = false;

  void Take(const MovieClip& clip) {
    Readable = true;
    for (const MovieClip::DisplayEntry& entry : clip.DisplayList()) {
      const SwfStaticText* text = entry.StaticText;
      if (!text || text->Characters.isEmpty())
        continue;
      const qsizetype offset = Characters.size();
      if (offset > 0)
        LineStarts.insert(offset);
      for (const qsizetype start : text->LineStarts)
        LineStarts.insert(offset + start);
      Characters += text->Characters;
    }
  }
};

TextSnapshotObject* ThisSnapshot(NativeCall& call) {
  auto* snapshot = dynamic_cast<TextSnapshotObject*>(call.This.Object().get());
  return snapshot && snapshot->Readable ? snapshot : nullptr;
}

// getText(start, end[, includeLineEndings]): at least one character, the start kept inside
// the text; undefined unless two or three arguments are given.
ActionValue GetText(NativeCall& call) {
  const TextSnapshotObject* self = ThisSnapshot(call);
  if (!self || call.Arguments.size() < 2 || call.Arguments.size() > 3)
    return {};
  const double count = double(self->Characters.size());
  const double first = std::clamp(std::trunc(call.Number(0)), 0.0, std::max(0.0, count - 1));
  const double last = std::clamp(std::trunc(call.Number(1)), first + 1, std::max(first + 1, count));
  const auto begin = qsizetype(std::isnan(first) ? 0 : first);
  const auto end = std::min(qsizetype(std::isnan(last) ? begin + 1 : last), qsizetype(count));
  const bool lineEndings = call.Has(2) && call.Arg(2).ToBoolean(call.Version());
  QString text;
  for (qsizetype i = begin; i < end; ++i) {
    if (lineEndings && i > begin && self->LineStarts.count(i))
      text += u'\n';
    text += self->Characters[i];
  }
  return text;
}

// findText(start, text, caseSensitive): where text first occurs from start on, or -1.
ActionValue FindText(NativeCall& call) {
  const TextSnapshotObject* self = ThisSnapshot(call);
  if (!self || call.Arguments.size() != 3)
    return {};
  const double start = call.Number(0);
  const QString wanted = call.Text(1);
  const Qt::CaseSensitivity sensitivity =
      call.Arg(2).ToBoolean(call.Version()) ? Qt::CaseSensitive : Qt::CaseInsensitive;
  if (wanted.isEmpty() || !(start >= 0) || start >= double(self->Characters.size()))
    return -1.0;
  return double(self->Characters.indexOf(wanted, qsizetype(start), sensitivity));
}

ActionValue MakeSnapshot(NativeCall& call) {
  const auto snapshot = call.Level().Adopt(std::make_shared<TextSnapshotObject>());
  if (!snapshot)
    return {};
  if (const auto prototype = ScriptGlobals::Prototype(call.Level(), QStringLiteral("TextSnapshot")))
    snapshot->DefineMember(QStringLiteral("__proto__"), prototype);
  if (const auto* clip = dynamic_cast<const MovieClip*>(call.Arg(0).Object().get()))
    snapshot->Take(*clip);
  return ActionValue(std::static_pointer_cast<ScriptObject>(snapshot));
}

} // namespace

namespace ScriptMakers {

ActionValue TextSnapshotClass(PlayerLevel& level) {
  NativeClass snapshot(level, MakeSnapshot);
  if (!snapshot)
    return {};
  const auto nothing = [](NativeCall&) { return ActionValue(); };
  snapshot
      .Method(QStringLiteral("getCount"),
              [](NativeCall& call) -> ActionValue {
                const TextSnapshotObject* self = ThisSnapshot(call);
                if (!self || !call.Arguments.empty())
                  return {};
                return double(self->Characters.size());
              })
      .Method(QStringLiteral("setSelected"), nothing)
      .Method(QStringLiteral("getSelected"),
              [](NativeCall& call) -> ActionValue {
                return ThisSnapshot(call) ? ActionValue(false) : ActionValue();
              })
      .Method(QStringLiteral("getText"), GetText)
      .Method(QStringLiteral("getSelectedText"),
              [](NativeCall& call) -> ActionValue {
                return ThisSnapshot(call) ? ActionValue(QString()) : ActionValue();
              })
      .Method(QStringLiteral("hitTestTextNearPos"),
              [](NativeCall& call) -> ActionValue {
                return ThisSnapshot(call) ? ActionValue(-1.0) : ActionValue();
              })
      .Method(QStringLiteral("findText"), FindText)
      .Method(QStringLiteral("setSelectColor"), nothing)
      .Method(QStringLiteral("getTextRunInfo"), [](NativeCall& call) -> ActionValue {
        return ThisSnapshot(call) ? ScriptBuiltins::NewArray(call.Level(), {}) : ActionValue();
      });
  // The methods are the player's from SWF 6 on: a movie of an earlier version reads them as
  // undefined, though for-in lists them and a script may still set its own.
  if (level.Movie().Version < 6)
    for (const QString& name : snapshot.Prototype()->MemberNames())
      if (const ScriptObject::Slot* slot = snapshot.Prototype()->OwnSlot(name);
          name != u"constructor" && slot && slot->Value.Object() &&
          slot->Value.Object()->TypeOf() == u"function")
        snapshot.Property(name, nothing, [name](NativeCall& call) -> ActionValue {
          if (const auto self = call.ThisObject())
            self->DefineMember(name, call.Arg(0), 0);
          return {};
        });
  // The player lists these methods in for-in loops.
  for (const QString& name : snapshot.Prototype()->MemberNames())
    if (name != u"constructor")
      snapshot.Prototype()->ChangeFlags(name, 0, ScriptObject::DontEnum);
  return ActionValue(std::static_pointer_cast<ScriptObject>(snapshot.Constructor()));
}

// getTextSnapshot(): a new object of whatever _global.TextSnapshot is now, made for the clip.
ActionValue GetTextSnapshot(NativeCall& call) {
  PlayerLevel& level = call.Level();
  const ActionValue constructor =
      call.Runtime.GetMember(ActionValue(level.Global()), QStringLiteral("TextSnapshot"));
  const auto* function = dynamic_cast<const ScriptFunction*>(constructor.Object().get());
  std::shared_ptr<ScriptObject> object =
      function ? ScriptClasses::NewInstance(level, function) : level.NewObject();
  if (!object)
    return {};
  if (!function)
    object->DefineMember(QStringLiteral("__proto__"),
                         call.Runtime.GetMember(constructor, QStringLiteral("prototype")));
  const ActionValue made = call.Runtime.CallValue(constructor, ActionValue(object), {call.This});
  return made.Object() ? made : ActionValue(object);
}

} // namespace ScriptMakers
