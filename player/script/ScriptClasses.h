#pragma once

#include "player/script/ActionValue.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class PlayerLevel;
class ScriptFunction;
class ScriptObject;

// Objects as instances of classes: a function's prototype, instances linked to it through
// "__proto__", subclasses (extends), instanceof and the names a for-in loop lists.
namespace ScriptClasses {

// Gives a newly defined function its prototype object; false once the level made too many.
bool GivePrototype(PlayerLevel& level, ScriptFunction& function);
// A new object, an instance of constructor when that is set; null once the level made too
// many.
std::shared_ptr<ScriptObject> NewInstance(PlayerLevel& level, const ScriptFunction* constructor);
// What super stands for in a call of function: the constructor of its class's superclass.
ActionValue SuperConstructor(const ScriptFunction& function);
// subclass extends superclass; false once the level made too many objects.
bool Extend(PlayerLevel& level, const ActionValue& subclass, const ActionValue& superclass);
// instanceof: whether the chain of object holds the constructor's own prototype, or a
// prototype implementing it. A primitive is an instance of nothing; a primitive constructor
// or prototype is first made an object by makeObject, and that new object is compared. A
// prototype is read as stored: a getter added over it does not run.
using ObjectMaker = std::function<ActionValue(const ActionValue&)>;
bool InstanceOf(PlayerLevel& level, const ActionValue& object, const ActionValue& constructor,
                const ObjectMaker& makeObject);
// ImplementsOp: the constructor's prototype implements the interfaces' prototypes as they are
// now. A prototype that implements interfaces already keeps them.
void Implement(const ActionValue& constructor, const std::vector<ActionValue>& interfaces);
// The value a plain read of name finds on object or along its chain, the default prototype
// of its kind included (MovieClip.prototype for a clip); getters are not run.
ActionValue InheritedValue(PlayerLevel& level, const ScriptObject& object, const QString& name);
// The names for-in lists: the object's own and then its prototypes', without hidden members
// and the class links, each once, oldest first.
std::vector<QString> EnumerableNames(PlayerLevel& level, const ScriptObject& object);

} // namespace ScriptClasses
