#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The text of a project file of Elements elements over the demo clips in RepositoryDir, as
// the designer writes one: five pages, and per element a name, a page, whole-number geometry,
// item properties and a flash suffix. Benchmarks and round-trip tests open it at scale.
inline QByteArray LargeProjectText(int Elements, const QString& RepositoryDir) {
  constexpr int Pages = 5;
  static const QStringList Types{QStringLiteral("button"), QStringLiteral("frame"),
                                 QStringLiteral("gauge"),  QStringLiteral("label"),
                                 QStringLiteral("lamp"),   QStringLiteral("slider")};
  QString text = QStringLiteral("<interface><repositories serverip=\"192.168.1.50\" "
                                "repositorydir=\"%1\"/><list>")
                     .arg(RepositoryDir);
  for (int page = 1; page <= Pages; ++page)
    text += QStringLiteral("<page name=\"Page %1\"/>").arg(page);
  text += QStringLiteral("</list><entities>");
  for (int i = 0; i < Elements; ++i) {
    text += QStringLiteral("<element filename=\"%1\" x=\"%2\" y=\"%3\" width=\"%4\" height=\"%5\" "
                           "id=\"%6\" page=\"Page %7\" name=\"Element %8\">")
                .arg(Types.at(i % Types.size()))
                .arg(i % 700)
                .arg((i * 7) % 500)
                .arg(40 + i % 20)
                .arg(30 + i % 10)
                .arg(101 + i)
                .arg(i % Pages + 1)
                .arg(i);
    text += QStringLiteral("<flash_info name=\"caption=Item %1&amp;color=#%2\"/>")
                .arg(i)
                .arg(i % 0x1000000, 6, 16, QLatin1Char('0'));
    text += QStringLiteral("<flash_suffix name=\"value=_v%1&amp;state=_s\"/></element>").arg(i);
  }
  text += QStringLiteral("</entities></interface>");
  return text.toUtf8();
}
