#include "player/render/TextHtml.h"

#include <QStringList>
#include <cmath>
#include <optional>

namespace {

// Upper bound of nested tags kept; deeper ones share the innermost look.
constexpr std::size_t MaxNesting = 256;

struct Tag {
  QString Name; // lower case, without "/"
  bool Closing = false;
  std::vector<std::pair<QString, QString>> Attributes; // names in lower case
};

// The tag in html[position] == '<' up to its '>', moving position past it; nullopt when the
// tag never closes or gives an attribute value without quotes, which ends the markup.
std::optional<Tag> ReadTag(const QString& html, qsizetype& position) {
  const qsizetype close = html.indexOf(u'>', position);
  if (close < 0)
    return std::nullopt;
  const QString inside = html.mid(position + 1, close - position - 1);
  position = close + 1;
  Tag tag;
  qsizetype i = 0;
  const auto skipSpace = [&] {
    while (i < inside.size() && inside[i].isSpace())
      ++i;
  };
  skipSpace();
  if (i < inside.size() && inside[i] == u'/') {
    tag.Closing = true;
    ++i;
  }
  const qsizetype nameStart = i;
  while (i < inside.size() && !inside[i].isSpace() && inside[i] != u'/')
    ++i;
  tag.Name = inside.mid(nameStart, i - nameStart).toLower();
  while (i < inside.size()) {
    skipSpace();
    const qsizetype keyStart = i;
    while (i < inside.size() && inside[i] != u'=' && !inside[i].isSpace())
      ++i;
    const QString key = inside.mid(keyStart, i - keyStart).toLower();
    skipSpace();
    if (i >= inside.size() || inside[i] != u'=') {
      if (key.isEmpty())
        ++i;
      continue;
    }
    ++i;
    skipSpace();
    QString value;
    if (i < inside.size() && (inside[i] == u'"' || inside[i] == u'\'')) {
      const QChar quote = inside[i++];
      const qsizetype end = inside.indexOf(quote, i);
      value = inside.mid(i, end < 0 ? -1 : end - i);
      i = end < 0 ? inside.size() : end + 1;
    } else {
      return std::nullopt;
    }
    tag.Attributes.emplace_back(key, value);
  }
  return tag;
}

QString Decoded(const QString& text) {
  if (!text.contains(u'&'))
    return text;
  static const std::pair<const char*, char16_t> named[] = {
      {"lt", u'<'}, {"gt", u'>'}, {"amp", u'&'}, {"quot", u'"'}, {"apos", u'\''}, {"nbsp", 0xA0}};
  QString decoded;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype end = text[i] == u'&' ? text.indexOf(u';', i) : -1;
    if (end < 0 || end - i > 10) {
      decoded += text[i];
      continue;
    }
    const QString name = text.mid(i + 1, end - i - 1);
    std::optional<char16_t> character;
    for (const auto& [entity, value] : named)
      if (name == QLatin1String(entity))
        character = value;
    if (!character && name.startsWith(u'#')) {
      bool ok = false;
      const uint code = name.startsWith(QStringLiteral("#x"), Qt::CaseInsensitive)
                            ? name.mid(2).toUInt(&ok, 16)
                            : name.mid(1).toUInt(&ok, 10);
      if (ok && code > 0 && code < 0x10000)
        character = char16_t(code);
    }
    if (!character) {
      decoded += text[i];
      continue;
    }
    decoded += QChar(*character);
    i = end;
  }
  return decoded;
}

// A colour as font tags give it: "#" then hex digits (blanks after "#" skipped, reading
// stops at the first other character); the last six digits count.
std::optional<quint32> HtmlColor(const QString& value) {
  if (!value.startsWith(u'#'))
    return std::nullopt;
  qsizetype i = 1;
  while (i < value.size() && (value[i] == u' ' || value[i] == u'\t'))
    ++i;
  quint32 color = 0;
  bool any = false;
  for (; i < value.size(); ++i) {
    bool isDigit = false;
    const uint digit = QString(value[i]).toUInt(&isDigit, 16);
    if (!isDigit)
      break;
    color = ((color << 4) | digit) & 0xFFFFFF;
    any = true;
  }
  return any ? std::optional<quint32>(color) : std::nullopt;
}

std::optional<int> HtmlInteger(const QString& value) {
  bool ok = false;
  const double number = value.trimmed().toDouble(&ok);
  if (!ok || !(std::abs(number) < 1e9))
    return std::nullopt;
  return int(number);
}

