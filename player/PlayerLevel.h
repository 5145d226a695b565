#pragma once

#include "player/MovieClip.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfMovie.h"

#include <QString>
#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class FramePlayer;

// One loaded level: the movie, its clip tree and every object its scripts create. The level
// owns all of them; script values only observe them. Clips taken off the stage are released.
class PlayerLevel {
public:
  // Makes the level's root clip; the frame player places what its frames show.
  // Characters the movie imports are read from files in directory.
  PlayerLevel(int number, std::shared_ptr<const SwfMovie> movie, const QString& typeName,
              FramePlayer* frames = nullptr, const QString& directory = {});

  int Number() const { return FNumber; }
  const SwfMovie& Movie() const { return *FMovie; }
  const QString& TypeName() const { return FTypeName; }
  const std::shared_ptr<MovieClip>& Root() const { return FRoot; }
  // Whether the level has anything to draw: a shape with a fill or a stroke, or text.
  bool HasDrawnShapes() const { return FHasDrawnShapes; }
  // Takes count lines or curves a script draws into a clip from the level's allowance; false
  // (nothing taken) once it is spent. Clearing a drawing gives its segments back.
  bool ChargeDrawing(std::size_t count);
  void RefundDrawing(std::size_t count) { FDrawnSegments -= std::min(count, FDrawnSegments); }
  // The frame player of the stage the level plays on; null for a level played alone.
  FramePlayer* Frames() const { return FFrames; }
  // The folder of the level's movie file; "" when it came from elsewhere.
  const QString& Directory() const { return FDirectory; }
  // The movie in the file at path, kept for the level's clips; null when it cannot be read.
  const SwfMovie* Keep(const QString& path);
  // The picture (JPEG, PNG or GIF, told by its content) in the file at path as a shape at
  // the origin, one twip-scaled pixel per pixel, kept for the level's clips; null when it
  // cannot be read or is too large.
  const SwfShape* KeepPicture(const QString& path);

