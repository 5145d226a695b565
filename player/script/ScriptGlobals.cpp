#include "player/script/ScriptGlobals.h"

#include "player/ButtonClip.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/TextField.h"
#include "player/script/ScriptArray.h"
#include "player/script/ScriptFunction.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfMovie.h"

#include <QHash>
#include <limits>

namespace ScriptGlobals {

namespace {

using Maker = ActionValue (*)(PlayerLevel&);

const QHash<QString, Maker>& Makers() {
  static const QHash<QString, Maker> makers{
      {QStringLiteral("Object"), ScriptMakers::ObjectClass},
      {QStringLiteral("Function"), ScriptMakers::FunctionClass},
      {QStringLiteral("Array"), ScriptMakers::ArrayClass},
      {QStringLiteral("String"), ScriptMakers::StringClass},
      {QStringLiteral("Number"), ScriptMakers::NumberClass},
      {QStringLiteral("Boolean"), ScriptMakers::BooleanClass},
      {QStringLiteral("Error"), ScriptMakers::ErrorClass},
      {QStringLiteral("Math"), ScriptMakers::MathObject},
      {QStringLiteral("Date"), ScriptMakers::DateClass},
      {QStringLiteral("AsBroadcaster"), ScriptMakers::Broadcaster},
      {QStringLiteral("MovieClip"), ScriptMakers::MovieClipClass},
      {QStringLiteral("Button"), ScriptMakers::ButtonClass},
      {QStringLiteral("TextField"), ScriptMakers::TextFieldClass},
      {QStringLiteral("TextFormat"), ScriptMakers::TextFormatClass},
      {QStringLiteral("TextSnapshot"), ScriptMakers::TextSnapshotClass},
      {QStringLiteral("Color"), ScriptMakers::ColorClass},
      {QStringLiteral("flash"), ScriptMakers::FlashPackage},
      {QStringLiteral("MovieClipLoader"), ScriptMakers::MovieClipLoaderClass},
  };
  return makers;
}

// Every built-in's own spelling by its name in lower case, for movies that ignore case.
const QHash<QString, QString>& SpellingsByLowerCase() {
  static const QHash<QString, QString> spellings = [] {
    QHash<QString, QString> byLower;
    for (auto maker = Makers().constBegin(); maker != Makers().constEnd(); ++maker)
      byLower.insert(maker.key().toLower(), maker.key());
    for (const QString& name : ScriptMakers::SystemObjectNames())
      byLower.insert(name.toLower(), name);
    for (const QString& name : ScriptMakers::GlobalFunctionNames())
      byLower.insert(name.toLower(), name);
    return byLower;
  }();
  return spellings;
}

// The name a built-in is kept under: in a level that ignores case, "date" names Date.
QString BuiltinName(PlayerLevel& level, const QString& name) {
  if (!level.IgnoresCase() || Makers().contains(name))
    return name;
  return SpellingsByLowerCase().value(name.toLower(), name);
}

// A built-in class constructor is an instance of Function of its own, like a script's
// classes are: it holds its "__proto__" and "constructor" itself.
void LinkToFunction(PlayerLevel& level, ScriptObject& constructor) {
  if (!dynamic_cast<const NativeFunction*>(&constructor) ||
      !constructor.OwnSlot(QStringLiteral("prototype")))
    return;
  const auto function = level.Builtin(QStringLiteral("Function"));
  const auto prototype = Prototype(level, QStringLiteral("Function"));
  if (!function || !prototype)
    return;
  constructor.DefineMember(QStringLiteral("__proto__"), ActionValue(prototype));
  constructor.DefineMember(QStringLiteral("constructor"), ActionValue(function));
}

} // namespace

ActionValue Global(PlayerLevel& level, const QString& spelled, bool hiddenToo) {
  const QString name = BuiltinName(level, spelled);
  if (name == u"NaN")
    return std::numeric_limits<double>::quiet_NaN();
  if (name == u"Infinity")
    return std::numeric_limits<double>::infinity();
  if (const auto made = level.Builtin(name))
    return ActionValue(made);
  if (name == u"flash" && level.Movie().Version < 8 && !hiddenToo)
    return {};
  ActionValue value;
  if (const auto maker = Makers().constFind(name); maker != Makers().constEnd())
    value = (*maker)(level);
  else if (value = ScriptMakers::SystemObject(level, name); value.IsUndefined())
    value = ScriptMakers::GlobalFunction(level, name);
  if (const auto object = value.Object()) {
    level.SetBuiltin(name, object);
    level.Global()->DefineMember(name, value);
    LinkToFunction(level, *object);
  }
  return value;
}

bool HoldsOwn(PlayerLevel& level, const QString& name) {
  const auto& global = level.Global();
  if (global->HasOwnMember(name))
    return true;
  const QString builtin = BuiltinName(level, name);
  // A built-in made once and deleted since stays gone.
  if (level.Builtin(builtin))
    return false;
  Global(level, builtin);
  return global->HasOwnMember(name);
}

void MakeAll(PlayerLevel& level) {
  for (auto maker = Makers().constBegin(); maker != Makers().constEnd(); ++maker)
    Global(level, maker.key());
  for (const QString& name : ScriptMakers::SystemObjectNames())
    Global(level, name);
  for (const QString& name : ScriptMakers::GlobalFunctionNames())
    Global(level, name);
}

std::shared_ptr<ScriptObject> Prototype(PlayerLevel& level, const QString& className) {
  const auto constructor = Global(level, className).Object();
  if (!constructor)
    return nullptr;
  const ScriptObject::Slot* slot = constructor->OwnSlot(QStringLiteral("prototype"));
  return slot ? slot->Value.Object() : nullptr;
}

std::shared_ptr<ScriptObject> DefaultPrototype(PlayerLevel& level, const ScriptObject& object) {
  if (dynamic_cast<const ScriptFunction*>(&object) || dynamic_cast<const NativeFunction*>(&object))
    return Prototype(level, QStringLiteral("Function"));
  if (dynamic_cast<const ButtonClip*>(&object))
    return Prototype(level, QStringLiteral("Button"));
  if (dynamic_cast<const MovieClip*>(&object))
    return Prototype(level, QStringLiteral("MovieClip"));
  if (dynamic_cast<const TextField*>(&object))
    return Prototype(level, QStringLiteral("TextField"));
  if (dynamic_cast<const ScriptArray*>(&object))
    return Prototype(level, QStringLiteral("Array"));
  return Prototype(level, QStringLiteral("Object"));
}

std::shared_ptr<ScriptObject> PrototypeOf(PlayerLevel& level, const ScriptObject& object) {
  if (const auto own = object.Prototype())
    return own;
  if (object.IsBare() || object.HasOwnMember(QStringLiteral("__proto__")))
    return nullptr;
  const auto fallback = DefaultPrototype(level, object);
  return fallback.get() == &object ? nullptr : fallback;
}

} // namespace ScriptGlobals
