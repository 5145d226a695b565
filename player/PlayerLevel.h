#pragma once

#include "player/MovieClip.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfMovie.h"

#include <QString>
#include <memory>
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

  // A new plain object, or null once the level's scripts have made too many.
  std::shared_ptr<ScriptObject> NewObject();
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
  // The entries of the ConstantPool action the level's scripts ran last, null before any:
  // a pool stays in force for the scripts after the one that set it up. It lies in the
  // movie's scripts, which the level keeps.
  const std::vector<QString>* ConstantPool() const { return FConstantPool; }
  void SetConstantPool(const std::vector<QString>* pool) { FConstantPool = pool; }

private:
  void Own(const std::shared_ptr<ScriptObject>& object);
  void Populate(MovieClip& clip, const SwfTimeline& timeline, int nesting);
  void AddShape(MovieClip& clip, const SwfShape& shape, const SwfTimeline::Placement& placement);
  // Adds a text, morph shape or video character; false for any other character.
  bool AddCharacter(MovieClip& clip, const SwfTimeline::Placement& placement);
  // A shape's or text's filters and blend mode; null when it has none.
  static std::shared_ptr<const SwfDisplayEffects>
  EffectsOf(const SwfTimeline::Placement& placement);

  int FNumber;
  std::shared_ptr<const SwfMovie> FMovie;
  QString FTypeName;
  std::shared_ptr<MovieClip> FRoot;
  std::shared_ptr<ScriptObject> FGlobal;
  std::vector<std::shared_ptr<ScriptObject>> FObjects;
  std::size_t FDisplayEntries = 0;
  std::size_t FScriptObjects = 0;
  std::size_t FTextLeft;
  int FUnnamedInstances = 0;
  bool FHasDrawnShapes = false;
  const std::vector<QString>* FConstantPool = nullptr;
};
