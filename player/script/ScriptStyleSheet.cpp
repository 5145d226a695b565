// TextField.StyleSheet: named styles for text fields, read from CSS text or set one by one,
// and the conversion of a style into the TextFormat a field draws it with.
#include "player/PlayerLevel.h"
#include "player/render/TextFormat.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptTextFormat.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {

// The hidden member holding a sheet's styles, one object per style name.
const QString StylesMember = QStringLiteral("_styles");

// The number a style value starts with, as parseInt reads text: blanks, a sign and
// decimal digits; NaN when no digit follows.
double LeadingInteger(const QString& text) {
  qsizetype at = 0;
  while (at < text.size() && (text[at] == u' ' || (text[at] >= u'\t' && text[at] <= u'\r')))
    ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'-' || text[at] == u'+'))
    negative = text[at++] == u'-';
  double value = 0;
  const qsizetype digits = at;
  for (; at < text.size() && text[at].isDigit() && text[at].unicode() < 128; ++at)
    value = value * 10 + (text[at].unicode() - u'0');
  if (at == digits)
    return std::numeric_limits<double>::quiet_NaN();
  return negative ? -value : value;
}

// A whole number the way the player stores one in 32 bits: NaN and what is beyond are 0.
int StoredInteger(double value) {
  return std::isfinite(value) && std::abs(value) < 2147483648.0 ? int(std::trunc(value)) : 0;
}

// "#RRGGBB" exactly, or nothing.
std::optional<quint32> StyleColor(const QString& text) {
  static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
  if (!hex.match(text).hasMatch())
    return std::nullopt;
  return text.mid(1).toUInt(nullptr, 16);
}

// A list of font names: blanks before each name dropped, empty names left out.
QString StyleFontList(const QString& text) {
  QStringList names;
  for (const QString& name : text.split(u',')) {
    qsizetype start = 0;
    while (start < name.size() && name[start].isSpace())
      ++start;
    if (start < name.size())
      names.append(name.mid(start));
  }
  return names.join(u',');
}

// The style's members as the TextFormat they give. A member that converts to false (unset,
// null, 0, "") leaves its setting unset; text alignments ignore case, other keywords not.
ActionValue Transform(NativeCall& call) {
  const ActionValue style = call.Arg(0);
  if (style.IsUndefined() || style.IsNull())
    return ActionValue::Null();
  ScriptRuntime& runtime = call.Runtime;
  const int version = call.Version();
  const auto given = [&](const char* name) -> std::optional<ActionValue> {
    if (!style.Object())
      return std::nullopt;
    const ActionValue value = runtime.GetMember(style, QString::fromLatin1(name));
    if (!value.ToBoolean(version))
      return std::nullopt;
    return value;
  };
  const auto text = [&](const ActionValue& value) { return runtime.ToText(value); };
  const auto number = [&](const ActionValue& value) { return LeadingInteger(text(value)); };

  TextFormat format;
  format.Kerning = false;
  if (const auto value = given("color"))
    if (const auto color = StyleColor(text(*value)))
      format.Color = *color;
  if (const auto value = given("fontFamily"))
    format.Font = StyleFontList(text(*value));
  if (const auto value = given("fontSize"))
    if (const double size = number(*value); size >= 1)
      format.Size = StoredInteger(size);
  if (const auto value = given("fontStyle")) {
    const QString keyword = text(*value);
    if (keyword == u"normal" || keyword == u"italic")
      format.Italic = keyword == u"italic";
  }
  if (const auto value = given("fontWeight")) {
    const QString keyword = text(*value);
    if (keyword == u"normal" || keyword == u"bold")
      format.Bold = keyword == u"bold";
  }
  if (const auto value = given("kerning")) {
    // The text "true" turns kerning on, the value true does not.
    const double flag = number(*value);
    format.Kerning =
        (value->IsString() && text(*value) == u"true") || (!std::isnan(flag) && flag != 0);
  }
  if (const auto value = given("leading"))
    format.Leading = StoredInteger(number(*value));
  if (const auto value = given("letterSpacing"))
    format.LetterSpacing = number(*value);
  if (const auto value = given("marginLeft"))
    format.LeftMargin = std::max(0, StoredInteger(number(*value)));
  if (const auto value = given("marginRight"))
    format.RightMargin = std::max(0, StoredInteger(number(*value)));
  if (const auto value = given("textAlign"))
    format.Align = AlignFromName(text(*value).toLower());
  if (const auto value = given("textDecoration")) {
    const QString keyword = text(*value);
    if (keyword == u"none" || keyword == u"underline")
      format.Underline = keyword == u"underline";
  }
  // textIndent is read by the player's fields but never reaches the format.

  QString display = QStringLiteral("block");
  if (const auto value = given("display")) {
    const QString keyword = text(*value);
    if (keyword == u"inline" || keyword == u"none")
      display = keyword;
  }
  const ActionValue made = ScriptTextFormats::Make(call.Level(), format);
  if (const auto object = made.Object())
    object->SetMember(QStringLiteral("display"), display);
  return made;
}

std::shared_ptr<ScriptObject> StylesOf(NativeCall& call) {
  const auto sheet = call.ThisObject();
  if (!sheet)
    return nullptr;
  if (const auto styles = sheet->Member(StylesMember).Object())
    return styles;
  auto styles = call.Level().NewObject();
  if (styles)
    sheet->DefineMember(StylesMember, styles);
  return styles;
}

