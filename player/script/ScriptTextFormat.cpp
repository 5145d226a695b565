// The TextFormat class.
#include "player/script/ScriptTextFormat.h"

#include "player/PlayerLevel.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"

#include <cmath>
#include <limits>

namespace {

constexpr int IntegerIndefinite = std::numeric_limits<int>::min();

// A whole number as the player stores lengths: from version 8 on rounded half to even,
// before it cut toward zero; a value outside the 32-bit range (NaN included) becomes the
// lowest integer.
int WholeNumber(double value, bool round) {
  const double whole = round ? std::nearbyint(value) : std::trunc(value);
  if (!(whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max()))
    return IntegerIndefinite;
  return int(whole);
}

// Margins (and before version 8 indents and leading) take no negative value; NaN counts as 0.
double NotNegative(double value) {
  return value > 0 ? value : 0;
}

bool Given(const ActionValue& value) {
  return !value.IsNull() && !value.IsUndefined();
}

// How a member converts what is assigned to it.
enum class Kind { Text, Integer, NonNegative, ShrinkingIndent, Color, Flag, Align, Tabs, Number };

struct Member {
  const char* Name;
  Kind How;
};

// In the order the constructor takes its arguments; the constructor takes the first 13.
constexpr Member Members[] = {{"font", Kind::Text},
                              {"size", Kind::Integer},
                              {"color", Kind::Color},
                              {"bold", Kind::Flag},
                              {"italic", Kind::Flag},
                              {"underline", Kind::Flag},
                              {"url", Kind::Text},
                              {"target", Kind::Text},
                              {"align", Kind::Align},
                              {"leftMargin", Kind::NonNegative},
                              {"rightMargin", Kind::NonNegative},
                              {"indent", Kind::ShrinkingIndent},
                              {"leading", Kind::ShrinkingIndent},
                              {"blockIndent", Kind::ShrinkingIndent},
                              {"tabStops", Kind::Tabs},
                              {"bullet", Kind::Flag},
                              {"kerning", Kind::Flag},
                              {"letterSpacing", Kind::Number}};
constexpr std::size_t ConstructorArguments = 13;

// The format's member of the given index, as a pointer to each type it may have.
struct MemberRef {
  std::optional<QString>* Text = nullptr;
  std::optional<int>* Integer = nullptr;
  std::optional<quint32>* Color = nullptr;
  std::optional<bool>* Flag = nullptr;
  std::optional<SwfTextAlign>* Align = nullptr;
  std::optional<std::vector<int>>* Tabs = nullptr;
  std::optional<double>* Number = nullptr;
};

MemberRef Ref(TextFormat& format, std::size_t index) {
  switch (index) {
  case 0:
    return {.Text = &format.Font};
  case 1:
    return {.Integer = &format.Size};
  case 2:
    return {.Color = &format.Color};
  case 3:
    return {.Flag = &format.Bold};
  case 4:
    return {.Flag = &format.Italic};
  case 5:
    return {.Flag = &format.Underline};
  case 6:
    return {.Text = &format.Url};
  case 7:
    return {.Text = &format.Target};
  case 8:
    return {.Align = &format.Align};
  case 9:
    return {.Integer = &format.LeftMargin};
  case 10:
    return {.Integer = &format.RightMargin};
  case 11:
    return {.Integer = &format.Indent};
  case 12:
    return {.Integer = &format.Leading};
  case 13:
    return {.Integer = &format.BlockIndent};
  case 14:
    return {.Tabs = &format.TabStops};
  case 15:
    return {.Flag = &format.Bullet};
  case 16:
    return {.Flag = &format.Kerning};
  default:
    return {.Number = &format.LetterSpacing};
  }
}

ActionValue Read(PlayerLevel& level, TextFormat& format, std::size_t index) {
  const MemberRef ref = Ref(format, index);
  if (ref.Text && *ref.Text)
    return **ref.Text;
  if (ref.Integer && *ref.Integer)
    return double(**ref.Integer);
  if (ref.Color && *ref.Color)
    return double(**ref.Color);
  if (ref.Flag && *ref.Flag)
    return **ref.Flag;
  if (ref.Align && *ref.Align)
    return AlignName(**ref.Align);
  if (ref.Number && *ref.Number)
    return **ref.Number;
  if (ref.Tabs && *ref.Tabs) {
    std::vector<ActionValue> stops;
    for (const int stop : **ref.Tabs)
      stops.emplace_back(double(stop));
    return ScriptBuiltins::NewArray(level, stops);
  }
  return ActionValue::Null();
}

// Stores what a script assigns (or passes to the constructor, which cuts numbers toward zero,
// keeps negative margins and leaves an unknown alignment unset).
void Write(ScriptRuntime& runtime, TextFormat& format, std::size_t index, const ActionValue& value,
           bool constructing) {
  const MemberRef ref = Ref(format, index);
  const Kind how = Members[index].How;
  // An alignment that is not one stays as it was; only the constructor leaves it unset.
  if (how == Kind::Align && !constructing && !Given(value))
    return;
  if (!Given(value)) {
    if (ref.Text)
      ref.Text->reset();
    if (ref.Integer)
      ref.Integer->reset();
    if (ref.Color)
      ref.Color->reset();
    if (ref.Flag)
      ref.Flag->reset();
    if (ref.Align)
      ref.Align->reset();
    if (ref.Tabs)
      ref.Tabs->reset();
    if (ref.Number)
      ref.Number->reset();
    return;
  }
  const bool round = !constructing && runtime.Version() >= 8;
  const auto whole = [&](double number) {
    const bool clamp = !constructing && (how == Kind::NonNegative ||
                                         (how == Kind::ShrinkingIndent && runtime.Version() < 8));
    return WholeNumber(clamp ? NotNegative(number) : number, round);
  };
  switch (how) {
  case Kind::Text:
    *ref.Text = runtime.ToText(value);
    break;
  case Kind::Integer:
  case Kind::NonNegative:
  case Kind::ShrinkingIndent:
    *ref.Integer = whole(runtime.ToNumber(value));
    break;
  case Kind::Color:
    *ref.Color = quint32(ScriptOperators::ToInt32(runtime.ToNumber(value)));
    break;
  case Kind::Flag:
    *ref.Flag = value.ToBoolean(runtime.Version());
    break;
  case Kind::Align:
    if (const auto align = AlignFromName(runtime.ToText(value)))
      *ref.Align = align;
    else if (constructing)
      ref.Align->reset();
    break;
  case Kind::Tabs: {
    if (!value.Object())
      break;
    std::vector<int> stops;
    const double length = runtime.ToNumber(runtime.GetMember(value, QStringLiteral("length")));
    for (int i = 0; i < length && i < 1000 && !runtime.Unwinding(); ++i)
      stops.push_back(whole(runtime.ToNumber(runtime.GetMember(value, QString::number(i)))));
    *ref.Tabs = stops;
    break;
  }
  case Kind::Number:
    *ref.Number = runtime.ToNumber(value);
    break;
  }
}

ScriptTextFormat* ThisFormat(NativeCall& call) {
  return dynamic_cast<ScriptTextFormat*>(call.This.Object().get());
}

} // namespace

