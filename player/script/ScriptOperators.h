#pragma once

#include "player/script/ActionValue.h"

#include <QtGlobal>

// The operator actions: arithmetic, comparison, logic, bit and text operations over values,
// as a movie of one SWF version evaluates them. None touches variables or objects' members.
namespace ScriptOperators {

// Whether the action pops two operands and pushes one result through Binary.
bool IsBinary(quint8 code);
// Whether the action pops one operand and pushes one result through Unary.
bool IsUnary(quint8 code);

ActionValue Binary(quint8 code, const ActionValue& left, const ActionValue& right, int version);
ActionValue Unary(quint8 code, const ActionValue& operand, int version);

// StringExtract and MBStringExtract: count characters of text from the 1-based index.
ActionValue Extract(const QString& text, double index, double count, bool multiByte, int version);

// The abstract equality (==) and strict equality (===) of the newer action set.
bool LooseEquals(const ActionValue& left, const ActionValue& right, int version);
bool StrictEquals(const ActionValue& left, const ActionValue& right);

// What typeof answers for a value.
QString TypeOf(const ActionValue& value);

// The 32-bit integer a number converts to for bit operations.
qint32 ToInt32(double value);

} // namespace ScriptOperators
