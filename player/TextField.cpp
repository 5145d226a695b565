#include "player/TextField.h"

#include "player/MovieClip.h"
#include "player/PlayerStage.h"
#include "player/render/TextHtml.h"
#include "player/script/ScriptOperators.h"
#include "player/swf/SwfMovie.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {

// Space the player keeps free between a field's bounds and its text on every side, in pixels.
constexpr double GutterPixels = 2;
// Sizes and lengths the layout takes, in pixels: larger ones are drawn at these.
constexpr int MaxFontPixels = 2000;
constexpr int MaxLengthPixels = 100'000;
// Script depths start here in the display list; fields below it came from the timeline.
constexpr int ScriptDepthOffset = 16384;
constexpr int MaxScriptDepth = ScriptDepthOffset + 1'048'575;
// Twips a field is measured in when its text may reach beyond its bounds.
constexpr double MeasuringRoom = 1e7;

int Pixels(double twips) {
  return int(std::lround(twips / TwipsPerPixel));
}

double Twips(std::optional<int> pixels, int limit) {
  return std::clamp(pixels.value_or(0), -limit, limit) * TwipsPerPixel;
}

// The look a field's definition gives its text.
TextFormat DefinitionFormat(const SwfEditText& definition) {
  TextFormat format;
  format.Font = definition.Font && !definition.Font->Name.isEmpty()
                    ? definition.Font->Name
                    : QStringLiteral("Times New Roman");
  format.Size = Pixels(definition.Height);
  format.Color = definition.Color.rgb() & 0xFFFFFF;
  format.Bold = definition.Font && definition.Font->Bold;
  format.Italic = definition.Font && definition.Font->Italic;
  format.Underline = false;
  format.Url = QString();
  format.Target = QString();
  format.Align = definition.Align;
  format.LeftMargin = Pixels(definition.LeftMargin);
  format.RightMargin = Pixels(definition.RightMargin);
  format.Indent = Pixels(definition.Indent);
  format.Leading = Pixels(definition.Leading);
  format.BlockIndent = 0;
  format.TabStops = std::vector<int>();
  format.Bullet = false;
  format.Kerning = false;
  format.LetterSpacing = 0;
  return format;
}

// The lengths and angles of a placement matrix's axes, and the matrix they make.
struct Axes {
  double XScale, YScale, XAngle, YAngle; // scales as factors, angles in radians

  explicit Axes(const QTransform& m)
      : XScale(std::hypot(m.m11(), m.m12())), YScale(std::hypot(m.m21(), m.m22())),
        XAngle(std::atan2(m.m12(), m.m11())), YAngle(std::atan2(-m.m21(), m.m22())) {}
  QTransform Matrix(const QTransform& m) const {
    return QTransform(XScale * std::cos(XAngle), XScale * std::sin(XAngle),
                      -YScale * std::sin(YAngle), YScale * std::cos(YAngle), m.dx(), m.dy());
  }
};

// Lowers the ASCII letters only, as the player compares property names.
QString AsciiLower(QString text) {
  for (QChar& character : text)
    if (character >= u'A' && character <= u'Z')
      character = QChar(character.unicode() + (u'a' - u'A'));
  return text;
}

quint32 ColorBits(const ActionValue& value) {
  return quint32(qint64(value.ToNumber())) & 0xFFFFFF;
}

} // namespace

TextField::TextField(const SwfEditText& definition, MovieClip& owner, const QString& name)
    : FDefinition(definition),
      FOwner(std::static_pointer_cast<MovieClip>(owner.shared_from_this())), FName(name),
      FNewFormat(DefinitionFormat(definition)), FBackground(definition.Border),
      FSelectable(!definition.NoSelect) {
  if (definition.MaxLength > 0)
    FMaxChars = definition.MaxLength;
  if (definition.AutoSize)
    FAutoSize = QStringLiteral("left");
  // A bold or italic font draws its own style: initial markup is only bold or italic where
  // it says so.
  const TextFormat fontStyle = FNewFormat;
  if (definition.Html) {
    FNewFormat.Bold = false;
    FNewFormat.Italic = false;
  }
  SetText(definition.InitialText, definition.Html);
  FNewFormat = fontStyle;
  FInitialText = FContent.Text();
  BindVariable();
}

bool TextField::VariableOnOwner() const {
  const QString& variable = FDefinition.Variable;
  return !variable.isEmpty() && !variable.contains(u'.') && !variable.contains(u':') &&
         !variable.contains(u'/');
}

