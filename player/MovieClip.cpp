#include "player/MovieClip.h"

#include "player/ClipDrawing.h"
#include "player/ClipGeometry.h"
#include "player/PlayerStage.h"
#include "player/TextField.h"
#include "player/script/ScriptLevelName.h"
#include "player/script/ScriptRemovedClip.h"
#include "player/swf/SwfMovie.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace {

const QHash<QString, MovieClip::Property>& PropertyNames() {
  static const QHash<QString, MovieClip::Property> names{
      {QStringLiteral("_x"), MovieClip::X},
      {QStringLiteral("_y"), MovieClip::Y},
      {QStringLiteral("_xscale"), MovieClip::XScale},
      {QStringLiteral("_yscale"), MovieClip::YScale},
      {QStringLiteral("_alpha"), MovieClip::Alpha},
      {QStringLiteral("_visible"), MovieClip::Visible},
      {QStringLiteral("_width"), MovieClip::Width},
      {QStringLiteral("_height"), MovieClip::Height},
      {QStringLiteral("_rotation"), MovieClip::Rotation},
      {QStringLiteral("_target"), MovieClip::Target},
      {QStringLiteral("_name"), MovieClip::Name},
      {QStringLiteral("_currentframe"), MovieClip::CurrentFrame},
      {QStringLiteral("_totalframes"), MovieClip::TotalFrames},
      {QStringLiteral("_framesloaded"), MovieClip::FramesLoaded},
      {QStringLiteral("_droptarget"), MovieClip::DropTarget},
      {QStringLiteral("_xmouse"), MovieClip::XMouse},
      {QStringLiteral("_ymouse"), MovieClip::YMouse},
  };
  return names;
}

constexpr double LowestTwips = -2147483648.0;

// The names `blendMode` reads and takes, in the order of the file format's numbers 1 to 14.
const QString BlendModeNames[] = {
    QStringLiteral("normal"),     QStringLiteral("layer"),    QStringLiteral("multiply"),
    QStringLiteral("screen"),     QStringLiteral("lighten"),  QStringLiteral("darken"),
    QStringLiteral("difference"), QStringLiteral("add"),      QStringLiteral("subtract"),
    QStringLiteral("invert"),     QStringLiteral("alpha"),    QStringLiteral("erase"),
    QStringLiteral("overlay"),    QStringLiteral("hardlight")};
constexpr int BlendModeCount = 14;

// The blend mode a script's value names: a name exactly as written, the format's number (of
// its low 8 bits, 0 for normal too), or undefined and null for normal; nothing otherwise.
std::optional<SwfBlendMode> BlendModeOf(const ActionValue& value) {
  if (value.IsUndefined() || value.IsNull())
    return SwfBlendMode::Normal;
  if (value.IsString()) {
    for (int mode = 0; mode < BlendModeCount; ++mode)
      if (value.ToString() == BlendModeNames[mode])
        return SwfBlendMode(mode);
    return std::nullopt;
  }
  if (!value.IsNumber() || !std::isfinite(value.ToNumber()))
    return std::nullopt;
  const int number = int(qint64(std::fmod(std::trunc(value.ToNumber()), 4294967296.0)) & 0xFF);
  if (number > BlendModeCount)
    return std::nullopt;
  return SwfBlendMode(std::max(0, number - 1));
}

const QString BlendModeMember = QStringLiteral("blendMode");

// A position that does not fit 32 bits of twips (an infinity included) becomes the lowest
// that does.
double Position(double pixels) {
  const double twips = pixels * TwipsPerPixel;
  return twips >= LowestTwips && twips <= -LowestTwips - 1 ? pixels : LowestTwips / TwipsPerPixel;
}

// `_alpha` is kept as an 8.8 fixed-point multiplier, cut towards zero and wrapped to 16 bits.
double AlphaMultiplier(double percent) {
  const double fixed = std::trunc(percent * 256 / 100);
  if (!std::isfinite(fixed))
    return 0;
  return double(qint16(qint32(std::fmod(fixed, 65536.0)))) / 256;
}

