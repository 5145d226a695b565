#pragma once

#include <QByteArray>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Builders for the tags and the file envelope of a SWF movie. Coordinates are in twips
// (1/20 pixel). Every function throws std::invalid_argument or std::length_error for values
// the format cannot hold and std::runtime_error when compression fails.
namespace swfgen {

enum class SwfSignature { Fws, Cws, Zws };

enum class TagCode : quint16 {
  End = 0,
  ShowFrame = 1,
  DefineShape = 2,
  SetBackgroundColor = 9,
  DoAction = 12,
  PlaceObject2 = 26,
  DefineEditText = 37,
  DefineSprite = 39,
  DefineFont2 = 48,
};

enum class TextAlign : quint8 { Left = 0, Right = 1, Center = 2 };

// A single-line, read-only text field in a device font.
struct EditTextField {
  QRect twips;
  quint16 fontId = 0;
  int heightTwips = 240;
  QRgb color = 0;
  TextAlign align = TextAlign::Left;
  QString variable; // shown instead of the initial text once it is set
  QString initialText;
};

constexpr int TwipsPerPixel = 20;

namespace SwfWriter {

// A tag with the short header when the body is shorter than 63 bytes, else the long one.
QByteArray tag(TagCode code, const QByteArray& body);
// A tag that always carries the long header (a 32-bit length).
QByteArray longTag(TagCode code, const QByteArray& body);

QByteArray rect(const QRect& twips);
QByteArray translateMatrix(const QPoint& twips);

QByteArray setBackgroundColor(QRgb color);
// A DefineShape of one rectangle with its top-left corner at the origin, filled with one
// solid colour and without outline.
QByteArray defineRectangleShape(quint16 characterId, const QSize& twips, QRgb color);
// Places a character on a depth, moved by `translate`, optionally as a named instance.
QByteArray placeObject2(quint16 depth, quint16 characterId, const QPoint& translateTwips,
                        const QString& name = {});
// A DefineFont2 without glyphs that names a device font (such as "_sans").
QByteArray defineDeviceFont(quint16 characterId, const QString& name);
QByteArray defineEditText(quint16 characterId, const EditTextField& field);
QByteArray defineSprite(quint16 characterId, quint16 frameCount, const QByteArray& controlTags);
QByteArray doAction(const QByteArray& actions);
QByteArray showFrame();
QByteArray end();

// The uncompressed movie body: frame RECT, frame rate, frame count, then the tags.
QByteArray movieBody(const QRect& frameTwips, double frameRate, quint16 frameCount,
                     const QByteArray& tags);
// The complete file: header, then the body stored as the signature says. The header's
// length field always counts the uncompressed file.
QByteArray file(SwfSignature signature, quint8 version, const QByteArray& body);

} // namespace SwfWriter

} // namespace swfgen