void TextField::BindVariable() {
  // A variable the clip does not have yet starts as the field's text from its definition.
  const auto owner = FOwner.lock();
  if (owner && VariableOnOwner() && owner->Member(FDefinition.Variable).IsUndefined())
    owner->SetMember(FDefinition.Variable, FInitialText);
}

QString TextField::ShownValue(const ActionValue& value) const {
  return FDefinition.Html
             ? TextHtml::Read(value.ToString(), FNewFormat, FDefinition.Multiline).Text()
             : value.ToString();
}

void TextField::SetText(const QString& text, bool html) {
  if (html) {
    FContent = TextHtml::Read(text, FNewFormat, FDefinition.Multiline);
  } else {
    FContent.Clear();
    QString plain = text;
    // Every line feed ends a paragraph, the one of a CR LF pair too.
    plain.replace(u'\n', u'\r');
    FContent.Append(plain, FNewFormat);
  }
  Changed();
}

void TextField::Changed() {
  FLayout.reset();
  FRunLayout.reset();
  FitToText();
}

QString TextField::CurrentText(const PlayerStage& stage) const {
  const auto owner = FOwner.lock();
  if (owner && !FDefinition.Variable.isEmpty()) {
    const ActionValue value = stage.Resolve(FDefinition.Variable, owner.get());
    if (!value.IsUndefined())
      return ShownValue(value);
  }
  return FContent.Text();
}

// The movie's font of that name, the one of the same style if there are several; null when
// the movie has none.
static std::shared_ptr<const SwfFont> EmbeddedFont(const SwfMovie* movie,
                                                   const TextFormat& format) {
  if (!movie || !format.Font)
    return nullptr;
  std::shared_ptr<const SwfFont> found;
  for (const auto& entry : movie->Fonts) {
    const auto& font = entry.second;
    if (font->Name != *format.Font || font->Glyphs.empty())
      continue;
    const bool sameStyle =
        font->Bold == format.Bold.value_or(false) && font->Italic == format.Italic.value_or(false);
    if (!found || sameStyle)
      found = font;
    if (sameStyle)
      break;
  }
  return found;
}

TextFormat TextField::FirstFormat() const {
  return FContent.Runs().empty() ? FNewFormat : FContent.Runs().front().Format;
}

const SwfMovie* TextField::OwnerMovie() const {
  // A clip made by a script shares the dictionary of the movie it was made in.
  const auto owner = FOwner.lock();
  for (const MovieClip* clip = owner.get(); clip; clip = clip->Parent())
    if (clip->Dictionary())
      return clip->Dictionary();
  return nullptr;
}

SwfEditText TextField::LaidOutDefinition() const {
  SwfEditText definition = FDefinition;
  const TextFormat format = FirstFormat();
  if (!definition.Font || definition.Font->Name != format.Font.value_or(QString())) {
    if (auto font = EmbeddedFont(OwnerMovie(), format))
      definition.Font = std::move(font);
  }
  definition.Html = false;
  definition.Height = std::clamp(format.Size.value_or(12), 0, MaxFontPixels) * TwipsPerPixel;
  definition.Color = QColor::fromRgb(QRgb(format.Color.value_or(0) & 0xFFFFFF));
  definition.Align = format.Align.value_or(SwfTextAlign::Left);
  definition.LeftMargin =
      Twips(format.LeftMargin, MaxLengthPixels) + Twips(format.BlockIndent, MaxLengthPixels);
  definition.RightMargin = Twips(format.RightMargin, MaxLengthPixels);
  definition.Indent = Twips(format.Indent, MaxLengthPixels);
  definition.Leading = Twips(format.Leading, MaxLengthPixels);
  return definition;
}

TextLayout::Options TextField::LayoutOptions() const {
  const TextFormat format = FirstFormat();
  TextLayout::Options options;
  if (const SwfMovie* movie = OwnerMovie())
    options.SwfVersion = movie->Version;
  for (const int stop : format.TabStops.value_or(std::vector<int>()))
    options.TabStops.push_back(std::clamp(stop, -MaxLengthPixels, MaxLengthPixels));
  options.Underline = format.Underline.value_or(false);
  return options;
}

