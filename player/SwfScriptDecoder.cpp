#include "player/SwfScriptDecoder.h"

#include "player/SwfBudget.h"
#include "player/SwfError.h"
#include "player/SwfLimits.h"
#include "player/SwfReader.h"

#include <vector>

namespace {

bool IsInSubset(quint8 code) {
  using namespace SwfActionCode;
  switch (code) {
  case Pop:
  case GetVariable:
  case SetVariable:
  case StringAdd:
  case GetProperty:
  case DefineLocal:
  case NewObject:
  case InitObject:
  case Add2:
  case GetMember:
  case SetMember:
  case GetUrl:
  case ConstantPool:
  case Push:
  case GetUrl2:
    return true;
  default:
    return false;
  }
}

QString PoolEntry(const std::vector<QString>& pool, quint32 index) {
  if (index >= pool.size())
    throw SwfError("constant pool index " + std::to_string(index) + " out of range");
  return pool[index];
}

ActionValue ReadPushValue(SwfReader& payload, int swfVersion, const std::vector<QString>& pool) {
  const quint8 type = payload.U8();
  switch (type) {
  case 0:
    return payload.CString(swfVersion);
  case 1:
    return double(payload.Float32());
  case 2:
    return ActionValue::Null();
  case 3:
    return {};
  case 4:
    // Registers are only written by actions outside the subset, so they hold undefined.
    payload.U8();
    return {};
  case 5:
    return payload.U8() != 0;
  case 6:
    return payload.SplitDouble();
  case 7:
    return double(qint32(payload.U32()));
  case 8:
    return PoolEntry(pool, payload.U8());
  case 9:
    return PoolEntry(pool, payload.U16());
  default:
    throw SwfError("unknown push value type " + std::to_string(type));
  }
}

} // namespace

SwfScript DecodeSwfScript(QByteArrayView bytes, int swfVersion, SwfBudget& budget) {
  SwfReader reader(bytes);
  SwfScript script;
  std::vector<QString> pool;
  while (!reader.AtEnd() && script.size() < SwfLimits::MaxActionsPerScript) {
    SwfAction action;
    action.Code = reader.U8();
    if (action.Code == SwfActionCode::End || !IsInSubset(action.Code))
      break;
    SwfReader payload(action.Code >= 0x80 ? reader.Bytes(reader.U16()) : QByteArrayView());
    budget.Consume();
    switch (action.Code) {
    case SwfActionCode::ConstantPool: {
      const int count = payload.U16();
      budget.Consume(size_t(count));
      pool.clear();
      for (int i = 0; i < count; ++i)
        pool.push_back(payload.CString(swfVersion));
      break;
    }
    case SwfActionCode::Push:
      while (!payload.AtEnd()) {
        budget.Consume();
        action.Values.push_back(ReadPushValue(payload, swfVersion, pool));
      }
      break;
    case SwfActionCode::GetUrl:
      action.Url = payload.CString(swfVersion);
      action.Target = payload.CString(swfVersion);
      break;
    default:
      break;
    }
    script.push_back(std::move(action));
  }
  return script;
}
