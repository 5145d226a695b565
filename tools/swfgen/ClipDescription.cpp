#include "tools/swfgen/ClipDescription.h"

#include "tools/swfgen/ActionWriter.h"

#include <QColor>
#include <QRegularExpression>
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

void applyLine(ClipDescription& description, const QString& line) {
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  const QStringList words = line.split(blanks, Qt::SkipEmptyParts);
  const QString& command = words.first();
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
  } else if (command == QLatin1String("rect")) {
    expectArguments(words, 5);
    description.rectangles.append(
        {QRect(readInteger(words[1], -MaxPixels), readInteger(words[2], -MaxPixels),
               readInteger(words[3], 1), readInteger(words[4], 1)),
         readColor(words[5])});
  } else if (command == QLatin1String("item")) {
    // The text is everything after the command word, spaces inside it included.
    description.itemProperties = line.mid(command.size()).trimmed();
  } else if (command == QLatin1String("text")) {
    if (words.size() < 9)
      throw DescriptionError{QStringLiteral("\"text\" takes at least 8 arguments")};
    description.textFields.append(
        {QRect(readInteger(words[1], -MaxPixels), readInteger(words[2], -MaxPixels),
               readInteger(words[3], 1), readInteger(words[4], 1)),
         readColor(words[5]), readInteger(words[6], 1), readAlign(words[7]), words[8],
         restOfLine(line, 9)});
  } else if (command == QLatin1String("load")) {
    expectArguments(words, 0);
    description.announcesLoad = true;
  } else {
    throw DescriptionError{QStringLiteral("unknown command \"%1\"").arg(command)};
  }
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
  // Character ids and depths are 16-bit; each rectangle and the item take one of each.
  if (rectangles.size() + textFields.size() >= 0xFFFE)
    throw std::length_error("too many rectangles and text fields for 16-bit character ids");
  QByteArray tags;
  if (background)
    tags += SwfWriter::setBackgroundColor(*background);
  quint16 nextId = 1;
  quint16 nextDepth = 1;
  for (const Rectangle& rectangle : rectangles) {
    const quint16 id = nextId++;
    tags += SwfWriter::defineRectangleShape(id, rectangle.pixels.size() * TwipsPerPixel,
                                            rectangle.color);
    tags += SwfWriter::placeObject2(nextDepth++, id, toTwips(rectangle.pixels.topLeft()));
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