const TextLayout& TextField::Layout(const QString& text) const {
  const QPointF scroll = ScrollOffset();
  if (!FLayout || text != FLaidOutText || scroll != FLaidOutScroll) {
    FLaidOutDefinition = LaidOutDefinition();
    // Lines scrolled off the top are laid out too, so that those below them reach the field.
    FLaidOutDefinition.Bounds.setHeight(FLaidOutDefinition.Bounds.height() + scroll.y());
    FLayout = std::make_unique<TextLayout>(FLaidOutDefinition, text, LayoutOptions());
    FLaidOutText = text;
    FLaidOutScroll = scroll;
  }
  return *FLayout;
}

bool TextField::HasRuns() const {
  return FDefinition.UseOutlines && !FDefinition.Password && FContent.Runs().size() > 1;
}

bool TextField::DrawsRuns(const PlayerStage& stage) const {
  return HasRuns() && CurrentText(stage) == FContent.Text();
}

FormattedOutlines::FontFinder TextField::Fonts() const {
  const SwfMovie* movie = OwnerMovie();
  return [movie](const TextFormat& format) { return EmbeddedFont(movie, format); };
}

const FormattedOutlines& TextField::RunLayout() const {
  const QPointF scroll = ScrollOffset();
  if (!FRunLayout || scroll != FRunLayoutScroll) {
    SwfEditText definition = FDefinition;
    // Lines scrolled off the top are laid out too, so that those below them reach the field.
    definition.Bounds.setHeight(definition.Bounds.height() + scroll.y());
    FRunLayout = std::make_unique<FormattedOutlines>(definition, FContent, Fonts());
    FRunLayoutScroll = scroll;
  }
  return *FRunLayout;
}

QPainterPath TextField::MaskArea(const PlayerStage& stage) const {
  QPainterPath area;
  area.setFillRule(Qt::WindingFill);
  if (FBackground || !FDefinition.UseOutlines) {
    area.addRect(FDefinition.Bounds);
    if (!FDefinition.UseOutlines)
      return area;
  }
  QPainterPath glyphs =
      DrawsRuns(stage) ? RunLayout().Outlines() : Layout(CurrentText(stage)).Outlines();
  glyphs.translate(-ScrollOffset());
  QPainterPath bounds;
  bounds.addRect(FDefinition.Bounds);
  area.addPath(glyphs.intersected(bounds));
  return area;
}

TextField::Measure TextField::Measured() const {
  SwfEditText definition = LaidOutDefinition();
  // Measured whole: the layout otherwise stops at the bottom of the field.
  definition.Bounds.setHeight(MeasuringRoom);
  if (FAutoSize != u"none" && !definition.WordWrap)
    definition.Bounds.setWidth(MeasuringRoom);
  if (HasRuns()) {
    SwfEditText field = FDefinition;
    field.Bounds = definition.Bounds;
    const FormattedOutlines runs(field, FContent, Fonts());
    return {runs.TextSize(), runs.LineHeights(), definition.Leading};
  }
  const TextLayout layout(definition, FContent.Text(), LayoutOptions());
  return {layout.TextSize(), layout.LineHeights(), definition.Leading};
}

QSizeF TextField::TextSize() const {
  // Whole pixels, cut as the player reports them.
  const QSizeF twips = Measured().Size / TwipsPerPixel;
  return {std::floor(twips.width()), std::floor(twips.height())};
}

int TextField::LinesShownFrom(const Measure& measure, int first) const {
  const double room = FDefinition.Bounds.height() - 2 * GutterPixels * TwipsPerPixel;
  const int count = int(measure.LineHeights.size());
  double used = 0;
  int shown = 0;
  for (int line = std::max(0, first); line < count; ++line) {
    used += measure.LineHeights[std::size_t(line)];
    // The last line shown needs no room for the leading below it.
    if (used - measure.Leading > room)
      break;
    ++shown;
  }
  return std::max(1, shown);
}

int TextField::MaxScroll() const {
  const Measure measure = Measured();
  const double room = FDefinition.Bounds.height() - 2 * GutterPixels * TwipsPerPixel;
  int first = int(measure.LineHeights.size());
  double used = 0;
  while (first > 0) {
    used += measure.LineHeights[std::size_t(first - 1)];
    if (used - measure.Leading > room && first < int(measure.LineHeights.size()))
      break;
    --first;
  }
  return first + 1;
}

int TextField::Scroll() const {
  return std::clamp(FScrollIndex + 1, 1, MaxScroll());
}

int TextField::BottomScroll() const {
  const int scroll = Scroll();
  return scroll + LinesShownFrom(Measured(), scroll - 1) - 1;
}

