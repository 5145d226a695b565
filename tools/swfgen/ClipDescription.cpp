#include "tools/swfgen/ClipDescription.h"

#include "tools/swfgen/ActionWriter.h"
#include "tools/swfgen/ScriptAssembler.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
  QStringList words = lineWords(line);
  QString name;
  qsizetype textStart = 9;
  if (words.size() > 1 && words[1].startsWith(QLatin1String("name="))) {
    name = words.takeAt(1).mid(5);
    if (name.isEmpty())
      throw DescriptionError{QStringLiteral("name= needs a name")};
    ++textStart;
  }
  expectAtLeast(words, 8);
  return {readRectangle(words, 1),
          readColor(words[5]),
          readInteger(words[6], 1),
          readAlign(words[7]),
          words[8],
          restOfLine(line, textStart),
          name};
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

quint32 readClipEvent(const QString& word) {
  static const QHash<QString, quint32> events{
      {QStringLiteral("load"), ClipEvent::Load},
      {QStringLiteral("enterFrame"), ClipEvent::EnterFrame},
      {QStringLiteral("unload"), ClipEvent::Unload},
      {QStringLiteral("mouseMove"), ClipEvent::MouseMove},
      {QStringLiteral("mouseDown"), ClipEvent::MouseDown},
      {QStringLiteral("mouseUp"), ClipEvent::MouseUp},
      {QStringLiteral("keyDown"), ClipEvent::KeyDown},
      {QStringLiteral("keyUp"), ClipEvent::KeyUp},
      {QStringLiteral("data"), ClipEvent::Data},
      {QStringLiteral("initialize"), ClipEvent::Initialize},
      {QStringLiteral("press"), ClipEvent::Press},
      {QStringLiteral("release"), ClipEvent::Release},
      {QStringLiteral("releaseOutside"), ClipEvent::ReleaseOutside},
      {QStringLiteral("rollOver"), ClipEvent::RollOver},
      {QStringLiteral("rollOut"), ClipEvent::RollOut},
      {QStringLiteral("dragOver"), ClipEvent::DragOver},
      {QStringLiteral("dragOut"), ClipEvent::DragOut},
      {QStringLiteral("construct"), ClipEvent::Construct},
  };
  const auto found = events.constFind(word);
  if (found == events.constEnd())
    throw DescriptionError{QStringLiteral("unknown clip event \"%1\"").arg(word)};
  return *found;
}

quint16 readButtonCondition(const QString& word) {
  static const QHash<QString, quint16> conditions{
      {QStringLiteral("press"), ButtonCondition::Press},
      {QStringLiteral("release"), ButtonCondition::Release},
      {QStringLiteral("releaseOutside"), ButtonCondition::ReleaseOutside},
      {QStringLiteral("rollOver"), ButtonCondition::RollOver},
      {QStringLiteral("rollOut"), ButtonCondition::RollOut},
      {QStringLiteral("dragOver"), ButtonCondition::DragOver},
      {QStringLiteral("dragOut"), ButtonCondition::DragOut},
  };
  const auto found = conditions.constFind(word);
  if (found == conditions.constEnd())
    throw DescriptionError{QStringLiteral("unknown button transition \"%1\"").arg(word)};
  return *found;
}

// A comma list of button states: up, over, down, hit.
quint8 readButtonStates(const QString& word) {
  static const QHash<QString, quint8> states{{QStringLiteral("up"), ButtonState::Up},
                                             {QStringLiteral("over"), ButtonState::Over},
                                             {QStringLiteral("down"), ButtonState::Down},
                                             {QStringLiteral("hit"), ButtonState::Hit}};
  quint8 flags = 0;
  for (const QString& name : word.split(QLatin1Char(','))) {
    const auto found = states.constFind(name);
    if (found == states.constEnd())
      throw DescriptionError{
          QStringLiteral("\"%1\" is no button state (up, over, down, hit)").arg(name)};
    flags |= *found;
  }
  return flags;
}

// Reads the lines of a description, the blocks of sprites and scripts included, into one
// ClipDescription.
class DescriptionReader {
public:
  DescriptionReader(const QList<SourceLine>& lines, ClipDescription& description)
      : m_lines(lines), m_description(description) {}

