#include "ActionAssembler.h"

#include "player/SwfBuilder.h"

#include <cstring>

using SwfBuilder::Writer;

namespace {

QByteArray Text(const QString& text) {
  return text.toUtf8() + QByteArray(1, '\0');
}

QByteArray U16(int value) {
  return Writer().U16(value).Data();
}

} // namespace

ActionAssembler& ActionAssembler::Push(const QString& text) {
  return Record(0x96, QByteArray(1, '\0') + Text(text));
}

ActionAssembler& ActionAssembler::Push(double number) {
  quint64 bits = 0;
  std::memcpy(&bits, &number, sizeof bits);
  return Record(0x96, Writer().U8(6).U32(quint32(bits >> 32)).U32(quint32(bits)).Data());
}

ActionAssembler& ActionAssembler::PushInteger(qint32 number) {
  return Record(0x96, Writer().U8(7).U32(quint32(number)).Data());
}

ActionAssembler& ActionAssembler::PushBoolean(bool value) {
  return Record(0x96, Writer().U8(5).U8(value ? 1 : 0).Data());
}

ActionAssembler& ActionAssembler::PushNull() {
  return Record(0x96, QByteArray(1, '\2'));
}

ActionAssembler& ActionAssembler::PushUndefined() {
  return Record(0x96, QByteArray(1, '\3'));
}

ActionAssembler& ActionAssembler::PushRegister(int number) {
  return Record(0x96, Writer().U8(4).U8(number).Data());
}

ActionAssembler& ActionAssembler::Op(int code) {
  FBytes.append(char(code));
  return *this;
}

ActionAssembler& ActionAssembler::Record(int code, const QByteArray& payload) {
  FBytes += Writer().U8(code).U16(int(payload.size())).Data() + payload;
  return *this;
}

ActionAssembler& ActionAssembler::Append(const ActionAssembler& other) {
  FBytes += other.FBytes;
  return *this;
}

ActionAssembler& ActionAssembler::Set(const QString& name, const ActionAssembler& value) {
  return Push(name).Append(value).Op(0x1D);
}

ActionAssembler& ActionAssembler::SetText(const QString& name, const QString& value) {
  return Set(name, ActionAssembler().Push(value));
}

ActionAssembler& ActionAssembler::CallFunction(const QString& name, int arguments) {
  return PushInteger(arguments).Push(name).Op(0x3D);
}

ActionAssembler& ActionAssembler::If(int offset) {
  return Record(0x9D, U16(offset));
}

ActionAssembler& ActionAssembler::Jump(int offset) {
  return Record(0x99, U16(offset));
}

ActionAssembler& ActionAssembler::DefineFunction(const QString& name, const QStringList& params,
                                                 const ActionAssembler& body) {
  QByteArray payload = Text(name) + U16(int(params.size()));
  for (const QString& param : params)
    payload += Text(param);
  Record(0x9B, payload + U16(body.Size()));
  return Append(body);
}

ActionAssembler&
ActionAssembler::DefineFunction2(const QString& name, int registers, int flags,
                                 const std::vector<std::pair<int, QString>>& params,
                                 const ActionAssembler& body) {
  QByteArray payload = Text(name) + U16(int(params.size()));
  payload += Writer().U8(registers).U8(flags >> 8).U8(flags & 0xFF).Data();
  for (const auto& [reg, param] : params)
    payload += Writer().U8(reg).Data() + Text(param);
  Record(0x8E, payload + U16(body.Size()));
  return Append(body);
}

ActionAssembler& ActionAssembler::With(const ActionAssembler& body) {
  Record(0x94, U16(body.Size()));
  return Append(body);
}

ActionAssembler& ActionAssembler::Try(const QString& catchName, const ActionAssembler& tryBody,
                                      const ActionAssembler& catchBody,
                                      const ActionAssembler* finallyBody) {
  const int flags = 0x01 | (finallyBody ? 0x02 : 0);
  Record(0x8F, Writer().U8(flags).Data() + U16(tryBody.Size()) + U16(catchBody.Size()) +
                   U16(finallyBody ? finallyBody->Size() : 0) + Text(catchName));
  Append(tryBody).Append(catchBody);
  return finallyBody ? Append(*finallyBody) : *this;
}

ActionAssembler& ActionAssembler::SetTarget(const QString& target) {
  return Record(0x8B, Text(target));
}

ActionAssembler& ActionAssembler::FSCommand(const QString& command, const QString& argsVariable) {
  Push(QStringLiteral("FSCommand:") + command).Push(argsVariable).Op(0x1C);
  return Record(0x9A, QByteArray(1, '\0'));
}

QByteArray ActionAssembler::Tag() const {
  return SwfBuilder::Tag(12, FBytes + QByteArray(1, '\0'), true);
}

QByteArray ActionAssembler::InitTag(int spriteId) const {
  return SwfBuilder::Tag(59, U16(spriteId) + FBytes + QByteArray(1, '\0'), true);
}
