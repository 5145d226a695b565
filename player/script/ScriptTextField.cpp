// TextField's prototype, TextFormat, and createTextField.
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/TextField.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfMovie.h"

#include <cmath>

namespace {

// Scripts see depths shifted: their own start at 0, the timeline's at -16384.
constexpr int DepthOffset = 16384;

const char* const FormatNames[] = {
    "font",    "size",        "color",  "bold",       "italic",        "underline",
    "url",     "target",      "align",  "leftMargin", "rightMargin",   "indent",
    "leading", "blockIndent", "bullet", "kerning",    "letterSpacing", "tabStops"};
// The constructor's arguments name the first 13, in this order.
constexpr std::size_t ConstructorArguments = 13;

TextField* ThisField(NativeCall& call) {
  return dynamic_cast<TextField*>(call.This.Object().get());
}

QString AlignName(SwfTextAlign align) {
  switch (align) {
  case SwfTextAlign::Right:
    return QStringLiteral("right");
  case SwfTextAlign::Center:
    return QStringLiteral("center");
  case SwfTextAlign::Justify:
    return QStringLiteral("justify");
  default:
    return QStringLiteral("left");
  }
}

ActionValue NewFormat(PlayerLevel& level) {
  const auto prototype = ScriptGlobals::Prototype(level, QStringLiteral("TextFormat"));
  const auto format = level.NewObject();
  if (!format || !prototype)
    return {};
  format->DefineMember(QStringLiteral("__proto__"), prototype);
  for (const char* name : FormatNames)
    format->SetMember(QString::fromLatin1(name), ActionValue::Null());
  return ActionValue(format);
}

ActionValue GetTextFormat(NativeCall& call) {
  const TextField* field = ThisField(call);
  const ActionValue format = NewFormat(call.Level());
  const auto object = format.Object();
  if (!field || !object)
    return format;
  const SwfEditText& definition = field->Definition();
  const auto set = [&object](const char* name, const ActionValue& value) {
    object->SetMember(QString::fromLatin1(name), value);
  };
  set("font", definition.Font && !definition.Font->Name.isEmpty()
                  ? definition.Font->Name
                  : QStringLiteral("Times New Roman"));
  set("size", std::round(definition.Height / TwipsPerPixel));
  set("color", double(definition.Color.rgb() & 0xFFFFFF));
  set("bold", definition.Font && definition.Font->Bold);
  set("italic", definition.Font && definition.Font->Italic);
  set("underline", false);
  set("url", QString());
  set("target", QString());
  set("align", AlignName(definition.Align));
  set("leftMargin", definition.LeftMargin / TwipsPerPixel);
  set("rightMargin", definition.RightMargin / TwipsPerPixel);
  set("indent", definition.Indent / TwipsPerPixel);
  set("leading", definition.Leading / TwipsPerPixel);
  set("blockIndent", 0.0);
  set("bullet", false);
  set("kerning", false);
  set("letterSpacing", 0.0);
  set("tabStops", ScriptBuiltins::NewArray(call.Level(), {}));
  return format;
}

// setTextFormat(format), (index, format) or (begin, end, format): the whole field takes what
// the format sets.
ActionValue SetTextFormat(NativeCall& call) {
  TextField* field = ThisField(call);
  if (!field || call.Arguments.empty())
    return {};
  const ActionValue format = call.Arguments.back();
  if (!format.Object())
    return {};
  const auto read = [&call, &format](const char* name) {
    return call.Runtime.GetMember(format, QString::fromLatin1(name));
  };
  const auto given = [](const ActionValue& value) {
    return !value.IsNull() && !value.IsUndefined();
  };
  SwfEditText& definition = field->EditDefinition();
  if (const ActionValue size = read("size"); given(size))
    definition.Height = call.Runtime.ToNumber(size) * TwipsPerPixel;
  if (const ActionValue color = read("color"); given(color))
    definition.Color =
        QColor::fromRgb(QRgb(quint32(qint64(call.Runtime.ToNumber(color))) & 0xFFFFFF));
  if (const ActionValue align = read("align"); given(align)) {
    const QString name = call.Runtime.ToText(align);
    if (name == u"left")
      definition.Align = SwfTextAlign::Left;
    else if (name == u"right")
      definition.Align = SwfTextAlign::Right;
    else if (name == u"center")
      definition.Align = SwfTextAlign::Center;
    else if (name == u"justify")
      definition.Align = SwfTextAlign::Justify;
  }
  const std::pair<const char*, double SwfEditText::*> lengths[] = {
      {"leftMargin", &SwfEditText::LeftMargin},
      {"rightMargin", &SwfEditText::RightMargin},
      {"indent", &SwfEditText::Indent},
      {"leading", &SwfEditText::Leading}};
  for (const auto& [name, member] : lengths)
    if (const ActionValue value = read(name); given(value))
      definition.*member = call.Runtime.ToNumber(value) * TwipsPerPixel;
  return {};
}

} // namespace