  void readMovie() { readTimeline(nullptr, nullptr); }

private:
  // What a sprite's lines add to: its frames so far and whether a keyframe was seen.
  struct SpriteState {
    ClipDescription::Sprite sprite;
    bool keyframed = false;
    QList<ClipDescription::Drawing>& drawings() {
      return keyframed ? sprite.frames.last().drawings : sprite.everyFrame;
    }
  };

  void readTimeline(SpriteState* sprite, const SourceLine* opening);
  void applyLine(const SourceLine& source, SpriteState* sprite);
  // Applies a command that only the movie's root takes; false for any other command.
  bool applyRootLine(const QString& line, const QStringList& words);
  void readSprite(const QStringList& words, CommandLine& commandLine, const SourceLine& source,
                  SpriteState* parent);
  void readButton(const QStringList& words, const SourceLine& source, SpriteState* parent);
  // One line inside a button block: a state's drawing or an action.
  void applyButtonLine(const SourceLine& source, ClipDescription::Button& button);
  QByteArray readScript(const SourceLine& opening) {
    return assembleScript(m_lines, m_index, opening).bytes();
  }

  const QList<SourceLine>& m_lines;
  ClipDescription& m_description;
  qsizetype m_index = 0;
};

void DescriptionReader::readTimeline(SpriteState* sprite, const SourceLine* opening) {
  while (m_index < m_lines.size()) {
    const SourceLine& source = m_lines[m_index++];
    const QString line = source.text.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1String("//")))
      continue;
    if (line == QLatin1String("}")) {
      if (sprite)
        return;
      throw SourceError{source, QStringLiteral("\"}\" closes no block")};
    }
    try {
      applyLine(source, sprite);
    } catch (const DescriptionError& failure) {
      throw SourceError{source, failure.message};
    }
  }
  if (opening)
    throw SourceError{*opening, QStringLiteral("the block opened here has no closing \"}\"")};
}

void DescriptionReader::applyLine(const SourceLine& source, SpriteState* sprite) {
  const QString line = source.text.trimmed();
  CommandLine commandLine = splitLine(line);
  const QStringList& words = commandLine.arguments;
  const QString& command = words.first();
  const bool opensBlock = words.size() > 1 && words.last() == QLatin1String("{");
  QList<ClipDescription::Drawing>& drawings = sprite ? sprite->drawings() : m_description.drawings;
  const auto addDrawing = [&](ClipDescription::Drawing drawing) {
    drawing.colors = readColorTransform(commandLine);
    drawings.append(drawing);
  };
  const auto inSpriteOnly = [&] {
    if (!sprite)
      throw DescriptionError{QStringLiteral("\"%1\" belongs inside a sprite").arg(command)};
  };
  if (command == QLatin1String("text")) {
    // The initial text is the rest of the line as written, "=" included: no options here.
    ClipDescription::TextField field = readTextField(line);
    if (!sprite) {
      m_description.textFields.append(field);
      return;
    }
    ClipDescription::Drawing drawing;
    drawing.kind = ClipDescription::Drawing::Kind::Text;
    drawing.text = field;
    drawings.append(drawing);
    return;
  }
  if (!sprite && applyRootLine(line, words))
    return;
  if (command == QLatin1String("actions") && opensBlock) {
    expectArguments(words, 1);
    const QByteArray script = readScript(source);
    (sprite ? sprite->sprite.frames.last().scripts : m_description.scripts).append(script);
  } else if (command == QLatin1String("initactions") && opensBlock) {
    inSpriteOnly();
    expectArguments(words, 1);
    if (sprite->sprite.initActions)
      throw DescriptionError{QStringLiteral("a sprite has one initactions block")};
    sprite->sprite.initActions = readScript(source);
  } else if (command == QLatin1String("onClipEvent") && opensBlock) {
    inSpriteOnly();
    expectAtLeast(words, 2);
    quint32 events = 0;
    for (qsizetype i = 1; i < words.size() - 1; ++i)
      events |= readClipEvent(words[i]);
    sprite->sprite.clipEvents.append({events, readScript(source)});
  } else if (command == QLatin1String("sprite") && opensBlock) {
    readSprite(words, commandLine, source, sprite);
    return; // the sprite's options are its own
  } else if (command == QLatin1String("button") && opensBlock) {
    readButton(words, source, sprite);
  } else if (command == QLatin1String("keyframe")) {
    inSpriteOnly();
    expectArguments(words, 1);
    for (const ClipDescription::Frame& frame : sprite->sprite.frames)
      if (frame.label == words[1])
        throw DescriptionError{QStringLiteral("frame label \"%1\" is used twice").arg(words[1])};
    if (sprite->keyframed)
      sprite->sprite.frames.append(ClipDescription::Frame{});
    sprite->keyframed = true;
    sprite->sprite.frames.last().label = words[1];
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
  } else if (opensBlock) {
    throw DescriptionError{QStringLiteral("\"%1\" opens no block").arg(command)};
  } else {
    static const QStringList rootCommands{QStringLiteral("item"),       QStringLiteral("signature"),
                                          QStringLiteral("frame"),      QStringLiteral("rate"),
                                          QStringLiteral("background"), QStringLiteral("load")};
    if (rootCommands.contains(command))
      throw DescriptionError{
          QStringLiteral("\"%1\" belongs to the movie, not to a sprite").arg(command)};
    throw DescriptionError{QStringLiteral("unknown command \"%1\"").arg(command)};
  }
  commandLine.expectNoOtherOptions();
}

