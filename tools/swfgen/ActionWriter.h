#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace swfgen {

// Action codes of the records swfgen writes.
enum class ActionCode : quint8 {
  End = 0x00,
  Pop = 0x17,
  GetVariable = 0x1C,
  SetVariable = 0x1D,
  StringAdd = 0x21,
  GetProperty = 0x22,
  DefineLocal = 0x3C,
  CallFunction = 0x3D,
  NewObject = 0x40,
  InitObject = 0x43,
  Add2 = 0x47,
  GetMember = 0x4E,
  SetMember = 0x4F,
  GetUrl = 0x83,
  StoreRegister = 0x87,
  ConstantPool = 0x88,
  SetTarget = 0x8B,
  DefineFunction2 = 0x8E,
  Try = 0x8F,
  With = 0x94,
  Push = 0x96,
  Jump = 0x99,
  GetUrl2 = 0x9A,
  DefineFunction = 0x9B,
  If = 0x9D,
};

// DefineFunction2's flags as the record stores them: the first flag byte in the high half.
namespace FunctionFlag {
inline constexpr quint16 PreloadParent = 0x8000;
inline constexpr quint16 PreloadRoot = 0x4000;
inline constexpr quint16 SuppressSuper = 0x2000;
inline constexpr quint16 PreloadSuper = 0x1000;
inline constexpr quint16 SuppressArguments = 0x0800;
inline constexpr quint16 PreloadArguments = 0x0400;
inline constexpr quint16 SuppressThis = 0x0200;
inline constexpr quint16 PreloadThis = 0x0100;
inline constexpr quint16 PreloadGlobal = 0x0001;
} // namespace FunctionFlag

// A DefineFunction2 parameter: kept in a register when register is above 0, else a named local.
struct FunctionParameter {
  quint8 registerIndex = 0;
  QString name;
};

// Where a try block's exception goes: a named variable or a register.
struct CatchTarget {
  QString name;
  std::optional<quint8> registerIndex;
};

// Builds the action records of one DoAction body. Each push call writes one Push record
// holding one value. Branches and blocks measure the bytes of the records they span, so a
// body handed to a block is complete when it is handed over.
class ActionWriter {
public:
  ActionWriter& constantPool(const QStringList& constants);
  ActionWriter& pushString(const QString& value);
  ActionWriter& pushFloat(float value);
  ActionWriter& pushNull();
  ActionWriter& pushUndefined();
  ActionWriter& pushRegister(quint8 index);
  ActionWriter& pushBoolean(bool value);
  ActionWriter& pushDouble(double value);
  ActionWriter& pushInteger(qint32 value);
  ActionWriter& pushConstant(quint16 index);
  // An action without payload (codes below 0x80).
  ActionWriter& action(ActionCode code);
  // A record with any code and payload, for actions this class has no helper for.
  ActionWriter& record(quint8 code, const QByteArray& payload);
  // The records of other, as they are.
  ActionWriter& append(const ActionWriter& other);
  // Records encoded elsewhere, as they are.
  ActionWriter& appendRecords(const QByteArray& records);
  ActionWriter& getUrl(const QString& url, const QString& target);
  // Pops the target, then the url; flags 0 is a plain GET request without variables.
  ActionWriter& getUrl2(quint8 flags = 0);
  ActionWriter& setTarget(const QString& target);
  ActionWriter& storeRegister(quint8 index);

  // Branches by offset bytes from the end of their own record; If only when the popped
  // value is true.
  ActionWriter& jump(qint16 offset);
  ActionWriter& ifTrue(qint16 offset);

  // The blocks: their record, then the body's records.
  ActionWriter& defineFunction(const QString& name, const QStringList& parameters,
                               const ActionWriter& body);
  ActionWriter& defineFunction2(const QString& name, quint8 registerCount, quint16 flags,
                                const std::vector<FunctionParameter>& parameters,
                                const ActionWriter& body);
  ActionWriter& with(const ActionWriter& body);
  ActionWriter& tryBlock(const CatchTarget& target, const ActionWriter& tryBody,
                         const std::optional<ActionWriter>& catchBody,
                         const std::optional<ActionWriter>& finallyBody);

  // Sets the variable `name` of the running clip to `value`.
  ActionWriter& setVariable(const QString& name, const QString& value);
  // fscommand(command, this._target): the way a clip tells its host about itself.
  ActionWriter& fsCommandWithTarget(const QString& command);

  // The records written so far, without the End that closes a body.
  const QByteArray& records() const { return m_records; }
  qsizetype size() const { return m_records.size(); }
  // The records followed by the End action that closes a DoAction body.
  QByteArray bytes() const;

private:
  ActionWriter& push(quint8 type, const QByteArray& value);
  ActionWriter& block(quint8 code, QByteArray payload, const ActionWriter& body);

  QByteArray m_records;
};

} // namespace swfgen