int TextField::MaxHScroll() const {
  const double room = FDefinition.Bounds.width() / TwipsPerPixel - 2 * GutterPixels;
  return std::max(0, int(std::ceil(TextSize().width() - room)));
}

int TextField::HScroll() const {
  return std::clamp(FHScroll, 0, MaxHScroll());
}

QPointF TextField::ScrollOffset() const {
  if (FScrollIndex <= 0 && FHScroll <= 0)
    return {};
  const Measure measure = Measured();
  double above = 0;
  const int scroll = Scroll();
  for (int line = 0; line + 1 < scroll && line < int(measure.LineHeights.size()); ++line)
    above += measure.LineHeights[std::size_t(line)];
  return {HScroll() * TwipsPerPixel, above};
}

// The player keeps the first line as an index and takes the number given less one in 32
// bits, so a number that wraps to the lowest integer ends at the last line.
void TextField::SetScroll(const ActionValue& value) {
  const qint32 wanted = ScriptOperators::ToInt32(value.ToNumber());
  const qint32 index = qint32(quint32(wanted) - 1u);
  FScrollIndex = std::clamp(index, 0, MaxScroll() - 1);
}

void TextField::FitToText() {
  if (FAutoSize == u"none")
    return;
  const QSizeF text = Measured().Size;
  QRectF& bounds = FDefinition.Bounds;
  MovieClip::DisplayEntry* entry = PlacingEntry();
  const double height = text.height() + 2 * GutterPixels * TwipsPerPixel;
  if (!FDefinition.WordWrap) {
    const double width = text.width() + 2 * GutterPixels * TwipsPerPixel;
    const double shift = FAutoSize == u"right"    ? bounds.width() - width
                         : FAutoSize == u"center" ? (bounds.width() - width) / 2
                                                  : 0;
    // A placed field moves along its x axis, so its _x follows the anchored edge.
    if (entry) {
      const QTransform& m = entry->Matrix;
      entry->Matrix = QTransform(m.m11(), m.m12(), m.m21(), m.m22(), m.dx() + m.m11() * shift,
                                 m.dy() + m.m12() * shift);
    } else {
      bounds.moveLeft(bounds.left() + shift);
    }
    bounds.setWidth(width);
  }
  bounds.setHeight(height);
  if (entry)
    entry->Bounds = bounds;
}

TextFormat TextField::FormatOver(qsizetype begin, qsizetype end) const {
  return FContent.FormatOver(begin, end).value_or(FNewFormat);
}

void TextField::ApplyFormat(qsizetype begin, qsizetype end, const TextFormat& format) {
  FContent.Apply(begin, end, format);
  Changed();
}

void TextField::SetNewTextFormat(const TextFormat& format) {
  FNewFormat.Merge(format);
}

MovieClip::DisplayEntry* TextField::PlacingEntry() const {
  const auto owner = FOwner.lock();
  if (!owner)
    return nullptr;
  for (const MovieClip::DisplayEntry& entry : owner->DisplayList())
    if (entry.Field.get() == this)
      return owner->EntryAt(entry.Depth);
  return nullptr;
}

bool TextField::Remove() {
  const auto owner = FOwner.lock();
  if (!owner)
    return false;
  for (const MovieClip::DisplayEntry& entry : owner->DisplayList()) {
    if (entry.Field.get() != this)
      continue;
    if (entry.Depth < ScriptDepthOffset || entry.Depth > MaxScriptDepth)
      return false;
    const auto self = shared_from_this(); // the entry held the field
    owner->RemoveEntryAt(entry.Depth);
    const ScriptObject::Slot* member = owner->OwnSlot(FName);
    if (member && member->Value.Object().get() == this)
      owner->DeleteMember(FName);
    return true;
  }
  return false;
}

QString TextField::ToText() const {
  const auto owner = FOwner.lock();
  return owner ? owner->ToText() + u'.' + FName : FName;
}

