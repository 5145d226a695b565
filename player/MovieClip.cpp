#include "player/MovieClip.h"

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
  };
  return names;
}

} // namespace

MovieClip::MovieClip(int level, const QRectF& frameRect) : FLevel(level), FFrameRect(frameRect) {}

MovieClip::MovieClip(MovieClip* parent, const QString& name, const QTransform& matrix)
    : FParent(std::static_pointer_cast<MovieClip>(parent->shared_from_this())),
      FLevel(parent->FLevel), FName(name) {
  SetMatrix(matrix);
}

void MovieClip::SetMatrix(const QTransform& matrix) {
  // Split the placement matrix into the clip's properties and the skew between its axes,
  // which together give the matrix back whole.
  FX = matrix.dx() / TwipsPerPixel;
  FY = matrix.dy() / TwipsPerPixel;
  FXScale = std::hypot(matrix.m11(), matrix.m12()) * 100;
  FYScale = std::hypot(matrix.m21(), matrix.m22()) * 100;
  const bool mirrored = matrix.determinant() < 0;
  if (mirrored)
    FYScale = -FYScale;
  const double xAngle = std::atan2(matrix.m12(), matrix.m11());
  const double yAngle =
      mirrored ? std::atan2(matrix.m21(), -matrix.m22()) : std::atan2(-matrix.m21(), matrix.m22());
  FRotation = xAngle * 180 / M_PI;
  FSkew = std::remainder(yAngle - xAngle, 2 * M_PI);
}

std::optional<MovieClip::Property> MovieClip::PropertyByName(const QString& name) {
  const auto found = PropertyNames().constFind(name);
  if (found == PropertyNames().constEnd())
    return std::nullopt;
  return *found;
}

bool MovieClip::IsKnownProperty(int number) {
  for (const Property property : PropertyNames())
    if (property == number)
      return true;
  return false;
}

ActionValue MovieClip::Member(const QString& name) const {
  if (name.startsWith(u'_')) {
    if (const auto property = PropertyByName(name.toLower()))
      return GetProperty(*property);
    if (name == u"_parent") {
      const auto parent = FParent.lock();
      return parent ? ActionValue(std::static_pointer_cast<ScriptObject>(parent)) : ActionValue();
    }
  }
  return ScriptObject::Member(name);
}

void MovieClip::SetMember(const QString& name, const ActionValue& value) {
  // Property names ignore case in every version.
  if (const auto property = name.startsWith(u'_') ? PropertyByName(name.toLower()) : std::nullopt)
    SetProperty(*property, value);
  else
    ScriptObject::SetMember(name, value);
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
    return Transform().mapRect(ContentBounds()).width() / TwipsPerPixel;
  case Height:
    return Transform().mapRect(ContentBounds()).height() / TwipsPerPixel;
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
  default:
    return {};
  }
}

void MovieClip::SetProperty(int property, const ActionValue& value) {
  if (property == Name) {
    const auto parent = FParent.lock();
    if (parent && parent->ScriptObject::Member(FName).Object().get() == this) {
      parent->RemoveMember(FName);
      FName = value.ToString();
      parent->ScriptObject::SetMember(FName, shared_from_this());
    }
    return;
  }
  if (property == Visible) {
    // "0" and "1" arrive as text from the host, true and false from scripts.
    const double number = value.ToNumber();
    FVisible = value.IsBoolean()
                   ? value.ToBoolean()
                   : value.ToString() == u"true" || (number != 0 && !std::isnan(number));
    return;
  }
  const double number = value.ToNumber();
  if (!std::isfinite(number))
    return;
  FTransformedByScript = FTransformedByScript || property == X || property == Y ||
                         property == XScale || property == YScale || property == Alpha ||
                         property == Width || property == Height || property == Rotation;
  switch (property) {
  case X:
    FX = number;
    break;
  case Y:
    FY = number;
    break;
  case XScale:
    FXScale = number;
    break;
  case YScale:
    FYScale = number;
    break;
  case Alpha:
    FColorTransform.Multiply[3] = number / 100;
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
  const QRectF bounds = ContentBounds();
  const double extent = horizontal ? bounds.width() : bounds.height();
  if (extent <= 0)
    return;
  (horizontal ? FXScale : FYScale) = pixels * TwipsPerPixel / extent * 100;
}

QString MovieClip::TargetPath() const {
  const auto parent = FParent.lock();
  if (!parent)
    return QStringLiteral("_level") + QString::number(FLevel);
  return parent->TargetPath() + u'/' + FName;
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

QTransform MovieClip::Transform() const {
  const double xAngle = FRotation * M_PI / 180;
  const double yAngle = xAngle + FSkew;
  const double xScale = FXScale / 100;
  const double yScale = FYScale / 100;
  return QTransform(xScale * std::cos(xAngle), xScale * std::sin(xAngle),
                    -yScale * std::sin(yAngle), yScale * std::cos(yAngle), FX * TwipsPerPixel,
                    FY * TwipsPerPixel);
}

QRectF MovieClip::ContentBounds() const {
  QRectF bounds;
  for (const DisplayEntry& entry : FDisplay) {
    const QRectF part =
        entry.Clip ? entry.Clip->Transform().mapRect(entry.Clip->ContentBounds())
                   : entry.Matrix.mapRect(entry.Shape ? entry.Shape->Bounds : entry.Bounds);
    if (part.isValid())
      bounds = bounds.isValid() ? bounds.united(part) : part;
  }
  if (!bounds.isValid() && FFrameRect)
    return *FFrameRect;
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
  ScriptObject::SetMember(child->FName, std::static_pointer_cast<ScriptObject>(child));
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

std::optional<MovieClip::DisplayEntry> MovieClip::RemoveEntryAt(int depth) {
  DisplayEntry* found = EntryAt(depth);
  if (!found)
    return std::nullopt;
  DisplayEntry entry = std::move(*found);
  FDisplay.erase(FDisplay.begin() + (found - FDisplay.data()));
  if (entry.Clip && ScriptObject::Member(entry.Clip->FName).Object().get() == entry.Clip)
    RemoveMember(entry.Clip->FName);
  return entry;
}
