#pragma once

#include "player/script/ScriptObject.h"
#include "player/swf/SwfColorTransform.h"
#include "player/swf/SwfFilter.h"

#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <memory>
#include <optional>
#include <vector>

class ClipDrawing;
class PlayerStage;
class TextField;
struct SwfClipAction;
struct SwfMovie;
struct SwfShape;
struct SwfStaticText;
struct SwfTimeline;

// One clip on a level: the level's root or an instance placed on a timeline. Its display list
// holds shapes and child clips by depth; its properties place it in its parent's coordinates.
// Geometry is kept in twips, properties are read in pixels. A clip with a timeline shows one
// of its frames and may be playing; the frame player moves it on.
class MovieClip : public ScriptObject {
public:
  // Property numbers of the player's property table.
  enum Property {
    X = 0,
    Y = 1,
    XScale = 2,
    YScale = 3,
    CurrentFrame = 4,
    TotalFrames = 5,
    Alpha = 6,
    Visible = 7,
    Width = 8,
    Height = 9,
    Rotation = 10,
    Target = 11,
    FramesLoaded = 12,
    Name = 13,
    DropTarget = 14,
    XMouse = 20,
    YMouse = 21,
  };

  struct DisplayEntry {
    const SwfShape* Shape = nullptr; // drawn with Matrix and ColorTransform when set
    QTransform Matrix;
    SwfColorTransform ColorTransform;
    MovieClip* Clip = nullptr; // drawn with its own transforms when set
    int Depth = 0;
    int ClipDepth = 0; // when set, the entry masks the depths above it up to this one
    // Characters other than shapes and clips, drawn with Matrix: the character's own bounds,
    // and what the text painter draws, if anything (a video is measured only). A morph shape
    // sets Shape to its shape at the placement's ratio.
    QRectF Bounds = {};
    const SwfStaticText* StaticText = nullptr;
    std::shared_ptr<TextField> Field = {};
    // Who placed the entry: the timeline's character and the frame of its placement (1-based),
    // or 0 for what scripts made. A timeline keeps an entry while its frames hold that placement.
    int CharacterId = 0;
    int PlacedOnFrame = 0;
    int PlacedRatio = 0;  // the placement's ratio, which tells placements of one character apart
    int MovedOnFrame = 0; // the last frame whose move tag reached the entry, 0 for none
    // A timeline's clip that swapDepths moved: going back on the timeline keeps it where the
    // target frame places anything at its depth.
    bool SwappedByScript = false;
    // The instance name a shape was placed with: scripts reaching it get the clip holding it.
    QString ShapeName = {};
    // The filters and blend mode of a shape or text; a clip keeps its own.
    std::shared_ptr<const SwfDisplayEffects> Effects = {};
  };

  // A level's root; FrameRect stands in for its size while nothing is placed.
  MovieClip(int level, const QRectF& frameRect);
  // An instance inside parent, placed with matrix.
  MovieClip(MovieClip* parent, const QString& name, const QTransform& matrix);
  ~MovieClip() override;

  static std::optional<Property> PropertyByName(const QString& name);
  // A reference to a clip taken off the stage reaches the clip now at the path it was made
  // at, or else stands for the removed clip (ScriptRemovedClip); other values stay as they
  // are.
  static ActionValue Live(const ActionValue& value);
  // Whether the host may read or write the property by number: those of the table up to
  // _name; the mouse and drag properties are the scripts' alone.
  static bool IsKnownProperty(int number);
  // The alpha multiplier `_alpha` = percent keeps: 8.8 fixed point, cut towards zero.
  static double AlphaFromPercent(double percent);

  // Own members, then the children by instance name, then the prototype's.
  ActionValue Member(const QString& name) const override;
  // Own members and the children's names, which for-in lists.
  std::vector<QString> MemberNames() const override;
  void SetMember(const QString& name, const ActionValue& value) override;
  // "_level0.menu.item": the dot path scripts see when a clip becomes text.
  QString ToText() const override;
  QString TypeOf() const override { return QStringLiteral("movieclip"); }

  // Reads a property; the value is undefined for numbers outside the table.
  ActionValue GetProperty(int property) const;
  // Writes a property; read-only properties and values that are no number are ignored.
  void SetProperty(int property, const ActionValue& value);