void ApplyTag(const Tag& tag, TextFormat& format) {
  const auto attribute = [&tag](const char* name) -> std::optional<QString> {
    for (const auto& [key, value] : tag.Attributes)
      if (key == QLatin1String(name))
        return value;
    return std::nullopt;
  };
  if (tag.Name == u"b") {
    format.Bold = true;
  } else if (tag.Name == u"i") {
    format.Italic = true;
  } else if (tag.Name == u"u") {
    format.Underline = true;
  } else if (tag.Name == u"li") {
    format.Bullet = true;
  } else if (tag.Name == u"p") {
    if (const auto align = attribute("align"))
      if (const auto known = AlignFromName(*align))
        format.Align = known;
  } else if (tag.Name == u"a") {
    if (const auto href = attribute("href"))
      format.Url = *href;
    if (const auto target = attribute("target"))
      format.Target = *target;
  } else if (tag.Name == u"font") {
    if (const auto face = attribute("face"))
      format.Font = *face;
    if (const auto color = attribute("color"))
      if (const auto parsed = HtmlColor(*color))
        format.Color = parsed;
    if (const auto size = attribute("size")) {
      const QString text = size->trimmed();
      if (const auto number = HtmlInteger(text)) {
        const bool relative = text.startsWith(u'+') || text.startsWith(u'-');
        format.Size = relative ? format.Size.value_or(12) + *number : *number;
      }
    }
    if (const auto spacing = attribute("letterspacing")) {
      bool ok = false;
      const double number = spacing->toDouble(&ok);
      if (ok)
        format.LetterSpacing = number;
    }
    if (const auto kerning = attribute("kerning"))
      format.Kerning = kerning->trimmed() != u"0";
  } else if (tag.Name == u"textformat") {
    const std::pair<const char*, std::optional<int> TextFormat::*> lengths[] = {
        {"leftmargin", &TextFormat::LeftMargin},
        {"rightmargin", &TextFormat::RightMargin},
        {"indent", &TextFormat::Indent},
        {"blockindent", &TextFormat::BlockIndent},
        {"leading", &TextFormat::Leading}};
    for (const auto& [name, member] : lengths)
      if (const auto value = attribute(name))
        if (const auto number = HtmlInteger(*value))
          format.*member = number;
    if (const auto tabs = attribute("tabstops")) {
      std::vector<int> stops;
      for (const QString& stop : tabs->split(u',', Qt::SkipEmptyParts))
        if (const auto number = HtmlInteger(stop))
          stops.push_back(*number);
      format.TabStops = stops;
    }
  }
}

bool EndsParagraph(const QString& name) {
  return name == u"p" || name == u"li";
}

} // namespace

namespace TextHtml {

QString Escaped(const QString& text) {
  QString escaped = text;
  escaped.replace(u'&', QStringLiteral("&amp;"));
  escaped.replace(u'<', QStringLiteral("&lt;"));
  escaped.replace(u'>', QStringLiteral("&gt;"));
  return escaped;
}

FormattedText Read(const QString& html, const TextFormat& base, bool multiline) {
  FormattedText text;
  std::vector<std::pair<QString, TextFormat>> open{{QString(), base}};
  bool pendingBreak = false; // a paragraph ended: its "\r" is written once more text follows
  // A paragraph's end takes the look of the text before it.
  const auto breakParagraph = [&] {
    if (pendingBreak)
      text.Append(QStringLiteral("\r"),
                  text.Runs().empty() ? open.back().second : text.Runs().back().Format);
    pendingBreak = false;
  };
  qsizetype position = 0;
  while (position < html.size()) {
    if (html[position] != u'<') {
      qsizetype end = html.indexOf(u'<', position);
      if (end < 0)
        end = html.size();
      QString run = Decoded(html.mid(position, end - position));
      run.replace(QStringLiteral("\r\n"), QStringLiteral("\r")).replace(u'\n', u'\r');
      position = end;
      if (run.isEmpty())
        continue;
      breakParagraph();
      text.Append(run, open.back().second);
      continue;
    }
    const std::optional<Tag> tag = ReadTag(html, position);
    if (!tag)
      break;
    if (tag->Name == u"br") {
      breakParagraph();
      if (multiline)
        text.Append(QStringLiteral("\r"), open.back().second);
      continue;
    }
    if (tag->Closing) {
      for (std::size_t i = open.size(); i-- > 1;) {
        if (open[i].first != tag->Name)
          continue;
        open.resize(i);
        break;
      }
      if (EndsParagraph(tag->Name)) {
        breakParagraph();
        pendingBreak = multiline;
      }
      continue;
    }
    if (multiline && EndsParagraph(tag->Name) && !text.Text().isEmpty() &&
        !text.Text().endsWith(u'\r'))
      pendingBreak = true;
    breakParagraph();
    TextFormat format = open.back().second;
    ApplyTag(*tag, format);
    if (open.size() < MaxNesting)
      open.emplace_back(tag->Name, format);
  }
  if (multiline)
    breakParagraph();
  return text;
}

QString Write(const FormattedText& text) {
  struct Piece {
    QString Text;
    TextFormat Format;
  };
  // The text cut into paragraphs of pieces that look alike.
  std::vector<std::vector<Piece>> paragraphs(1);
  std::vector<TextFormat> paragraphFormats;
  qsizetype start = 0;
  for (const FormattedText::Run& run : text.Runs()) {
    const QString part = text.Text().mid(start, run.Length);
    start += run.Length;
    const QStringList lines = part.split(u'\r');
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (i > 0)
        paragraphs.emplace_back();
      if (paragraphFormats.size() < paragraphs.size())
        paragraphFormats.push_back(run.Format);
      if (!lines[i].isEmpty())
        paragraphs.back().push_back({lines[i], run.Format});
    }
  }
  if (paragraphFormats.size() < paragraphs.size())
    paragraphFormats.push_back(text.Runs().empty() ? TextFormat() : text.Runs().back().Format);