bool DescriptionReader::applyRootLine(const QString& line, const QStringList& words) {
  const QString& command = words.first();
  if (command == QLatin1String("item")) {
    // The text is everything after the command word, spaces inside it included.
    m_description.itemProperties = line.mid(command.size()).trimmed();
  } else if (command == QLatin1String("signature")) {
    expectArguments(words, 1);
    m_description.signature = readSignature(words[1]);
  } else if (command == QLatin1String("frame")) {
    expectArguments(words, 2);
    m_description.frameSize = QSize(readInteger(words[1], 1), readInteger(words[2], 1));
  } else if (command == QLatin1String("rate")) {
    expectArguments(words, 1);
    bool ok = false;
    const double rate = words[1].toDouble(&ok);
    if (!ok || rate <= 0 || rate >= 256)
      throw DescriptionError{QStringLiteral("rate must be above 0 and below 256")};
    m_description.frameRate = rate;
  } else if (command == QLatin1String("background")) {
    expectArguments(words, 1);
    m_description.background = readColor(words[1]);
  } else if (command == QLatin1String("load")) {
    expectArguments(words, 0);
    m_description.announcesLoad = true;
  } else {
    return false;
  }
  return true;
}

void DescriptionReader::readSprite(const QStringList& words, CommandLine& commandLine,
                                   const SourceLine& source, SpriteState* parent) {
  expectArguments(words, 4);
  static const QRegularExpression instanceName(QStringLiteral("^[A-Za-z_$][A-Za-z0-9_$]*$"));
  if (!instanceName.match(words[1]).hasMatch())
    throw DescriptionError{QStringLiteral("\"%1\" is no instance name").arg(words[1])};
  SpriteState state;
  state.sprite.name = words[1];
  state.sprite.position =
      QPoint(readInteger(words[2], -MaxPixels), readInteger(words[3], -MaxPixels));
  state.sprite.colors = readColorTransform(commandLine);
  commandLine.expectNoOtherOptions();
  // The entry is taken before the sprites inside it take theirs.
  const qsizetype entry = m_description.sprites.size();
  m_description.sprites.append(ClipDescription::Sprite{});
  readTimeline(&state, &source);
  m_description.sprites[entry] = state.sprite;
  ClipDescription::Drawing drawing;
  drawing.kind = ClipDescription::Drawing::Kind::Sprite;
  drawing.sprite = entry;
  (parent ? parent->drawings() : m_description.drawings).append(drawing);
}

void DescriptionReader::readButton(const QStringList& words, const SourceLine& source,
                                   SpriteState* parent) {
  expectArguments(words, 4);
  static const QRegularExpression instanceName(QStringLiteral("^[A-Za-z_$][A-Za-z0-9_$]*$"));
  if (!instanceName.match(words[1]).hasMatch())
    throw DescriptionError{QStringLiteral("\"%1\" is no instance name").arg(words[1])};
  ClipDescription::Button button;
  button.name = words[1];
  button.position = QPoint(readInteger(words[2], -MaxPixels), readInteger(words[3], -MaxPixels));
  for (;;) {
    if (m_index >= m_lines.size())
      throw SourceError{source, QStringLiteral("the block opened here has no closing \"}\"")};
    const SourceLine& line = m_lines[m_index++];
    const QString text = line.text.trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1String("//")))
      continue;
    if (text == QLatin1String("}"))
      break;
    try {
      applyButtonLine(line, button);
    } catch (const DescriptionError& failure) {
      throw SourceError{line, failure.message};
    }
  }
  ClipDescription::Drawing drawing;
  drawing.kind = ClipDescription::Drawing::Kind::Button;
  drawing.sprite = m_description.buttons.size();
  m_description.buttons.append(button);
  (parent ? parent->drawings() : m_description.drawings).append(drawing);
}

