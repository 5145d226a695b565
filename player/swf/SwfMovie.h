#pragma once

#include "player/swf/SwfAction.h"
#include "player/swf/SwfColorTransform.h"
#include "player/swf/SwfFilter.h"
#include "player/swf/SwfMorphShape.h"
#include "player/swf/SwfShape.h"
#include "player/swf/SwfText.h"

#include <QColor>
#include <QHashFunctions>
#include <QRectF>
#include <QTransform>
#include <array>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

// Movie coordinates are in twips; script properties are in pixels.
inline constexpr double TwipsPerPixel = 20;

// One onClipEvent handler of a placed clip: the events it answers and its script.
struct SwfClipAction {
  // Event bits as PlaceObject2 stores them (a 16-bit field before version 6 has the same low bits).
  enum Event : quint32 {
    Load = 0x1,
    EnterFrame = 0x2,
    Unload = 0x4,
    Data = 0x100,
    Initialize = 0x200,
    Construct = 0x40000,
  };
  quint32 Events = 0;
  SwfScript Script;
};

// A display-list change or a script of one frame, in the order the frame's tags hold them.
struct SwfFrameItem {
  enum Kind { Place, Remove, Action };
  Kind What = Place;
  int Depth = 0;
  // Place: what the tag sets; a move changes only the fields present.
  bool Move = false;
  std::optional<int> CharacterId;
  std::optional<QTransform> Matrix;
  std::optional<SwfColorTransform> ColorTransform;
  std::optional<int> Ratio;
  std::optional<QString> Name;
  std::optional<int> ClipDepth;
  std::optional<std::vector<SwfFilter>> Filters;
  std::optional<SwfBlendMode> Blend;
  std::optional<bool> CacheAsBitmap;
  std::shared_ptr<const std::vector<SwfClipAction>> ClipActions;
  // Action: the index of the script in the frame's Scripts.
  std::size_t Script = 0;
};

struct SwfFrame {
  std::vector<SwfFrameItem> Items;
  std::vector<SwfScript> Scripts;
};

// What one timeline shows and runs on its first frame.
struct SwfTimeline {
  struct Placement {
    int Depth = 0;
    int CharacterId = 0;
    QTransform Matrix;
    QString Name;
    int Ratio = 0; // how far a morph shape has changed, 0 to 65535
    SwfColorTransform ColorTransform;
    int ClipDepth = 0; // when set, a mask over the depths above it up to this one
    SwfDisplayEffects Effects;
  };
  std::vector<Placement> Frame1; // ordered by depth
  std::vector<SwfScript> Frame1Scripts;
  int FrameCount = 1; // as the timeline declares it
  // Every frame, in order: each ShowFrame ends one, and what follows the last ShowFrame before
  // End is one more.
  std::vector<SwfFrame> Frames;
  // Whether the timeline starts over after its last frame: only one whose last frame ends in
  // ShowFrame and which ends in End does; any other stops there.
  bool Loops = true;
  // Frame labels and the frame (1-based) each names, in the order they appear.
  std::vector<std::pair<QString, int>> Labels;
  // Bytes of the file that carry the timeline: the whole uncompressed file for the main
  // timeline, the tags inside a sprite's definition for a sprite.
  qint64 ByteCount = 0;
};

// A button character: what it shows in each state, where it takes the mouse, and the
// scripts its state changes run.
struct SwfButton {
  enum State { Up, Over, Down, Hit, StateCount };

  // The transitions a button action answers, as DefineButton2 stores them.
  enum Condition : quint32 {
    IdleToOverUp = 0x001,      // rollOver
    OverUpToIdle = 0x002,      // rollOut
    OverUpToOverDown = 0x004,  // press
    OverDownToOverUp = 0x008,  // release
    OverDownToOutDown = 0x010, // dragOut
    OutDownToOverDown = 0x020, // dragOver
    OutDownToIdle = 0x040,     // releaseOutside
    IdleToOverDown = 0x080,    // dragOver of a menu button
    OverDownToIdle = 0x100,    // dragOut of a menu button
  };

  struct Action {
    quint32 Conditions = 0;
    int KeyCode = 0; // the key that runs it, 0 for none
    SwfScript Script;
  };

  // Each state as a one-frame timeline of its records, in depth order. The hit state's
  // characters are where the button takes the mouse; they are never drawn.
  std::array<SwfTimeline, StateCount> States;
  std::vector<Action> Actions;
  bool TrackAsMenu = false;
};

// A parsed movie: immutable once built, shared by every level that plays it.
struct SwfMovie {
  int Version = 0;
  QRectF FrameRect; // twips
  double FrameRate = 0;
  int FrameCount = 0;
  // The size of the file, in bytes, as stored (compressed or not): what a loader reports.
  qint64 FileLength = 0;
  std::optional<QColor> Background;
  std::unordered_map<int, SwfShape> Shapes;
  SwfBitmapTable Bitmaps;
  std::unordered_map<int, SwfTimeline> Sprites;
  SwfFontTable Fonts;
  std::unordered_map<int, SwfEditText> EditTexts;
  std::unordered_map<int, SwfStaticText> StaticTexts;
  std::unordered_map<int, SwfButton> Buttons;
  std::unordered_map<int, SwfMorphShape> MorphShapes;
  std::unordered_map<int, QRectF> Videos; // bounds in twips
  SwfTimeline Root;
  // What was wrong after the root's first frame, which plays all the same; "" for a whole file.
  QString Damage;
  // Why each bitmap that could not be read draws nothing, in file order.
  std::vector<QString> BitmapFaults;
  // DoInitAction scripts of the first frame, run before any frame script.
  std::vector<SwfScript> InitScripts;
  // An ActionScript 3 movie: its frame 1 is shown, none of its scripts is run.
  bool ActionScript3 = false;
  // Characters this movie takes from other movies: by its own id, the file (relative to this
  // movie's) and the name that file exports it under.
  struct Import {
    QString Url;
    QString Name;
  };
  std::unordered_map<int, Import> Imports;
  // The files the first frame imports from, in order: each file's init scripts run after as
  // many of this movie's own as came before its import.
  struct ImportedFile {
    QString Url;
    std::size_t AfterInitScripts = 0;
  };
  std::vector<ImportedFile> ImportedFiles;
  // Characters this movie lends to others, by name.
  std::unordered_map<QString, int> Exports;

  // Whether the movie defines a character of that id itself.
  bool Defines(int characterId) const {
    return Shapes.contains(characterId) || Sprites.contains(characterId) ||
           Buttons.contains(characterId) || EditTexts.contains(characterId) ||
           StaticTexts.contains(characterId) || MorphShapes.contains(characterId) ||
           Videos.contains(characterId);
  }

  // The timeline of a sprite or a button's up state; null for other characters.
  const SwfTimeline* ClipTimeline(int characterId) const {
    const auto sprite = Sprites.find(characterId);
    if (sprite != Sprites.end())
      return &sprite->second;
    const SwfButton* button = Button(characterId);
    return button ? &button->States[SwfButton::Up] : nullptr;
  }
  const SwfButton* Button(int characterId) const {
    const auto button = Buttons.find(characterId);
    return button == Buttons.end() ? nullptr : &button->second;
  }
};
