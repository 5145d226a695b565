// TextField's prototype and createTextField.
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/TextField.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptDisplayList.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptTextFormat.h"
#include "player/swf/SwfMovie.h"

#include <cmath>

namespace {

// Scripts see depths shifted: their own start at 0, the timeline's at -16384.
constexpr int DepthOffset = 16384;

TextField* ThisField(NativeCall& call) {
  return dynamic_cast<TextField*>(call.This.Object().get());
}

// The characters a format call names: none given, the whole text; one index, that character;
// two, the characters from the first up to the second. Negative or missing ends mean the
// text's ends.
std::pair<qsizetype, qsizetype> Range(NativeCall& call, std::size_t indexes, qsizetype length) {
  qsizetype begin = 0;
  qsizetype end = length;
  if (indexes >= 1) {
    const double first = call.Number(0);
    if (first >= 0) {
      begin = qsizetype(std::min<double>(first, double(length)));
      end = indexes == 1 ? begin + 1 : end;
    }
  }
  if (indexes >= 2) {
    const double second = call.Number(1);
    if (second >= 0)
      end = qsizetype(std::min<double>(second, double(length)));
  }
  return {begin, std::max(begin, end)};
}

ActionValue GetTextFormat(NativeCall& call) {
  const TextField* field = ThisField(call);
  if (!field)
    return {};
  const qsizetype length = field->Content().Text().size();
  const auto [begin, end] = Range(call, std::min<std::size_t>(call.Arguments.size(), 2), length);
  return ScriptTextFormats::Make(call.Level(), field->FormatOver(begin, end));
}

ActionValue GetNewTextFormat(NativeCall& call) {
  const TextField* field = ThisField(call);
  return field ? ScriptTextFormats::Make(call.Level(), field->NewTextFormat()) : ActionValue();
}

// setTextFormat(format), (index, format) or (begin, end, format).
ActionValue SetTextFormat(NativeCall& call) {
  TextField* field = ThisField(call);
  if (!field || call.Arguments.empty())
    return {};
  const ScriptTextFormat* format = ScriptTextFormats::Find(call.Arguments.back());
  if (!format)
    return {};
  const qsizetype length = field->Content().Text().size();
  const auto [begin, end] =
      Range(call, std::min<std::size_t>(call.Arguments.size() - 1, 2), length);
  field->ApplyFormat(begin, end, format->Format);
  return {};
}

ActionValue SetNewTextFormat(NativeCall& call) {
  TextField* field = ThisField(call);
  if (const ScriptTextFormat* format = ScriptTextFormats::Find(call.Arg(0)); field && format)
    field->SetNewTextFormat(format->Format);
  return {};
}

ActionValue RemoveTextField(NativeCall& call) {
  if (TextField* field = ThisField(call))
    field->Remove();
  return {};
}

// Puts a new field of that definition on clip at the display-list depth, under name.
std::shared_ptr<TextField> PlaceField(PlayerLevel& level, MovieClip& clip, const QString& name,
                                      int depth, const SwfEditText& definition,
                                      const QTransform& matrix,
                                      const SwfColorTransform& colors = {}) {
  const auto field = level.Adopt(std::make_shared<TextField>(definition, clip, name));
  if (!field)
    return nullptr;
  // A field starts as its own listener, as the player's broadcasters do.
  field->DefineMember(QStringLiteral("_listeners"),
                      ScriptBuiltins::NewArray(
                          level, {ActionValue(std::static_pointer_cast<ScriptObject>(field))}));
  MovieClip::DisplayEntry entry;
  entry.Matrix = matrix;
  entry.ColorTransform = colors;
  entry.Depth = depth;
  entry.Bounds = definition.Bounds;
  entry.Field = field;
  clip.AddCharacter(std::move(entry));
  clip.SetMember(name, std::static_pointer_cast<ScriptObject>(field));
  return field;
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
  definition.ReadOnly = true;
  const QTransform matrix =
      QTransform::fromTranslate(numbers[1] * TwipsPerPixel, numbers[2] * TwipsPerPixel);
  const auto field =
      PlaceField(call.Level(), *clip, name, int(numbers[0]) + DepthOffset, definition, matrix);
  return field ? ActionValue(std::static_pointer_cast<ScriptObject>(field)) : ActionValue();
}

// A copy of a field keeps only its place: its matrix and colour transform. It starts
// empty, sized 0 by 0 and with every setting at the player's default.
void DuplicateTextField(PlayerLevel& level, TextField& field, const QString& name, int depth) {
  auto* clip = dynamic_cast<MovieClip*>(field.Member(QStringLiteral("_parent")).Object().get());
  const MovieClip::DisplayEntry* placed = clip ? clip->EntryHolding(field) : nullptr;
  if (!placed)
    return;
  const QTransform matrix = placed->Matrix;
  const SwfColorTransform colors = placed->ColorTransform;
  SwfEditText blank;
  blank.Bounds = QRectF();
  PlaceField(level, *clip, name, depth, blank, matrix, colors);
}

ActionValue TextFieldClass(PlayerLevel& level) {
  NativeClass field(level, [](NativeCall&) { return ActionValue(); });
  if (!field)
    return {};
  field.Method(QStringLiteral("getTextFormat"), GetTextFormat)
      .Method(QStringLiteral("getNewTextFormat"), GetNewTextFormat)
      .Method(QStringLiteral("setTextFormat"), SetTextFormat)
      .Method(QStringLiteral("setNewTextFormat"), SetNewTextFormat)
      .Method(QStringLiteral("removeTextField"), RemoveTextField)
      .Constant(QStringLiteral("StyleSheet"), StyleSheetClass(level));
  ScriptDisplayList::AddFieldMethods(field);
  // Text fields broadcast their changes to listeners, as AsBroadcaster's objects do.
  if (const auto broadcaster =
          ScriptGlobals::Global(level, QStringLiteral("AsBroadcaster")).Object())
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
      field.Prototype()->DefineMember(QString::fromLatin1(name),
                                      broadcaster->Member(QString::fromLatin1(name)));
  return ActionValue(std::static_pointer_cast<ScriptObject>(field.Constructor()));
}

} // namespace ScriptMakers
