#include "tools/swfgen/ClipDescription.h"

#include "tools/swfgen/ActionWriter.h"

#include <QColor>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace swfgen {

namespace {

constexpr int MaxPixels = 0xFFFFF / TwipsPerPixel; // keeps every coordinate in 32-bit twips

// Thrown by the line readers; parse() turns it into the error text.
struct DescriptionError {
  QString message;
};

int readInteger(const QString& word, int minimum) {
  bool ok = false;
  const int value = word.toInt(&ok);
  if (!ok || value < minimum || value > MaxPixels)
    throw DescriptionError{QStringLiteral("\"%1\" is no whole number from %2 to %3")
                               .arg(word)
                               .arg(minimum)
                               .arg(MaxPixels)};
  return value;
}

QRgb readColor(const QString& word) {
  static const QRegularExpression hexColor(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
  if (!hexColor.match(word).hasMatch())
    throw DescriptionError{QStringLiteral("\"%1\" is no #RRGGBB colour").arg(word)};
  return QColor::fromString(word).rgb();
}

// #RRGGBB (opaque) or #RRGGBBAA, as ARGB.
QRgb readAlphaColor(const QString& word) {
  static const QRegularExpression hexColor(QStringLiteral("^#([0-9A-Fa-f]{6})([0-9A-Fa-f]{2})?$"));
  const QRegularExpressionMatch match = hexColor.match(word);
  if (!match.hasMatch())
    throw DescriptionError{QStringLiteral("\"%1\" is no #RRGGBB or #RRGGBBAA colour").arg(word)};
  const QRgb rgb = QColor::fromString(QLatin1Char('#') + match.captured(1)).rgb();
  const int alpha = match.hasCaptured(2) ? match.captured(2).toInt(nullptr, 16) : 255;
  return (rgb & 0xFFFFFF) | (QRgb(alpha) << 24);
}

double readNumber(const QString& word, double minimum, double maximum) {
  bool ok = false;
  const double value = word.toDouble(&ok);
  if (!ok || !(value >= minimum && value <= maximum))
    throw DescriptionError{
        QStringLiteral("\"%1\" is no number from %2 to %3").arg(word).arg(minimum).arg(maximum)};
  return value;
}

// A word from a fixed list, by its position in the list.
int readChoice(const QString& word, const QStringList& choices) {
  const qsizetype index = choices.indexOf(word);
  if (index < 0)
    throw DescriptionError{
        QStringLiteral("\"%1\" is none of %2").arg(word, choices.join(QLatin1Char('|')))};
  return int(index);
}

QList<double> readNumbers(const QString& word, qsizetype count, double minimum, double maximum) {
  const QStringList parts = word.split(QLatin1Char(','));
  if (parts.size() != count)
    throw DescriptionError{QStringLiteral("\"%1\" needs %2 numbers").arg(word).arg(count)};
  QList<double> numbers;
  for (const QString& part : parts)
    numbers.append(readNumber(part, minimum, maximum));
  return numbers;
}

QPoint readPoint(const QString& word) {
  const QList<double> xy = readNumbers(word, 2, -MaxPixels, MaxPixels);
  return QPoint(int(std::lround(xy[0])), int(std::lround(xy[1])));
}

// The words of a command line: positional arguments, and options written NAME=VALUE.
struct CommandLine {
  QStringList arguments; // the command word first
  QHash<QString, QString> options;

  // The option's value; fallback when it is not given. Every option read is used up.
  QString option(const QString& name, const QString& fallback = {}) {
    return options.contains(name) ? options.take(name) : fallback;
  }
  void expectNoOtherOptions() const {
    if (!options.isEmpty())
      throw DescriptionError{QStringLiteral("unknown option \"%1\"").arg(options.keys().first())};
  }
};

std::optional<ColorTransform> readColorTransform(CommandLine& line) {
  const QString multiply = line.option(QStringLiteral("mult"));
  const QString add = line.option(QStringLiteral("add"));
  if (multiply.isEmpty() && add.isEmpty())
    return std::nullopt;
  ColorTransform transform;
  if (!multiply.isEmpty()) {
    const QList<double> values = readNumbers(multiply, 4, -63, 63);
    std::copy(values.begin(), values.end(), transform.multiply.begin());
  }
  if (!add.isEmpty()) {
    const QList<double> values = readNumbers(add, 4, -255, 255);
    std::transform(values.begin(), values.end(), transform.add.begin(),
                   [](double value) { return int(std::lround(value)); });
  }
  return transform;
}

QList<QPoint> rectangleOutline(const QSize& twips) {
  return {{0, 0}, {twips.width(), 0}, {twips.width(), twips.height()}, {0, twips.height()}};
}

QRect readRectangle(const QStringList& arguments, qsizetype first) {
  return QRect(readInteger(arguments[first], -MaxPixels),
               readInteger(arguments[first + 1], -MaxPixels), readInteger(arguments[first + 2], 1),
               readInteger(arguments[first + 3], 1));
}

// Maps the gradient square onto a rectangle of the given size at the origin.
QTransform gradientSquareOnto(const QSize& twips) {
  constexpr double GradientSide = 32768;
  return QTransform(twips.width() / GradientSide, 0, 0, twips.height() / GradientSide,
                    twips.width() / 2.0, twips.height() / 2.0);
}

ClipDescription::Drawing readGradient(CommandLine& line) {
  const QStringList& words = line.arguments;
  ClipDescription::Drawing drawing;
  drawing.kind = ClipDescription::Drawing::Kind::Shape;
  drawing.pixels = readRectangle(words, 1);
  const QSize twips = drawing.pixels.size() * TwipsPerPixel;
  drawing.outline = rectangleOutline(twips);
  FillStyle fill;
  fill.kind =
      FillStyle::Kind(1 + readChoice(words[5], {QStringLiteral("linear"), QStringLiteral("radial"),
                                                QStringLiteral("focal")}));
  fill.matrix = gradientSquareOnto(twips);
  for (const QString& stop : words[6].split(QLatin1Char(','))) {
    const qsizetype colon = stop.indexOf(QLatin1Char(':'));
    if (colon < 0)
      throw DescriptionError{QStringLiteral("\"%1\" is no RATIO:COLOUR stop").arg(stop)};
    fill.stops.append(
        {quint8(readNumber(stop.left(colon), 0, 255)), readAlphaColor(stop.mid(colon + 1))});
  }
  if (fill.stops.size() > 15)
    throw DescriptionError{QStringLiteral("a gradient holds at most 15 stops")};
  fill.spread = FillStyle::Spread(
      readChoice(line.option(QStringLiteral("spread"), QStringLiteral("pad")),
                 {QStringLiteral("pad"), QStringLiteral("reflect"), QStringLiteral("repeat")}));
  fill.linearRgb =
      readChoice(line.option(QStringLiteral("interpolation"), QStringLiteral("normal")),
                 {QStringLiteral("normal"), QStringLiteral("linear")}) == 1;
  fill.focalPoint = readNumber(line.option(QStringLiteral("focus"), QStringLiteral("0")), -1, 1);
  drawing.version = fill.kind == FillStyle::Kind::FocalGradient ? 4 : 3;
  drawing.fill = fill;
  return drawing;
}

QImage checkerboard(const QSize& size, int cell, QRgb first, QRgb second) {
  QImage image(size, QImage::Format_ARGB32);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x)
      image.setPixel(x, y, (x / cell + y / cell) % 2 ? second : first);
  return image;
}

ClipDescription::Drawing readBitmap(CommandLine& line) {
  const QStringList& words = line.arguments;
  ClipDescription::Drawing drawing;
  drawing.kind = ClipDescription::Drawing::Kind::Shape;
  drawing.pixels = readRectangle(words, 1);
  drawing.outline = rectangleOutline(drawing.pixels.size() * TwipsPerPixel);
  drawing.bitmapFormat = BitmapFormat(readChoice(
      words[5],
      {QStringLiteral("lossless8"), QStringLiteral("lossless15"), QStringLiteral("lossless24"),
       QStringLiteral("lossless2-8"), QStringLiteral("lossless2-32"), QStringLiteral("jpeg"),
       QStringLiteral("jpeg2"), QStringLiteral("jpeg3"), QStringLiteral("jpeg4"),
       QStringLiteral("png"), QStringLiteral("gif")}));
  const int cell = readInteger(words[6], 1);
  QSize size = drawing.pixels.size();
  if (const QString image = line.option(QStringLiteral("image")); !image.isEmpty()) {
    const QStringList sides = image.split(QLatin1Char('x'));
    if (sides.size() != 2)
      throw DescriptionError{QStringLiteral("\"%1\" is no WxH size").arg(image)};
    size = QSize(readInteger(sides[0], 1), readInteger(sides[1], 1));
  }
  drawing.bitmap = checkerboard(size, cell, readAlphaColor(words[7]), readAlphaColor(words[8]));
  FillStyle fill;
  fill.kind = FillStyle::Kind::Bitmap;
  fill.matrix = QTransform::fromScale(TwipsPerPixel, TwipsPerPixel);
  fill.repeats = readChoice(line.option(QStringLiteral("fill"), QStringLiteral("repeat")),
                            {QStringLiteral("clip"), QStringLiteral("repeat")}) == 1;
  fill.smoothed = readChoice(line.option(QStringLiteral("smooth"), QStringLiteral("yes")),
                             {QStringLiteral("no"), QStringLiteral("yes")}) == 1;
  drawing.fill = fill;
  return drawing;
}

bool readYes(CommandLine& line, const QString& name) {
  return readChoice(line.option(name, QStringLiteral("no")),
                    {QStringLiteral("no"), QStringLiteral("yes")}) == 1;
}

ClipDescription::Drawing readLine(CommandLine& line) {
  const QStringList& words = line.arguments;
  ClipDescription::Drawing drawing;
  drawing.kind = ClipDescription::Drawing::Kind::Shape;
  drawing.version = 4;
  LineStyle style;
  style.widthTwips = quint16(std::lround(readNumber(words[1], 0, 255) * TwipsPerPixel));
  style.color = readAlphaColor(words[2]);
  for (qsizetype i = 3; i < words.size(); ++i)
    drawing.outline.append(readPoint(words[i]) * TwipsPerPixel);
  const QStringList caps{QStringLiteral("round"), QStringLiteral("none"), QStringLiteral("square")};
  const QString cap = line.option(QStringLiteral("cap"), QStringLiteral("round"));
  style.cap = LineStyle::Cap(readChoice(cap, caps));
  style.endCap = LineStyle::Cap(readChoice(line.option(QStringLiteral("endcap"), cap), caps));
  style.join = LineStyle::Join(
      readChoice(line.option(QStringLiteral("join"), QStringLiteral("round")),
                 {QStringLiteral("round"), QStringLiteral("bevel"), QStringLiteral("miter")}));
  style.miterLimit = readNumber(line.option(QStringLiteral("miter"), QStringLiteral("3")), 1, 255);
  style.noClose = readYes(line, QStringLiteral("noclose"));
  style.pixelHinting = readYes(line, QStringLiteral("hinting"));
  style.scales = readChoice(line.option(QStringLiteral("scale"), QStringLiteral("normal")),
                            {QStringLiteral("none"), QStringLiteral("normal")}) == 1;
  drawing.closed = readYes(line, QStringLiteral("closed"));
  drawing.line = style;
  return drawing;
}

void expectAtLeast(const QStringList& words, qsizetype count) {
  if (words.size() - 1 < count)
    throw DescriptionError{
        QStringLiteral("\"%1\" takes at least %2 argument(s)").arg(words.first()).arg(count)};
}

SwfSignature readSignature(const QString& word) {
  if (word == QLatin1String("FWS"))
    return SwfSignature::Fws;
  if (word == QLatin1String("CWS"))
    return SwfSignature::Cws;
  if (word == QLatin1String("ZWS"))
    return SwfSignature::Zws;
  throw DescriptionError{QStringLiteral("signature must be FWS, CWS or ZWS, not \"%1\"").arg(word)};
}

TextAlign readAlign(const QString& word) {
  if (word == QLatin1String("left"))
    return TextAlign::Left;
  if (word == QLatin1String("center"))
    return TextAlign::Center;
  if (word == QLatin1String("right"))
    return TextAlign::Right;
  throw DescriptionError{
      QStringLiteral("alignment must be left, center or right, not \"%1\"").arg(word)};
}

// The text of line after its first count words, spaces inside it kept.
QString restOfLine(const QString& line, qsizetype count) {
  const QRegularExpression leadingWords(QStringLiteral("^(\\S+\\s+){%1}").arg(count));
  const QRegularExpressionMatch match = leadingWords.match(line);
  return match.hasMatch() ? line.mid(match.capturedLength()).trimmed() : QString();
}

void expectArguments(const QStringList& words, qsizetype count) {
  if (words.size() - 1 != count)
    throw DescriptionError{
        QStringLiteral("\"%1\" takes %2 argument(s)").arg(words.first()).arg(count)};
}

QStringList lineWords(const QString& line) {
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  return line.split(blanks, Qt::SkipEmptyParts);
}

ClipDescription::TextField readTextField(const QString& line) {
  const QStringList words = lineWords(line);
  expectAtLeast(words, 8);
  return {readRectangle(words, 1),
          readColor(words[5]),
          readInteger(words[6], 1),
          readAlign(words[7]),
          words[8],
          restOfLine(line, 9)};
}

CommandLine splitLine(const QString& line) {
  CommandLine command;
  for (const QString& word : lineWords(line)) {
    const qsizetype equals = word.indexOf(QLatin1Char('='));
    if (equals > 0 && !command.arguments.isEmpty())
      command.options.insert(word.left(equals), word.mid(equals + 1));
    else
      command.arguments.append(word);
  }
  return command;
}

void applyLine(ClipDescription& description, const QString& line) {
  CommandLine commandLine = splitLine(line);
  const QStringList& words = commandLine.arguments;
  const QString& command = words.first();
  const auto addDrawing = [&](ClipDescription::Drawing drawing) {
    drawing.colors = readColorTransform(commandLine);
    description.drawings.append(drawing);
  };
  if (command == QLatin1String("item")) {
    // The text is everything after the command word, spaces inside it included.
    description.itemProperties = line.mid(command.size()).trimmed();
    return;
  }
  if (command == QLatin1String("text")) {
    // The initial text is the rest of the line as written, "=" included: no options here.
    description.textFields.append(readTextField(line));
    return;
  }
  if (command == QLatin1String("signature")) {
    expectArguments(words, 1);
    description.signature = readSignature(words[1]);
  } else if (command == QLatin1String("frame")) {
    expectArguments(words, 2);
    description.frameSize = QSize(readInteger(words[1], 1), readInteger(words[2], 1));
  } else if (command == QLatin1String("rate")) {
    expectArguments(words, 1);
    bool ok = false;
    const double rate = words[1].toDouble(&ok);
    if (!ok || rate <= 0 || rate >= 256)
      throw DescriptionError{QStringLiteral("rate must be above 0 and below 256")};
    description.frameRate = rate;
  } else if (command == QLatin1String("background")) {
    expectArguments(words, 1);
    description.background = readColor(words[1]);
  } else if (command == QLatin1String("rect") || command == QLatin1String("mask")) {
    const bool mask = command == QLatin1String("mask");
    expectArguments(words, 5);
    ClipDescription::Drawing drawing;
    drawing.pixels = readRectangle(words, mask ? 2 : 1);
    drawing.color = mask ? 0xFF000000 : readColor(words[5]);
    drawing.maskedCount = mask ? readInteger(words[1], 1) : 0;
    addDrawing(drawing);
  } else if (command == QLatin1String("gradient")) {
    expectArguments(words, 6);
    addDrawing(readGradient(commandLine));
  } else if (command == QLatin1String("bitmap")) {
    expectArguments(words, 8);
    addDrawing(readBitmap(commandLine));
  } else if (command == QLatin1String("line")) {
    expectAtLeast(words, 4);
    addDrawing(readLine(commandLine));
  } else if (command == QLatin1String("load")) {
    expectArguments(words, 0);
    description.announcesLoad = true;
  } else {
    throw DescriptionError{QStringLiteral("unknown command \"%1\"").arg(command)};
  }
  commandLine.expectNoOtherOptions();
}

QPoint toTwips(const QPoint& pixels) {
  return pixels * TwipsPerPixel;
}

} // namespace

