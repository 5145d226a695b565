#include "ActionAssembler.h"

#include "tools/swfgen/SwfBytes.h"
#include "tools/swfgen/SwfWriter.h"

using swfgen::ActionCode;

ActionAssembler& ActionAssembler::Push(const QString& text) {
  FWriter.pushString(text);
  return *this;
}

ActionAssembler& ActionAssembler::Push(double number) {
  FWriter.pushDouble(number);
  return *this;
}

ActionAssembler& ActionAssembler::PushInteger(qint32 number) {
  FWriter.pushInteger(number);
  return *this;
}

ActionAssembler& ActionAssembler::PushBoolean(bool value) {
  FWriter.pushBoolean(value);
  return *this;
}

ActionAssembler& ActionAssembler::PushNull() {
  FWriter.pushNull();
  return *this;
}

ActionAssembler& ActionAssembler::PushUndefined() {
  FWriter.pushUndefined();
  return *this;
}

ActionAssembler& ActionAssembler::PushRegister(int number) {
  FWriter.pushRegister(quint8(number));
  return *this;
}

ActionAssembler& ActionAssembler::Op(int code) {
  FWriter.appendRecords(QByteArray(1, char(code)));
  return *this;
}

ActionAssembler& ActionAssembler::Record(int code, const QByteArray& payload) {
  FWriter.record(quint8(code), payload);
  return *this;
}

ActionAssembler& ActionAssembler::Append(const ActionAssembler& other) {
  FWriter.append(other.FWriter);
  return *this;
}

ActionAssembler& ActionAssembler::Set(const QString& name, const ActionAssembler& value) {
  FWriter.pushString(name).append(value.FWriter).action(ActionCode::SetVariable);
  return *this;
}

ActionAssembler& ActionAssembler::SetText(const QString& name, const QString& value) {
  FWriter.setVariable(name, value);
  return *this;
}

ActionAssembler& ActionAssembler::CallFunction(const QString& name, int arguments) {
  FWriter.pushInteger(arguments).pushString(name).action(ActionCode::CallFunction);
  return *this;
}

ActionAssembler& ActionAssembler::If(int offset) {
  FWriter.ifTrue(qint16(offset));
  return *this;
}

ActionAssembler& ActionAssembler::Jump(int offset) {
  FWriter.jump(qint16(offset));
  return *this;
}

ActionAssembler& ActionAssembler::DefineFunction(const QString& name, const QStringList& params,
                                                 const ActionAssembler& body) {
  FWriter.defineFunction(name, params, body.FWriter);
  return *this;
}

ActionAssembler&
ActionAssembler::DefineFunction2(const QString& name, int registers, int flags,
                                 const std::vector<std::pair<int, QString>>& params,
                                 const ActionAssembler& body) {
  std::vector<swfgen::FunctionParameter> parameters;
  for (const auto& [reg, param] : params)
    parameters.push_back({quint8(reg), param});
  FWriter.defineFunction2(name, quint8(registers), quint16(flags), parameters, body.FWriter);
  return *this;
}

ActionAssembler& ActionAssembler::With(const ActionAssembler& body) {
  FWriter.with(body.FWriter);
  return *this;
}

ActionAssembler& ActionAssembler::Try(const QString& catchName, const ActionAssembler& tryBody,
                                      const ActionAssembler& catchBody,
                                      const ActionAssembler* finallyBody) {
  FWriter.tryBlock({catchName, std::nullopt}, tryBody.FWriter, catchBody.FWriter,
                   finallyBody ? std::optional(finallyBody->FWriter) : std::nullopt);
  return *this;
}

ActionAssembler& ActionAssembler::SetTarget(const QString& target) {
  FWriter.setTarget(target);
  return *this;
}

ActionAssembler& ActionAssembler::FSCommand(const QString& command, const QString& argsVariable) {
  FWriter.pushString(QStringLiteral("FSCommand:") + command)
      .pushString(argsVariable)
      .action(ActionCode::GetVariable)
      .getUrl2();
  return *this;
}

QByteArray ActionAssembler::Tag() const {
  return swfgen::SwfWriter::longTag(swfgen::TagCode::DoAction, FWriter.bytes());
}

QByteArray ActionAssembler::InitTag(int spriteId) const {
  QByteArray body;
  swfgen::appendUi16(body, quint16(spriteId));
  return swfgen::SwfWriter::longTag(swfgen::TagCode::DoInitAction, body + FWriter.bytes());
}
