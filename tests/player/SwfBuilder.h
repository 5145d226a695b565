#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

// Assembles SWF bytes by hand for the player's tests and fuzz seeds.
namespace SwfBuilder {

// Little-endian bytes and most-significant-first bit fields, as SWF stores them.
class Writer {
public:
  Writer& U8(int value);
  Writer& U16(int value);
  Writer& U32(quint32 value);
  Writer& Bytes(const QByteArray& bytes);
  Writer& Text(const QString& text); // UTF-8, zero-terminated
  Writer& Bits(quint32 value, int count);
  Writer& SignedBits(qint32 value, int count);
  Writer& Align();
  QByteArray Data();

private:
  QByteArray FData;
  quint8 FBits = 0;
  int FBitCount = 0;
};

QByteArray Rect(int xMin, int xMax, int yMin, int yMax);
// Translation in twips and an optional uniform scale.
QByteArray Matrix(int translateX, int translateY, double scale = 1);
QByteArray Tag(int code, const QByteArray& body, bool longHeader = false);
// A whole file: header (signature 'F', 'C' or 'Z'), frame of width x height twips, rate 12,
// one frame, the tags and an End tag.
QByteArray File(const QByteArray& tags, char signature = 'F', int width = 8000, int height = 6000,
                int version = 10);
QByteArray Background(QColor color);
// A DefineShape (1 to 4) of one rectangle filled with color.
QByteArray RectangleShape(int id, const QRect& twips, QColor color, int version = 1);
// A DefineShape2 rectangle filled with bitmapId shown once, one bitmap pixel to a pixel from
// the rectangle's top left corner.
QByteArray BitmapRectangleShape(int id, const QRect& twips, int bitmapId);
// A DefineBitsLossless of the image's pixels, opaque.
QByteArray OpaqueBitmap(int id, const QImage& image);
// PlaceObject2 of character at depth, translated by x, y twips, named when name is set.
QByteArray Place(int depth, int character, int x = 0, int y = 0, const QString& name = {},
                 double scale = 1);
// PlaceObject2 of character at depth with a matrix that skews x by skew times y.
QByteArray PlaceSkewed(int depth, int character, double skew);
// PlaceObject3 of character at depth, translated by x, y twips, with a FILTERLIST's bytes
// (none when empty) and a blend mode (none when 0).
QByteArray PlaceWithEffects(int depth, int character, int x, int y, const QByteArray& filters,
                            int blendMode = 0);
QByteArray Sprite(int id, const QByteArray& tags);
QByteArray ShowFrame();

// Builds a DoAction tag from actions.
class Actions {
public:
  Actions& ConstantPool(const QStringList& strings);
  Actions& Push(const QString& text);
  Actions& PushNumber(double value); // as DOUBLE
  Actions& PushFloat(float value);
  Actions& PushInteger(qint32 value);
  Actions& PushBoolean(bool value);
  Actions& PushNull();
  Actions& PushUndefined();
  Actions& PushRegister(int number);
  Actions& PushConstant(int index); // 8-bit index below 256, else 16-bit
  Actions& Op(int code);
  Actions& GetUrl(const QString& url, const QString& target);
  Actions& Raw(const QByteArray& bytes);
  // this.name = value with a text value
  Actions& SetThis(const QString& name, const QString& value);
  // fscommand("load", this._target)
  Actions& AnnounceLoad();
  QByteArray Tag() const;

private:
  Actions& PushRecord(const QByteArray& record);
  QByteArray FBytes;
};

// Writes bytes to path; returns path.
QString Save(const QString& path, const QByteArray& bytes);

} // namespace SwfBuilder
