// Color: reads and sets the colour transform of the clip it was made for.
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"

#include <cmath>

namespace {

const QString TargetName = QStringLiteral("target");

// The clip a Color works on: the clip it was given, or the clip its path names from the
// level's root.
MovieClip* Target(NativeCall& call) {
  const ActionValue target = call.Runtime.GetMember(call.This, TargetName);
  if (auto* clip = dynamic_cast<MovieClip*>(target.Object().get()))
    return clip;
  if (target.IsUndefined() || target.IsNull())
    return nullptr;
  const auto root = call.Level().Root();
  const ActionValue resolved =
      call.Runtime.Stage().Resolve(call.Runtime.ToText(target), root.get());
  return dynamic_cast<MovieClip*>(resolved.Object().get());
}

ActionValue SetRGB(NativeCall& call) {
  MovieClip* clip = Target(call);
  if (!clip || !call.Has(0))
    return {};
  const quint32 rgb = quint32(qint64(call.Number(0)));
  SwfColorTransform transform = clip->ColorTransform();
  for (int channel = 0; channel < 3; ++channel) {
    transform.Multiply[std::size_t(channel)] = 0;
    transform.Add[std::size_t(channel)] = double((rgb >> (16 - 8 * channel)) & 0xFF);
  }
  clip->SetColorTransform(transform);
  clip->MarkTransformedByScript();
  return {};
}

ActionValue GetRGB(NativeCall& call) {
  const MovieClip* clip = Target(call);
  if (!clip)
    return {};
  const SwfColorTransform& transform = clip->ColorTransform();
  // The offsets are shifted into place and combined whole, so a negative one fills the bits
  // above it, as the player's own computation does.
  qint32 rgb = 0;
  for (std::size_t channel = 0; channel < 3; ++channel)
    rgb |= qint32(quint32(qint32(transform.Add[channel])) << (16 - 8 * channel));
  return double(rgb);
}

const char* const Channels[] = {"r", "g", "b", "a"};

// The player keeps a transform in 16-bit fields: multipliers in 1/256 steps, whole offsets,
// both wrapping; NaN and infinities read as 0.
double Fixed16(double value) {
  return double(qint16(quint16(quint32(ScriptOperators::ToInt32(value)) & 0xFFFF)));
}

// setTransform({ra, rb, ga, gb, ba, bb, aa, ab}): multipliers in percent, offsets; members the
// object lacks itself (inherited ones too) stay as they are, one it holds as undefined is 0.
ActionValue SetTransform(NativeCall& call) {
  MovieClip* clip = Target(call);
  const ActionValue given = call.Arg(0);
  if (!clip || !given.Object())
    return {};
  SwfColorTransform transform = clip->ColorTransform();
  for (std::size_t channel = 0; channel < 4; ++channel) {
    const QString prefix = QString::fromLatin1(Channels[channel]);
    if (given.Object()->HasOwnMember(prefix + u'a')) {
      const ActionValue multiplier = call.Runtime.GetMember(given, prefix + u'a');
      transform.Multiply[channel] = Fixed16(call.Runtime.ToNumber(multiplier) * 2.56) / 256;
    }
    if (given.Object()->HasOwnMember(prefix + u'b')) {
      const ActionValue offset = call.Runtime.GetMember(given, prefix + u'b');
      transform.Add[channel] = Fixed16(call.Runtime.ToNumber(offset));
    }
  }
  clip->SetColorTransform(transform);
  clip->MarkTransformedByScript();
  return {};
}

ActionValue GetTransform(NativeCall& call) {
  const MovieClip* clip = Target(call);
  if (!clip)
    return {};
  const auto object = call.Level().NewObject();
  if (!object)
    return {};
  const SwfColorTransform& transform = clip->ColorTransform();
  for (std::size_t channel = 0; channel < 4; ++channel) {
    const QString prefix = QString::fromLatin1(Channels[channel]);
    object->SetMember(prefix + u'a', transform.Multiply[channel] * 100);
    object->SetMember(prefix + u'b', transform.Add[channel]);
  }
  return ActionValue(object);
}

} // namespace

namespace ScriptMakers {

ActionValue ColorClass(PlayerLevel& level) {
  NativeClass color(level, [](NativeCall& call) -> ActionValue {
    if (const auto object = call.ThisObject(); object && call.Constructing)
      object->DefineMember(TargetName, call.Arg(0));
    return {};
  });
  if (!color)
    return {};
  color.Method(QStringLiteral("setRGB"), SetRGB)
      .Method(QStringLiteral("getRGB"), GetRGB)
      .Method(QStringLiteral("setTransform"), SetTransform)
      .Method(QStringLiteral("getTransform"), GetTransform);
  return ActionValue(std::static_pointer_cast<ScriptObject>(color.Constructor()));
}

} // namespace ScriptMakers
