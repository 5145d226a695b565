#pragma once

#include "player/MovieClip.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfMovie.h"

#include <QString>
#include <memory>
#include <unordered_map>
#include <vector>

// One loaded level: the movie, the clip tree of its first frame and every object its
// scripts create. The level owns all of them; script values only observe them.
class PlayerLevel {
public:
  // Builds the clip tree of the movie's first frame. Throws SwfError when the clips nest
  // too deeply or are too many.
  PlayerLevel(int number, std::shared_ptr<const SwfMovie> movie, const QString& typeName);

  int Number() const { return FNumber; }
  const SwfMovie& Movie() const { return *FMovie; }
  const QString& TypeName() const { return FTypeName; }
  const std::shared_ptr<MovieClip>& Root() const { return FRoot; }
  // Whether the level has anything to draw: a shape with a fill or a stroke, or text.
  bool HasDrawnShapes() const { return FHasDrawnShapes; }

  // A new plain object inheriting from Object's prototype, or null once the level's scripts
  // have made too many.
  std::shared_ptr<ScriptObject> NewObject();
  // The player's own classes and objects the level's scripts have used, by global name.
  std::shared_ptr<ScriptObject> Builtin(const QString& name) const;
  void SetBuiltin(const QString& name, const std::shared_ptr<ScriptObject>& object) {
    FBuiltins[name] = object;
  }
  // The class Object.registerClass tied to an exported symbol; null to untie it.
  void RegisterClass(const QString& symbol, const std::shared_ptr<ScriptObject>& constructor);
  std::shared_ptr<ScriptObject> RegisteredClass(const QString& symbol) const;
  // Takes ownership of an object a script made; null once the scripts have made too many.
  template <class T> std::shared_ptr<T> Adopt(std::shared_ptr<T> object) {
    if (++FScriptObjects > SwfLimits::MaxScriptObjects)
      return nullptr;
    Own(object);
    return object;
  }
  // Whether the movie's names ignore case (movies before version 7).
  bool IgnoresCase() const { return FMovie->Version < 7; }
  // The level's _global object, made when a script first needs it.
  const std::shared_ptr<ScriptObject>& Global();
  // Charges text (and array elements) built by scripts; false once the level's allowance is
  // spent.
  bool SpendText(qsizetype characters);

private:
  void Own(const std::shared_ptr<ScriptObject>& object);
  void Populate(MovieClip& clip, const SwfTimeline& timeline, int nesting);
  void AddShape(MovieClip& clip, const SwfShape& shape, const SwfTimeline::Placement& placement);
  // Adds a text, morph shape or video character; false for any other character.
  bool AddCharacter(MovieClip& clip, const SwfTimeline::Placement& placement);

  int FNumber;
  std::shared_ptr<const SwfMovie> FMovie;
  QString FTypeName;
  std::shared_ptr<MovieClip> FRoot;
  std::shared_ptr<ScriptObject> FGlobal;
  std::unordered_map<QString, std::shared_ptr<ScriptObject>> FBuiltins;
  std::unordered_map<QString, std::shared_ptr<ScriptObject>> FRegisteredClasses;
  std::vector<std::shared_ptr<ScriptObject>> FObjects;
  std::size_t FDisplayEntries = 0;
  std::size_t FScriptObjects = 0;
  std::size_t FTextLeft;
  int FUnnamedInstances = 0;
  bool FHasDrawnShapes = false;
};