  MovieClip* Parent() const { return FParent.lock().get(); }
  // What "_root" names inside the clip: the nearest clip up from it that locks its root
  // (`_lockroot`), or the top of its tree, its level's root.
  std::shared_ptr<MovieClip> RootClip() const;
  int Level() const { return FLevel; }
  // The slash path "_target" gives: "/" for level 0's root, "_level3" for another level's,
  // "/menu/item" below level 0.
  QString TargetPath() const;
  bool IsVisible() const { return FVisible; }
  // The clip's colour transform; `_alpha` is its alpha multiplier in percent.
  const SwfColorTransform& ColorTransform() const { return FColorTransform; }
  void SetColorTransform(const SwfColorTransform& transform) { FColorTransform = transform; }
  // The clip's filters, blend mode and bitmap caching, as placed or as a script set them.
  const SwfDisplayEffects& Effects() const { return FEffects; }
  void SetEffects(const SwfDisplayEffects& effects) { FEffects = effects; }
  // The part of the clip shown, in its own pixels, its top left corner at the clip's origin;
  // unset shows the whole clip.
  const std::optional<QRectF>& ScrollRect() const { return FScrollRect; }
  void SetScrollRect(const std::optional<QRectF>& rect) { FScrollRect = rect; }
  // The clip whose fills show this one (setMask), or null. A clip masks one clip at most and
  // is not drawn in its own place while it does.
  MovieClip* Mask() const;
  void SetMask(MovieClip* mask);
  bool IsMask() const { return !FMasked.expired(); }
  // The slash path `_droptarget` gives: the clip under the mouse where a drag of this clip
  // last was, "" before any.
  void SetDropTarget(const QString& path) { FDropTarget = path; }
  // Maps the clip's own coordinates into its parent's.
  QTransform Transform() const;
  // Union of the display list's bounds in the clip's own coordinates; a level's root with
  // nothing placed gives its frame instead, so it can be drawn and measured by the host.
  // Mapped through matrix as DrawnBounds maps them.
  QRectF ContentBounds(const QTransform& matrix = QTransform()) const;
  // Union of the display list's bounds alone: what scripts measure. Each part is mapped
  // through its own placement and then matrix as one transform, down to the shapes, so a
  // turned clip inside a turned clip measures as tight as the player measures it.
  QRectF DrawnBounds(const QTransform& matrix = QTransform()) const;

  // What the clip's scripts drew, shown beneath the display list; null until they draw.
  const ClipDrawing* Drawing() const { return FDrawing.get(); }
  ClipDrawing& EditDrawing();

  // Ordered by depth, lowest first.
  const std::vector<DisplayEntry>& DisplayList() const { return FDisplay; }
  void AddShape(const SwfShape* shape, const QTransform& matrix,
                const SwfColorTransform& colors = {}, int depth = 0, int clipDepth = 0,
                std::shared_ptr<const SwfDisplayEffects> effects = nullptr);
  // Adds a character that is neither a shape nor a clip, replacing any entry at its depth.
  void AddCharacter(DisplayEntry entry);
  // Adds a placed instance; scripts reach it by its instance name.
  void AddChild(const std::shared_ptr<MovieClip>& child, int depth = 0, int clipDepth = 0);
  // The entry at depth, or null.
  DisplayEntry* EntryAt(int depth);
  // The first clip on the display list with that name, compared as the clip's movie
  // compares names, or this clip for a shape placed with that name; null when none has it.
  MovieClip* ChildNamed(const QString& name) const;
  // Takes the entry at depth off the display list.
  std::optional<DisplayEntry> RemoveEntryAt(int depth);
  // The entry showing a child clip or text field, or null.
  DisplayEntry* EntryHolding(const ScriptObject& child);
  // Moves the entry at from to depth to and whatever was at to over to from. Both entries
  // leave the timeline's control.
  void SwapDepths(int from, int to);
  // Sets a child's placement transform as a placement matrix gives it.
  void SetMatrix(const QTransform& matrix);

