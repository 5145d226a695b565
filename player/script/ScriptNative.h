#pragma once

#include "player/script/ActionValue.h"
#include "player/script/ScriptObject.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class PlayerLevel;
class PlayerStage;

// What a built-in function may ask of the running script: conversions that call a script's
// own toString and valueOf, member access that runs getters and setters, and calls of
// script functions (compare functions, listeners, call and apply).
class ScriptRuntime {
public:
  using Arguments = std::vector<ActionValue>;

  virtual PlayerLevel& Level() = 0;
  virtual const PlayerStage& Stage() const = 0;
  virtual int Version() const = 0;
  // Calls a function value with self as this; undefined for a value that is no function.
  // A throw inside it is kept and surfaces when the built-in returns.
  virtual ActionValue CallValue(const ActionValue& function, const ActionValue& self,
                                const Arguments& arguments) = 0;
  // Whether the script is unwinding (a throw or a spent allowance): built-ins stop looping.
  virtual bool Unwinding() const = 0;
  virtual ActionValue GetMember(const ActionValue& base, const QString& name) = 0;
  virtual void SetMember(const ActionValue& base, const QString& name,
                         const ActionValue& value) = 0;
  // The value an object stands for in arithmetic (valueOf first) or in text (toString first).
  virtual ActionValue ToPrimitive(const ActionValue& value, bool preferText) = 0;
  QString ToText(const ActionValue& value) { return ToPrimitive(value, true).ToString(Version()); }
  double ToNumber(const ActionValue& value) {
    return ToPrimitive(value, false).ToNumber(Version());
  }
  // Throws value into the script once the built-in returns.
  virtual void Throw(const ActionValue& value) = 0;

protected:
  ~ScriptRuntime() = default;
};

// One call of a built-in function.
struct NativeCall {
  ScriptRuntime& Runtime;
  ActionValue This;
  const std::vector<ActionValue>& Arguments;
  bool Constructing = false;
  // Set by a constructor that refuses its arguments: new then gives undefined.
  bool Refused = false;

  bool Has(std::size_t index) const { return index < Arguments.size(); }
  ActionValue Arg(std::size_t index) const {
    return index < Arguments.size() ? Arguments[index] : ActionValue();
  }
  // NaN for a missing argument.
  double Number(std::size_t index) const;
  QString Text(std::size_t index) const { return Runtime.ToText(Arg(index)); }
  std::shared_ptr<ScriptObject> ThisObject() const { return This.Object(); }
  PlayerLevel& Level() const { return Runtime.Level(); }
  int Version() const { return Runtime.Version(); }
};

// A function of the player itself.
class NativeFunction : public ScriptObject {
public:
  using Body = std::function<ActionValue(NativeCall&)>;

  explicit NativeFunction(Body body) : FBody(std::move(body)) {}

  ActionValue Invoke(NativeCall& call) const { return FBody(call); }
  QString ToText() const override { return QStringLiteral("[type Function]"); }
  QString TypeOf() const override { return QStringLiteral("function"); }

private:
  Body FBody;
};

// A boxed primitive: what new String("a"), new Number(1) and new Boolean(true) make.
class BoxedValue : public ScriptObject {
public:
  // A boxed text carries its length as a member of its own, which scripts may overwrite
  // but not delete.
  explicit BoxedValue(const ActionValue& value) : FValue(value) {
    if (value.IsString())
      DefineMember(QStringLiteral("length"), double(value.ToString().size()),
                   DontEnum | DontDelete);
  }
  const ActionValue& Value() const { return FValue; }
  void SetValue(const ActionValue& value) { FValue = value; }

private:
  ActionValue FValue;
};

// Builds a built-in class: its constructor, its prototype and their members, all owned by
// the level and counted against its allowance; hidden from for-in like the player's own.
class NativeClass {
public:
  // prototypeParent null: the prototype inherits from Object's.
  NativeClass(PlayerLevel& level, NativeFunction::Body constructor,
              std::shared_ptr<ScriptObject> prototype = nullptr);
  explicit operator bool() const { return FConstructor && FPrototype; }

  NativeClass& Method(const QString& name, NativeFunction::Body body);
  NativeClass& Static(const QString& name, NativeFunction::Body body);
  NativeClass& Constant(const QString& name, const ActionValue& value);
  // A hidden getter and setter pair on the prototype; no setter makes it read-only.
  NativeClass& Property(const QString& name, NativeFunction::Body getter,
                        NativeFunction::Body setter);

  const std::shared_ptr<NativeFunction>& Constructor() const { return FConstructor; }
  const std::shared_ptr<ScriptObject>& Prototype() const { return FPrototype; }

private:
  PlayerLevel& FLevel;
  std::shared_ptr<NativeFunction> FConstructor;
  std::shared_ptr<ScriptObject> FPrototype;
};

// A new built-in function owned by the level; null once the level made too many objects.
std::shared_ptr<NativeFunction> MakeNative(PlayerLevel& level, NativeFunction::Body body);
// Defines a hidden method on object; false once the level made too many objects.
bool DefineNative(PlayerLevel& level, ScriptObject& object, const QString& name,
                  NativeFunction::Body body);