ActionValue TextField::Member(const QString& name) const {
  if (const ScriptObject::Slot* slot = OwnSlot(name))
    return slot->Plain();
  if (name == u"text") {
    // The field shows its variable's value as soon as the variable changes.
    const auto owner = FOwner.lock();
    const ActionValue bound =
        owner && VariableOnOwner() ? owner->Member(FDefinition.Variable) : ActionValue();
    return bound.IsUndefined() ? FContent.Text() : ShownValue(bound);
  }
  if (name == u"htmlText")
    return FDefinition.Html ? TextHtml::Write(FContent) : FContent.Text();
  if (name == u"length")
    return double(FContent.Text().size());
  if (name == u"textColor")
    return double(FNewFormat.Color.value_or(0));
  if (name == u"border")
    return FDefinition.Border;
  if (name == u"borderColor")
    return double(FBorderColor);
  if (name == u"background")
    return FBackground;
  if (name == u"backgroundColor")
    return double(FBackgroundColor);
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
  if (name == u"selectable")
    return FSelectable;
  if (name == u"type")
    return FDefinition.ReadOnly ? QStringLiteral("dynamic") : QStringLiteral("input");
  if (name == u"mouseWheelEnabled")
    return FMouseWheelEnabled;
  if (name == u"embedFonts")
    return FDefinition.UseOutlines;
  if (name == u"variable")
    return FDefinition.Variable.isEmpty() ? ActionValue::Null() : ActionValue(FDefinition.Variable);
  if (name == u"maxChars")
    return FMaxChars < 0 ? ActionValue::Null() : ActionValue(FMaxChars);
  if (name == u"textWidth")
    return TextSize().width();
  if (name == u"textHeight")
    return TextSize().height();
  if (name == u"antiAliasType")
    return FAntiAliasType;
  if (name == u"gridFitType")
    return FGridFitType;
  if (name == u"sharpness")
    return FSharpness;
  if (name == u"thickness")
    return FThickness;
  if (name == u"restrict")
    return FRestrict ? ActionValue(*FRestrict) : ActionValue::Null();
  if (name == u"condenseWhite")
    return FCondenseWhite;
  if (name == u"scroll")
    return double(Scroll());
  if (name == u"maxscroll")
    return double(MaxScroll());
  if (name == u"bottomScroll")
    return double(BottomScroll());
  if (name == u"hscroll")
    return double(HScroll());
  if (name == u"maxhscroll")
    return double(MaxHScroll());
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
  const MovieClip::DisplayEntry* entry = PlacingEntry();
  const QTransform matrix = entry ? entry->Matrix : QTransform();
  if (name == u"_x")
    return matrix.dx() / TwipsPerPixel;
  if (name == u"_y")
    return matrix.dy() / TwipsPerPixel;
  if (name == u"_alpha")
    return entry ? entry->ColorTransform.Multiply[3] * 100 : 100.0;
  if (name == u"_visible")
    return FVisible;
  if (name == u"_width" || name == u"_height") {
    // The placed corners each lie on a whole twip.
    const QPolygonF corners = matrix.map(QPolygonF(FDefinition.Bounds));
    double low = MeasuringRoom, high = -MeasuringRoom;
    for (const QPointF& corner : corners) {
      const double coordinate = std::round(name == u"_width" ? corner.x() : corner.y());
      low = std::min(low, coordinate);
      high = std::max(high, coordinate);
    }
    return corners.isEmpty() ? 0.0 : (high - low) / TwipsPerPixel;
  }
  if (name == u"_xscale")
    return Axes(matrix).XScale * 100;
  if (name == u"_yscale")
    return Axes(matrix).YScale * 100;
  if (name == u"_rotation")
    return Axes(matrix).XAngle * 180 / M_PI;
  return ScriptObject::Member(name);
}