void DescriptionReader::applyButtonLine(const SourceLine& source, ClipDescription::Button& button) {
  const QString text = source.text.trimmed();
  const QStringList words = lineWords(text);
  if (words.first() == QLatin1String("on") && words.size() > 2 &&
      words.last() == QLatin1String("{")) {
    ButtonAction action;
    for (qsizetype i = 1; i < words.size() - 1; ++i)
      action.conditions |= readButtonCondition(words[i]);
    action.actions = readScript(source);
    button.actions.append(action);
    return;
  }
  if (words.size() < 2)
    throw DescriptionError{QStringLiteral("a button line names its states, then a drawing")};
  const quint8 states = readButtonStates(words.first());
  // The rest of the line is read as a sprite's drawing line would be.
  const SourceLine drawingLine{text.mid(words.first().size()).trimmed(), source.number,
                               source.file};
  SpriteState drawings;
  applyLine(drawingLine, &drawings);
  if (drawings.keyframed || drawings.sprite.frames.size() != 1 ||
      !drawings.sprite.frames.first().scripts.isEmpty() || !drawings.sprite.clipEvents.isEmpty())
    throw DescriptionError{QStringLiteral("a button line holds a drawing, a text or a sprite")};
  for (const ClipDescription::Drawing& drawing : drawings.sprite.everyFrame)
    button.records.append({states, drawing});
}

// The lines of text, each include replaced by the lines of its file.
void expandIncludes(const QString& text, const QString& file, const QString& directory, int depth,
                    QList<SourceLine>& lines) {
  constexpr int MaxIncludeDepth = 8;
  const QStringList texts = text.split(QLatin1Char('\n'));
  for (qsizetype index = 0; index < texts.size(); ++index) {
    const SourceLine line{texts[index], int(index + 1), file};
    const QStringList words = lineWords(line.text);
    if (words.value(0) != QLatin1String("include")) {
      lines.append(line);
      continue;
    }
    if (words.size() != 2)
      throw SourceError{line, QStringLiteral("\"include\" takes 1 argument(s)")};
    if (depth >= MaxIncludeDepth)
      throw SourceError{line, QStringLiteral("includes nest deeper than %1").arg(MaxIncludeDepth)};
    const QString path = QDir(directory).filePath(words[1]);
    QFile included(path);
    if (!included.open(QIODevice::ReadOnly | QIODevice::Text))
      throw SourceError{line,
                        QStringLiteral("cannot read %1: %2").arg(path, included.errorString())};
    expandIncludes(QString::fromUtf8(included.readAll()), words[1], QFileInfo(path).absolutePath(),
                   depth + 1, lines);
  }
}

QPoint toTwips(const QPoint& pixels) {
  return pixels * TwipsPerPixel;
}

// Hands out character ids and writes the definitions and placements of what a description
// draws. Definitions go into the stream the caller gives: the root's tags, which a sprite's
// control tags cannot hold.
class MovieTags {
public:
  explicit MovieTags(const ClipDescription& description) : m_description(description) {}

  quint16 newId() {
    if (m_nextId == 0xFFFF)
      throw std::length_error("too many drawings and text fields for 16-bit character ids");
    return m_nextId++;
  }

  // The device font every text field uses, defined the first time one needs it.
  quint16 fontId(QByteArray& definitions) {
    if (!m_fontId) {
      m_fontId = newId();
      definitions += SwfWriter::defineDeviceFont(*m_fontId, QStringLiteral("_sans"));
    }
    return *m_fontId;
  }

  QByteArray place(const ClipDescription::Drawing& drawing, quint16 depth, QByteArray& definitions);
  QByteArray placeText(const ClipDescription::TextField& field, quint16 depth,
                       QByteArray& definitions);

private:
  using Drawing = ClipDescription::Drawing;