// A transform part that is not finite (an infinite scale, an undefined rotation) draws as 0.
double Drawable(double value) {
  return std::isfinite(value) ? value : 0;
}

} // namespace

MovieClip::MovieClip(int level, const QRectF& frameRect) : FLevel(level), FFrameRect(frameRect) {}

MovieClip::MovieClip(MovieClip* parent, const QString& name, const QTransform& matrix)
    : FParent(std::static_pointer_cast<MovieClip>(parent->shared_from_this())),
      FLevel(parent->FLevel), FName(name), FPlacedName(name) {
  SetMatrix(matrix);
}

MovieClip::~MovieClip() = default;

ClipDrawing& MovieClip::EditDrawing() {
  if (!FDrawing)
    FDrawing = std::make_unique<ClipDrawing>();
  return *FDrawing;
}

void MovieClip::SetMatrix(const QTransform& matrix) {
  // Split the placement matrix into the clip's properties and the skew between its axes,
  // which together give the matrix back whole.
  FX = matrix.dx() / TwipsPerPixel;
  FY = matrix.dy() / TwipsPerPixel;
  FXScale = std::hypot(matrix.m11(), matrix.m12()) * 100;
  // Both scales read as lengths; a mirrored matrix keeps its mirror in the skew.
  FYScale = std::hypot(matrix.m21(), matrix.m22()) * 100;
  const double xAngle = std::atan2(matrix.m12(), matrix.m11());
  const double yAngle = std::atan2(-matrix.m21(), matrix.m22());
  FRotation = xAngle * 180 / M_PI;
  FSkew = std::remainder(yAngle - xAngle, 2 * M_PI);
}

double MovieClip::AlphaFromPercent(double percent) {
  return AlphaMultiplier(percent);
}

std::optional<MovieClip::Property> MovieClip::PropertyByName(const QString& name) {
  const auto found = PropertyNames().constFind(name);
  if (found == PropertyNames().constEnd())
    return std::nullopt;
  return *found;
}

void MovieClip::SetUnloaded() {
  FUnloaded = true;
  FRemovedPath.clear();
  const MovieClip* top = this;
  for (; top->Parent(); top = top->Parent())
    FRemovedPath.push_back(top->FUnloaded ? top->FPlacedName : top->FName);
  if (top != this)
    FRemovedRoot = std::const_pointer_cast<MovieClip>(
        std::static_pointer_cast<const MovieClip>(top->shared_from_this()));
}

ActionValue MovieClip::Live(const ActionValue& value) {
  const auto object = value.Object();
  std::shared_ptr<const MovieClip> clip = std::dynamic_pointer_cast<const MovieClip>(object);
  if (const auto* removed = dynamic_cast<const ScriptRemovedClip*>(object.get()))
    clip = removed->Clip().lock();
  if (!clip || !clip->FUnloaded)
    return value;
  // The path it was taken off at holds for good: its parents may be gone since.
  const auto root = clip->FRemovedRoot.lock();
  if (!root || root->FUnloaded)
    return {};
  const MovieClip* found = root.get();
  for (auto name = clip->FRemovedPath.rbegin(); found && name != clip->FRemovedPath.rend(); ++name)
    found = found->ChildNamed(*name);
  if (found)
    return ActionValue(std::const_pointer_cast<ScriptObject>(found->shared_from_this()));
  if (!clip->FRemovedReference)
    clip->FRemovedReference =
        std::make_shared<ScriptRemovedClip>(std::const_pointer_cast<MovieClip>(clip));
  return ActionValue(clip->FRemovedReference);
}

bool MovieClip::IsKnownProperty(int number) {
  return number >= X && number <= Name;
}

