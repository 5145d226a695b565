#pragma once

#include "player/ActionAssembler.h"

#include <QString>
#include <vector>

// Small script parts the player tests compose scripts from, each pushing one value (or, for
// TraceOf, tracing it).
namespace ScriptParts {

using Asm = ActionAssembler;

inline Asm Variable(const QString& name) {
  return Asm().Push(name).Op(0x1C); // GetVariable
}

inline Asm Member(const Asm& object, const QString& name) {
  return Asm().Append(object).Push(name).Op(0x4E); // GetMember
}

// receiver.method(arguments...), arguments given first to last.
inline Asm Call(const Asm& receiver, const QString& method,
                const std::vector<Asm>& arguments = {}) {
  Asm call;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
    call.Append(*it);
  return call.PushInteger(int(arguments.size())).Append(receiver).Push(method).Op(0x52);
}

inline Asm TraceOf(const Asm& value) {
  return Asm().Append(value).Op(0x26); // Trace
}

inline Asm Number(double value) {
  return Asm().Push(value);
}

inline Asm Text(const QString& value) {
  return Asm().Push(value);
}

} // namespace ScriptParts
