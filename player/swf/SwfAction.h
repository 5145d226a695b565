#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <limits>
#include <memory>
#include <variant>
#include <vector>

// Index of an action in its script; NoAction marks a branch or block end that does not
// fall on an action boundary of the script.
inline constexpr std::size_t NoAction = std::numeric_limits<std::size_t>::max();

// The null constant of a Push action, apart from undefined (the empty alternative).
struct SwfNull {};

// One value of a Push action: a constant (undefined, null, boolean, number or text), a
// register read when Register is set, or an entry of the constant pool when PoolIndex is set.
// A pool entry is read when the value is pushed, from the pool that the ConstantPool action
// run last set up, which may belong to an earlier script.
struct SwfPushValue {
  std::variant<std::monostate, SwfNull, bool, double, QString> Value;
  int Register = -1;
  int PoolIndex = -1;
};

// What DefineFunction and DefineFunction2 declare.
struct SwfFunctionInfo {
  QString Name;
  std::vector<QString> Params;
  std::vector<int> ParamRegisters; // one per parameter; 0 keeps it a named local
  int RegisterCount = 0;
  quint16 Flags = 0; // DefineFunction2's preload and suppress flags
  bool Version2 = false;
};

// One decoded action. Only the fields its code uses are set: Push its values, ConstantPool
// its entries, GetURL its url and target, branches and blocks the index of the action they
// lead to, so jumps never depend on byte offsets at run time.
struct SwfAction {
  quint8 Code = 0;
  std::vector<SwfPushValue> Values;
  std::vector<QString> Pool; // ConstantPool's entries
  QString Url;               // GetURL url; SetTarget and GoToLabel target; Try's catch variable
  QString Target;            // GetURL target
  int Number = 0;            // frame or flags, by action
  int Register = 0;          // StoreRegister's register and Try's catch register
  // If and Jump: the action jumped to; WaitForFrame*: the action after those skipped.
  std::size_t Branch = NoAction;
  // Where the blocks following DefineFunction, With and Try end: body, catch, finally.
  std::array<std::size_t, 3> BlockEnds{NoAction, NoAction, NoAction};
  std::shared_ptr<const SwfFunctionInfo> Function;
};

using SwfScript = std::vector<SwfAction>;

