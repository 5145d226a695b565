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

ActionWriter& ActionWriter::getUrl(const QString& url, const QString& target) {
  QByteArray payload;
  appendString(payload, url);
  appendString(payload, target);
  return record(quint8(ActionCode::GetUrl), payload);
}

ActionWriter& ActionWriter::getUrl2(quint8 flags) {
  return record(quint8(ActionCode::GetUrl2), QByteArray(1, char(flags)));
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

ActionWriter& ActionWriter::push(quint8 type, const QByteArray& value) {
  return record(quint8(ActionCode::Push), char(type) + value);
}

} // namespace swfgen
