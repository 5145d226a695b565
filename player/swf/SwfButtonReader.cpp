#include "player/swf/SwfButtonReader.h"

#include "player/swf/SwfBudget.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfReader.h"

#include <algorithm>

namespace {

constexpr quint8 HasBlendMode = 0x20;
constexpr quint8 HasFilterList = 0x10;
constexpr quint8 UpState = 0x01;

// Skips one filter of a filter list by the size its kind gives it.
void SkipFilter(SwfReader& reader) {
  const quint8 kind = reader.U8();
  switch (kind) {
  case 0: // drop shadow
    reader.Skip(23);
    break;
  case 1: // blur
    reader.Skip(9);
    break;
  case 2: // glow
    reader.Skip(15);
    break;
  case 3: // bevel
    reader.Skip(27);
    break;
  case 4: // gradient glow
  case 7: // gradient bevel
    reader.Skip(qsizetype(reader.U8()) * 5 + 19);
    break;
  case 5: { // convolution
    const int columns = reader.U8();
    const int rows = reader.U8();
    reader.Skip(8 + qsizetype(columns) * rows * 4 + 5);
    break;
  }
  case 6: // colour matrix
    reader.Skip(80);
    break;
  default:
    throw SwfError("unknown filter " + std::to_string(kind));
  }
}

} // namespace

SwfTimeline ReadSwfButtonUpState(SwfReader& reader, int buttonVersion, SwfBudget& budget) {
  if (buttonVersion == 2) {
    reader.U8();  // track as menu
    reader.U16(); // offset of the actions
  }
  std::vector<SwfTimeline::Placement> records;
  for (quint8 flags = reader.U8(); flags != 0; flags = reader.U8()) {
    budget.Consume();
    SwfTimeline::Placement record;
    record.CharacterId = reader.U16();
    record.Depth = reader.U16();
    record.Matrix = reader.Matrix();
    if (buttonVersion == 2) {
      reader.SkipColorTransform(true);
      if (flags & HasFilterList)
        for (int filters = reader.U8(); filters > 0; --filters)
          SkipFilter(reader);
      if (flags & HasBlendMode)
        reader.U8();
    }
    if (flags & UpState)
      records.push_back(record);
  }
  std::stable_sort(records.begin(), records.end(),
                   [](const auto& a, const auto& b) { return a.Depth < b.Depth; });
  SwfTimeline upState;
  // The up state is the button's one frame, placed in depth order.
  SwfFrame frame;
  for (const SwfTimeline::Placement& record : records) {
    SwfFrameItem item;
    item.Depth = record.Depth;
    item.CharacterId = record.CharacterId;
    item.Matrix = record.Matrix;
    frame.Items.push_back(std::move(item));
  }
  upState.Frames.push_back(std::move(frame));
  upState.Frame1 = std::move(records);
  return upState;
}
