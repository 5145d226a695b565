#include "ProjectFixture.h"

#include <QDateTime>
#include <QDir>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs Work in a forked child under the unprivileged user "nobody" (root may write anywhere) and
// returns its exit status; 77 when the child could not become that user.
int RunAsNobody(const std::function<int()>& Work) {
  const passwd* nobody = getpwnam("nobody");
  if (!nobody)
    return 77;
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  const pid_t child = fork();
  if (child == 0) {
    if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
      _exit(77);
    _exit(Work());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
    return -1;
  return WEXITSTATUS(status);
}

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

// The user may write the project and its backup but not create files in their folder: Save
// writes both in place, the backup first; a failure midway keeps the previous content.
TEST_F(ProjectFileTest, SaveWritesInPlaceWhereTheFolderRefusesNewFiles) {
  BuildDesign();
  const QString folder = Path("locked/");
  ASSERT_TRUE(QDir().mkpath(folder));
  const passwd* nobody = getpwnam("nobody");
  if (!nobody)
    GTEST_SKIP() << "no user nobody";
  for (const QString& name : {QStringLiteral("p.vlq"), QStringLiteral("p.vlq.bak")}) {
    WriteFile(folder + name, "previous");
    ASSERT_EQ(chown(QFile::encodeName(folder + name).constData(), nobody->pw_uid, nobody->pw_gid),
              0);
  }
  // The temporary folder, its work folder and the locked folder let nobody in, not create.
  for (const QString& dir : {Temp.path(), WorkDir, folder})
    ASSERT_EQ(chmod(QFile::encodeName(dir).constData(), 0755), 0);
  Window->FProjectFileName = folder + "p.vlq";

  // The project is larger than the limit: the backup is written, the project is not, and the
  // file written in place gets its previous content back.
  const int failed = RunAsNobody([this] {
    rlimit small{};
    getrlimit(RLIMIT_FSIZE, &small);
    small.rlim_cur = 300;
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    Window->Save->trigger();
    return Dialogs.ExceptionsShown == 1 ? 0 : 1;
  });
  if (failed == 77)
    GTEST_SKIP() << "cannot run as nobody";
  EXPECT_EQ(failed, 0) << "the failed write is reported";
  EXPECT_EQ(ReadFile(folder + "p.vlq"), QByteArray("previous"));
  EXPECT_EQ(ReadFile(folder + "p.vlq.bak"), QByteArray("previous"));

  const int saved = RunAsNobody([this] {
    Window->Save->trigger();
    return Dialogs.ExceptionsShown == 0 ? 0 : 1;
  });
  EXPECT_EQ(saved, 0) << "Save succeeds";
  const QByteArray written = ReadFile(folder + "p.vlq");
  EXPECT_TRUE(written.contains("name=\"Power\"")) << written.constData();
  EXPECT_EQ(ReadFile(folder + "p.vlq.bak"), QByteArray("previous"));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2) << "no temporary file is left";
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
