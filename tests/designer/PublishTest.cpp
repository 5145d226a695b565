#include "ProjectFixture.h"
#include "common/FtpServer.h"
#include "platform/FtpClient.h"

#include <QAction>
#include <QFileInfo>

namespace {

using namespace std::chrono_literals;

// Save XML to Ftp against a real server on loopback that knows the device's login.
class PublishTest : public ProjectTest {
protected:
  void SetUp() override {
    ProjectTest::SetUp();
    ASSERT_TRUE(QDir().mkpath(Root() + "www"));
    ASSERT_TRUE(Server.Start()) << Server.Error().toStdString();
    CreateWithDemoRepository();
    Window->FServerIP = "127.0.0.1";
    Window->IdFTP1->SetPort(Server.Port());
    Window->IdFTP1->SetTimeout(5s);
  }

  QString Root() const { return Temp.path() + "/device/"; }
  QString Uploaded() const { return Root() + "www/interface.xml"; }

  // Runs the command through its action; the error shown, or "" for none.
  QString Publish() {
    const qsizetype shown = Dialogs.Exceptions.size();
    Window->SaveToFtp->trigger();
    EXPECT_FALSE(Window->IdFTP1->Connected());
    EXPECT_TRUE(Window->SaveToFtp->isEnabled());
    return Dialogs.Exceptions.size() > shown ? Dialogs.Exceptions.last() : QString();
  }

  TFtpServer Server{Temp.path() + "/device", "tessaryn", "qorvandi"};
};

TEST_F(PublishTest, UploadsTheDescriptionAfterTheProjectSaveAndKeepsTheLocalCopy) {
  AddClip("button")->FName = "Power";
  WriteFile(Uploaded(), QByteArray(100000, 'x')); // replaced, not appended to

  // A never-saved project asks for its file first; Cancel does not stop the upload.
  EXPECT_EQ(Publish(), "");
  EXPECT_EQ(Dialogs.Asked, QStringList{"SaveFile: vlq|*.vlq | vlq"});
  const QByteArray uploaded = ReadFile(Uploaded());
  EXPECT_TRUE(uploaded.contains("<button level=\"101\"")) << uploaded.toStdString();
  EXPECT_TRUE(uploaded.contains("id=\"Power\""));
  EXPECT_EQ(ReadFile(ExeDir + "temp.xml"), uploaded);
  EXPECT_EQ(Window->FInterfaceXmlText, uploaded);

  // The next run logs in afresh and uploads the changed design.
  AddClip("lamp");
  EXPECT_EQ(Publish(), "");
  EXPECT_TRUE(ReadFile(Uploaded()).contains("<lamp level=\"102\""));
  EXPECT_EQ(Server.Log().count("logged in"), 2);
}

TEST_F(PublishTest, ARefusedLoginOrAMissingDirectoryShowsTheErrorAndTheNextRunTriesAgain) {
  TFtpServer otherDevice(Root(), "tessaryn", "another password");
  ASSERT_TRUE(otherDevice.Start()) << otherDevice.Error().toStdString();
  Window->IdFTP1->SetPort(otherDevice.Port());
  EXPECT_TRUE(Publish().startsWith("Cannot connect to the FTP server \"127.0.0.1\": "));
  EXPECT_TRUE(QFileInfo::exists(ExeDir + "temp.xml"));
  EXPECT_FALSE(QFileInfo::exists(Uploaded()));

  Window->IdFTP1->SetPort(Server.Port());
  ASSERT_TRUE(QDir(Root() + "www").removeRecursively());
  // The connection is closed after the failed step, so it cannot swallow the next run.
  for (int run = 0; run < 2; ++run)
    EXPECT_TRUE(Publish().startsWith("Cannot change to the directory \"www\": "));
  ASSERT_TRUE(QDir().mkpath(Root() + "www"));
  EXPECT_EQ(Publish(), "");
  EXPECT_EQ(ReadFile(Uploaded()), ReadFile(ExeDir + "temp.xml"));
}

TEST_F(PublishTest, NoConnectionIsMadeWhenTheLocalCopyCannotBeWritten) {
  ASSERT_TRUE(QDir().mkpath(ExeDir + "temp.xml")); // a folder in the file's place
  EXPECT_TRUE(Publish().contains("temp.xml"));
  EXPECT_FALSE(Server.Log().contains("logged in"));
  EXPECT_FALSE(QFileInfo::exists(Uploaded()));
}

} // namespace
