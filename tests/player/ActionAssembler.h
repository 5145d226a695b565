#pragma once

#include "tools/swfgen/ActionWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// The player tests' short spelling of swfgen's ActionWriter, for scripts with branches,
// functions and blocks whose offsets and sizes follow from the bytes of the parts they span.
class ActionAssembler {
public:
  ActionAssembler& Push(const QString& text);
  ActionAssembler& Push(double number);
  ActionAssembler& PushInteger(qint32 number);
  ActionAssembler& PushBoolean(bool value);
  ActionAssembler& PushNull();
  ActionAssembler& PushUndefined();
  ActionAssembler& PushRegister(int number);
  // One action byte as given, whatever its code.
  ActionAssembler& Op(int code);
  ActionAssembler& Record(int code, const QByteArray& payload);
  ActionAssembler& Append(const ActionAssembler& other);

  // name = value, with value pushed by the given part.
  ActionAssembler& Set(const QString& name, const ActionAssembler& value);
  ActionAssembler& SetText(const QString& name, const QString& value);
  // Calls the function held by name with the pushed arguments (last first).
  ActionAssembler& CallFunction(const QString& name, int arguments);
  // If the popped condition is true, jumps over skipped; Jump jumps by offset bytes.
  ActionAssembler& If(int offset);
  ActionAssembler& Jump(int offset);
  ActionAssembler& DefineFunction(const QString& name, const QStringList& params,
                                  const ActionAssembler& body);
  // params pair a register (0 for none) with a name.
  ActionAssembler& DefineFunction2(const QString& name, int registers, int flags,
                                   const std::vector<std::pair<int, QString>>& params,
                                   const ActionAssembler& body);
  ActionAssembler& With(const ActionAssembler& body);
  ActionAssembler& Try(const QString& catchName, const ActionAssembler& tryBody,
                       const ActionAssembler& catchBody, const ActionAssembler* finallyBody);
  ActionAssembler& SetTarget(const QString& target);
  ActionAssembler& FSCommand(const QString& command, const QString& argsVariable);

  int Size() const { return int(FWriter.size()); }
  const QByteArray& Bytes() const { return FWriter.records(); }
  // A DoAction tag (code 12) or DoInitAction tag (59, with its sprite id) of the records.
  QByteArray Tag() const;
  QByteArray InitTag(int spriteId) const;

private:
  swfgen::ActionWriter FWriter;
};
