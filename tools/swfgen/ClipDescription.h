#pragma once

#include "tools/swfgen/SwfWriter.h"

#include <QColor>
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
//   item TEXT                    a sprite instance named "item" whose frame-1 script sets
//                                its variable "prop" to TEXT (the rest of the line)
//   text X Y W H #RRGGBB SIZE left|center|right VARIABLE [TEXT]
//                                a single-line text field placed on frame 1 above the
//                                rectangles and the item, in the sans-serif device font of
//                                SIZE pixels, aligned as given, showing the value of
//                                VARIABLE (a path from the root, such as item.caption), or
//                                TEXT (the rest of the line) while the variable is unset
//   load                         the root's frame-1 script calls
//                                fscommand("load", this._target)
struct ClipDescription {
  struct Rectangle {
    QRect pixels;
    QRgb color = 0;
  };
  struct TextField {
    QRect pixels;
    QRgb color = 0;
    int size = 12;
    TextAlign align = TextAlign::Left;
    QString variable;
    QString initialText;
  };

  SwfSignature signature = SwfSignature::Fws;
  quint8 version = 13; // the first version that allows LZMA bodies
  QSize frameSize{800, 600};
  double frameRate = 24;
  std::optional<QRgb> background;
  QList<Rectangle> rectangles;
  std::optional<QString> itemProperties;
  QList<TextField> textFields;
  bool announcesLoad = false;

  // Reads a description; on failure returns nothing and sets `error` to a message naming the
  // line.
  static std::optional<ClipDescription> parse(const QString& text, QString* error);

  // The complete SWF file: background, shapes, the item sprite, text fields, the root script,
  // one frame.
  QByteArray toSwf() const;
};

} // namespace swfgen
