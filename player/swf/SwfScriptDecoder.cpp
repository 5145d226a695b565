#include "player/swf/SwfScriptDecoder.h"

#include "player/swf/SwfBudget.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfReader.h"

#include <algorithm>
#include <vector>

namespace {

SwfPushValue PoolReference(int index) {
  SwfPushValue value;
  value.PoolIndex = index;
  return value;
}

SwfPushValue ReadPushValue(SwfReader& payload, int swfVersion) {
  const quint8 type = payload.U8();
  switch (type) {
  case 0:
    return {payload.CString(swfVersion)};
  case 1:
    return {double(payload.Float32())};
  case 2:
    return {SwfNull{}};
  case 3:
    return {};
  case 4:
    return {{}, payload.U8()};
  case 5:
    return {payload.U8() != 0};
  case 6:
    return {payload.SplitDouble()};
  case 7:
    return {double(qint32(payload.U32()))};
  case 8:
    return PoolReference(payload.U8());
  case 9:
    return PoolReference(payload.U16());
  default:
    throw SwfError("unknown push value type " + std::to_string(type));
  }
}

// Where a branch or block lands, as a byte offset into the script; resolved to an action
// index once every action's offset is known.
struct PendingTarget {
  std::size_t Action;
  int Slot; // -1 for Branch, else the BlockEnds entry
  qint64 Offset;
};

std::shared_ptr<const SwfFunctionInfo> ReadFunction(SwfReader& payload, int swfVersion,
                                                    bool version2) {
  auto info = std::make_shared<SwfFunctionInfo>();
  info->Version2 = version2;
  info->Name = payload.CString(swfVersion);
  const int count = payload.U16();
  if (version2) {
    info->RegisterCount = payload.U8();
    const quint8 high = payload.U8();
    const quint8 low = payload.U8();
    info->Flags = quint16(high << 8 | low);
  }
  for (int i = 0; i < count; ++i) {
    info->ParamRegisters.push_back(version2 ? payload.U8() : 0);
    info->Params.push_back(payload.CString(swfVersion));
  }
  return info;
}

class ScriptDecoder {
public:
  ScriptDecoder(int swfVersion, SwfBudget& budget) : FVersion(swfVersion), FBudget(budget) {}

  SwfScript Decode(QByteArrayView bytes) {
    SwfReader reader(bytes);
    bool pastEnd = false;
    while (!reader.AtEnd() && FScript.size() < SwfLimits::MaxActionsPerScript) {
      const qsizetype start = reader.Position();
      if (!pastEnd) {
        pastEnd = !ReadAction(reader);
        continue;
      }
      // Actions after an End run only when a branch leads there; what does not read as
      // actions there is dropped, and the script ends at the End.
      const std::size_t actions = FScript.size();
      const std::size_t pending = FPending.size();
      try {
        ReadAction(reader);
      } catch (const SwfError&) {
        FScript.resize(actions);
        FOffsets.resize(actions);
        FPending.resize(pending);
        FEnd = start;
        break;
      }
    }
    if (FEnd < 0)
      FEnd = reader.Position();
    ResolveTargets();
    return std::move(FScript);
  }

private:
  // Reads one action; false for an End, which is kept only when actions follow it.
  bool ReadAction(SwfReader& reader) {
    const qsizetype start = reader.Position();
    SwfAction action;
    action.Code = reader.U8();
    if (action.Code == SwfActionCode::End && reader.AtEnd()) {
      FEnd = start;
      return false;
    }
    FOffsets.push_back(start);
    SwfReader payload(action.Code >= 0x80 ? reader.Bytes(reader.U16()) : QByteArrayView());
    FBudget.Consume();
    ReadPayload(action, payload, reader.Position());
    const bool end = action.Code == SwfActionCode::End;
    FScript.push_back(std::move(action));
    return !end;
  }

  void ReadPayload(SwfAction& action, SwfReader& payload, qint64 next) {
    using namespace SwfActionCode;
    const std::size_t index = FScript.size();
    switch (action.Code) {
    case ConstantPool: {
      const int count = payload.U16();
      FBudget.Consume(size_t(count));
      for (int i = 0; i < count; ++i)
        action.Pool.push_back(payload.CString(FVersion));
      break;
    }
    case Push:
      while (!payload.AtEnd()) {
        FBudget.Consume();
        action.Values.push_back(ReadPushValue(payload, FVersion));
      }
      break;
    case GetUrl:
      action.Url = payload.CString(FVersion);
      action.Target = payload.CString(FVersion);
      break;
    case SetTarget:
    case GoToLabel:
      action.Url = payload.CString(FVersion);
      break;
    case GotoFrame:
      action.Number = payload.U16();
      break;
    case StoreRegister:
      action.Register = payload.U8();
      break;
    case GetUrl2:
      action.Number = payload.U8();
      break;
    case WaitForFrame:
      action.Number = payload.U16();
      action.Branch = index + 1 + payload.U8();
      break;
    case WaitForFrame2:
      action.Branch = index + 1 + payload.U8();
      break;
    case GotoFrame2:
      action.Number = payload.U8();
      if (action.Number & 0x02) // scene bias: frames to add to the one on the stack
        action.Register = payload.U16();
      break;
    case Jump:
    case If:
      FPending.push_back({index, -1, next + payload.S16()});
      break;
    case With:
      FPending.push_back({index, 0, next + payload.U16()});
      break;
    case DefineFunction:
    case DefineFunction2:
      action.Function = ReadFunction(payload, FVersion, action.Code == DefineFunction2);
      FPending.push_back({index, 0, next + payload.U16()});
      break;
    case Try: {
      action.Number = payload.U8();
      const qint64 tryEnd = next + payload.U16();
      const qint64 catchEnd = tryEnd + payload.U16();
      const qint64 finallyEnd = catchEnd + payload.U16();
      if (action.Number & 0x04)
        action.Register = payload.U8();
      else
        action.Url = payload.CString(FVersion);
      FPending.push_back({index, 0, tryEnd});
      FPending.push_back({index, 1, catchEnd});
      FPending.push_back({index, 2, finallyEnd});
      break;
    }
    default:
      break; // no payload the interpreter uses
    }
  }

  void ResolveTargets() {
    for (const PendingTarget& pending : FPending) {
      std::size_t target = NoAction;
      // The end, or just past it; a branch anywhere past the end ends the script there.
      const bool pastEnd = pending.Slot < 0 ? pending.Offset >= FEnd : pending.Offset <= FEnd + 1;
      if (pending.Offset >= FEnd && pastEnd) {
        target = FScript.size();
      } else {
        const auto found = std::lower_bound(FOffsets.begin(), FOffsets.end(), pending.Offset);
        if (found != FOffsets.end() && *found == pending.Offset)
          target = std::size_t(found - FOffsets.begin());
      }
      SwfAction& action = FScript[pending.Action];
      (pending.Slot < 0 ? action.Branch : action.BlockEnds[std::size_t(pending.Slot)]) = target;
    }
  }

  int FVersion;
  SwfBudget& FBudget;
  SwfScript FScript;
  std::vector<qint64> FOffsets;
  qint64 FEnd = -1; // offset of End, or of the end of the data
  std::vector<PendingTarget> FPending;
};

} // namespace

SwfScript DecodeSwfScript(QByteArrayView bytes, int swfVersion, SwfBudget& budget) {
  return ScriptDecoder(swfVersion, budget).Decode(bytes);
}
