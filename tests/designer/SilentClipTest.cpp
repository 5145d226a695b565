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

class SilentClipTest : public ProjectTest {
protected:
  // Writes the AS3 movie as panel.swf into a repository of its own, with a copy of the demo
  // button beside it; returns the repository folder.
  QString SilentRepository() {
    const QString folder = Repository.path() + QLatin1Char('/');
    QFile clip(folder + QStringLiteral("panel.swf"));
    EXPECT_TRUE(clip.open(QIODevice::WriteOnly));
    clip.write(ActionScript3Movie());
    EXPECT_TRUE(QFile::copy(DemoRepositoryDir() + "button.swf", folder + "button.swf"));
    return folder;
  }

  QTemporaryDir Repository;
};

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

// Opening and saving without an edit writes every element back as stored, also one whose clip
// never reports "load" and so never receives its stored attributes from the clip event.
TEST_F(SilentClipTest, OpenAndSaveWithoutAnEditKeepsWhatIsStoredForASilentClip) {
  CreateDesigner();
  const QByteArray panel = "<element filename=\"panel\" x=\"12\" y=\"7\" width=\"100\" "
                           "height=\"20\" id=\"101\" page=\"Main\" name=\"Panel\">"
                           "<flash_info name=\"caption=Hi\"/><OnExecute>Lights::On()</OnExecute>"
                           "<flash_suffix name=\"caption=_c\"/></element>";
  const QByteArray button = "<element filename=\"button\" x=\"30\" y=\"40\" width=\"120\" "
                            "height=\"40\" id=\"102\" page=\"Main\" name=\"Power\">";
  WriteFile(WorkDir + "p.vlq", "<interface><repositories serverip=\"\" repositorydir=\"" +
                                   SilentRepository().toUtf8() +
                                   "\"/><list><page name=\"Main\"/></list><entities>" + panel +
                                   button + "</element></entities></interface>");
  LoadProject(WorkDir + "p.vlq");
  ASSERT_EQ(Window->FElements.Count(), 2);
  Window->Save->trigger();
  const QByteArray saved = ReadFile(WorkDir + "p.vlq");
  EXPECT_TRUE(saved.contains(panel)) << saved.constData();
  EXPECT_TRUE(saved.contains(button)) << saved.constData();
}

} // namespace