ActionValue MovieClip::Member(const QString& name) const {
  if (name.startsWith(u'_')) {
    const Qt::CaseSensitivity nameCase = IgnoresCase() ? Qt::CaseInsensitive : Qt::CaseSensitive;
    // A level's name selects that level, whatever the clip's children or prototypes hold;
    // a child's name hides the clip's properties.
    if (!HasOwnMember(name)) {
      if (const std::optional<int> level = LevelOfName(name, NameCase())) {
        const auto root = LevelRoot(*level);
        return root ? ActionValue(std::static_pointer_cast<ScriptObject>(root)) : ActionValue();
      }
      if (MovieClip* child = ChildNamed(name))
        return ActionValue(child->shared_from_this());
    }
    if (const auto property = PropertyByName(name.toLower()))
      return GetProperty(*property);
    // A level's root has no parent: a script may keep a variable of that name there.
    if (name.compare(u"_parent", nameCase) == 0)
      if (const auto parent = FParent.lock())
        return ActionValue(std::static_pointer_cast<ScriptObject>(parent));
    if (name.compare(u"_root", nameCase) == 0)
      return ActionValue(std::static_pointer_cast<ScriptObject>(RootClip()));
    if (name.compare(u"_lockroot", nameCase) == 0)
      return FLocksRoot;
    if (const QString lower = name.toLower(); lower == u"_xmouse" || lower == u"_ymouse")
      return MouseCoordinate(lower == u"_xmouse");
  }
  if (name == BlendModeMember && MovieVersion() >= 8)
    return BlendModeNames[int(FEffects.Blend)];
  // Children come after the clip's own members and before its prototype's.
  if (!HasOwnMember(name))
    if (MovieClip* child = ChildNamed(name))
      return ActionValue(child->shared_from_this());
  return ScriptObject::Member(name);
}

