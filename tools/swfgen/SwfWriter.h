#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTransform>
#include <array>
#include <optional>

// Builders for the tags and the file envelope of a SWF movie. Coordinates are in twips
// (1/20 pixel). Every function throws std::invalid_argument or std::length_error for values
// the format cannot hold and std::runtime_error when compression fails.
namespace swfgen {

enum class SwfSignature { Fws, Cws, Zws };

enum class TagCode : quint16 {
  End = 0,
  ShowFrame = 1,
  DefineShape = 2,
  DefineBits = 6,
  DefineButton = 7,
  JpegTables = 8,
  SetBackgroundColor = 9,
  DoAction = 12,
  RemoveObject2 = 28,
  DefineBitsLossless = 20,
  DefineBitsJpeg2 = 21,
  DefineShape2 = 22,
  DefineButtonCxform = 23,
  PlaceObject2 = 26,
  DefineShape3 = 32,
  DefineButton2 = 34,
  DefineBitsJpeg3 = 35,
  DefineBitsLossless2 = 36,
  DefineEditText = 37,
  DefineSprite = 39,
  FrameLabel = 43,
  DefineFont2 = 48,
  DoInitAction = 59,
  DefineShape4 = 83,
  DefineBitsJpeg4 = 90,
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

// How a shape is painted inside its outline. Colours are ARGB (QRgb); shapes of version 1
// and 2 drop the alpha.
struct FillStyle {
  enum class Kind { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };
  enum class Spread { Pad, Reflect, Repeat };
  struct Stop {
    quint8 ratio = 0;
    QRgb color = 0;
  };

  Kind kind = Kind::Solid;
  QRgb color = 0xFF000000;
  // Places the 32,768-unit gradient square or the bitmap's pixels in the shape's twips.
  QTransform matrix;
  QList<Stop> stops; // at most 15
  Spread spread = Spread::Pad;
  bool linearRgb = false;
  double focalPoint = 0; // -1 to 1
  quint16 bitmapId = 0;
  bool repeats = true;
  bool smoothed = true;
};

// How a shape's outline is stroked. Every field but width and color needs DefineShape4.
struct LineStyle {
  enum class Cap { Round, None, Square };
  enum class Join { Round, Bevel, Miter };

