#pragma once

#include "tools/swfgen/SwfWriter.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace swfgen {

// A movie described in pixels: what swfgen reads from its text description.
//
// The text has one command per line; blank lines and lines starting with "//" are ignored:
//   signature FWS|CWS|ZWS        how the body is stored (default FWS)
//   frame W H                    stage size in pixels (default 800 600)
//   rate R                       frames per second (default 24)
//   background #RRGGBB           the movie's background colour (none by default)
//   rect X Y W H #RRGGBB         a solid rectangle placed on frame 1, in the order given
//   gradient X Y W H KIND STOPS  a rectangle filled with a gradient across it; KIND is linear,
//                                radial or focal, STOPS is RATIO:COLOUR,RATIO:COLOUR,... with
//                                ratios 0-255; options spread=pad|reflect|repeat,
//                                interpolation=normal|linear, focus=F (-1 to 1, focal only)
//   bitmap X Y W H FORMAT CELL COLOUR COLOUR
//                                a rectangle filled with a checkerboard bitmap of CELL-pixel
//                                squares, the first colour at the top left; FORMAT is
//                                lossless8, lossless15, lossless24, lossless2-8, lossless2-32,
//                                jpeg, jpeg2, jpeg3, jpeg4, png or gif; options image=WxH (the
//                                bitmap's size, W x H by default), fill=repeat|clip,
//                                smooth=yes|no
//   line WIDTH COLOUR X,Y X,Y ...
//                                a stroked polyline, WIDTH in pixels (0 is a hairline);
//                                options cap=round|none|square (both ends), endcap=... (the
//                                end alone), join=round|bevel|miter,
//                                miter=L, closed=yes, noclose=yes, hinting=yes, scale=none
//   mask COUNT X Y W H           a rectangle that masks the next COUNT drawings
//   item TEXT                    a sprite instance named "item" whose frame-1 script sets
//                                its variable "prop" to TEXT (the rest of the line)
//   text X Y W H #RRGGBB SIZE left|center|right VARIABLE [TEXT]
//                                a single-line text field placed on frame 1 above the
//                                rectangles and the item, in the sans-serif device font of
//                                SIZE pixels, aligned as given, showing the value of
//                                VARIABLE (a path from the root, such as item.caption), or
//                                TEXT (the rest of the line) while the variable is unset
//                                The field is an instance of its own when the first word
//                                after "text" is name=NAME.
//   load                         the root's frame-1 script calls
//                                fscommand("load", this._target)
//   actions {                    a script on the frame, one action per line up to the line
//                                "}" (ScriptAssembler.h); the root's scripts run before the
//                                load call
//   sprite NAME X Y {            a sprite instance named NAME placed at X Y, described by the
//                                lines up to "}": drawings, text fields (in the order given,
//                                among the drawings), sprites, scripts, and
//     keyframe LABEL             the lines below describe a frame of their own, labelled
//                                LABEL (the first keyframe is frame 1); what comes before the
//                                first keyframe shows on every frame
//     onClipEvent EVENT... {     a handler of the instance for the events named (load,
//                                enterFrame, unload, data, initialize, construct, mouseMove,
//                                mouseDown, mouseUp, keyDown, keyUp, press, release,
//                                releaseOutside, rollOver, rollOut, dragOver, dragOut)
//     initactions {              the sprite's DoInitAction script
//   button NAME X Y {            a button instance named NAME placed at X Y (a DefineButton2),
//                                described by the lines up to "}":
//     STATES DRAWING             a drawing, text field or sprite line as above, shown in the
//                                states named, a comma list of up, over, down and hit (hit:
//                                where the button takes the mouse, never drawn)
//     on CONDITION... {          a button action run on the transitions named (press,
//                                release, releaseOutside, rollOver, rollOut, dragOver,
//                                dragOut)
//   include FILE                 the lines of FILE (beside the description) in place of this
//                                line
// Every drawing takes the options mult=R,G,B,A (multipliers, -63 to 63) and add=R,G,B,A
// (-255 to 255): its colour transform, and so does a sprite. COLOUR is #RRGGBB or #RRGGBBAA.
struct ClipDescription {
  struct TextField {
    QRect pixels;
    QRgb color = 0;
    int size = 12;
    TextAlign align = TextAlign::Left;
    QString variable;
    QString initialText;
    QString name; // the placed instance's name; none when empty
  };
  // One shape, sprite instance or text field of a frame, on its own depth in the order given.
  struct Drawing {
    enum class Kind { Rectangle, Shape, Sprite, Text, Button };

    Kind kind = Kind::Rectangle;
    QRect pixels;          // a rectangle's place; a shape's outline is moved by its top-left corner
    QRgb color = 0;        // a rectangle's colour
    int version = 3;       // a shape's DefineShape version
    QList<QPoint> outline; // a shape's points in pixels, from the top-left corner
    bool closed = true;
    std::optional<FillStyle> fill; // a bitmap fill's matrix maps the bitmap's pixels
    std::optional<LineStyle> line;
    std::optional<QImage> bitmap; // defined just before the shape that fills with it
    BitmapFormat bitmapFormat = BitmapFormat::Argb32;
    std::optional<ColorTransform> colors;
    int maskedCount = 0;   // a mask over the next maskedCount drawings when above 0
    qsizetype sprite = -1; // a sprite instance's entry in sprites, or a button's in buttons
    TextField text;        // a text field inside a sprite
  };
  struct Frame {
    QString label;
    QList<Drawing> drawings; // shown on this frame only
    QList<QByteArray> scripts;
  };
  struct Sprite {
    QString name;
    QPoint position;
    std::optional<ColorTransform> colors;
    QList<Drawing> everyFrame;
    QList<Frame> frames{Frame{}};
    QList<ClipEventHandler> clipEvents;
    std::optional<QByteArray> initActions;
  };

  struct Button {
    struct Record {
      quint8 states = ButtonState::Up;
      Drawing drawing;
    };
    QString name;
    QPoint position;
    QList<Record> records; // on depths 1, 2, ... in the order given
    QList<ButtonAction> actions;
  };

  SwfSignature signature = SwfSignature::Fws;
  quint8 version = 13; // the first version that allows LZMA bodies
  QSize frameSize{800, 600};
  double frameRate = 24;
  std::optional<QRgb> background;
  QList<Drawing> drawings;
  std::optional<QString> itemProperties;
  QList<TextField> textFields;
  QList<Sprite> sprites;     // every sprite described, nested ones included
  QList<Button> buttons;     // every button described
  QList<QByteArray> scripts; // the root's frame-1 scripts
  bool announcesLoad = false;

  // Reads a description; on failure returns nothing and sets `error` to a message naming the
  // line. Included files are looked up in includeDirectory.
  static std::optional<ClipDescription> parse(const QString& text, QString* error,
                                              const QString& includeDirectory = {});

  // The complete SWF file: background, bitmaps, shapes and sprites, the item sprite, text
  // fields, the root scripts; one frame.
  QByteArray toSwf() const;
};

} // namespace swfgen