Qt::CaseSensitivity MovieClip::NameCase() const {
  return IgnoresCase() ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

bool MovieClip::NamesLevel(const QString& name) const {
  return !HasOwnMember(name) && LevelOfName(name, NameCase());
}

std::shared_ptr<MovieClip> MovieClip::LevelRoot(int level) const {
  const MovieClip* top = this;
  while (top->Parent())
    top = top->Parent();
  if (top->FStage)
    return top->FStage->LevelRoot(level);
  // A clip on no stage knows its own level alone.
  return level == FLevel ? std::const_pointer_cast<MovieClip>(
                               std::static_pointer_cast<const MovieClip>(top->shared_from_this()))
                         : nullptr;
}

QPointF MovieClip::StageMouse() const {
  const MovieClip* top = this;
  while (top->Parent())
    top = top->Parent();
  return top->FStageMouse && *top->FStageMouse ? **top->FStageMouse : QPointF();
}

double MovieClip::MouseCoordinate(bool horizontal) const {
  // The mouse in the clip's own coordinates, in whole twips.
  const std::optional<QTransform> fromStage = ClipGeometry::FromStage(*this);
  if (!fromStage)
    return 0.0;
  const QPointF mouse = fromStage->map(StageMouse());
  return std::round(horizontal ? mouse.x() : mouse.y()) / TwipsPerPixel;
}

std::shared_ptr<MovieClip> MovieClip::RootClip() const {
  const MovieClip* clip = this;
  while (!clip->FLocksRoot && clip->Parent())
    clip = clip->Parent();
  return std::const_pointer_cast<MovieClip>(
      std::static_pointer_cast<const MovieClip>(clip->shared_from_this()));
}

std::vector<QString> MovieClip::MemberNames() const {
  std::vector<QString> names = ScriptObject::MemberNames();
  for (const DisplayEntry& entry : FDisplay)
    if (entry.Clip && std::find(names.begin(), names.end(), entry.Clip->FName) == names.end())
      names.push_back(entry.Clip->FName);
  return names;
}

namespace {

// The part of a clip a rectangle object {x, y, width, height} shows, in pixels; none for a
// value that is no object or a rectangle that is no number.
std::optional<QRectF> ScrollRectOf(const ActionValue& value) {
  const auto object = value.Object();
  if (!object)
    return std::nullopt;
  const QRectF rect(object->Member(QStringLiteral("x")).ToNumber(),
                    object->Member(QStringLiteral("y")).ToNumber(),
                    object->Member(QStringLiteral("width")).ToNumber(),
                    object->Member(QStringLiteral("height")).ToNumber());
  if (!std::isfinite(rect.x()) || !std::isfinite(rect.y()) || !std::isfinite(rect.width()) ||
      !std::isfinite(rect.height()))
    return std::nullopt;
  return QRectF(rect.topLeft(), rect.size().expandedTo(QSizeF(0, 0)));
}

} // namespace

void MovieClip::SetMember(const QString& name, const ActionValue& value) {
  // Property names ignore case in every version.
  if (const auto property = name.startsWith(u'_') ? PropertyByName(name.toLower()) : std::nullopt)
    SetProperty(*property, value);
  else if (name.compare(u"_lockroot", IgnoresCase() ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0)
    FLocksRoot = value.ToBoolean(MovieVersion());
  else if (name == BlendModeMember && MovieVersion() >= 8)
    FEffects.Blend = BlendModeOf(value).value_or(FEffects.Blend);
  else
    ScriptObject::SetMember(name, value);
  // The rectangle stays readable as it was given; the clip shows the part it names.
  if (name == u"scrollRect")
    SetScrollRect(ScrollRectOf(value));
}

ActionValue MovieClip::GetProperty(int property) const {
  switch (property) {
  case X:
    return FX;
  case Y:
    return FY;
  case XScale:
    return FXScale;
  case YScale:
    return FYScale;
  case Alpha:
    return FColorTransform.Multiply[3] * 100;
  case Visible:
    return FVisible;
  case Width:
    return Extent(true);
  case Height:
    return Extent(false);
  case Rotation:
    return FRotation;
  case Target:
    return TargetPath();
  case Name:
    return FName;
  case CurrentFrame:
    return double(FCurrentFrame);
  case TotalFrames:
    return double(FTimeline ? std::max(1, FTimeline->FrameCount) : 1);
  case FramesLoaded:
    return double(FrameCount());
  case DropTarget:
    return FDropTarget;
  case XMouse:
  case YMouse:
    return MouseCoordinate(property == XMouse);
  default:
    return {};
  }
}

void MovieClip::SetProperty(int property, const ActionValue& value) {
  if (property == Name) {
    FName = value.ToString();
    return;
  }
  // A value that is no number leaves every numeric property as it was; infinities are
  // taken, each property storing them its own way.
  const double number = value.ToNumber();
  if (std::isnan(number))
    return;
  FTransformedByScript = FTransformedByScript || property == X || property == Y ||
                         property == XScale || property == YScale || property == Alpha ||
                         property == Width || property == Height || property == Rotation;
  switch (property) {
  case Visible:
    FVisible = number != 0;
    break;
  case X:
    FX = Position(number);
    break;
  case Y:
    FY = Position(number);
    break;
  case XScale:
    FXScale = number;
    break;
  case YScale:
    FYScale = number;
    break;
  case Alpha:
    FColorTransform.Multiply[3] = AlphaMultiplier(number);
    break;
  case Width:
    SetSize(number, true);
    break;
  case Height:
    SetSize(number, false);
    break;
  case Rotation:
    FRotation = std::remainder(number, 360.0);
    break;
  default:
    break;
  }
}

void MovieClip::SetSize(double pixels, bool horizontal) {
  // The scales are fitted to the content as the clip turns it, unscaled: the side set takes
  // the size given; on a turned clip the other side keeps the size it shows now, its scale
  // fitted the same way, so that both sides follow the turn.
  const QTransform turn = Oriented(1, 1, 0, 0);
  const QRectF turned = DrawnBounds(turn);
  const double extent = horizontal ? turned.width() : turned.height();
  if (!(extent > 0) || !std::isfinite(pixels))
    return;
  const double otherExtent = horizontal ? turned.height() : turned.width();
  const double otherShown = std::round(Extent(!horizontal) * TwipsPerPixel);
  (horizontal ? FXScale : FYScale) = pixels * TwipsPerPixel / extent * 100;
  // Turned as far as the player's 16.16 matrix shows.
  const bool isTurned = std::round(turn.m12() * 65536) != 0 || std::round(turn.m21() * 65536) != 0;
  if (!isTurned || !(otherExtent > 0))
    return;
  double& otherScale = horizontal ? FYScale : FXScale;
  otherScale = std::copysign(otherShown / otherExtent * 100, otherScale);
}

double MovieClip::Extent(bool horizontal) const {
  const QRectF bounds = DrawnBounds(Transform());
  return std::round((horizontal ? bounds.width() : bounds.height())) / TwipsPerPixel;
}

QString MovieClip::TargetPath() const {
  const auto parent = FParent.lock();
  if (!parent)
    return FLevel == 0 ? QStringLiteral("/") : QStringLiteral("_level") + QString::number(FLevel);
  const QString above = parent->TargetPath();
  return (above == u"/" ? above : above + u'/') + FName;
}

QString MovieClip::ToText() const {
  const auto parent = FParent.lock();
  if (!parent)
    return QStringLiteral("_level") + QString::number(FLevel);
  return parent->ToText() + u'.' + FName;
}

int MovieClip::FrameCount() const {
  // The frames the timeline holds, whatever its header declares.
  return FTimeline ? std::max(1, int(FTimeline->Frames.size())) : 1;
}

MovieClip* MovieClip::Mask() const {
  MovieClip* mask = FMask.lock().get();
  // A mask taken off the stage masks nothing.
  return mask && !mask->FUnloaded ? mask : nullptr;
}

void MovieClip::SetMask(MovieClip* mask) {
  if (const auto old = FMask.lock(); old && old->FMasked.lock().get() == this)
    old->FMasked.reset();
  FMask.reset();
  if (!mask)
    return;
  // The mask leaves the clip it masked before.
  if (const auto before = mask->FMasked.lock())
    before->FMask.reset();
  FMask = std::static_pointer_cast<MovieClip>(mask->shared_from_this());
  mask->FMasked = std::static_pointer_cast<MovieClip>(shared_from_this());
}

QTransform MovieClip::Transform() const {
  return Oriented(FXScale / 100, FYScale / 100, FX * TwipsPerPixel, FY * TwipsPerPixel);
}

QTransform MovieClip::Oriented(double xScale, double yScale, double dx, double dy) const {
  const double xAngle = FRotation * M_PI / 180;
  const double yAngle = xAngle + FSkew;
  return QTransform(Drawable(xScale * std::cos(xAngle)), Drawable(xScale * std::sin(xAngle)),
                    Drawable(-yScale * std::sin(yAngle)), Drawable(yScale * std::cos(yAngle)), dx,
                    dy);
}

QRectF MovieClip::ContentBounds(const QTransform& matrix) const {
  const QRectF bounds = DrawnBounds(matrix);
  if (!bounds.isValid() && FFrameRect)
    return matrix.mapRect(*FFrameRect);
  return bounds;
}

QRectF MovieClip::DrawnBounds(const QTransform& matrix) const {
  QRectF bounds;
  // Each part is measured in whole twips, as the player keeps rectangles.
  const auto add = [&bounds](const QRectF& part) {
    if (!part.isValid())
      return;
    const QRectF whole(QPointF(std::round(part.left()), std::round(part.top())),
                       QPointF(std::round(part.right()), std::round(part.bottom())));
    bounds = bounds.isValid() ? bounds.united(whole) : whole;
  };
  if (FDrawing && !FDrawing->IsEmpty())
    add(matrix.mapRect(FDrawing->Shape().Bounds));
  for (const DisplayEntry& entry : FDisplay) {
    if (!entry.Clip) {
      add((entry.Matrix * matrix).mapRect(entry.Shape ? entry.Shape->Bounds : entry.Bounds));
      continue;
    }
    add(entry.Clip->ContentBounds(entry.Clip->Transform() * matrix));
  }
  return bounds;
}

void MovieClip::AddShape(const SwfShape* shape, const QTransform& matrix,
                         const SwfColorTransform& colors, int depth, int clipDepth,
                         std::shared_ptr<const SwfDisplayEffects> effects) {
  DisplayEntry entry;
  entry.Shape = shape;
  entry.Matrix = matrix;
  entry.ColorTransform = colors;
  entry.Depth = depth;
  entry.ClipDepth = clipDepth;
  entry.Effects = std::move(effects);
  Insert(std::move(entry));
}

void MovieClip::AddCharacter(DisplayEntry entry) {
  Insert(std::move(entry));
}

void MovieClip::AddChild(const std::shared_ptr<MovieClip>& child, int depth, int clipDepth) {
  DisplayEntry entry;
  entry.Clip = child.get();
  entry.Depth = depth;
  entry.ClipDepth = clipDepth;
  Insert(std::move(entry));
}

int MovieClip::MovieVersion() const {
  for (const MovieClip* clip = this; clip; clip = clip->Parent())
    if (clip->FDictionary)
      return clip->FDictionary->Version;
  return 8;
}

void MovieClip::Insert(DisplayEntry entry) {
  const auto at = std::lower_bound(
      FDisplay.begin(), FDisplay.end(), entry.Depth,
      [](const DisplayEntry& existing, int depth) { return existing.Depth < depth; });
  if (at != FDisplay.end() && at->Depth == entry.Depth)
    *at = std::move(entry);
  else
    FDisplay.insert(at, std::move(entry));
}

MovieClip::DisplayEntry* MovieClip::EntryAt(int depth) {
  const auto at = std::lower_bound(
      FDisplay.begin(), FDisplay.end(), depth,
      [](const DisplayEntry& existing, int wanted) { return existing.Depth < wanted; });
  return at != FDisplay.end() && at->Depth == depth ? &*at : nullptr;
}

MovieClip* MovieClip::ChildNamed(const QString& name) const {
  const int version = MovieVersion();
  const Qt::CaseSensitivity nameCase = version < 7 ? Qt::CaseInsensitive : Qt::CaseSensitive;
  const auto named = [&](const DisplayEntry& entry) {
    if (entry.Shape && !entry.ShapeName.isEmpty())
      return entry.ShapeName.compare(name, nameCase) == 0;
    return entry.Clip && !entry.Clip->IsUnloaded() &&
           entry.Clip->FName.compare(name, nameCase) == 0;
  };
  const auto clipOf = [this](const DisplayEntry& entry) {
    return entry.Clip ? entry.Clip : const_cast<MovieClip*>(this);
  };
  // Version 5 movies find the deepest clip of that name, later ones the first.
  if (version < 6) {
    const auto found = std::find_if(FDisplay.rbegin(), FDisplay.rend(), named);
    return found == FDisplay.rend() ? nullptr : clipOf(*found);
  }
  const auto found = std::find_if(FDisplay.begin(), FDisplay.end(), named);
  return found == FDisplay.end() ? nullptr : clipOf(*found);
}

std::optional<MovieClip::DisplayEntry> MovieClip::RemoveEntryAt(int depth) {
  DisplayEntry* found = EntryAt(depth);
  if (!found)
    return std::nullopt;
  DisplayEntry entry = std::move(*found);
  FDisplay.erase(FDisplay.begin() + (found - FDisplay.data()));
  // A named field is a member of its clip; it goes with the field.
  if (entry.Field) {
    const QString name = entry.Field->Member(QStringLiteral("_name")).ToString();
    if (const Slot* slot = OwnSlot(name); slot && slot->Value.Object() == entry.Field)
      RemoveMember(name);
  }
  return entry;
}

MovieClip::DisplayEntry* MovieClip::EntryHolding(const ScriptObject& child) {
  for (DisplayEntry& entry : FDisplay)
    if (entry.Clip == &child || entry.Field.get() == &child)
      return &entry;
  return nullptr;
}

void MovieClip::SwapDepths(int from, int to) {
  if (from == to)
    return;
  for (DisplayEntry& entry : FDisplay)
    if (entry.Depth == from || entry.Depth == to) {
      entry.SwappedByScript = entry.SwappedByScript || entry.PlacedOnFrame != 0;
      entry.Depth = entry.Depth == from ? to : from;
      entry.PlacedOnFrame = 0;
      entry.CharacterId = 0;
    }
  std::sort(
      FDisplay.begin(), FDisplay.end(),
      [](const DisplayEntry& left, const DisplayEntry& right) { return left.Depth < right.Depth; });
}