  quint16 widthTwips = 20;
  QRgb color = 0xFF000000;
  std::optional<FillStyle> fill;
  Cap cap = Cap::Round;    // at the start of the outline
  Cap endCap = Cap::Round; // at its end
  Join join = Join::Round;
  double miterLimit = 3;
  bool noClose = false;
  bool pixelHinting = false;
  bool scales = true;
};

// Multiplies, then adds, each of red, green, blue and alpha.
struct ColorTransform {
  std::array<double, 4> multiply{1, 1, 1, 1};
  std::array<int, 4> add{0, 0, 0, 0};
};

// How a bitmap is stored: the lossless tags in each pixel format, or encoded in the JPEG tags.
enum class BitmapFormat {
  ColorMapped,      // DefineBitsLossless, 8-bit palette
  Rgb15,            // DefineBitsLossless, 15-bit
  Rgb24,            // DefineBitsLossless, 24-bit
  ColorMappedAlpha, // DefineBitsLossless2, palette with alpha
  Argb32,           // DefineBitsLossless2, 32-bit
  Jpeg,             // JPEGTables and DefineBits
  Jpeg2,            // DefineBitsJPEG2
  Jpeg3,            // DefineBitsJPEG3 with the image's alpha
  Jpeg4,            // DefineBitsJPEG4 with the image's alpha
  Png,              // PNG data in DefineBitsJPEG2
  Gif,              // GIF data in DefineBitsJPEG2
};

// The events that run a handler of a placed sprite (onClipEvent), as the flags of the 32-bit
// event mask.
namespace ClipEvent {
inline constexpr quint32 Load = 0x00000001;
inline constexpr quint32 EnterFrame = 0x00000002;
inline constexpr quint32 Unload = 0x00000004;
inline constexpr quint32 MouseMove = 0x00000008;
inline constexpr quint32 MouseDown = 0x00000010;
inline constexpr quint32 MouseUp = 0x00000020;
inline constexpr quint32 KeyDown = 0x00000040;
inline constexpr quint32 KeyUp = 0x00000080;
inline constexpr quint32 Data = 0x00000100;
inline constexpr quint32 Initialize = 0x00000200;
inline constexpr quint32 Press = 0x00000400;
inline constexpr quint32 Release = 0x00000800;
inline constexpr quint32 ReleaseOutside = 0x00001000;
inline constexpr quint32 RollOver = 0x00002000;
inline constexpr quint32 RollOut = 0x00004000;
inline constexpr quint32 DragOver = 0x00008000;
inline constexpr quint32 DragOut = 0x00010000;
inline constexpr quint32 Construct = 0x00040000;
} // namespace ClipEvent

// One onClipEvent handler: the events it answers and its action records, End included.
struct ClipEventHandler {
  quint32 events = 0;
  QByteArray actions;
};

// The states a button record shows in.
namespace ButtonState {
inline constexpr quint8 Up = 0x01;
inline constexpr quint8 Over = 0x02;
inline constexpr quint8 Down = 0x04;
inline constexpr quint8 Hit = 0x08; // where the button takes the mouse; never drawn
} // namespace ButtonState

// The transitions that run a DefineButton2 action.
namespace ButtonCondition {
inline constexpr quint16 RollOver = 0x0001;
inline constexpr quint16 RollOut = 0x0002;
inline constexpr quint16 Press = 0x0004;
inline constexpr quint16 Release = 0x0008;
inline constexpr quint16 DragOut = 0x0010;
inline constexpr quint16 DragOver = 0x0020;
inline constexpr quint16 ReleaseOutside = 0x0040;
} // namespace ButtonCondition

// One character of a button, in the states it shows in.
struct ButtonRecord {
  quint8 states = ButtonState::Up;
  quint16 characterId = 0;
  quint16 depth = 1;
  QTransform matrix;
  std::optional<ColorTransform> colors; // DefineButton2 only
};

// A script of a DefineButton2 and the transitions (and key, 1 to 127) that run it.
struct ButtonAction {
  quint16 conditions = 0;
  quint8 keyCode = 0;
  QByteArray actions; // End included
};

constexpr int TwipsPerPixel = 20;

namespace SwfWriter {

// A tag with the short header when the body is shorter than 63 bytes, else the long one.
QByteArray tag(TagCode code, const QByteArray& body);
// A tag that always carries the long header (a 32-bit length).
QByteArray longTag(TagCode code, const QByteArray& body);

QByteArray rect(const QRect& twips);
QByteArray translateMatrix(const QPoint& twips);
// Any MATRIX: scale, rotation and skew in 16.16 fixed point, translation in twips.
QByteArray matrix(const QTransform& transform);
QByteArray colorTransformWithAlpha(const ColorTransform& transform);

QByteArray setBackgroundColor(QRgb color);
// A DefineShape of one rectangle with its top-left corner at the origin, filled with one
// solid colour and without outline.
QByteArray defineRectangleShape(quint16 characterId, const QSize& twips, QRgb color);
// A DefineShape of the given version (1 to 4) whose one outline runs through pointsTwips,
// back to the first point when closed, filled and stroked by the styles given.
QByteArray defineShape(quint16 characterId, int version, const QList<QPoint>& pointsTwips,
                       bool closed, const std::optional<FillStyle>& fill,
                       const std::optional<LineStyle>& line);
// The tags that define image as bitmap characterId in format: JPEGTables and DefineBits for
// Jpeg, one tag otherwise. Throws std::invalid_argument for an image the format cannot hold.
QByteArray defineBitmap(quint16 characterId, const QImage& image, BitmapFormat format);
// Places a character on a depth, moved by `translate`, optionally as a named instance, with
// a colour transform, as a mask over the depths up to clipDepth when that is set, and with the
// handlers of a sprite's clip events.
QByteArray placeObject2(quint16 depth, quint16 characterId, const QPoint& translateTwips,
                        const QString& name = {},
                        const std::optional<ColorTransform>& colors = std::nullopt,
                        quint16 clipDepth = 0, const QList<ClipEventHandler>& clipEvents = {});
QByteArray removeObject2(quint16 depth);
// A DefineButton: its records and the one script it runs on release (End included; empty for
// none).
QByteArray defineButton(quint16 characterId, const QList<ButtonRecord>& records,
                        const QByteArray& actions);
// A DefineButton2 with its records and condition actions.
QByteArray defineButton2(quint16 characterId, const QList<ButtonRecord>& records,
                         const QList<ButtonAction>& actions, bool trackAsMenu = false);
// Colours every record of a DefineButton (alpha is not stored).
QByteArray defineButtonCxform(quint16 buttonId, const ColorTransform& transform);
// A DefineFont2 without glyphs that names a device font (such as "_sans").
QByteArray defineDeviceFont(quint16 characterId, const QString& name);
QByteArray defineEditText(quint16 characterId, const EditTextField& field);
QByteArray defineSprite(quint16 characterId, quint16 frameCount, const QByteArray& controlTags);
QByteArray doAction(const QByteArray& actions);
// Actions that run once, before the first frame that places the sprite runs its scripts.
QByteArray doInitAction(quint16 spriteId, const QByteArray& actions);
QByteArray frameLabel(const QString& name);
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
