#include "player/PlayerStage.h"

#include "player/script/ActionInterpreter.h"
#include "player/swf/SwfError.h"

#include <stdexcept>

namespace {

// The rate of a movie that declares none.
constexpr double DefaultFrameRate = 12;

const QString LevelPrefix = QStringLiteral("_level");

// The level number of a "_levelN" segment, or -1 for any other segment.
int LevelNumber(QStringView segment) {
  if (!segment.startsWith(LevelPrefix) || segment.size() == LevelPrefix.size())
    return -1;
  const QStringView digits = segment.sliced(LevelPrefix.size());
  for (const QChar c : digits)
    if (c < u'0' || c > u'9')
      return -1;
  bool ok = false;
  const int level = digits.toInt(&ok);
  return ok ? level : -1;
}

// The level a host path leads into: that of its last "_levelN" segment, else level 0.
int PathLevel(QStringView path) {
  int level = 0;
  for (const QStringView segment : path.tokenize(u'.'))
    if (const int number = LevelNumber(segment); number >= 0)
      level = number;
  return level;
}

void RequireKnownProperty(int property) {
  if (!MovieClip::IsKnownProperty(property))
    throw std::runtime_error("unknown property " + std::to_string(property));
}

} // namespace

void PlayerStage::LoadLevel(int level, std::shared_ptr<const SwfMovie> movie,
                            const QString& typeName, const QString& directory,
                            const std::vector<std::pair<QString, ActionValue>>& rootMembers) {
  FLevels.erase(level);
  // Installed before its scripts run, so a host answering the clip's "load" finds it. The
  // local reference keeps it alive should the host replace the level meanwhile.
  const auto loaded =
      std::make_shared<PlayerLevel>(level, std::move(movie), typeName, &FFrames, directory);
  loaded->Root()->SetStageMouse(&FMouse.Position());
  loaded->Root()->SetStage(this);
  FLevels[level] = loaded;
  for (const auto& [name, value] : rootMembers)
    loaded->Root()->SetMember(name, value);
  if (!loaded->Movie().ActionScript3) // its bytecode is for another machine
    FFrames.RunInitScripts(*loaded, *loaded->Root(), loaded->Movie(), directory);
  try {
    FFrames.StartLevel(*loaded);
  } catch (const SwfError&) {
    if (const auto found = FLevels.find(level); found != FLevels.end() && found->second == loaded)
      FLevels.erase(found);
    throw;
  }
}

void PlayerStage::AdvanceFrame() {
  FClock.Advance(1000.0 / FrameRate());
  FFrames.AdvanceFrame();
}

double PlayerStage::FrameRate() const {
  // Every level plays at the rate of level 0's movie; without one, the lowest level's.
  for (const auto& [number, level] : FLevels)
    if (level->Movie().FrameRate > 0)
      return level->Movie().FrameRate;
  return DefaultFrameRate;
}

std::shared_ptr<MovieClip> PlayerStage::LevelRoot(int level) const {
  const auto found = FLevels.find(level);
  return found == FLevels.end() ? nullptr : found->second->Root();
}

std::shared_ptr<ScriptObject> PlayerStage::PathStart(MovieClip* origin) const {
  if (origin)
    return origin->shared_from_this();
  return LevelRoot(0);
}

ActionValue PlayerStage::Resolve(QStringView path, MovieClip* origin) const {
  // A "_levelN" segment selects that level's root whatever comes before it, so resolution
  // starts at the last one (even "_root._level101" with nothing on level 0).
  QList<QStringView> segments;
  for (const QStringView segment : path.tokenize(u'.'))
    segments.append(segment);
  qsizetype start = segments.size();
  while (start > 0 && LevelNumber(segments[start - 1]) < 0)
    --start;
  if (start > 0)
    segments.remove(0, start - 1);

  ActionValue current;
  bool first = true;
  for (const QStringView segment : segments) {
    if (const int level = LevelNumber(segment); level >= 0) {
      current = ActionValue(LevelRoot(level));
    } else if (segment == u"_root") {
      current = ActionValue(LevelRoot(origin ? origin->Level() : 0));
    } else if (first && origin && segment == u"this") {
      current = ActionValue(origin->shared_from_this());
    } else {
      const auto object = first ? PathStart(origin) : current.Object();
      if (!object)
        return {};
      current = object->Member(segment.toString());
    }
    if (current.IsUndefined())
      return {};
    first = false;
  }
  return current;
}

void PlayerStage::Assign(QStringView path, const ActionValue& value, MovieClip* origin) const {
  const qsizetype dot = path.lastIndexOf(u'.');
  const auto object = dot < 0 ? PathStart(origin) : Resolve(path.first(dot), origin).Object();
  if (object)
    object->SetMember(path.sliced(dot + 1).toString(), value);
}

void PlayerStage::SendFSCommand(const QString& command, const QString& args) const {
  if (FOnFSCommand)
    FOnFSCommand(command, args);
}

void PlayerStage::SendTrace(const QString& text) const {
  if (FOnTrace)
    FOnTrace(text);
}

QString PlayerStage::GetVariable(const QString& name) const {
  const ActionValue value = Resolve(name, nullptr);
  return value.IsUndefined() ? QString() : value.ToString();
}

void PlayerStage::SetVariable(const QString& name, const QString& value) {
  // Written as a script's assignment is, so the clip's watchers and setters learn of the
  // host's value; what they start (frames gone to, events) runs before the call returns.
  const qsizetype dot = name.lastIndexOf(u'.');
  const ActionValue owner =
      dot < 0 ? ActionValue(PathStart(nullptr)) : Resolve(QStringView(name).first(dot), nullptr);
  if (!owner.Object())
    return;
  const auto level = FLevels.find(PathLevel(name));
  if (level == FLevels.end()) {
    owner.Object()->SetMember(name.sliced(dot + 1), value);
    return;
  }
  const std::shared_ptr<PlayerLevel> keep = level->second;
  ActionInterpreter(*this, *keep, *keep->Root()).SetMember(owner, name.sliced(dot + 1), value);
  FFrames.RunQueue();
}

std::shared_ptr<MovieClip> PlayerStage::TargetClip(const QString& target) const {
  const auto object =
      target.isEmpty() || target == u"/" ? LevelRoot(0) : Resolve(target, nullptr).Object();
  return std::dynamic_pointer_cast<MovieClip>(object);
}

QString PlayerStage::GetProperty(const QString& target, int property) const {
  RequireKnownProperty(property);
  const auto clip = TargetClip(target);
  if (!clip)
    throw std::runtime_error("no movie clip at " + target.toStdString());
  // The host measures a clip that draws nothing by its movie's frame.
  const bool extent = property == MovieClip::Width || property == MovieClip::Height;
  if (extent && !clip->DrawnBounds().isValid()) {
    const QRectF frame = clip->Transform().mapRect(clip->ContentBounds());
    return ActionValue((property == MovieClip::Width ? frame.width() : frame.height()) /
                       TwipsPerPixel)
        .ToString();
  }
  const ActionValue value = clip->GetProperty(property);
  if (value.IsBoolean())
    return value.ToBoolean() ? QStringLiteral("1") : QStringLiteral("0");
  return value.ToString();
}

void PlayerStage::SetProperty(const QString& target, int property, const QString& value) {
  RequireKnownProperty(property);
  if (const auto clip = TargetClip(target))
    clip->SetProperty(property, value);
}
