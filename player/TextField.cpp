#include "player/TextField.h"

#include "player/MovieClip.h"
#include "player/PlayerStage.h"
#include "player/swf/SwfMovie.h"

#include <cmath>

namespace {

// The text of markup as a reader sees it: tags dropped, entities decoded.
QString WithoutMarkup(const QString& html) {
  QString text = html;
  text.replace(QStringLiteral("</p>"), QStringLiteral("\r"), Qt::CaseInsensitive);
  text.replace(QStringLiteral("<br>"), QStringLiteral("\r"), Qt::CaseInsensitive);
  QString plain;
  bool inTag = false;
  for (const QChar c : text) {
    if (c == u'<')
      inTag = true;
    else if (c == u'>')
      inTag = false;
    else if (!inTag)
      plain += c;
  }
  if (plain.endsWith(u'\r'))
    plain.chop(1);
  const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"},        {"&gt;", ">"},
                                                          {"&quot;", "\""},     {"&apos;", "'"},
                                                          {"&nbsp;", "\u00A0"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : entities)
    plain.replace(QString::fromLatin1(entity), QString::fromUtf8(character));
  return plain;
}

QString Escaped(const QString& text) {
  QString escaped = text;
  escaped.replace(u'&', QStringLiteral("&amp;"));
  escaped.replace(u'<', QStringLiteral("&lt;"));
  escaped.replace(u'>', QStringLiteral("&gt;"));
  return escaped;
}

double ColorNumber(const QColor& color) {
  return double(color.rgb() & 0xFFFFFF);
}

} // namespace

TextField::TextField(const SwfEditText& definition, MovieClip& owner, const QString& name)
    : FDefinition(definition),
      FOwner(std::static_pointer_cast<MovieClip>(owner.shared_from_this())), FName(name) {}

QString TextField::CurrentText(const PlayerStage& stage) const {
  const auto owner = FOwner.lock();
  if (owner && !FDefinition.Variable.isEmpty()) {
    const ActionValue value = stage.Resolve(FDefinition.Variable, owner.get());
    if (!value.IsUndefined())
      return value.ToString();
  }
  return FText.value_or(FDefinition.InitialText);
}

QString TextField::PlainText() const {
  const QString text = FText.value_or(FDefinition.InitialText);
  return FDefinition.Html ? WithoutMarkup(text) : text;
}

const TextLayout& TextField::Layout(const QString& text) const {
  if (!FLayout || text != FLaidOutText) {
    FLayout = std::make_unique<TextLayout>(FDefinition, text);
    FLaidOutText = text;
  }
  return *FLayout;
}

QString TextField::ToText() const {
  const auto owner = FOwner.lock();
  return owner ? owner->ToText() + u'.' + FName : FName;
}

ActionValue TextField::Member(const QString& name) const {
  if (const ScriptObject::Slot* slot = OwnSlot(name))
    return slot->Value;
  if (name == u"text")
    return PlainText();
  if (name == u"htmlText")
    return FDefinition.Html ? FText.value_or(FDefinition.InitialText) : Escaped(PlainText());
  if (name == u"length")
    return double(PlainText().size());
  if (name == u"textColor")
    return ColorNumber(FDefinition.Color);
  if (name == u"border")
    return FDefinition.Border;
  if (name == u"borderColor")
    return FBorderColor;
  if (name == u"background")
    return FBackground;
  if (name == u"backgroundColor")
    return FBackgroundColor;
  if (name == u"autoSize")
    return FAutoSize;
  if (name == u"wordWrap")
    return FDefinition.WordWrap;
  if (name == u"multiline")
    return FDefinition.Multiline;
  if (name == u"html")
    return FDefinition.Html;
  if (name == u"password")
    return FDefinition.Password;
  if (name == u"mouseWheelEnabled")
    return FMouseWheelEnabled;
  if (name == u"embedFonts")
    return FDefinition.UseOutlines;
  if (name == u"variable")
    return FDefinition.Variable.isEmpty() ? ActionValue::Null() : ActionValue(FDefinition.Variable);
  if (name == u"maxChars")
    return FMaxChars < 0 ? ActionValue::Null() : ActionValue(FMaxChars);
  if (name == u"_name")
    return FName;
  if (name == u"_parent")
    return ActionValue(std::static_pointer_cast<ScriptObject>(FOwner.lock()));
  if (name == u"_target") {
    const auto owner = FOwner.lock();
    if (!owner)
      return FName;
    const QString above = owner->TargetPath();
    return (above == u"/" ? above : above + u'/') + FName;
  }
  if (name == u"_width")
    return FDefinition.Bounds.width() / TwipsPerPixel;
  if (name == u"_height")
    return FDefinition.Bounds.height() / TwipsPerPixel;
  return ScriptObject::Member(name);
}

void TextField::SetMember(const QString& name, const ActionValue& value) {
  const auto flag = [&value] { return value.ToBoolean(); };
  if (name == u"text" || name == u"htmlText") {
    QString text = value.ToString();
    if (name == u"text" && FDefinition.Html)
      text = Escaped(text);
    if (name == u"htmlText" && !FDefinition.Html)
      text = WithoutMarkup(text);
    if (FMaxChars >= 0 && name == u"text")
      text.truncate(qsizetype(FMaxChars));
    FText = text;
    const auto owner = FOwner.lock();
    if (owner && !FDefinition.Variable.isEmpty() && !FDefinition.Variable.contains(u'.') &&
        !FDefinition.Variable.contains(u':') && !FDefinition.Variable.contains(u'/'))
      owner->SetMember(FDefinition.Variable, PlainText());
  } else if (name == u"textColor") {
    EditDefinition().Color = QColor::fromRgb(QRgb(quint32(value.ToNumber()) & 0xFFFFFF));
  } else if (name == u"border") {
    EditDefinition().Border = flag();
  } else if (name == u"borderColor") {
    FBorderColor = double(quint32(value.ToNumber()) & 0xFFFFFF);
  } else if (name == u"background") {
    FBackground = flag();
  } else if (name == u"backgroundColor") {
    FBackgroundColor = double(quint32(value.ToNumber()) & 0xFFFFFF);
  } else if (name == u"autoSize") {
    const QString text = value.IsBoolean()
                             ? (flag() ? QStringLiteral("left") : QStringLiteral("none"))
                             : value.ToString();
    const bool known = text == u"left" || text == u"right" || text == u"center" || text == u"none";
    FAutoSize = known ? text : QStringLiteral("none");
  } else if (name == u"wordWrap") {
    EditDefinition().WordWrap = flag();
  } else if (name == u"multiline") {
    EditDefinition().Multiline = flag();
  } else if (name == u"html") {
    EditDefinition().Html = flag();
  } else if (name == u"password") {
    EditDefinition().Password = flag();
  } else if (name == u"mouseWheelEnabled") {
    FMouseWheelEnabled = flag();
  } else if (name == u"embedFonts") {
    EditDefinition().UseOutlines = flag();
  } else if (name == u"variable") {
    EditDefinition().Variable =
        value.IsNull() || value.IsUndefined() ? QString() : value.ToString();
  } else if (name == u"maxChars") {
    const double number = value.ToNumber();
    FMaxChars = value.IsNull() || !(number > 0) ? -1 : std::floor(number);
  } else {
    ScriptObject::SetMember(name, value);
  }
}