// Action codes, by the player version that introduced them.
namespace SwfActionCode {
inline constexpr quint8 End = 0x00;
inline constexpr quint8 NextFrame = 0x04;
inline constexpr quint8 PrevFrame = 0x05;
inline constexpr quint8 Play = 0x06;
inline constexpr quint8 Stop = 0x07;
inline constexpr quint8 ToggleQuality = 0x08;
inline constexpr quint8 StopSounds = 0x09;
inline constexpr quint8 Add = 0x0A;
inline constexpr quint8 Subtract = 0x0B;
inline constexpr quint8 Multiply = 0x0C;
inline constexpr quint8 Divide = 0x0D;
inline constexpr quint8 Equals = 0x0E;
inline constexpr quint8 Less = 0x0F;
inline constexpr quint8 And = 0x10;
inline constexpr quint8 Or = 0x11;
inline constexpr quint8 Not = 0x12;
inline constexpr quint8 StringEquals = 0x13;
inline constexpr quint8 StringLength = 0x14;
inline constexpr quint8 StringExtract = 0x15;
inline constexpr quint8 Pop = 0x17;
inline constexpr quint8 ToInteger = 0x18;
inline constexpr quint8 GetVariable = 0x1C;
inline constexpr quint8 SetVariable = 0x1D;
inline constexpr quint8 SetTarget2 = 0x20;
inline constexpr quint8 StringAdd = 0x21;
inline constexpr quint8 GetProperty = 0x22;
inline constexpr quint8 SetProperty = 0x23;
inline constexpr quint8 CloneSprite = 0x24;
inline constexpr quint8 RemoveSprite = 0x25;
inline constexpr quint8 Trace = 0x26;
inline constexpr quint8 StartDrag = 0x27;
inline constexpr quint8 EndDrag = 0x28;
inline constexpr quint8 StringLess = 0x29;
inline constexpr quint8 Throw = 0x2A;
inline constexpr quint8 CastOp = 0x2B;
inline constexpr quint8 ImplementsOp = 0x2C;
inline constexpr quint8 RandomNumber = 0x30;
inline constexpr quint8 MBStringLength = 0x31;
inline constexpr quint8 CharToAscii = 0x32;
inline constexpr quint8 AsciiToChar = 0x33;
inline constexpr quint8 GetTime = 0x34;
inline constexpr quint8 MBStringExtract = 0x35;
inline constexpr quint8 MBCharToAscii = 0x36;
inline constexpr quint8 MBAsciiToChar = 0x37;
inline constexpr quint8 Delete = 0x3A;
inline constexpr quint8 Delete2 = 0x3B;
inline constexpr quint8 DefineLocal = 0x3C;
inline constexpr quint8 CallFunction = 0x3D;
inline constexpr quint8 Return = 0x3E;
inline constexpr quint8 Modulo = 0x3F;
inline constexpr quint8 NewObject = 0x40;
inline constexpr quint8 DefineLocal2 = 0x41;
inline constexpr quint8 InitArray = 0x42;
inline constexpr quint8 InitObject = 0x43;
inline constexpr quint8 TypeOf = 0x44;
inline constexpr quint8 TargetPath = 0x45;
inline constexpr quint8 Enumerate = 0x46;
inline constexpr quint8 Add2 = 0x47;
inline constexpr quint8 Less2 = 0x48;
inline constexpr quint8 Equals2 = 0x49;
inline constexpr quint8 ToNumber = 0x4A;
inline constexpr quint8 ToString = 0x4B;
inline constexpr quint8 PushDuplicate = 0x4C;
inline constexpr quint8 StackSwap = 0x4D;
inline constexpr quint8 GetMember = 0x4E;
inline constexpr quint8 SetMember = 0x4F;
inline constexpr quint8 Increment = 0x50;
inline constexpr quint8 Decrement = 0x51;
inline constexpr quint8 CallMethod = 0x52;
inline constexpr quint8 NewMethod = 0x53;
inline constexpr quint8 InstanceOf = 0x54;
inline constexpr quint8 Enumerate2 = 0x55;
inline constexpr quint8 BitAnd = 0x60;
inline constexpr quint8 BitOr = 0x61;
inline constexpr quint8 BitXor = 0x62;
inline constexpr quint8 BitLShift = 0x63;
inline constexpr quint8 BitRShift = 0x64;
inline constexpr quint8 BitURShift = 0x65;
inline constexpr quint8 StrictEquals = 0x66;
inline constexpr quint8 Greater = 0x67;
inline constexpr quint8 StringGreater = 0x68;
inline constexpr quint8 Extends = 0x69;
inline constexpr quint8 GotoFrame = 0x81;
inline constexpr quint8 GetUrl = 0x83;
inline constexpr quint8 StoreRegister = 0x87;
inline constexpr quint8 ConstantPool = 0x88;
inline constexpr quint8 WaitForFrame = 0x8A;
inline constexpr quint8 SetTarget = 0x8B;
inline constexpr quint8 GoToLabel = 0x8C;
inline constexpr quint8 WaitForFrame2 = 0x8D;
inline constexpr quint8 DefineFunction2 = 0x8E;
inline constexpr quint8 Try = 0x8F;
inline constexpr quint8 With = 0x94;
inline constexpr quint8 Push = 0x96;
inline constexpr quint8 Jump = 0x99;
inline constexpr quint8 GetUrl2 = 0x9A;
inline constexpr quint8 DefineFunction = 0x9B;
inline constexpr quint8 If = 0x9D;
inline constexpr quint8 Call = 0x9E;
inline constexpr quint8 GotoFrame2 = 0x9F;
} // namespace SwfActionCode