  // The movie whose characters the clip's timeline names: its level's, or the one it was
  // imported from.
  const SwfMovie* Dictionary() const { return FDictionary; }
  void SetDictionary(const SwfMovie* movie) { FDictionary = movie; }
  const SwfTimeline* Timeline() const { return FTimeline; }
  void SetTimeline(const SwfTimeline* timeline) { FTimeline = timeline; }
  // The frame shown (1-based) and how many the timeline plays.
  int ShownFrame() const { return FCurrentFrame; }
  void SetShownFrame(int frame) { FCurrentFrame = frame; }
  int FrameCount() const;
  bool IsPlaying() const { return FPlaying; }
  void SetPlaying(bool playing) { FPlaying = playing; }
  // The character the clip shows in its dictionary, 0 for a clip a script made empty.
  int Character() const { return FCharacter; }
  void SetCharacter(int id) { FCharacter = id; }
  // The onClipEvent handlers its placement gave it.
  const std::vector<SwfClipAction>* ClipActions() const { return FClipActions.get(); }
  void SetClipActions(std::shared_ptr<const std::vector<SwfClipAction>> actions) {
    FClipActions = std::move(actions);
  }
  // Made later than every clip with a lower number; the newest clips play first.
  quint64 Sequence() const { return FSequence; }
  void SetSequence(quint64 sequence) { FSequence = sequence; }
  // Whether a script (or the host) has placed, scaled, turned or coloured the clip: from
  // then on its parent's timeline no longer moves or colours it.
  bool IsTransformedByScript() const { return FTransformedByScript; }
  void MarkTransformedByScript() { FTransformedByScript = true; }
  // Taken off the stage: it plays no more and answers no events.
  bool IsUnloaded() const { return FUnloaded; }
  // Also notes the path references find a clip made again at: the names from its level's root
  // down, the clip's own as it was made.
  void SetUnloaded();
  // That path; empty for a clip still on the stage and for a level's root.
  const std::vector<QString>& RemovedPath() const { return FRemovedPath; }
  // Keeps a released child alive while this clip lives: handlers that still run on an
  // unloaded clip may reach the children on its display list.
  void KeepChild(std::shared_ptr<MovieClip> child) {
    FReleasedChildren.push_back(std::move(child));
  }
  // Where the stage's mouse was last seen, in the main movie's twips: a level's root holds it
  // for every clip inside, whose `_xmouse` and `_ymouse` map it into their own pixels.
  void SetStageMouse(const std::optional<QPointF>* position) { FStageMouse = position; }
  // The mouse's last position on the stage (twips); the stage's origin before it has come.
  QPointF StageMouse() const;
  // The stage whose levels "_levelN" members name: a level's root holds it for every clip inside.
  void SetStage(const PlayerStage* stage) { FStage = stage; }
  // The root of a level on the clip's stage; nothing for a level without a movie.
  std::shared_ptr<MovieClip> LevelRoot(int level) const;
  // Whether name, with no member of the clip's own by that name, selects a level.
  bool NamesLevel(const QString& name) const;

private:
  void SetSize(double pixels, bool horizontal);
  // The clip's turn and skew with the given scales and offset (twips).
  QTransform Oriented(double xScale, double yScale, double dx, double dy) const;
  // The version of the movie the clip's timeline comes from.
  int MovieVersion() const;
  // How the movie's version compares names.
  Qt::CaseSensitivity NameCase() const;
  // The clip's width or height on its parent, in whole twips.
  double Extent(bool horizontal) const;
  void Insert(DisplayEntry entry);
  double MouseCoordinate(bool horizontal) const;

  std::weak_ptr<MovieClip> FParent;
  int FLevel = 0;
  QString FName;
  QString FPlacedName; // the name it was made with, by which references find it again
  std::optional<QRectF> FFrameRect;
  double FX = 0, FY = 0; // pixels
  double FXScale = 100, FYScale = 100, FRotation = 0;
  double FSkew = 0; // radians from the y axis's turn to the x axis's, kept from the placement
  SwfColorTransform FColorTransform;
  SwfDisplayEffects FEffects;
  std::optional<QRectF> FScrollRect;
  std::weak_ptr<MovieClip> FMask;
  std::weak_ptr<MovieClip> FMasked; // the clip this one masks
  QString FDropTarget;
  bool FVisible = true;
  bool FLocksRoot = false;
  std::vector<DisplayEntry> FDisplay;
  std::unique_ptr<ClipDrawing> FDrawing;
  const SwfTimeline* FTimeline = nullptr;
  const SwfMovie* FDictionary = nullptr;
  int FCharacter = 0;
  int FCurrentFrame = 1;
  bool FPlaying = true;
  bool FUnloaded = false;
  // Where the clip was when it left the stage: the top of its tree and the names below it,
  // innermost first.
  std::vector<std::shared_ptr<MovieClip>> FReleasedChildren;
  // What references read once the clip is off the stage; made when first needed.
  mutable std::shared_ptr<ScriptObject> FRemovedReference;
  std::vector<QString> FRemovedPath; // innermost name first
  std::weak_ptr<MovieClip> FRemovedRoot;
  bool FTransformedByScript = false;
  quint64 FSequence = 0;
  std::shared_ptr<const std::vector<SwfClipAction>> FClipActions;
  const std::optional<QPointF>* FStageMouse = nullptr;
  const PlayerStage* FStage = nullptr;
};