  // Defines a drawing's shape or bitmap-filled shape; gives its id.
  quint16 defineShape(const Drawing& drawing, QByteArray& definitions);
  quint16 defineText(const ClipDescription::TextField& field, QByteArray& definitions);
  quint16 defineSprite(const ClipDescription::Sprite& sprite, QByteArray& definitions);
  quint16 defineButton(const ClipDescription::Button& button, QByteArray& definitions);

  const ClipDescription& m_description;
  quint16 m_nextId = 1;
  std::optional<quint16> m_fontId;
};

QByteArray MovieTags::place(const Drawing& drawing, quint16 depth, QByteArray& definitions) {
  if (drawing.kind == Drawing::Kind::Sprite) {
    const ClipDescription::Sprite& sprite = m_description.sprites.at(drawing.sprite);
    return SwfWriter::placeObject2(depth, defineSprite(sprite, definitions),
                                   toTwips(sprite.position), sprite.name, sprite.colors, 0,
                                   sprite.clipEvents);
  }
  if (drawing.kind == Drawing::Kind::Button) {
    const ClipDescription::Button& button = m_description.buttons.at(drawing.sprite);
    return SwfWriter::placeObject2(depth, defineButton(button, definitions),
                                   toTwips(button.position), button.name);
  }
  if (drawing.kind == Drawing::Kind::Text)
    return placeText(drawing.text, depth, definitions);
  const quint16 id = defineShape(drawing, definitions);
  const quint16 clipDepth =
      drawing.maskedCount ? quint16(std::min(depth + drawing.maskedCount, 0xFFFF)) : 0;
  return SwfWriter::placeObject2(depth, id, toTwips(drawing.pixels.topLeft()), {}, drawing.colors,
                                 clipDepth);
}

quint16 MovieTags::defineButton(const ClipDescription::Button& button, QByteArray& definitions) {
  QList<ButtonRecord> records;
  quint16 depth = 1;
  for (const ClipDescription::Button::Record& record : button.records) {
    const Drawing& drawing = record.drawing;
    ButtonRecord placed;
    placed.states = record.states;
    placed.depth = depth++;
    placed.colors = drawing.colors;
    if (drawing.kind == Drawing::Kind::Sprite) {
      const ClipDescription::Sprite& sprite = m_description.sprites.at(drawing.sprite);
      placed.characterId = defineSprite(sprite, definitions);
      placed.matrix = QTransform::fromTranslate(sprite.position.x() * TwipsPerPixel,
                                                sprite.position.y() * TwipsPerPixel);
      placed.colors = sprite.colors;
    } else if (drawing.kind == Drawing::Kind::Button) {
      const ClipDescription::Button& inner = m_description.buttons.at(drawing.sprite);
      placed.characterId = defineButton(inner, definitions);
      placed.matrix = QTransform::fromTranslate(inner.position.x() * TwipsPerPixel,
                                                inner.position.y() * TwipsPerPixel);
    } else if (drawing.kind == Drawing::Kind::Text) {
      placed.characterId = defineText(drawing.text, definitions);
    } else {
      placed.characterId = defineShape(drawing, definitions);
      placed.matrix = QTransform::fromTranslate(drawing.pixels.x() * TwipsPerPixel,
                                                drawing.pixels.y() * TwipsPerPixel);
    }
    records.append(placed);
  }
  const quint16 id = newId();
  definitions += SwfWriter::defineButton2(id, records, button.actions);
  return id;
}

quint16 MovieTags::defineShape(const Drawing& drawing, QByteArray& definitions) {
  std::optional<FillStyle> fill = drawing.fill;
  if (drawing.bitmap) {
    fill->bitmapId = newId();
    definitions += SwfWriter::defineBitmap(fill->bitmapId, *drawing.bitmap, drawing.bitmapFormat);
  }
  const quint16 id = newId();
  if (drawing.kind == Drawing::Kind::Rectangle)
    definitions +=
        SwfWriter::defineRectangleShape(id, drawing.pixels.size() * TwipsPerPixel, drawing.color);
  else
    definitions += SwfWriter::defineShape(id, drawing.version, drawing.outline, drawing.closed,
                                          fill, drawing.line);
  return id;
}

