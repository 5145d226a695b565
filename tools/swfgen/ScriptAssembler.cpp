#include "tools/swfgen/ScriptAssembler.h"

#include "tools/swfgen/SwfBytes.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace swfgen {

namespace {

// A fault on the line being read; the body reader adds the line.
struct LineFault {
  QString reason;
};

struct Token {
  enum class Kind { Word, String, Punctuation };
  Kind kind = Kind::Word;
  QString text;

  bool is(QChar punctuation) const {
    return kind == Kind::Punctuation && text == QString(punctuation);
  }
};

using Tokens = QList<Token>;

QChar escaped(QChar letter) {
  switch (letter.unicode()) {
  case '"':
  case '\\':
    return letter;
  case 'n':
    return QLatin1Char('\n');
  case 'r':
    return QLatin1Char('\r');
  case 't':
    return QLatin1Char('\t');
  default:
    throw LineFault{QStringLiteral("unknown escape \"\\%1\" in a string").arg(letter)};
  }
}

// Words, quoted strings and the punctuation , ( ) { }, up to a comment.
Tokens tokenize(const QString& line) {
  static const QString punctuation = QStringLiteral(",(){}");
  Tokens tokens;
  qsizetype at = 0;
  while (at < line.size()) {
    const QChar c = line[at];
    if (c.isSpace()) {
      ++at;
    } else if (line.mid(at, 2) == QLatin1String("//")) {
      break;
    } else if (punctuation.contains(c)) {
      tokens.append({Token::Kind::Punctuation, QString(c)});
      ++at;
    } else if (c == QLatin1Char('"')) {
      QString text;
      ++at;
      while (at < line.size() && line[at] != QLatin1Char('"')) {
        if (line[at] == QLatin1Char('\\') && at + 1 < line.size()) {
          text += escaped(line[at + 1]);
          at += 2;
        } else {
          text += line[at++];
        }
      }
      if (at >= line.size())
        throw LineFault{QStringLiteral("the string is not closed")};
      ++at;
      tokens.append({Token::Kind::String, text});
    } else {
      const qsizetype start = at;
      while (at < line.size() && !line[at].isSpace() && !punctuation.contains(line[at]) &&
             line[at] != QLatin1Char('"') && line.mid(at, 2) != QLatin1String("//"))
        ++at;
      tokens.append({Token::Kind::Word, line.mid(start, at - start)});
    }
  }
  return tokens;
}

qint64 readWhole(const Token& token, qint64 minimum, qint64 maximum, const QString& what) {
  bool ok = false;
  const qint64 value = token.text.toLongLong(&ok);
  if (token.kind != Token::Kind::Word || !ok || value < minimum || value > maximum)
    throw LineFault{QStringLiteral("%1 \"%2\" is no whole number from %3 to %4")
                        .arg(what, token.text)
                        .arg(minimum)
                        .arg(maximum)};
  return value;
}

// "r:N" as a register number, or nothing for another word.
std::optional<quint8> readRegister(const Token& token) {
  if (token.kind != Token::Kind::Word || !token.text.startsWith(QLatin1String("r:")))
    return std::nullopt;
  return quint8(
      readWhole({Token::Kind::Word, token.text.mid(2)}, 0, 255, QStringLiteral("register")));
}

double readDouble(const QString& text) {
  if (text == QLatin1String("NaN"))
    return std::numeric_limits<double>::quiet_NaN();
  if (text == QLatin1String("Infinity"))
    return std::numeric_limits<double>::infinity();
  if (text == QLatin1String("-Infinity"))
    return -std::numeric_limits<double>::infinity();
  static const QRegularExpression number(
      QStringLiteral("^[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?$"));
  if (!number.match(text).hasMatch())
    throw LineFault{QStringLiteral("\"%1\" is no number").arg(text)};
  return text.toDouble();
}

// Appends one value of a Push to writer, in the type its spelling asks for.
void pushValue(ActionWriter& writer, const Token& token, int& highestRegister) {
  if (token.kind == Token::Kind::String) {
    writer.pushString(token.text);
    return;
  }
  const QString& word = token.text;
  if (token.kind != Token::Kind::Word)
    throw LineFault{QStringLiteral("\"%1\" is no value to push").arg(word)};
  if (word == QLatin1String("true") || word == QLatin1String("false")) {
    writer.pushBoolean(word == QLatin1String("true"));
  } else if (word == QLatin1String("null")) {
    writer.pushNull();
  } else if (word == QLatin1String("undefined")) {
    writer.pushUndefined();
  } else if (const std::optional<quint8> index = readRegister(token)) {
    writer.pushRegister(*index);
    highestRegister = std::max(highestRegister, int(*index));
  } else if (word.startsWith(QLatin1String("c:"))) {
    writer.pushConstant(quint16(
        readWhole({Token::Kind::Word, word.mid(2)}, 0, 0xFFFF, QStringLiteral("constant"))));
  } else if (word.startsWith(QLatin1String("float:"))) {
    writer.pushFloat(float(readDouble(word.mid(6))));
  } else if (word.startsWith(QLatin1String("double:"))) {
    writer.pushDouble(readDouble(word.mid(7)));
  } else if (static const QRegularExpression hex(QStringLiteral("^0x[0-9A-Fa-f]{1,8}$"));
             hex.match(word).hasMatch()) {
    writer.pushInteger(qint32(word.mid(2).toUInt(nullptr, 16)));
  } else if (static const QRegularExpression whole(QStringLiteral("^[-+]?\\d+$"));
             whole.match(word).hasMatch()) {
    writer.pushInteger(
        qint32(readWhole(token, std::numeric_limits<qint32>::min(),
                         std::numeric_limits<qint32>::max(), QStringLiteral("integer"))));
  } else if (static const QRegularExpression numeric(QStringLiteral("^[-+.\\d]"));
             numeric.match(word).hasMatch() || word.endsWith(QLatin1String("Infinity")) ||
             word == QLatin1String("NaN")) {
    writer.pushDouble(readDouble(word));
  } else {
    throw LineFault{QStringLiteral("\"%1\" is no value to push: quote a string, or write a "
                                   "number, true, false, null, undefined, r:N or c:N")
                        .arg(word)};
  }
}

// The operands after the mnemonic, separated by commas; each is one token.
Tokens operandsOf(const Tokens& tokens, qsizetype first = 1) {
  Tokens operands;
  for (qsizetype at = first; at < tokens.size(); ++at) {
    const Token& token = tokens[at];
    if ((at - first) % 2 == 1) {
      if (!token.is(QLatin1Char(',')))
        throw LineFault{QStringLiteral("\"%1\" where a comma belongs").arg(token.text)};
      continue;
    }
    if (token.kind == Token::Kind::Punctuation)
      throw LineFault{QStringLiteral("\"%1\" where an operand belongs").arg(token.text)};
    operands.append(token);
  }
  if (!tokens.isEmpty() && tokens.size() > first && tokens.last().is(QLatin1Char(',')))
    throw LineFault{QStringLiteral("an operand is missing after the last comma")};
  return operands;
}

Tokens expectOperands(const Tokens& tokens, qsizetype minimum, qsizetype maximum) {
  const Tokens operands = operandsOf(tokens);
  if (operands.size() < minimum || operands.size() > maximum) {
    const QString count = minimum == maximum ? QString::number(minimum)
                                             : QStringLiteral("%1 to %2").arg(minimum).arg(maximum);
    throw LineFault{QStringLiteral("\"%1\" takes %2 operand(s)").arg(tokens.first().text, count)};
  }
  return operands;
}

QString readText(const Token& token) {
  if (token.kind != Token::Kind::String)
    throw LineFault{QStringLiteral("\"%1\" is no quoted string").arg(token.text)};
  return token.text;
}

// Operands of the actions that carry a payload, by mnemonic; the block actions and branches
// are read apart.
enum class Form {
  Plain,
  Push,
  ConstantPool,
  Branch,
  GotoFrame,
  GotoFrame2,
  GotoLabel,
  GetUrl,
  GetUrl2,
  SetTarget,
  StoreRegister,
  WaitForFrame,
  WaitForFrame2,
  DefineFunction,
  DefineFunction2,
  With,
  Try,
};

struct Mnemonic {
  quint8 code;
  Form form;
};

const QHash<QString, Mnemonic>& mnemonics() {
  static const QHash<QString, Mnemonic> table = [] {
    const std::pair<const char*, Mnemonic> entries[] = {
        {"end", {0x00, Form::Plain}},
        {"nextFrame", {0x04, Form::Plain}},
        {"previousFrame", {0x05, Form::Plain}},
        {"play", {0x06, Form::Plain}},
        {"stop", {0x07, Form::Plain}},
        {"toggleQuality", {0x08, Form::Plain}},
        {"stopSounds", {0x09, Form::Plain}},
        {"add", {0x0A, Form::Plain}},
        {"subtract", {0x0B, Form::Plain}},
        {"multiply", {0x0C, Form::Plain}},
        {"divide", {0x0D, Form::Plain}},
        {"equals", {0x0E, Form::Plain}},
        {"less", {0x0F, Form::Plain}},
        {"and", {0x10, Form::Plain}},
        {"or", {0x11, Form::Plain}},
        {"not", {0x12, Form::Plain}},
        {"stringEquals", {0x13, Form::Plain}},
        {"stringLength", {0x14, Form::Plain}},
        {"stringExtract", {0x15, Form::Plain}},
        {"pop", {0x17, Form::Plain}},
        {"toInteger", {0x18, Form::Plain}},
        {"getVariable", {0x1C, Form::Plain}},
        {"setVariable", {0x1D, Form::Plain}},
        {"setTarget2", {0x20, Form::Plain}},
        {"stringAdd", {0x21, Form::Plain}},
        {"getProperty", {0x22, Form::Plain}},
        {"setProperty", {0x23, Form::Plain}},
        {"cloneSprite", {0x24, Form::Plain}},
        {"removeSprite", {0x25, Form::Plain}},
        {"trace", {0x26, Form::Plain}},
        {"startDrag", {0x27, Form::Plain}},
        {"endDrag", {0x28, Form::Plain}},
        {"stringLess", {0x29, Form::Plain}},
        {"throw", {0x2A, Form::Plain}},
        {"castOp", {0x2B, Form::Plain}},
        {"implementsOp", {0x2C, Form::Plain}},
        {"randomNumber", {0x30, Form::Plain}},
        {"mbStringLength", {0x31, Form::Plain}},
        {"charToAscii", {0x32, Form::Plain}},
        {"asciiToChar", {0x33, Form::Plain}},
        {"getTime", {0x34, Form::Plain}},
        {"mbStringExtract", {0x35, Form::Plain}},
        {"mbCharToAscii", {0x36, Form::Plain}},
        {"mbAsciiToChar", {0x37, Form::Plain}},
        {"delete", {0x3A, Form::Plain}},
        {"delete2", {0x3B, Form::Plain}},
        {"defineLocal", {0x3C, Form::Plain}},
        {"callFunction", {0x3D, Form::Plain}},
        {"return", {0x3E, Form::Plain}},
        {"modulo", {0x3F, Form::Plain}},
        {"newObject", {0x40, Form::Plain}},
        {"defineLocal2", {0x41, Form::Plain}},
        {"initArray", {0x42, Form::Plain}},
        {"initObject", {0x43, Form::Plain}},
        {"typeOf", {0x44, Form::Plain}},
        {"targetPath", {0x45, Form::Plain}},
        {"enumerate", {0x46, Form::Plain}},
        {"add2", {0x47, Form::Plain}},
        {"less2", {0x48, Form::Plain}},
        {"equals2", {0x49, Form::Plain}},
        {"toNumber", {0x4A, Form::Plain}},
        {"toString", {0x4B, Form::Plain}},
        {"pushDuplicate", {0x4C, Form::Plain}},
        {"stackSwap", {0x4D, Form::Plain}},
        {"getMember", {0x4E, Form::Plain}},
        {"setMember", {0x4F, Form::Plain}},
        {"increment", {0x50, Form::Plain}},
        {"decrement", {0x51, Form::Plain}},
        {"callMethod", {0x52, Form::Plain}},
        {"newMethod", {0x53, Form::Plain}},
        {"instanceOf", {0x54, Form::Plain}},
        {"enumerate2", {0x55, Form::Plain}},
        {"bitAnd", {0x60, Form::Plain}},
        {"bitOr", {0x61, Form::Plain}},
        {"bitXor", {0x62, Form::Plain}},
        {"bitLShift", {0x63, Form::Plain}},
        {"bitRShift", {0x64, Form::Plain}},
        {"bitURShift", {0x65, Form::Plain}},
        {"strictEquals", {0x66, Form::Plain}},
        {"greater", {0x67, Form::Plain}},
        {"stringGreater", {0x68, Form::Plain}},
        {"extends", {0x69, Form::Plain}},
        {"gotoFrame", {0x81, Form::GotoFrame}},
        {"getURL", {0x83, Form::GetUrl}},
        {"storeRegister", {0x87, Form::StoreRegister}},
        {"constantPool", {0x88, Form::ConstantPool}},
        {"waitForFrame", {0x8A, Form::WaitForFrame}},
        {"setTarget", {0x8B, Form::SetTarget}},
        {"gotoLabel", {0x8C, Form::GotoLabel}},
        {"waitForFrame2", {0x8D, Form::WaitForFrame2}},
        {"defineFunction2", {0x8E, Form::DefineFunction2}},
        {"try", {0x8F, Form::Try}},
        {"with", {0x94, Form::With}},
        {"push", {0x96, Form::Push}},
        {"jump", {0x99, Form::Branch}},
        {"getURL2", {0x9A, Form::GetUrl2}},
        {"defineFunction", {0x9B, Form::DefineFunction}},
        {"if", {0x9D, Form::Branch}},
        {"call", {0x9E, Form::Plain}},
        {"gotoFrame2", {0x9F, Form::GotoFrame2}},
    };
    QHash<QString, Mnemonic> byName;
    for (const auto& [name, mnemonic] : entries)
      byName.insert(QString::fromLatin1(name).toLower(), mnemonic);
    return byName;
  }();
  return table;
}

// DefineFunction2's flag words and the registers the preloads take, in the order the
// player fills them from register 1.
struct FlagWord {
  const char* name;
  quint16 flag;
};
constexpr std::array<FlagWord, 9> FlagWords{{
    {"preloadThis", FunctionFlag::PreloadThis},
    {"preloadArguments", FunctionFlag::PreloadArguments},
    {"preloadSuper", FunctionFlag::PreloadSuper},
    {"preloadRoot", FunctionFlag::PreloadRoot},
    {"preloadParent", FunctionFlag::PreloadParent},
    {"preloadGlobal", FunctionFlag::PreloadGlobal},
    {"suppressThis", FunctionFlag::SuppressThis},
    {"suppressArguments", FunctionFlag::SuppressArguments},
    {"suppressSuper", FunctionFlag::SuppressSuper},
}};
constexpr int PreloadFlagCount = 6;

// One body between braces (or the whole script): its records with branches left open until
// every label of the body is known.
class BodyAssembler {
public:
  BodyAssembler(const QList<SourceLine>& lines, qsizetype& index)
      : m_lines(lines), m_index(index) {}