namespace ScriptMakers {

ActionValue CreateTextField(NativeCall& call) {
  auto* clip = dynamic_cast<MovieClip*>(call.This.Object().get());
  if (!clip || call.Arguments.size() < 6)
    return {};
  double numbers[5];
  for (std::size_t i = 0; i < 5; ++i) {
    numbers[i] = call.Number(i + 1);
    if (!(std::abs(numbers[i]) < 1e9))
      numbers[i] = 0;
  }
  const QString name = call.Text(0);
  SwfEditText definition;
  definition.Bounds = QRectF(0, 0, numbers[3] * TwipsPerPixel, numbers[4] * TwipsPerPixel);
  const auto field = call.Level().Adopt(std::make_shared<TextField>(definition, *clip, name));
  if (!field)
    return {};
  MovieClip::DisplayEntry entry;
  entry.Matrix = QTransform::fromTranslate(numbers[1] * TwipsPerPixel, numbers[2] * TwipsPerPixel);
  entry.Depth = int(numbers[0]) + DepthOffset;
  entry.Bounds = definition.Bounds;
  entry.Field = field;
  clip->AddCharacter(std::move(entry));
  clip->SetMember(name, std::static_pointer_cast<ScriptObject>(field));
  return ActionValue(std::static_pointer_cast<ScriptObject>(field));
}

ActionValue TextFieldClass(PlayerLevel& level) {
  NativeClass field(level, [](NativeCall&) { return ActionValue(); });
  if (!field)
    return {};
  field.Method(QStringLiteral("getTextFormat"), GetTextFormat)
      .Method(QStringLiteral("getNewTextFormat"), GetTextFormat)
      .Method(QStringLiteral("setTextFormat"), SetTextFormat)
      .Method(QStringLiteral("setNewTextFormat"), SetTextFormat);
  // Text fields broadcast their changes to listeners, as AsBroadcaster's objects do.
  if (const auto broadcaster =
          ScriptGlobals::Global(level, QStringLiteral("AsBroadcaster")).Object())
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
      field.Prototype()->DefineMember(QString::fromLatin1(name),
                                      broadcaster->Member(QString::fromLatin1(name)));
  return ActionValue(std::static_pointer_cast<ScriptObject>(field.Constructor()));
}

ActionValue TextFormatClass(PlayerLevel& level) {
  NativeClass format(level, [](NativeCall& call) -> ActionValue {
    const auto object = call.ThisObject();
    if (!call.Constructing || !object)
      return {};
    for (std::size_t i = 0; i < std::size(FormatNames); ++i)
      object->SetMember(QString::fromLatin1(FormatNames[i]), i < ConstructorArguments && call.Has(i)
                                                                 ? call.Arg(i)
                                                                 : ActionValue::Null());
    return call.This;
  });
  if (!format)
    return {};
  return ActionValue(std::static_pointer_cast<ScriptObject>(format.Constructor()));
}

} // namespace ScriptMakers