  QString html;
  for (std::size_t p = 0; p < paragraphs.size(); ++p) {
    const TextFormat& look = paragraphFormats[p];
    QStringList blockAttributes;
    const std::pair<const char*, std::optional<int>> lengths[] = {{"LEFTMARGIN", look.LeftMargin},
                                                                  {"RIGHTMARGIN", look.RightMargin},
                                                                  {"INDENT", look.Indent},
                                                                  {"BLOCKINDENT", look.BlockIndent},
                                                                  {"LEADING", look.Leading}};
    for (const auto& [name, value] : lengths)
      if (value.value_or(0) != 0)
        blockAttributes << QStringLiteral("%1=\"%2\"").arg(QLatin1String(name)).arg(*value);
    if (look.TabStops && !look.TabStops->empty()) {
      QStringList stops;
      for (const int stop : *look.TabStops)
        stops << QString::number(stop);
      blockAttributes << QStringLiteral("TABSTOPS=\"%1\"").arg(stops.join(u','));
    }
    if (!blockAttributes.isEmpty())
      html += QStringLiteral("<TEXTFORMAT %1>").arg(blockAttributes.join(u' '));
    const bool bullet = look.Bullet.value_or(false);
    html += bullet ? QStringLiteral("<LI>")
                   : QStringLiteral("<P ALIGN=\"%1\">")
                         .arg(AlignName(look.Align.value_or(SwfTextAlign::Left)).toUpper());
    std::vector<Piece> pieces = paragraphs[p];
    if (pieces.empty())
      pieces.push_back({QString(), look});
    const auto fontTag = [](const TextFormat& f) {
      return QStringLiteral("<FONT FACE=\"%1\" SIZE=\"%2\" COLOR=\"#%3\" LETTERSPACING=\"%4\" "
                            "KERNING=\"%5\">")
          .arg(f.Font.value_or(QString()))
          .arg(f.Size.value_or(12))
          .arg(QStringLiteral("%1")
                   .arg(f.Color.value_or(0) & 0xFFFFFF, 6, 16, QChar(u'0'))
                   .toUpper())
          .arg(f.LetterSpacing.value_or(0))
          .arg(f.Kerning.value_or(false) ? 1 : 0);
    };
    QString openFont;
    for (const Piece& piece : pieces) {
      const QString font = fontTag(piece.Format);
      if (font != openFont) {
        if (!openFont.isEmpty())
          html += QStringLiteral("</FONT>");
        html += font;
        openFont = font;
      }
      QString inner = Escaped(piece.Text);
      if (piece.Format.Underline.value_or(false))
        inner = QStringLiteral("<U>") + inner + QStringLiteral("</U>");
      if (piece.Format.Italic.value_or(false))
        inner = QStringLiteral("<I>") + inner + QStringLiteral("</I>");
      if (piece.Format.Bold.value_or(false))
        inner = QStringLiteral("<B>") + inner + QStringLiteral("</B>");
      if (!piece.Format.Url.value_or(QString()).isEmpty())
        inner = QStringLiteral("<A HREF=\"%1\" TARGET=\"%2\">")
                    .arg(*piece.Format.Url, piece.Format.Target.value_or(QString())) +
                inner + QStringLiteral("</A>");
      html += inner;
    }
    html += QStringLiteral("</FONT>");
    html += bullet ? QStringLiteral("</LI>") : QStringLiteral("</P>");
    if (!blockAttributes.isEmpty())
      html += QStringLiteral("</TEXTFORMAT>");
  }
  return html;
}

} // namespace TextHtml