  // Puts a timeline's placement at its depth of clip, replacing what is there; placed on frame
  // (1-based). Gives the new child clip, if the character is a sprite or a named shape. Throws
  // SwfError when clips nest too deeply or are too many.
  std::shared_ptr<MovieClip> Place(MovieClip& clip, const SwfFrameItem& item, int frame);
  // Takes the entry at depth off clip's display list; gives its clip, if it was one.
  std::shared_ptr<MovieClip> Remove(MovieClip& clip, int depth);
  // A new clip without a timeline at depth of parent, replacing what is there; null once the
  // level holds too many objects.
  std::shared_ptr<MovieClip> CreateEmptyClip(MovieClip& parent, const QString& name, int depth);
  // A new instance of the sprite the movie of parent exports under linkage (ignoring case) at
  // depth of parent, replacing what is there; null when nothing of that name is exported or
  // the level holds too many objects.
  std::shared_ptr<MovieClip> AttachClip(MovieClip& parent, const QString& linkage,
                                        const QString& name, int depth);
  // A copy of clip beside it at depth: the same character, placement, colours and clip events;
  // null for a level's root or once the level holds too many objects.
  std::shared_ptr<MovieClip> DuplicateClip(MovieClip& clip, const QString& name, int depth);
  // The class Object.registerClass tied to the symbol the clip shows; null for none.
  std::shared_ptr<ScriptObject> ClassOf(const MovieClip& clip) const;
  // Takes what lies at depth of clip off the stage; a clip there gets its unload events when
  // the level plays on a stage, and is let go.
  void TakeOff(MovieClip& clip, int depth);
  // Lets a clip taken off the stage go, with everything inside it.
  void Release(MovieClip& clip);

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
  // Charges one action to the frame's allowance; false once it is spent.
  bool SpendAction() {
    if (FActionsLeft == 0)
      return false;
    --FActionsLeft;
    return true;
  }
  // A new frame: the level's scripts may run a frame's worth of actions again.
  // Also drops what the frame's scripts left on the stack.
  void RenewActionAllowance() {
    FActionsLeft = SwfLimits::MaxActionsPerFrame;
    FLeftOnStack.clear();
  }
  // What a frame script left on the stack, which the next script of the frame finds there.
  std::vector<ActionValue>& LeftOnStack() { return FLeftOnStack; }
  // Charges text (and array elements) built by scripts; false once the level's allowance is
  // spent.
  bool SpendText(qsizetype characters);
  // The entries of the ConstantPool action the level's scripts ran last, null before any:
  // a pool stays in force for the scripts after the one that set it up. It lies in the
  // movie's scripts, which the level keeps.
  const std::vector<QString>* ConstantPool() const { return FConstantPool; }
  void SetConstantPool(const std::vector<QString>* pool) { FConstantPool = pool; }
  // The clip startDrag made follow the mouse, until stopDrag; null when none.
  MovieClip* DraggedClip() const { return FDragged.lock().get(); }
  void SetDraggedClip(MovieClip* clip);

private:
  void Own(const std::shared_ptr<ScriptObject>& object);
  // A new instance of character id of movie inside parent: a button for a button character,
  // a clip otherwise.
  static std::shared_ptr<MovieClip> NewClip(MovieClip& parent, const SwfMovie& movie, int id,
                                            const QString& name, const QTransform& matrix);
  void AddShape(MovieClip& clip, const SwfShape& shape, const SwfTimeline::Placement& placement);
  // Adds a text, morph shape or video character; false for any other character.
  bool AddCharacter(MovieClip& clip, const SwfMovie& movie, int id,
                    const SwfTimeline::Placement& placement);
  // The movie that defines a character a timeline of movie names, and its id there: movie
  // itself, or the file it imports the character from.
  std::pair<const SwfMovie*, int> Resolve(const SwfMovie* movie, int id);
  const SwfMovie* Imported(const QString& url);
  // Changes the entry at the item's depth as a move tag says.
  void Move(MovieClip::DisplayEntry& entry, const SwfFrameItem& item);
  int Nesting(const MovieClip& clip) const;
  // Whether parent may take one more clip made by a script.
  bool HasRoomIn(const MovieClip& parent) const;
  // Puts a clip made by a script at depth of its parent, replacing what is there; null once
  // the scripts have made too many objects.
  std::shared_ptr<MovieClip> AddScriptClip(MovieClip& parent, std::shared_ptr<MovieClip> child,
                                           int depth);
  // A shape's or text's filters and blend mode; null when it has none.
  static std::shared_ptr<const SwfDisplayEffects>
  EffectsOf(const SwfTimeline::Placement& placement);

  int FNumber;
  std::shared_ptr<const SwfMovie> FMovie;
  QString FTypeName;
  FramePlayer* FFrames;
  QString FDirectory;
  std::map<QString, std::shared_ptr<const SwfMovie>> FImported; // null for files that failed
  std::map<QString, std::unique_ptr<const SwfShape>> FPictures; // null for files that failed
  std::shared_ptr<MovieClip> FRoot;
  std::shared_ptr<ScriptObject> FGlobal;
  std::unordered_map<QString, std::shared_ptr<ScriptObject>> FBuiltins;
  std::unordered_map<QString, std::shared_ptr<ScriptObject>> FRegisteredClasses;
  std::unordered_map<const ScriptObject*, std::shared_ptr<ScriptObject>> FObjects;
  std::size_t FDisplayEntries = 0;
  std::size_t FScriptObjects = 0;
  std::size_t FTextLeft;
  std::size_t FActionsLeft = SwfLimits::MaxActionsPerFrame;
  int FUnnamedInstances = 0;
  bool FHasDrawnShapes = false;
  std::weak_ptr<MovieClip> FDragged;
  std::size_t FDrawnSegments = 0;
  const std::vector<QString>* FConstantPool = nullptr;
  std::vector<ActionValue> FLeftOnStack;
};