void TextField::SetMember(const QString& name, const ActionValue& value) {
  const auto flag = [&value] { return value.ToBoolean(); };
  if (name == u"text" || name == u"htmlText") {
    QString text = value.ToString();
    if (FMaxChars >= 0 && name == u"text")
      text.truncate(qsizetype(FMaxChars));
    SetText(text, name == u"htmlText" && FDefinition.Html);
    const auto owner = FOwner.lock();
    if (owner && VariableOnOwner())
      owner->SetMember(FDefinition.Variable, FContent.Text());
  } else if (name == u"textColor") {
    TextFormat color;
    color.Color = ColorBits(value);
    FNewFormat.Merge(color);
    ApplyFormat(0, FContent.Text().size(), color);
  } else if (name == u"border") {
    FDefinition.Border = flag();
  } else if (name == u"borderColor") {
    FBorderColor = ColorBits(value);
  } else if (name == u"background") {
    FBackground = flag();
  } else if (name == u"backgroundColor") {
    FBackgroundColor = ColorBits(value);
  } else if (name == u"autoSize") {
    // true is "left"; a name in any case; anything else "none".
    const QString text = value.IsBoolean()
                             ? (flag() ? QStringLiteral("left") : QStringLiteral("none"))
                             : AsciiLower(value.ToString());
    const bool known = text == u"left" || text == u"right" || text == u"center";
    FAutoSize = known ? text : QStringLiteral("none");
    Changed();
  } else if (name == u"wordWrap") {
    FDefinition.WordWrap = flag();
    Changed();
  } else if (name == u"multiline") {
    FDefinition.Multiline = flag();
  } else if (name == u"html") {
    FDefinition.Html = flag();
  } else if (name == u"password") {
    FDefinition.Password = flag();
    Changed();
  } else if (name == u"selectable") {
    FSelectable = flag();
  } else if (name == u"type") {
    const QString type = value.ToString().toLower();
    if (type == u"dynamic" || type == u"input")
      FDefinition.ReadOnly = type == u"dynamic";
  } else if (name == u"mouseWheelEnabled") {
    FMouseWheelEnabled = flag();
  } else if (name == u"embedFonts") {
    FDefinition.UseOutlines = flag();
    Changed();
  } else if (name == u"variable") {
    FDefinition.Variable = value.IsNull() || value.IsUndefined() ? QString() : value.ToString();
    BindVariable();
  } else if (name == u"_x" || name == u"_y" || name == u"_alpha") {
    MovieClip::DisplayEntry* entry = PlacingEntry();
    const double number = value.ToNumber();
    if (!entry || !std::isfinite(number))
      return;
    const QTransform& m = entry->Matrix;
    const double twips = std::clamp(number, -1e8, 1e8) * TwipsPerPixel;
    if (name == u"_x")
      entry->Matrix = QTransform(m.m11(), m.m12(), m.m21(), m.m22(), twips, m.dy());
    else if (name == u"_y")
      entry->Matrix = QTransform(m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), twips);
    else
      entry->ColorTransform.Multiply[3] = MovieClip::AlphaFromPercent(number);
  } else if (name == u"_xscale" || name == u"_yscale" || name == u"_rotation") {
    MovieClip::DisplayEntry* entry = PlacingEntry();
    const double number = value.ToNumber();
    if (!entry || !std::isfinite(number))
      return;
    Axes axes(entry->Matrix);
    if (name == u"_rotation") {
      const double turn = std::remainder(number, 360.0) * M_PI / 180 - axes.XAngle;
      axes.XAngle += turn;
      axes.YAngle += turn;
    } else {
      (name == u"_xscale" ? axes.XScale : axes.YScale) = std::clamp(number, -1e6, 1e6) / 100;
    }
    entry->Matrix = axes.Matrix(entry->Matrix);
  } else if (name == u"_visible") {
    FVisible = value.ToNumber() != 0;
  } else if (name == u"_width" || name == u"_height") {
    const double number = value.ToNumber();
    if (!(number >= 0 && number < 1e8))
      return;
    // The field's own bounds take the size, before its scale.
    if (name == u"_width")
      FDefinition.Bounds.setWidth(number * TwipsPerPixel);
    else
      FDefinition.Bounds.setHeight(number * TwipsPerPixel);
    if (MovieClip::DisplayEntry* entry = PlacingEntry())
      entry->Bounds = FDefinition.Bounds;
    Changed();
  } else if (name == u"antiAliasType" || name == u"gridFitType") {
    const QString text = value.ToString();
    if (name == u"antiAliasType" && (text == u"normal" || text == u"advanced"))
      FAntiAliasType = text;
    else if (name == u"gridFitType" && (text == u"none" || text == u"pixel" || text == u"subpixel"))
      FGridFitType = text;
  } else if (name == u"sharpness" || name == u"thickness") {
    (name == u"sharpness" ? FSharpness : FThickness) = value.ToNumber();
  } else if (name == u"restrict") {
    FRestrict = value.IsNull() || value.IsUndefined() ? std::nullopt
                                                      : std::optional<QString>(value.ToString());
  } else if (name == u"condenseWhite") {
    FCondenseWhite = flag();
  } else if (name == u"scroll") {
    SetScroll(value);
  } else if (name == u"hscroll") {
    const qint32 wanted = ScriptOperators::ToInt32(value.ToNumber());
    FHScroll = std::clamp(wanted, 0, MaxHScroll());
  } else if (name == u"maxscroll" || name == u"bottomScroll" || name == u"maxhscroll") {
    return; // read-only: the player computes them from the text
  } else if (name == u"maxChars") {
    const double number = value.ToNumber();
    FMaxChars = value.IsNull() || !(number > 0) ? -1 : std::floor(number);
  } else {
    ScriptObject::SetMember(name, value);
  }
}