std::optional<ClipDescription> ClipDescription::parse(const QString& text, QString* error) {
  ClipDescription description;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (qsizetype index = 0; index < lines.size(); ++index) {
    const QString line = lines[index].trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1String("//")))
      continue;
    try {
      applyLine(description, line);
    } catch (const DescriptionError& failure) {
      if (error)
        *error = QStringLiteral("line %1: %2").arg(index + 1).arg(failure.message);
      return std::nullopt;
    }
  }
  return description;
}

QByteArray ClipDescription::toSwf() const {
  // Character ids and depths are 16-bit; each drawing and its bitmap, each text field, the
  // font and the item take one.
  if (2 * drawings.size() + textFields.size() >= 0xFFFD)
    throw std::length_error("too many drawings and text fields for 16-bit character ids");
  QByteArray tags;
  if (background)
    tags += SwfWriter::setBackgroundColor(*background);
  quint16 nextId = 1;
  quint16 nextDepth = 1;
  for (const Drawing& drawing : drawings) {
    std::optional<FillStyle> fill = drawing.fill;
    if (drawing.bitmap) {
      fill->bitmapId = nextId++;
      tags += SwfWriter::defineBitmap(fill->bitmapId, *drawing.bitmap, drawing.bitmapFormat);
    }
    const quint16 id = nextId++;
    if (drawing.kind == Drawing::Kind::Rectangle)
      tags +=
          SwfWriter::defineRectangleShape(id, drawing.pixels.size() * TwipsPerPixel, drawing.color);
    else
      tags += SwfWriter::defineShape(id, drawing.version, drawing.outline, drawing.closed, fill,
                                     drawing.line);
    const quint16 depth = nextDepth++;
    const quint16 clipDepth =
        drawing.maskedCount ? quint16(std::min(depth + drawing.maskedCount, 0xFFFF)) : 0;
    tags += SwfWriter::placeObject2(depth, id, toTwips(drawing.pixels.topLeft()), {},
                                    drawing.colors, clipDepth);
  }
  if (itemProperties) {
    const quint16 id = nextId++;
    const QByteArray spriteTags =
        SwfWriter::doAction(
            ActionWriter().setVariable(QStringLiteral("prop"), *itemProperties).bytes()) +
        SwfWriter::showFrame() + SwfWriter::end();
    tags += SwfWriter::defineSprite(id, 1, spriteTags);
    tags += SwfWriter::placeObject2(nextDepth++, id, QPoint(), QStringLiteral("item"));
  }
  if (!textFields.isEmpty()) {
    const quint16 fontId = nextId++;
    tags += SwfWriter::defineDeviceFont(fontId, QStringLiteral("_sans"));
    for (const TextField& field : textFields) {
      const quint16 id = nextId++;
      const QRect twips(toTwips(field.pixels.topLeft()), field.pixels.size() * TwipsPerPixel);
      tags += SwfWriter::defineEditText(id, {twips, fontId, field.size * TwipsPerPixel, field.color,
                                             field.align, field.variable, field.initialText});
      tags += SwfWriter::placeObject2(nextDepth++, id, QPoint());
    }
  }
  if (announcesLoad)
    tags += SwfWriter::doAction(ActionWriter().fsCommandWithTarget(QStringLiteral("load")).bytes());
  tags += SwfWriter::showFrame() + SwfWriter::end();
  const QRect frameTwips(QPoint(0, 0), frameSize * TwipsPerPixel);
  return SwfWriter::file(signature, version, SwfWriter::movieBody(frameTwips, frameRate, 1, tags));
}

} // namespace swfgen
