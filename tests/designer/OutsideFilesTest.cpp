#include "ProjectFixture.h"
#include "designer/formats/DriverCatalogue.h"
#include "designer/formats/ProjectXml.h"

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
QByteArray Nested(const QByteArray& Root, int Depth) {
  return "<" + Root + ">" + QByteArray("<e>").repeated(Depth) + QByteArray("</e>").repeated(Depth) +
         "</" + Root + ">";
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
  LoadProjectText("<interface><repositories serverip=\"\" repositorydir=\"" + repository.toUtf8() +
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

// The limit itself is read; past it, the file is refused before a tree is built, and other
// faults keep the parser's own message.
TEST_F(OutsideFilesTest, NestingIsReadUpToTheLimitAndRefusedPastIt) {
  QDomDocument document;
  EXPECT_EQ(ErrorOf([&] { DriverCatalogue::ParseDocument(document, Nested("drivers", 255)); }),
            QString());
  EXPECT_EQ(ErrorOf([&] { DriverCatalogue::ParseDocument(document, Nested("drivers", 256)); }),
            "drivers.xml: elements nest deeper than 256 levels (line 1, column 777)");
  EXPECT_TRUE(ErrorOf([&] {
                ProjectXml::ParseDocument(document, "<interface><e></interface>" +
                                                        Nested("interface", 20000));
              }).startsWith("The project is not well-formed XML"));
}

// Every outside XML file nested 20,000 deep ends its load or import with an error naming the
// file; the design that was open stays as it was.
TEST_F(OutsideFilesTest, DeepFilesAreRefusedAndTheOpenDesignStays) {
  LoadProjectText(ProjectText("<page name=\"Main\"/>", "<element filename=\"button\" id=\"101\"/>"
                                                       "<element filename=\"lamp\" id=\"102\"/>"));
  ASSERT_EQ(Levels(), (QList<int>{101, 102}));
  const QString refused = ": elements nest deeper than 256 levels";
  const auto lastError = [this] {
    return Dialogs.Exceptions.isEmpty() ? QString() : Dialogs.Exceptions.takeLast();
  };

  WriteFile(WorkDir + "drivers.xml", Nested("drivers", 20000));
  CancelLoadAfterError();
  LoadProject(WorkDir + "p.vlq");
  EXPECT_TRUE(lastError().startsWith("./drivers.xml" + refused));
  EXPECT_EQ(Levels(), (QList<int>{101, 102}));
  EXPECT_EQ(PageList(), (QStringList{"all", "Main"}));

  // The import reads neither catalogue nor description.
  WriteFile(WorkDir + "clips.xml", Nested("clips", 20000));
  WriteFile(WorkDir + "full.xml", Nested("interface", 20000));
  Window->LoadFromXML->trigger();
  EXPECT_TRUE(lastError().startsWith("./clips.xml" + refused));
  WriteFile(WorkDir + "clips.xml", "<clips/>");
  Window->LoadFromXML->trigger();
  EXPECT_TRUE(lastError().startsWith("./full.xml" + refused));
  EXPECT_EQ(Levels(), (QList<int>{101, 102}));

  QFile::remove(WorkDir + "drivers.xml");
  WriteFile(WorkDir + "deep.vlq", Nested("interface", 20000));
  LoadProject(WorkDir + "deep.vlq");
  EXPECT_TRUE(lastError().startsWith(WorkDir + "deep.vlq" + refused));
}

// A project, a driver catalogue or an import file that is a folder or a link to a device is
// never read: the message names the file and why, at once; the open design stays.
TEST_F(OutsideFilesTest, FilesThatAreNoRegularFilesAreReportedNotRead) {
  LoadProjectText(ProjectText("", "<element filename=\"button\" id=\"101\"/>"));
  ASSERT_EQ(Levels(), QList<int>{101});
  const QString notRegular = "\". It is not a regular file.";
  ASSERT_TRUE(QDir().mkpath(WorkDir + "folder.vlq"));
  ASSERT_TRUE(QFile::link("/dev/zero", WorkDir + "zero.vlq"));
  for (const QString name : {"folder.vlq", "zero.vlq"}) {
    Dialogs.OpenAnswers.push_back({true, WorkDir + name});
    Window->Load->trigger();
    EXPECT_EQ(Dialogs.Exceptions.takeLast(), "Cannot open file \"" + WorkDir + name + notRegular);
    EXPECT_EQ(Window->FProjectFileName, QString());
    EXPECT_EQ(Levels(), QList<int>{101});
  }

  ASSERT_TRUE(QFile::link("/dev/zero", WorkDir + "drivers.xml"));
  CancelLoadAfterError();
  LoadProject(WorkDir + "p.vlq");
  EXPECT_EQ(Dialogs.Exceptions.takeLast(), "Cannot open file \"./drivers.xml" + notRegular);

  for (const QString name : {"clips.xml", "full.xml"}) {
    QFile::remove(WorkDir + "clips.xml");
    QFile::remove(WorkDir + "full.xml");
    if (name == u"full.xml")
      WriteFile(WorkDir + "clips.xml", "<clips/>");
    ASSERT_TRUE(QFile::link("/dev/zero", WorkDir + name));
    Window->LoadFromXML->trigger();
    EXPECT_EQ(Dialogs.Exceptions.takeLast(), "Cannot open file \"./" + name + notRegular);
  }
  EXPECT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join('\n').toStdString();
}

} // namespace
