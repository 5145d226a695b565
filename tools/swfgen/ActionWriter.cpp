#include "tools/swfgen/ActionWriter.h"

#include "tools/swfgen/SwfBytes.h"

#include <bit>
#include <stdexcept>

namespace swfgen {

namespace {

// Type bytes of the values a Push record carries.
enum PushType : quint8 {
  PushString = 0,
  PushFloat = 1,
  PushNull = 2,
  PushUndefined = 3,
  PushRegister = 4,
  PushBoolean = 5,
  PushDouble = 6,
  PushInteger = 7,
  PushConstant8 = 8,
  PushConstant16 = 9,
};

} // namespace

ActionWriter& ActionWriter::constantPool(const QStringList& constants) {
  QByteArray payload;
  appendUi16(payload, quint16(constants.size()));
  for (const QString& constant : constants)
    appendString(payload, constant);
  return record(quint8(ActionCode::ConstantPool), payload);
}

ActionWriter& ActionWriter::pushString(const QString& value) {
  QByteArray bytes;
  appendString(bytes, value);
  return push(PushString, bytes);
}

ActionWriter& ActionWriter::pushFloat(float value) {
  QByteArray bytes;
  appendUi32(bytes, std::bit_cast<quint32>(value));
  return push(PushFloat, bytes);
}

ActionWriter& ActionWriter::pushNull() {
  return push(PushNull, {});
}

ActionWriter& ActionWriter::pushUndefined() {
  return push(PushUndefined, {});
}

ActionWriter& ActionWriter::pushRegister(quint8 index) {
  return push(PushRegister, QByteArray(1, char(index)));
}

ActionWriter& ActionWriter::pushBoolean(bool value) {
  return push(PushBoolean, QByteArray(1, char(value ? 1 : 0)));
}

ActionWriter& ActionWriter::pushDouble(double value) {
  // The two 32-bit halves are stored high half first, each little-endian.
  const quint64 bits = std::bit_cast<quint64>(value);
  QByteArray bytes;
  appendUi32(bytes, quint32(bits >> 32));
  appendUi32(bytes, quint32(bits));
  return push(PushDouble, bytes);
}

ActionWriter& ActionWriter::pushInteger(qint32 value) {
  QByteArray bytes;
  appendUi32(bytes, quint32(value));
  return push(PushInteger, bytes);
}

ActionWriter& ActionWriter::pushConstant(quint16 index) {
  if (index <= 0xFF)
    return push(PushConstant8, QByteArray(1, char(index)));
  QByteArray bytes;
  appendUi16(bytes, index);
  return push(PushConstant16, bytes);
}

ActionWriter& ActionWriter::action(ActionCode code) {
  if (quint8(code) >= 0x80)
    throw std::invalid_argument("this action carries a payload");
  m_records.append(char(code));
  return *this;
}

ActionWriter& ActionWriter::record(quint8 code, const QByteArray& payload) {
  if (code < 0x80 && !payload.isEmpty())
    throw std::invalid_argument("actions below 0x80 carry no payload");
  m_records.append(char(code));
  if (code >= 0x80) {
    if (payload.size() > 0xFFFF)
      throw std::length_error("action payload longer than 65535 bytes");
    appendUi16(m_records, quint16(payload.size()));
    m_records.append(payload);
  }
  return *this;
}

ActionWriter& ActionWriter::append(const ActionWriter& other) {
  return appendRecords(other.m_records);
}

ActionWriter& ActionWriter::appendRecords(const QByteArray& records) {
  m_records.append(records);
  return *this;
}

ActionWriter& ActionWriter::getUrl(const QString& url, const QString& target) {
  QByteArray payload;
  appendString(payload, url);
  appendString(payload, target);
  return record(quint8(ActionCode::GetUrl), payload);
}

ActionWriter& ActionWriter::getUrl2(quint8 flags) {
  return record(quint8(ActionCode::GetUrl2), QByteArray(1, char(flags)));
}

ActionWriter& ActionWriter::setTarget(const QString& target) {
  QByteArray payload;
  appendString(payload, target);
  return record(quint8(ActionCode::SetTarget), payload);
}

ActionWriter& ActionWriter::storeRegister(quint8 index) {
  return record(quint8(ActionCode::StoreRegister), QByteArray(1, char(index)));
}

ActionWriter& ActionWriter::jump(qint16 offset) {
  QByteArray payload;
  appendUi16(payload, quint16(offset));
  return record(quint8(ActionCode::Jump), payload);
}

ActionWriter& ActionWriter::ifTrue(qint16 offset) {
  QByteArray payload;
  appendUi16(payload, quint16(offset));
  return record(quint8(ActionCode::If), payload);
}

ActionWriter& ActionWriter::defineFunction(const QString& name, const QStringList& parameters,
                                           const ActionWriter& body) {
  QByteArray payload;
  appendString(payload, name);
  appendUi16(payload, quint16(parameters.size()));
  for (const QString& parameter : parameters)
    appendString(payload, parameter);
  return block(quint8(ActionCode::DefineFunction), payload, body);
}

ActionWriter& ActionWriter::defineFunction2(const QString& name, quint8 registerCount,
                                            quint16 flags,
                                            const std::vector<FunctionParameter>& parameters,
                                            const ActionWriter& body) {
  QByteArray payload;
  appendString(payload, name);
  appendUi16(payload, quint16(parameters.size()));
  payload.append(char(registerCount));
  // The flags are two bit-field bytes, the first one written first.
  payload.append(char(flags >> 8));
  payload.append(char(flags & 0xFF));
  for (const FunctionParameter& parameter : parameters) {
    payload.append(char(parameter.registerIndex));
    appendString(payload, parameter.name);
  }
  return block(quint8(ActionCode::DefineFunction2), payload, body);
}

ActionWriter& ActionWriter::with(const ActionWriter& body) {
  return block(quint8(ActionCode::With), {}, body);
}

ActionWriter& ActionWriter::tryBlock(const CatchTarget& target, const ActionWriter& tryBody,
                                     const std::optional<ActionWriter>& catchBody,
                                     const std::optional<ActionWriter>& finallyBody) {
  constexpr quint8 HasCatch = 0x01;
  constexpr quint8 HasFinally = 0x02;
  constexpr quint8 CatchInRegister = 0x04;
  const auto blockSize = [](const ActionWriter& body) {
    if (body.size() > 0xFFFF)
      throw std::length_error("a block longer than 65535 bytes");
    return quint16(body.size());
  };
  QByteArray payload;
  payload.append(char((catchBody ? HasCatch : 0) | (finallyBody ? HasFinally : 0) |
                      (target.registerIndex ? CatchInRegister : 0)));
  appendUi16(payload, blockSize(tryBody));
  appendUi16(payload, catchBody ? blockSize(*catchBody) : 0);
  appendUi16(payload, finallyBody ? blockSize(*finallyBody) : 0);
  if (target.registerIndex)
    payload.append(char(*target.registerIndex));
  else
    appendString(payload, target.name);
  record(quint8(ActionCode::Try), payload);
  append(tryBody);
  if (catchBody)
    append(*catchBody);
  if (finallyBody)
    append(*finallyBody);
  return *this;
}

ActionWriter& ActionWriter::setVariable(const QString& name, const QString& value) {
  return pushString(name).pushString(value).action(ActionCode::SetVariable);
}

ActionWriter& ActionWriter::fsCommandWithTarget(const QString& command) {
  return pushString(QStringLiteral("FSCommand:") + command)
      .pushString(QStringLiteral("this"))
      .action(ActionCode::GetVariable)
      .pushString(QStringLiteral("_target"))
      .action(ActionCode::GetMember)
      .getUrl2();
}

QByteArray ActionWriter::bytes() const {
  return m_records + char(ActionCode::End);
}

ActionWriter& ActionWriter::block(quint8 code, QByteArray payload, const ActionWriter& body) {
  // The record ends with the size of the body that follows it.
  if (body.size() > 0xFFFF)
    throw std::length_error("a block longer than 65535 bytes");
  appendUi16(payload, quint16(body.size()));
  record(code, payload);
  return append(body);
}

ActionWriter& ActionWriter::push(quint8 type, const QByteArray& value) {
  return record(quint8(ActionCode::Push), char(type) + value);
}

} // namespace swfgen
