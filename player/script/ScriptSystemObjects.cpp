// Stage, Key, Mouse, Selection and System as plain objects: no input reaches the clips, so
// they answer what an idle player would, and keep their listeners.
#include "player/PlayerLevel.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfMovie.h"

namespace {

const int Constant = ScriptObject::DontEnum | ScriptObject::DontDelete | ScriptObject::ReadOnly;

// An object with AsBroadcaster's listener methods and its own list of listeners.
std::shared_ptr<ScriptObject> Broadcasting(PlayerLevel& level) {
  const auto object = level.NewObject();
  const auto broadcaster = ScriptGlobals::Global(level, QStringLiteral("AsBroadcaster")).Object();
  const ActionValue listeners = ScriptBuiltins::NewArray(level, {});
  if (!object || !broadcaster || listeners.IsUndefined())
    return nullptr;
  for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
    object->DefineMember(QString::fromLatin1(name), broadcaster->Member(QString::fromLatin1(name)));
  object->DefineMember(QStringLiteral("_listeners"), listeners);
  return object;
}

void Answer(PlayerLevel& level, ScriptObject& object, const char* name, const ActionValue& value) {
  DefineNative(level, object, QString::fromLatin1(name), [value](NativeCall&) { return value; });
}

// Stage.displayState: "normal" or "fullScreen", either named in any case (any other text
// means normal); a change is told to the listeners' onFullScreen with whether the stage is
// full screen now.
bool DefineDisplayState(PlayerLevel& level, ScriptObject& stage) {
  const auto fullScreen = std::make_shared<bool>(false);
  const auto getter = MakeNative(level, [fullScreen](NativeCall&) -> ActionValue {
    return *fullScreen ? QStringLiteral("fullScreen") : QStringLiteral("normal");
  });
  const auto setter = MakeNative(level, [fullScreen](NativeCall& call) -> ActionValue {
    const bool wanted = call.Text(0).compare(u"fullScreen", Qt::CaseInsensitive) == 0;
    if (wanted == *fullScreen)
      return {};
    *fullScreen = wanted;
    const ActionValue broadcast =
        call.Runtime.GetMember(call.This, QStringLiteral("broadcastMessage"));
    call.Runtime.CallValue(broadcast, call.This, {QStringLiteral("onFullScreen"), wanted});
    return {};
  });
  if (!getter || !setter)
    return false;
  stage.DefineAccessor(QStringLiteral("displayState"), ActionValue(getter), ActionValue(setter));
  stage.ChangeFlags(QStringLiteral("displayState"), ScriptObject::DontEnum, 0);
  return true;
}

ActionValue MakeStage(PlayerLevel& level) {
  const auto stage = Broadcasting(level);
  if (!stage)
    return {};
  const QRectF frame = level.Movie().FrameRect;
  stage->DefineMember(QStringLiteral("width"), frame.width() / TwipsPerPixel, Constant);
  stage->DefineMember(QStringLiteral("height"), frame.height() / TwipsPerPixel, Constant);
  stage->DefineMember(QStringLiteral("scaleMode"), QStringLiteral("showAll"));
  stage->DefineMember(QStringLiteral("align"), QString());
  stage->DefineMember(QStringLiteral("showMenu"), true);
  if (!DefineDisplayState(level, *stage))
    return {};
  return ActionValue(stage);
}

ActionValue MakeKey(PlayerLevel& level) {
  const auto key = Broadcasting(level);
  if (!key)
    return {};
  const std::pair<const char*, int> codes[] = {
      {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40},
      {"END", 35},      {"ENTER", 13},    {"ESCAPE", 27},  {"HOME", 36},      {"INSERT", 45},
      {"LEFT", 37},     {"PGDN", 34},     {"PGUP", 33},    {"RIGHT", 39},     {"SHIFT", 16},
      {"SPACE", 32},    {"TAB", 9},       {"UP", 38},      {"ALT", 18}};
  for (const auto& [name, code] : codes)
    key->DefineMember(QString::fromLatin1(name), double(code), Constant);
  Answer(level, *key, "isDown", false);
  Answer(level, *key, "isToggled", false);
  Answer(level, *key, "getCode", 0.0);
  Answer(level, *key, "getAscii", 0.0);
  return ActionValue(key);
}

ActionValue MakeMouse(PlayerLevel& level) {
  const auto mouse = Broadcasting(level);
  if (!mouse)
    return {};
  // show and hide answer whether the pointer was shown before.
  Answer(level, *mouse, "show", 1.0);
  Answer(level, *mouse, "hide", 1.0);
  return ActionValue(mouse);
}

ActionValue MakeSelection(PlayerLevel& level) {
  const auto selection = Broadcasting(level);
  if (!selection)
    return {};
  Answer(level, *selection, "getFocus", ActionValue::Null());
  Answer(level, *selection, "setFocus", false);
  Answer(level, *selection, "getBeginIndex", -1.0);
  Answer(level, *selection, "getEndIndex", -1.0);
  Answer(level, *selection, "getCaretIndex", -1.0);
  Answer(level, *selection, "setSelection", ActionValue());
  return ActionValue(selection);
}

ActionValue MakeSystem(PlayerLevel& level) {
  const auto system = level.NewObject();
  const auto capabilities = level.NewObject();
  const auto security = level.NewObject();
  if (!system || !capabilities || !security)
    return {};
  const std::pair<const char*, ActionValue> values[] = {
      {"version", QStringLiteral("LNX 8,0,0,0")},
      {"os", QStringLiteral("Linux")},
      {"manufacturer", QStringLiteral("Vistaloom Linux")},
      {"playerType", QStringLiteral("StandAlone")},
      {"language", QStringLiteral("en")},
      {"screenResolutionX", 1024.0},
      {"screenResolutionY", 768.0},
      {"screenDPI", 72.0},
      {"screenColor", QStringLiteral("color")},
      {"pixelAspectRatio", 1.0},
      {"hasAudio", true},
      {"hasMP3", true},
      {"hasVideoEncoder", false},
      {"hasAccessibility", false},
      {"hasPrinting", false},
      {"isDebugger", false},
      {"localFileReadDisable", false},
      {"avHardwareDisable", true},
  };
  for (const auto& [name, value] : values)
    capabilities->DefineMember(QString::fromLatin1(name), value, Constant);
  Answer(level, *security, "allowDomain", ActionValue());
  Answer(level, *security, "allowInsecureDomain", ActionValue());
  Answer(level, *security, "loadPolicyFile", ActionValue());
  system->DefineMember(QStringLiteral("capabilities"), capabilities);
  system->DefineMember(QStringLiteral("security"), security);
  system->DefineMember(QStringLiteral("useCodepage"), false, 0);
  Answer(level, *system, "setClipboard", ActionValue());
  Answer(level, *system, "showSettings", ActionValue());
  return ActionValue(system);
}

} // namespace

namespace ScriptMakers {

ActionValue SystemObject(PlayerLevel& level, const QString& name) {
  if (name == u"Stage")
    return MakeStage(level);
  if (name == u"Key")
    return MakeKey(level);
  if (name == u"Mouse")
    return MakeMouse(level);
  if (name == u"Selection")
    return MakeSelection(level);
  if (name == u"System")
    return MakeSystem(level);
  return {};
}

std::vector<QString> SystemObjectNames() {
  return {QStringLiteral("Stage"), QStringLiteral("Key"), QStringLiteral("Mouse"),
          QStringLiteral("Selection"), QStringLiteral("System")};
}

} // namespace ScriptMakers
