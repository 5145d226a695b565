#include "player/swf/SwfButtonReader.h"

#include "player/swf/SwfBudget.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfFilterReader.h"
#include "player/swf/SwfReader.h"
#include "player/swf/SwfScriptDecoder.h"

#include <algorithm>

namespace {

constexpr quint8 HasBlendMode = 0x20;
constexpr quint8 HasFilterList = 0x10;
constexpr int StateBits = 4; // up, over, down and hit, from the lowest bit

// Reads the records up to their end flag into each state they show in, in depth order.
void ReadRecords(SwfReader& reader, int buttonVersion, SwfButton& button, SwfBudget& budget) {
  for (quint8 flags = reader.U8(); flags != 0; flags = reader.U8()) {
    budget.Consume();
    SwfTimeline::Placement record;
    record.CharacterId = reader.U16();
    record.Depth = reader.U16();
    record.Matrix = reader.Matrix();
    if (buttonVersion == 2) {
      record.ColorTransform = reader.ColorTransform(true);
      if (flags & HasFilterList)
        record.Effects.Filters = ReadSwfFilters(reader);
      if (flags & HasBlendMode)
        record.Effects.Blend = SwfBlendModeOf(reader.U8());
    }
    for (int state = 0; state < StateBits; ++state)
      if (flags & (1 << state))
        button.States[std::size_t(state)].Frame1.push_back(record);
  }
  for (SwfTimeline& state : button.States) {
    std::stable_sort(state.Frame1.begin(), state.Frame1.end(),
                     [](const auto& a, const auto& b) { return a.Depth < b.Depth; });
    // A state is a timeline of one frame that places its records.
    SwfFrame frame;
    for (const SwfTimeline::Placement& record : state.Frame1) {
      SwfFrameItem item;
      item.Depth = record.Depth;
      item.CharacterId = record.CharacterId;
      item.Matrix = record.Matrix;
      item.ColorTransform = record.ColorTransform;
      if (!record.Effects.IsPlain()) {
        item.Filters = record.Effects.Filters;
        item.Blend = record.Effects.Blend;
      }
      frame.Items.push_back(std::move(item));
    }
    state.Frames.push_back(std::move(frame));
  }
}

// DefineButton2's condition actions: each but the last gives its size, the last runs to the
// end of the tag.
void ReadConditionActions(SwfReader& reader, int swfVersion, SwfButton& button, SwfBudget& budget) {
  for (bool last = false; !last;) {
    budget.Consume();
    const qsizetype size = reader.U16();
    last = size == 0;
    const quint16 conditions = reader.U16();
    // The size counts its own two bytes and the conditions.
    if (!last && size < 4)
      throw SwfError("button action shorter than its header");
    const qsizetype scriptBytes = last ? reader.Remaining() : size - 4;
    if (scriptBytes > reader.Remaining())
      throw SwfError("button action longer than its tag");
    SwfButton::Action action;
    action.Conditions = conditions & 0x1FF;
    action.KeyCode = conditions >> 9;
    action.Script = DecodeSwfScript(reader.Bytes(scriptBytes), swfVersion, budget);
    button.Actions.push_back(std::move(action));
  }
}

} // namespace

SwfButton ReadSwfButton(SwfReader& reader, int buttonVersion, int swfVersion, SwfBudget& budget) {
  SwfButton button;
  if (buttonVersion == 2)
    button.TrackAsMenu = reader.U8() & 0x01;
  const qsizetype offsetAt = reader.Position();
  const qsizetype actionOffset = buttonVersion == 2 ? reader.U16() : 0;
  ReadRecords(reader, buttonVersion, button, budget);
  // Actions cut short keep those read before the cut; the button still shows its states.
  try {
    if (buttonVersion == 1) {
      // DefineButton's one script runs when the button is released over it.
      SwfButton::Action action;
      action.Conditions = SwfButton::OverDownToOverUp;
      action.Script = DecodeSwfScript(reader.Bytes(reader.Remaining()), swfVersion, budget);
      if (!action.Script.empty())
        button.Actions.push_back(std::move(action));
    } else if (actionOffset != 0) {
      // The offset counts from its own field; actions never overlap the records.
      const qsizetype gap = offsetAt + actionOffset - reader.Position();
      if (gap < 0)
        throw SwfError("button actions start inside the button's records");
      reader.Skip(gap);
      ReadConditionActions(reader, swfVersion, button, budget);
    }
  } catch (const SwfError&) {
  }
  return button;
}

void ReadSwfButtonColorTransform(SwfReader& reader, SwfButton& button) {
  const SwfColorTransform transform = reader.ColorTransform(false);
  for (SwfTimeline& state : button.States) {
    for (SwfTimeline::Placement& record : state.Frame1)
      record.ColorTransform = transform;
    for (SwfFrame& frame : state.Frames)
      for (SwfFrameItem& item : frame.Items)
        item.ColorTransform = transform;
  }
}
