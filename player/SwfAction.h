#pragma once

#include "player/ActionValue.h"

#include <QString>
#include <vector>

// One decoded action of a frame script. Push carries its values with constant-pool
// references already resolved; GetURL carries its literal url and target.
struct SwfAction {
  quint8 Code = 0;
  std::vector<ActionValue> Values;
  QString Url;
  QString Target;
};

using SwfScript = std::vector<SwfAction>;

// Action codes of the interpreted subset.
namespace SwfActionCode {
inline constexpr quint8 End = 0x00;
inline constexpr quint8 Pop = 0x17;
inline constexpr quint8 GetVariable = 0x1C;
inline constexpr quint8 SetVariable = 0x1D;
inline constexpr quint8 StringAdd = 0x21;
inline constexpr quint8 GetProperty = 0x22;
inline constexpr quint8 DefineLocal = 0x3C;
inline constexpr quint8 NewObject = 0x40;
inline constexpr quint8 InitObject = 0x43;
inline constexpr quint8 Add2 = 0x47;
inline constexpr quint8 GetMember = 0x4E;
inline constexpr quint8 SetMember = 0x4F;
inline constexpr quint8 GetUrl = 0x83;
inline constexpr quint8 ConstantPool = 0x88;
inline constexpr quint8 Push = 0x96;
inline constexpr quint8 GetUrl2 = 0x9A;
} // namespace SwfActionCode
