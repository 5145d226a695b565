#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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
  NewObject = 0x40,
  InitObject = 0x43,
  Add2 = 0x47,
  GetMember = 0x4E,
  SetMember = 0x4F,
  GetUrl = 0x83,
  ConstantPool = 0x88,
  Push = 0x96,
  GetUrl2 = 0x9A,
};

// Builds the action records of one DoAction body. Each push call writes one Push record
// holding one value.
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
  ActionWriter& getUrl(const QString& url, const QString& target);
  // Pops the target, then the url; flags 0 is a plain GET request without variables.
  ActionWriter& getUrl2(quint8 flags = 0);

  // Sets the variable `name` of the running clip to `value`.
  ActionWriter& setVariable(const QString& name, const QString& value);
  // fscommand(command, this._target): the way a clip tells its host about itself.
  ActionWriter& fsCommandWithTarget(const QString& command);

  // The records followed by the End action that closes a DoAction body.
  QByteArray bytes() const;

private:
  ActionWriter& push(quint8 type, const QByteArray& value);

  QByteArray m_records;
};

} // namespace swfgen
