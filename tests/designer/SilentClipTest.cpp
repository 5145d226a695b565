#include "ProjectFixture.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

namespace {

// A 100 x 20 pixel movie of one frame whose FileAttributes mark it as ActionScript 3.
QByteArray ActionScript3Movie() {
  const QByteArray body = QByteArray::fromHex("60003e80000c80" // frame rect: 2000 x 400 twips
                                              "000c0100"       // rate 12, one frame
                                              "441108000000"   // FileAttributes
                                              "40000000");     // ShowFrame, End
  QByteArray file = QByteArray("FWS") + char(9);
  const quint32 length = quint32(body.size() + 8);
  for (int i = 0; i < 4; ++i)
    file += char(length >> (8 * i));
  return file + body;
}

class SilentClipTest : public ProjectTest {};

TEST_F(SilentClipTest, AddingAClipWhoseScriptsAreNotRunNamesItsFileInTheClipLog) {
  QTemporaryDir repository;
  QFile clip(repository.filePath(QStringLiteral("panel.swf")));
  ASSERT_TRUE(clip.open(QIODevice::WriteOnly));
  clip.write(ActionScript3Movie());
  clip.close();
  CreateDesigner();
  Window->FRepositoryDir = repository.path() + QLatin1Char('/');
  Window->LoadRepository(Window->FRepositoryDir);
  const TFlashElement* element = AddClip(QStringLiteral("panel"));
  EXPECT_EQ(element->FWidth, 100);
  const QString log = Window->Memo1->toPlainText();
  EXPECT_TRUE(log.contains(clip.fileName())) << log.toStdString();
  EXPECT_TRUE(log.contains(QStringLiteral("ActionScript 3"))) << log.toStdString();
  EXPECT_FALSE(log.contains(QStringLiteral("load="))); // it never announced itself
}

} // namespace