// A copy of the enumerable members of style, so that later changes to it do not reach the
// sheet.
std::shared_ptr<ScriptObject> CopyOfStyle(NativeCall& call, const ActionValue& style) {
  const auto original = style.Object();
  auto copy = original ? call.Level().NewObject() : nullptr;
  if (!copy)
    return nullptr;
  for (const QString& name : original->MemberNames())
    if (const ScriptObject::Slot* slot = original->OwnSlot(name);
        slot && !(slot->Flags & ScriptObject::DontEnum))
      copy->SetMember(name, call.Runtime.GetMember(style, name));
  return copy;
}

// setStyle(name, style): style null or undefined removes the name.
ActionValue SetStyle(NativeCall& call) {
  const auto styles = StylesOf(call);
  if (!styles || !call.Has(0))
    return {};
  const QString name = call.Text(0);
  if (!call.Arg(1).Object()) {
    styles->DeleteMember(name);
    return {};
  }
  if (const auto copy = CopyOfStyle(call, call.Arg(1)))
    styles->SetMember(name, copy);
  return {};
}

ActionValue GetStyle(NativeCall& call) {
  const auto styles = StylesOf(call);
  const ScriptObject::Slot* style = styles ? styles->OwnSlot(call.Text(0)) : nullptr;
  if (!style || !style->Value.Object())
    return ActionValue::Null();
  const auto copy = CopyOfStyle(call, style->Value);
  return copy ? ActionValue(copy) : ActionValue::Null();
}

ActionValue GetStyleNames(NativeCall& call) {
  std::vector<ActionValue> names;
  if (const auto styles = StylesOf(call))
    for (const QString& name : styles->MemberNames())
      if (const ScriptObject::Slot* slot = styles->OwnSlot(name);
          slot && !(slot->Flags & ScriptObject::DontEnum))
        names.emplace_back(name);
  return ScriptBuiltins::NewArray(call.Level(), names);
}

ActionValue Clear(NativeCall& call) {
  if (const auto sheet = call.ThisObject())
    if (const auto styles = call.Level().NewObject())
      sheet->DefineMember(StylesMember, styles);
  return {};
}

// "font-size" is the member "fontSize".
QString MemberName(const QString& property) {
  QString name;
  bool upper = false;
  for (const QChar character : property) {
    if (character == u'-') {
      upper = true;
      continue;
    }
    name += upper ? character.toUpper() : character;
    upper = false;
  }
  return name;
}

// parseCSS(text): "a, .b { font-size: 12px; color: #FF0000 }" gives each selector a style
// with those members (values as text); false, with no style added, for text that does not
// parse.
ActionValue ParseCss(NativeCall& call) {
  const auto styles = StylesOf(call);
  if (!styles)
    return false;
  const QString css = call.Text(0);
  std::vector<std::pair<QStringList, std::vector<std::pair<QString, QString>>>> rules;
  qsizetype at = 0;
  while (true) {
    const qsizetype open = css.indexOf(u'{', at);
    if (open < 0) {
      if (!css.mid(at).trimmed().isEmpty())
        return false;
      break;
    }
    const qsizetype close = css.indexOf(u'}', open);
    if (close < 0 || css.mid(at, open - at).contains(u'}'))
      return false;
    QStringList selectors;
    for (const QString& selector : css.mid(at, open - at).split(u','))
      if (!selector.trimmed().isEmpty())
        selectors.append(selector.trimmed());
    if (selectors.isEmpty())
      return false;
    std::vector<std::pair<QString, QString>> declarations;
    for (const QString& declaration : css.mid(open + 1, close - open - 1).split(u';')) {
      if (declaration.trimmed().isEmpty())
        continue;
      const qsizetype colon = declaration.indexOf(u':');
      if (colon < 0)
        return false;
      declarations.emplace_back(MemberName(declaration.left(colon).trimmed()),
                                declaration.mid(colon + 1).trimmed());
    }
    rules.emplace_back(selectors, std::move(declarations));
    at = close + 1;
  }
  for (const auto& [selectors, declarations] : rules)
    for (const QString& selector : selectors) {
      const auto style = call.Level().NewObject();
      if (!style)
        return false;
      for (const auto& [name, value] : declarations)
        style->SetMember(name, value);
      styles->SetMember(selector, style);
    }
  return true;
}

} // namespace

namespace ScriptMakers {

ActionValue StyleSheetClass(PlayerLevel& level) {
  NativeClass sheet(level, [](NativeCall&) { return ActionValue(); });
  if (!sheet)
    return {};
  sheet.Method(QStringLiteral("setStyle"), SetStyle)
      .Method(QStringLiteral("getStyle"), GetStyle)
      .Method(QStringLiteral("getStyleNames"), GetStyleNames)
      .Method(QStringLiteral("clear"), Clear)
      .Method(QStringLiteral("parseCSS"), ParseCss)
      .Method(QStringLiteral("transform"), Transform);
  return ActionValue(std::static_pointer_cast<ScriptObject>(sheet.Constructor()));
}

} // namespace ScriptMakers
