#include "ProjectFixture.h"
#include "designer/DriverCatalogue.h"
#include "designer/InterfaceImport.h"
#include "designer/ProjectXml.h"
#include "model/Hash.h"

#include <QAction>
#include <QListWidget>
#include <functional>

namespace {

// Files that come from outside the program and cannot be used: a clip that does not play, XML
// nested far past any use. The message names the file, the reason and, for a clip, the element;
// the window stays usable.
class OutsideFilesTest : public ProjectTest {
protected:
  void SetUp() override {
    ProjectTest::SetUp();
    CreateWithDemoRepository();
  }

  void Load(const QByteArray& content) {
    WriteFile(WorkDir + "p.vlq", content);
    LoadProject(WorkDir + "p.vlq");
  }

  // A repository of two clips in the current directory, lamp.swf replaced by bytes of no movie.
  QString RepositoryWithBrokenLamp() {
    const QString repository = WorkDir + "repo/";
    EXPECT_TRUE(QDir().mkpath(repository));
    EXPECT_TRUE(QFile::copy(DemoRepositoryDir() + "button.swf", repository + "button.swf"));
    WriteFile(repository + "lamp.swf", "GIF89a: a picture, not a movie");
    return repository;
  }
};

// An element nested Depth levels deep inside Root: "<Root><e><e>...</e></e></Root>".
QByteArray Nested(const QByteArray& Root, int Depth, const QByteArray& Attributes = {}) {
  return "<" + Root + Attributes + ">" + QByteArray("<e>").repeated(Depth) +
         QByteArray("</e>").repeated(Depth) + "</" + Root + ">";
}

QString ErrorOf(const std::function<void()>& Read) {
  try {
    Read();
  } catch (const std::exception& error) {
    return QString::fromUtf8(error.what());
  }
  return {};
}

TEST_F(OutsideFilesTest, AClipThatCannotBePlayedNamesTheElementAndTheFile) {
  const QString repository = RepositoryWithBrokenLamp();
  CancelLoadAfterError();
  Load("<interface><repositories serverip=\"\" repositorydir=\"" + repository.toUtf8() +
       "\"/><list/><entities>"
       "<element filename=\"button\" id=\"101\" name=\"Power\"/>"
       "<element filename=\"lamp\" id=\"102\" name=\"Hall lamp\"/>"
       "<element filename=\"button\" id=\"103\" name=\"Never read\"/>"
       "</entities></interface>");

  EXPECT_EQ(Dialogs.Exceptions, QStringList{"Cannot load element 102 \"Hall lamp\": " + repository +
                                            "lamp.swf: not a Flash movie (bad signature)"});
  // The load stopped at the element and waited for Cancel; what was read before stays.
  EXPECT_EQ(Levels(), QList<int>{101});
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(Window->FProjectFileName, QString());
}

// Every reader of an outside XML file refuses nesting past the limit before building anything,
// naming the file; the limit itself is accepted.
TEST_F(OutsideFilesTest, EveryXmlReaderRefusesDeepNestingNamingTheFile) {
  const QByteArray deep = Nested("drivers", 20000);
  const QString refused = ": elements nest deeper than 256 levels (line 1, column ";
  QDomDocument document;
  EXPECT_TRUE(ErrorOf([&] {
                DriverCatalogue::ParseDocument(document, deep, "./drivers.xml");
              }).startsWith("./drivers.xml" + refused));
  EXPECT_TRUE(ErrorOf([&] {
                ProjectXml::ParseDocument(document, Nested("interface", 20000), "/p/deep.vlq");
              }).startsWith("/p/deep.vlq" + refused));
  TQel_Hash map;
  EXPECT_TRUE(ErrorOf([&] {
                InterfaceImport::ReadClassMap(Nested("clips", 20000), "./clips.xml", map);
              }).startsWith("./clips.xml" + refused));
  EXPECT_TRUE(ErrorOf([&] {
                InterfaceImport::ReadInterface(Nested("interface", 300), "./full.xml");
              }).startsWith("./full.xml" + refused));

  // The root and 255 levels below it are still read.
  EXPECT_EQ(ErrorOf([&] { DriverCatalogue::ParseDocument(document, Nested("drivers", 255)); }),
            QString());
  EXPECT_EQ(ErrorOf([&] { InterfaceImport::ReadInterface(Nested("interface", 255), "f"); }),
            QString());
  // Other faults keep the parser's own message.
  EXPECT_TRUE(ErrorOf([&] {
                ProjectXml::ParseDocument(document, "<interface><e></interface>" + deep);
              }).startsWith("The project is not well-formed XML"));
}

// A deeply nested catalogue or project ends the load with the error, and the design that was
// open stays as it was.
TEST_F(OutsideFilesTest, DeepFilesEndTheLoadAndKeepTheOpenDesign) {
  Load(ProjectText("<page name=\"Main\"/>", "<element filename=\"button\" id=\"101\"/>"
                                            "<element filename=\"lamp\" id=\"102\"/>"));
  ASSERT_EQ(Levels(), (QList<int>{101, 102}));

  WriteFile(WorkDir + "drivers.xml", Nested("drivers", 20000));
  CancelLoadAfterError();
  LoadProject(WorkDir + "p.vlq");
  ASSERT_EQ(Dialogs.Exceptions.size(), 1);
  EXPECT_TRUE(Dialogs.Exceptions[0].startsWith("./drivers.xml: elements nest deeper than 256"))
      << Dialogs.Exceptions[0].toStdString();
  EXPECT_EQ(Levels(), (QList<int>{101, 102}));
  EXPECT_EQ(PageList(), (QStringList{"all", "Main"}));

  QFile::remove(WorkDir + "drivers.xml");
  WriteFile(WorkDir + "deep.vlq", Nested("interface", 20000, " serverip=\"\" repositorydir=\"\""));
  LoadProject(WorkDir + "deep.vlq");
  ASSERT_EQ(Dialogs.Exceptions.size(), 2);
  EXPECT_TRUE(Dialogs.Exceptions[1].startsWith(WorkDir + "deep.vlq: elements nest deeper"))
      << Dialogs.Exceptions[1].toStdString();

  // The import reads nothing from a deep catalogue.
  WriteFile(WorkDir + "clips.xml", Nested("clips", 20000));
  WriteFile(WorkDir + "full.xml", "<interface/>");
  Window->LoadFromXML->trigger();
  ASSERT_EQ(Dialogs.Exceptions.size(), 3);
  EXPECT_TRUE(Dialogs.Exceptions[2].startsWith("./clips.xml: elements nest deeper"))
      << Dialogs.Exceptions[2].toStdString();
}

} // namespace
