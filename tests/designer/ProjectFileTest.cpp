#include "ProjectFixture.h"

#include <QDateTime>
#include <QDir>
#include <csignal>
#include <sys/resource.h>

namespace {

// The project file written by Save and Save As, its ".bak" twin and what a load brings back.
class ProjectFileTest : public ProjectTest {
protected:
  // Two elements over the demo clips with every stored attribute set.
  void BuildDesign() {
    CreateWithDemoRepository();
    Window->LBPages->addItem(QStringLiteral("Main"));
    Window->LBPages->setCurrentRow(1);
    TFlashElement* button = AddClip(QStringLiteral("button"));
    button->SetX(10.125);
    button->SetY(-2.5);
    button->SetWidth(130.75);
    button->FName = QStringLiteral("Power");
    button->SetItemProperty(QStringLiteral("caption"), QStringLiteral("On/off"));
    button->FSuffix.SetText(QStringLiteral("caption=_on&color=_c"));
    button->FOnExecute = QStringLiteral("Lights::On('1','2')\r\nLights::Off()\r\n");
    Window->LBPages->setCurrentRow(0);
    AddClip(QStringLiteral("lamp"));
  }

  QString Path(const QString& name) const { return WorkDir + name; }

  // Save with a file size limit of Bytes in force; the error it throws, or "".
  QString SaveWithFileSizeLimit(rlim_t Bytes) {
    rlimit saved{};
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = Bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    try {
      Window->SaveExecute(Window->Save);
    } catch (const std::exception& e) {
      error = QString::fromUtf8(e.what());
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return error;
  }
};

class ProjectRoundTripTest : public ProjectFileTest, public testing::WithParamInterface<char> {};

TEST_P(ProjectRoundTripTest, SavedProjectLoadsBackToTheSameFile) {
  SetDecimalSeparator(QLatin1Char(GetParam()));
  BuildDesign();
  SaveAs(Path("first.vlq"));
  const QByteArray first = ReadFile(Path("first.vlq"));
  const QByteArray separator(1, GetParam());
  EXPECT_TRUE(first.contains("<element filename=\"button\" x=\"10" + separator + "13\" y=\"-2" +
                             separator + "5\" width=\"130" + separator +
                             "75\" height=\"40\" id=\"101\" page=\"Main\" name=\"Power\">"))
      << first.constData();
  EXPECT_TRUE(first.contains("<list><page name=\"Main\"/></list>"));
  EXPECT_TRUE(first.contains("id=\"102\" page=\"all\" name=\"\">"));

  LoadProject(Path("first.vlq"));
  ASSERT_EQ(Window->FElements.Count(), 2);
  EXPECT_EQ(Levels(), (QList<int>{101, 102}));
  EXPECT_EQ(PageList(), (QStringList{"all", "Main"}));
  const TFlashElement* button = Window->FElements.FItems.first();
  EXPECT_EQ(button->FX, 10.13);
  EXPECT_EQ(button->FName, QStringLiteral("Power"));
  EXPECT_EQ(button->FPage, QStringLiteral("Main"));
  EXPECT_EQ(button->FProps.GetValue(QStringLiteral("caption")), QStringLiteral("On/off"));
  EXPECT_EQ(button->FSuffix.GetText(), QStringLiteral("caption=_on&color=_c"));
  EXPECT_EQ(button->FOnExecute, QStringLiteral("Lights::On('1','2')\r\nLights::Off()\r\n"));
  EXPECT_EQ(Window->FServerIP, QString());
  EXPECT_EQ(Window->StatusText(1), QStringLiteral("File:first.vlq"));

  SaveAs(Path("second.vlq"));
  EXPECT_EQ(ReadFile(Path("second.vlq")), first);
}

INSTANTIATE_TEST_SUITE_P(DecimalSeparators, ProjectRoundTripTest, testing::Values(',', '.'));

TEST_F(ProjectFileTest, SaveKeepsTheBackupOrder) {
  BuildDesign();
  // A new project whose save dialog is cancelled writes nothing.
  Window->SaveExecute(Window->Save);
  EXPECT_TRUE(QDir(WorkDir).entryList(QDir::Files).filter(".vlq").isEmpty());
  EXPECT_EQ(Window->StatusText(1), QStringLiteral("File:"));

  // Save As to a new name: the file and its backup hold the same content.
  SaveAs(Path("p.vlq"));
  const QByteArray saved = ReadFile(Path("p.vlq"));
  EXPECT_FALSE(saved.isEmpty());
  EXPECT_EQ(ReadFile(Path("p.vlq.bak")), saved);

  // Save over an existing file: the backup takes the previous content and its time.
  WriteFile(Path("p.vlq"), "previous");
  const QDateTime old = QDateTime::currentDateTime().addDays(-3);
  {
    QFile file(Path("p.vlq"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
  }
  Window->SaveExecute(Window->Save);
  EXPECT_EQ(ReadFile(Path("p.vlq.bak")), QByteArray("previous"));
  EXPECT_EQ(QFileInfo(Path("p.vlq.bak")).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
  EXPECT_EQ(ReadFile(Path("p.vlq")), saved);

  // Save As to an existing file keeps its previous content in the backup.
  WriteFile(Path("other.vlq"), "other");
  SaveAs(Path("other.vlq"));
  EXPECT_EQ(ReadFile(Path("other.vlq.bak")), QByteArray("other"));
  EXPECT_EQ(ReadFile(Path("other.vlq")), saved);
  EXPECT_EQ(Window->StatusText(1), QStringLiteral("File:other.vlq"));
}

TEST_F(ProjectFileTest, FailedWriteLeavesThePreviousFileAndBackup) {
  BuildDesign();
  WriteFile(Path("p.vlq"), "previous");
  Window->FProjectFileName = Path("p.vlq");

  // The disk fills up after a few hundred bytes: the backup fits, the project does not.
  EXPECT_EQ(SaveWithFileSizeLimit(200),
            "Stream write error: cannot write \"" + Path("p.vlq") + "\". File too large");
  EXPECT_EQ(ReadFile(Path("p.vlq")), QByteArray("previous"));
  EXPECT_EQ(ReadFile(Path("p.vlq.bak")), QByteArray("previous"));
  EXPECT_EQ(QDir(WorkDir).entryList(QDir::Files).size(), 2) << "no temporary file is left";

  // A project too large for the limit: the backup copy fails and the last good backup stays.
  const QByteArray large(5000, 'x');
  WriteFile(Path("p.vlq"), large);
  WriteFile(Path("p.vlq.bak"), "last good");
  EXPECT_EQ(SaveWithFileSizeLimit(1000),
            "Stream write error: cannot write \"" + Path("p.vlq.bak") + "\". File too large");
  EXPECT_EQ(ReadFile(Path("p.vlq.bak")), QByteArray("last good"));
  EXPECT_EQ(ReadFile(Path("p.vlq")), large) << "a failed backup stops the save";
  EXPECT_EQ(QDir(WorkDir).entryList(QDir::Files).size(), 2) << "no temporary file is left";
}

TEST_F(ProjectFileTest, CancelledOrFailedLoadLeavesTheProjectUnnamed) {
  BuildDesign();
  SaveAs(Path("good.vlq"));
  const QByteArray good = ReadFile(Path("good.vlq"));

  // Cancel before the load starts: the previous design stays, without a name.
  TFormLoading::SetTimerInterval(60000);
  QTimer::singleShot(
      0, [] { OnLoadingDialog([](TFormLoading& dialog) { dialog.Button1->click(); }); });
  LoadProject(Path("good.vlq"));
  EXPECT_EQ(Window->FElements.Count(), 2);
  EXPECT_EQ(Window->FProjectFileName, QString());
  EXPECT_EQ(Window->StatusText(1), QStringLiteral("File:"));

  // Save now asks for a name; cancelling it leaves the good file alone.
  Window->SaveExecute(Window->Save);
  EXPECT_TRUE(Dialogs.Asked.last().startsWith("SaveFile: vlq|*.vlq | vlq"));
  EXPECT_EQ(ReadFile(Path("good.vlq")), good);

  // A document that is not XML: the error is shown, Cancel closes the dialog.
  TFormLoading::SetTimerInterval(0);
  WriteFile(Path("broken.vlq"), "<interface><list>");
  CancelLoadAfterError();
  LoadProject(Path("broken.vlq"));
  ASSERT_EQ(Dialogs.Exceptions.size(), 1);
  EXPECT_TRUE(Dialogs.Exceptions.first().startsWith("The project is not well-formed XML"));
  EXPECT_TRUE(Dialogs.Exceptions.first().contains(Path("broken.vlq")));
  EXPECT_EQ(Window->FProjectFileName, QString());
}

} // namespace