quint16 MovieTags::defineText(const ClipDescription::TextField& field, QByteArray& definitions) {
  const quint16 fontId = this->fontId(definitions);
  const quint16 id = newId();
  const QRect twips(toTwips(field.pixels.topLeft()), field.pixels.size() * TwipsPerPixel);
  definitions +=
      SwfWriter::defineEditText(id, {twips, fontId, field.size * TwipsPerPixel, field.color,
                                     field.align, field.variable, field.initialText});
  return id;
}

QByteArray MovieTags::placeText(const ClipDescription::TextField& field, quint16 depth,
                                QByteArray& definitions) {
  return SwfWriter::placeObject2(depth, defineText(field, definitions), QPoint(), field.name);
}

quint16 MovieTags::defineSprite(const ClipDescription::Sprite& sprite, QByteArray& definitions) {
  // Each frame removes the drawings of the frame before that are its own, then places its own.
  QByteArray control;
  quint16 nextDepth = 1;
  const auto placeAll = [&](const QList<Drawing>& list) {
    QList<quint16> depths;
    for (const Drawing& drawing : list) {
      if (nextDepth == 0xFFFF)
        throw std::length_error("too many drawings in one sprite for 16-bit depths");
      depths.append(nextDepth);
      control += place(drawing, nextDepth++, definitions);
    }
    return depths;
  };
  placeAll(sprite.everyFrame);
  QList<quint16> previousDepths;
  for (const ClipDescription::Frame& frame : sprite.frames) {
    for (quint16 gone : previousDepths)
      control += SwfWriter::removeObject2(gone);
    previousDepths = placeAll(frame.drawings);
    if (!frame.label.isEmpty())
      control += SwfWriter::frameLabel(frame.label);
    for (const QByteArray& script : frame.scripts)
      control += SwfWriter::doAction(script);
    control += SwfWriter::showFrame();
  }
  control += SwfWriter::end();
  const quint16 id = newId();
  definitions += SwfWriter::defineSprite(id, quint16(sprite.frames.size()), control);
  if (sprite.initActions)
    definitions += SwfWriter::doInitAction(id, *sprite.initActions);
  return id;
}

} // namespace

std::optional<ClipDescription> ClipDescription::parse(const QString& text, QString* error,
                                                      const QString& includeDirectory) {
  ClipDescription description;
  try {
    QList<SourceLine> lines;
    expandIncludes(text, {}, includeDirectory, 0, lines);
    DescriptionReader(lines, description).readMovie();
  } catch (const SourceError& failure) {
    if (error)
      *error = failure.message();
    return std::nullopt;
  }
  return description;
}

QByteArray ClipDescription::toSwf() const {
  MovieTags movie(*this);
  QByteArray tags;
  if (background)
    tags += SwfWriter::setBackgroundColor(*background);
  quint16 nextDepth = 1;
  const auto nextRootDepth = [&nextDepth] {
    if (nextDepth == 0xFFFF)
      throw std::length_error("too many drawings and text fields for 16-bit depths");
    return nextDepth++;
  };
  for (const Drawing& drawing : drawings) {
    const quint16 depth = nextRootDepth();
    QByteArray definitions;
    const QByteArray placement = movie.place(drawing, depth, definitions);
    tags += definitions + placement;
  }
  if (itemProperties) {
    const quint16 id = movie.newId();
    const QByteArray spriteTags =
        SwfWriter::doAction(
            ActionWriter().setVariable(QStringLiteral("prop"), *itemProperties).bytes()) +
        SwfWriter::showFrame() + SwfWriter::end();
    tags += SwfWriter::defineSprite(id, 1, spriteTags);
    tags += SwfWriter::placeObject2(nextRootDepth(), id, QPoint(), QStringLiteral("item"));
  }
  for (const TextField& field : textFields) {
    const quint16 depth = nextRootDepth();
    QByteArray definitions;
    const QByteArray placement = movie.placeText(field, depth, definitions);
    tags += definitions + placement;
  }
  for (const QByteArray& script : scripts)
    tags += SwfWriter::doAction(script);
  if (announcesLoad)
    tags += SwfWriter::doAction(ActionWriter().fsCommandWithTarget(QStringLiteral("load")).bytes());
  tags += SwfWriter::showFrame() + SwfWriter::end();
  const QRect frameTwips(QPoint(0, 0), frameSize * TwipsPerPixel);
  return SwfWriter::file(signature, version, SwfWriter::movieBody(frameTwips, frameRate, 1, tags));
}

} // namespace swfgen