namespace ScriptTextFormats {

ActionValue Make(PlayerLevel& level, const TextFormat& format) {
  const auto object = level.Adopt(std::make_shared<ScriptTextFormat>());
  if (!object)
    return {};
  object->Format = format;
  if (const auto prototype = ScriptGlobals::Prototype(level, QStringLiteral("TextFormat")))
    object->DefineMember(QStringLiteral("__proto__"), prototype);
  return ActionValue(std::static_pointer_cast<ScriptObject>(object));
}

const ScriptTextFormat* Find(const ActionValue& value) {
  return dynamic_cast<const ScriptTextFormat*>(value.Object().get());
}

} // namespace ScriptTextFormats

namespace ScriptMakers {

ActionValue TextFormatClass(PlayerLevel& level) {
  NativeClass format(level, [](NativeCall& call) -> ActionValue {
    if (!call.Constructing)
      return {};
    const ActionValue made = ScriptTextFormats::Make(call.Level(), {});
    auto* object = dynamic_cast<ScriptTextFormat*>(made.Object().get());
    if (!object)
      return {};
    for (std::size_t i = 0; i < ConstructorArguments && call.Has(i); ++i)
      Write(call.Runtime, object->Format, i, call.Arg(i), true);
    return made;
  });
  if (!format)
    return {};
  for (std::size_t i = 0; i < std::size(Members); ++i) {
    const auto getter = MakeNative(level, [i](NativeCall& call) -> ActionValue {
      ScriptTextFormat* self = ThisFormat(call);
      return self ? Read(call.Level(), self->Format, i) : ActionValue();
    });
    const auto setter = MakeNative(level, [i](NativeCall& call) -> ActionValue {
      if (ScriptTextFormat* self = ThisFormat(call))
        Write(call.Runtime, self->Format, i, call.Arg(0), false);
      return {};
    });
    if (!getter || !setter)
      return {};
    const QString name = QString::fromLatin1(Members[i].Name);
    format.Prototype()->DefineAccessor(name, std::static_pointer_cast<ScriptObject>(getter),
                                       std::static_pointer_cast<ScriptObject>(setter));
    format.Prototype()->ChangeFlags(name, ScriptObject::DontEnum, 0);
  }
  return ActionValue(std::static_pointer_cast<ScriptObject>(format.Constructor()));
}

} // namespace ScriptMakers