  // Reads up to the closing line and returns its tokens ("}" and what follows it).
  Tokens read(const SourceLine& opening);
  ActionWriter resolve() const;
  int highestRegister() const { return m_highestRegister; }

private:
  struct Branch {
    qsizetype at; // the byte offset of the branch record
    quint8 code;
    QString label;
    SourceLine line;
  };

  void readAction(const Tokens& tokens, const SourceLine& line);
  void readPlain(const Mnemonic& mnemonic, const Tokens& tokens);
  ActionWriter readBlock(const SourceLine& opening, Tokens& closing, int& highestRegister);
  void readDefineFunction(const Tokens& tokens, const SourceLine& line, bool version2);
  void readTry(const Tokens& tokens, const SourceLine& line);

  const QList<SourceLine>& m_lines;
  qsizetype& m_index;
  ActionWriter m_writer;
  QList<Branch> m_branches;
  QHash<QString, qsizetype> m_labels;
  int m_highestRegister = 0;
};

Tokens BodyAssembler::read(const SourceLine& opening) {
  while (m_index < m_lines.size()) {
    const SourceLine& line = m_lines[m_index++];
    try {
      const Tokens tokens = tokenize(line.text);
      if (tokens.isEmpty())
        continue;
      if (tokens.first().is(QLatin1Char('}')))
        return tokens;
      readAction(tokens, line);
    } catch (const LineFault& fault) {
      throw SourceError{line, fault.reason};
    }
  }
  throw SourceError{opening, QStringLiteral("the block opened here has no closing \"}\"")};
}

void BodyAssembler::readAction(const Tokens& tokens, const SourceLine& line) {
  const Token& first = tokens.first();
  if (first.kind != Token::Kind::Word)
    throw LineFault{
        QStringLiteral("a line starts with a mnemonic or a label, not \"%1\"").arg(first.text)};
  if (first.text.indexOf(QLatin1Char(':')) == first.text.size() - 1) {
    const QString label = first.text.chopped(1);
    if (tokens.size() != 1 || label.isEmpty())
      throw LineFault{QStringLiteral("a label stands alone on its line")};
    if (m_labels.contains(label))
      throw LineFault{QStringLiteral("label \"%1\" is defined twice").arg(label)};
    m_labels.insert(label, m_writer.size());
    return;
  }
  const auto found = mnemonics().constFind(first.text.toLower());
  if (found == mnemonics().constEnd())
    throw LineFault{QStringLiteral("unknown action \"%1\"").arg(first.text)};
  const Mnemonic& mnemonic = *found;
  switch (mnemonic.form) {
  case Form::Branch: {
    const Tokens operands = expectOperands(tokens, 1, 1);
    if (operands[0].kind != Token::Kind::Word)
      throw LineFault{QStringLiteral("\"%1\" is no label").arg(operands[0].text)};
    m_branches.append({m_writer.size(), mnemonic.code, operands[0].text, line});
    m_writer.record(mnemonic.code, QByteArray(2, '\0')); // the offset follows with the labels
    return;
  }
  case Form::DefineFunction:
  case Form::DefineFunction2:
    readDefineFunction(tokens, line, mnemonic.form == Form::DefineFunction2);
    return;
  case Form::With: {
    if (tokens.size() != 2 || !tokens[1].is(QLatin1Char('{')))
      throw LineFault{QStringLiteral("\"with\" is written \"with {\"")};
    Tokens closing;
    const ActionWriter body = readBlock(line, closing, m_highestRegister);
    if (closing.size() != 1)
      throw SourceError{m_lines[m_index - 1], QStringLiteral("a with block ends with \"}\" alone")};
    m_writer.with(body);
    return;
  }
  case Form::Try:
    readTry(tokens, line);
    return;
  default:
    readPlain(mnemonic, tokens);
  }
}

void BodyAssembler::readPlain(const Mnemonic& mnemonic, const Tokens& tokens) {
  switch (mnemonic.form) {
  case Form::Plain:
    expectOperands(tokens, 0, 0);
    if (mnemonic.code < 0x80)
      m_writer.action(ActionCode(mnemonic.code));
    else
      m_writer.record(mnemonic.code, {});
    return;
  case Form::Push: {
    const Tokens operands = operandsOf(tokens);
    if (operands.isEmpty())
      throw LineFault{QStringLiteral("\"push\" takes at least one value")};
    // One record with every value: the payloads of single-value pushes, joined.
    QByteArray payload;
    for (const Token& operand : operands) {
      ActionWriter single;
      pushValue(single, operand, m_highestRegister);
      payload += single.records().mid(3);
    }
    m_writer.record(mnemonic.code, payload);
    return;
  }
  case Form::ConstantPool: {
    QStringList constants;
    for (const Token& operand : operandsOf(tokens))
      constants.append(readText(operand));
    if (constants.size() > 0xFFFF)
      throw LineFault{QStringLiteral("a constant pool holds at most 65535 constants")};
    m_writer.constantPool(constants);
    return;
  }
  case Form::GotoFrame: {
    QByteArray payload;
    appendUi16(payload, quint16(readWhole(expectOperands(tokens, 1, 1)[0], 0, 0xFFFF,
                                          QStringLiteral("frame"))));
    m_writer.record(mnemonic.code, payload);
    return;
  }
  case Form::GotoFrame2: {
    const Tokens operands = expectOperands(tokens, 1, 2);
    const QString& mode = operands[0].text;
    if (mode != QLatin1String("play") && mode != QLatin1String("stop"))
      throw LineFault{QStringLiteral("\"gotoFrame2\" takes play or stop, not \"%1\"").arg(mode)};
    constexpr quint8 PlayFlag = 0x01;
    constexpr quint8 SceneBiasFlag = 0x02;
    QByteArray payload(1, char((mode == QLatin1String("play") ? PlayFlag : 0) |
                               (operands.size() == 2 ? SceneBiasFlag : 0)));
    if (operands.size() == 2)
      appendUi16(payload, quint16(readWhole(operands[1], 0, 0xFFFF, QStringLiteral("scene bias"))));
    m_writer.record(mnemonic.code, payload);
    return;
  }
  case Form::GotoLabel:
  case Form::SetTarget: {
    QByteArray payload;
    appendString(payload, readText(expectOperands(tokens, 1, 1)[0]));
    m_writer.record(mnemonic.code, payload);
    return;
  }
  case Form::GetUrl: {
    const Tokens operands = expectOperands(tokens, 2, 2);
    m_writer.getUrl(readText(operands[0]), readText(operands[1]));
    return;
  }
  case Form::GetUrl2: {
    const Tokens operands = expectOperands(tokens, 0, 1);
    m_writer.getUrl2(
        operands.isEmpty() ? 0 : quint8(readWhole(operands[0], 0, 255, QStringLiteral("flags"))));
    return;
  }
  case Form::StoreRegister: {
    const Token operand = expectOperands(tokens, 1, 1)[0];
    const std::optional<quint8> index = readRegister(operand);
    const quint8 number =
        index ? *index : quint8(readWhole(operand, 0, 255, QStringLiteral("register")));
    m_highestRegister = std::max(m_highestRegister, int(number));
    m_writer.storeRegister(number);
    return;
  }
  case Form::WaitForFrame: {
    const Tokens operands = expectOperands(tokens, 2, 2);
    QByteArray payload;
    appendUi16(payload, quint16(readWhole(operands[0], 0, 0xFFFF, QStringLiteral("frame"))));
    payload.append(char(readWhole(operands[1], 0, 255, QStringLiteral("skip count"))));
    m_writer.record(mnemonic.code, payload);
    return;
  }
  case Form::WaitForFrame2:
    m_writer.record(mnemonic.code,
                    QByteArray(1, char(readWhole(expectOperands(tokens, 1, 1)[0], 0, 255,
                                                 QStringLiteral("skip count")))));
    return;
  default:
    throw std::logic_error("an action form without reader");
  }
}

ActionWriter BodyAssembler::readBlock(const SourceLine& opening, Tokens& closing,
                                      int& highestRegister) {
  BodyAssembler body(m_lines, m_index);
  closing = body.read(opening);
  highestRegister = std::max(highestRegister, body.highestRegister());
  return body.resolve();
}

void BodyAssembler::readDefineFunction(const Tokens& tokens, const SourceLine& line,
                                       bool version2) {
  const QString mnemonic = tokens.first().text;
  if (!tokens.last().is(QLatin1Char('{')))
    throw LineFault{
        QStringLiteral("\"%1\" ends with \"{\", its body on the lines below").arg(mnemonic)};
  qsizetype at = 1;
  QString name;
  if (at < tokens.size() && tokens[at].kind != Token::Kind::Punctuation)
    name = tokens[at++].text;
  if (at >= tokens.size() || !tokens[at].is(QLatin1Char('(')))
    throw LineFault{QStringLiteral("\"%1\" needs its parameters in parentheses").arg(mnemonic)};
  ++at;
  std::vector<FunctionParameter> parameters;
  QList<int> parameterRegisters;
  while (at < tokens.size() && !tokens[at].is(QLatin1Char(')'))) {
    if (!parameters.empty()) {
      if (!tokens[at].is(QLatin1Char(',')))
        throw LineFault{QStringLiteral("\"%1\" where a comma belongs").arg(tokens[at].text)};
      ++at;
    }
    if (at >= tokens.size() || tokens[at].kind != Token::Kind::Word)
      throw LineFault{QStringLiteral("a parameter name is missing")};
    FunctionParameter parameter{0, tokens[at++].text};
    if (at < tokens.size() && tokens[at].kind == Token::Kind::Word) {
      const std::optional<quint8> index = readRegister(tokens[at]);
      if (!version2 || !index || *index == 0)
        throw LineFault{QStringLiteral("\"%1\" after a parameter: only defineFunction2 keeps "
                                       "parameters in registers r:1 to r:255")
                            .arg(tokens[at].text)};
      if (parameterRegisters.contains(*index))
        throw LineFault{QStringLiteral("register %1 holds two parameters").arg(*index)};
      parameter.registerIndex = *index;
      parameterRegisters.append(*index);
      ++at;
    }
    parameters.push_back(parameter);
  }
  if (at >= tokens.size())
    throw LineFault{QStringLiteral("the parameter list is not closed")};
  ++at;
  quint16 flags = 0;
  std::optional<int> registerCount;
  for (; at < tokens.size() - 1; ++at) {
    const QString word = tokens[at].text;
    if (!version2 || tokens[at].kind != Token::Kind::Word)
      throw LineFault{QStringLiteral("\"%1\" where \"{\" belongs").arg(word)};
    if (word.startsWith(QLatin1String("registers="))) {
      registerCount = int(
          readWhole({Token::Kind::Word, word.mid(10)}, 0, 255, QStringLiteral("register count")));
      continue;
    }
    const auto flagWord = std::find_if(FlagWords.begin(), FlagWords.end(), [&](const FlagWord& f) {
      return word.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0;
    });
    if (flagWord == FlagWords.end())
      throw LineFault{QStringLiteral("unknown flag \"%1\"").arg(word)};
    flags |= flagWord->flag;
  }
  constexpr std::array<std::pair<quint16, quint16>, 3> exclusive{{
      {FunctionFlag::PreloadThis, FunctionFlag::SuppressThis},
      {FunctionFlag::PreloadArguments, FunctionFlag::SuppressArguments},
      {FunctionFlag::PreloadSuper, FunctionFlag::SuppressSuper},
  }};
  for (const auto& [preload, suppress] : exclusive)
    if ((flags & preload) && (flags & suppress))
      throw LineFault{QStringLiteral("a value cannot be both preloaded and suppressed")};
  const int preloaded = int(std::count_if(FlagWords.begin(), FlagWords.begin() + PreloadFlagCount,
                                          [&](const FlagWord& f) { return flags & f.flag; }));
  for (int index : parameterRegisters)
    if (index <= preloaded)
      throw LineFault{QStringLiteral("register %1 holds a preloaded value").arg(index)};

  Tokens closing;
  int used = std::max(
      preloaded, parameterRegisters.isEmpty()
                     ? 0
                     : *std::max_element(parameterRegisters.begin(), parameterRegisters.end()));
  int bodyRegisters = 0;
  const ActionWriter body = readBlock(line, closing, bodyRegisters);
  if (closing.size() != 1)
    throw SourceError{m_lines[m_index - 1], QStringLiteral("a function ends with \"}\" alone")};
  if (!version2) {
    m_writer.defineFunction(
        name,
        [&] {
          QStringList names;
          for (const FunctionParameter& parameter : parameters)
            names.append(parameter.name);
          return names;
        }(),
        body);
    // Registers of a plain function are the script's own.
    m_highestRegister = std::max(m_highestRegister, bodyRegisters);
    return;
  }
  used = std::max(used, bodyRegisters);
  const int needed = used + 1;
  if (registerCount && *registerCount < needed && used > 0)
    throw SourceError{line, QStringLiteral("registers=%1, but the function uses register %2")
                                .arg(*registerCount)
                                .arg(used)};
  if (needed > 255)
    throw SourceError{line, QStringLiteral("a function has at most 255 registers")};
  m_writer.defineFunction2(name, quint8(registerCount.value_or(used > 0 ? needed : 0)), flags,
                           parameters, body);
}

void BodyAssembler::readTry(const Tokens& tokens, const SourceLine& line) {
  if (tokens.size() != 3 || tokens[1].kind != Token::Kind::Word || !tokens[2].is(QLatin1Char('{')))
    throw LineFault{QStringLiteral("\"try\" is written \"try NAME {\" or \"try r:N {\"")};
  CatchTarget target;
  target.registerIndex = readRegister(tokens[1]);
  if (target.registerIndex)
    m_highestRegister = std::max(m_highestRegister, int(*target.registerIndex));
  else
    target.name = tokens[1].text;
  Tokens closing;
  const ActionWriter tryBody = readBlock(line, closing, m_highestRegister);
  std::optional<ActionWriter> catchBody;
  std::optional<ActionWriter> finallyBody;
  const auto continues = [&](const char* word) {
    return closing.size() == 3 && closing[1].text == QLatin1String(word) &&
           closing[2].is(QLatin1Char('{'));
  };
  if (continues("catch"))
    catchBody = readBlock(m_lines[m_index - 1], closing, m_highestRegister);
  if (continues("finally"))
    finallyBody = readBlock(m_lines[m_index - 1], closing, m_highestRegister);
  if (closing.size() != 1)
    throw SourceError{m_lines[m_index - 1],
                      QStringLiteral("a try block goes on with \"} catch {\" or \"} finally {\" "
                                     "and ends with \"}\"")};
  if (!catchBody && !finallyBody)
    throw SourceError{line, QStringLiteral("a try block needs a catch or a finally block")};
  m_writer.tryBlock(target, tryBody, catchBody, finallyBody);
}

ActionWriter BodyAssembler::resolve() const {
  QByteArray records = m_writer.records();
  constexpr int BranchSize = 5;
  for (const Branch& branch : m_branches) {
    const auto target = m_labels.constFind(branch.label);
    if (target == m_labels.constEnd())
      throw SourceError{
          branch.line,
          QStringLiteral("label \"%1\" is not defined in this block").arg(branch.label)};
    const qsizetype offset = *target - (branch.at + BranchSize);
    if (offset < std::numeric_limits<qint16>::min() || offset > std::numeric_limits<qint16>::max())
      throw SourceError{
          branch.line,
          QStringLiteral("label \"%1\" lies beyond a 16-bit branch").arg(branch.label)};
    QByteArray offsetBytes;
    appendUi16(offsetBytes, quint16(qint16(offset)));
    records.replace(branch.at + 3, 2, offsetBytes);
  }
  return ActionWriter().appendRecords(records);
}

} // namespace

ActionWriter assembleScript(const QList<SourceLine>& lines, qsizetype& index,
                            const SourceLine& opening) {
  BodyAssembler body(lines, index);
  const Tokens closing = body.read(opening);
  if (closing.size() != 1)
    throw SourceError{lines[index - 1], QStringLiteral("a script ends with \"}\" alone")};
  return body.resolve();
}

} // namespace swfgen
