#include "platform/FtpClient.h"

#include "common/FtpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(content);
}

// A loopback port that accepts connections (the system completes them) and never answers, as a
// device that has stopped working; closed, nothing listens on it any more.
class TSilentPort {
public:
  TSilentPort() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(FSocket, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        listen(FSocket, 4) == 0 &&
        getsockname(FSocket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      FPort = ntohs(address.sin_port);
  }
  ~TSilentPort() { Close(); }
  void Close() {
    if (FSocket >= 0)
      close(FSocket);
    FSocket = -1;
  }
  int Port() const { return FPort; }

private:
  int FSocket = socket(AF_INET, SOCK_STREAM, 0);
  int FPort = 0;
};

// The message of the error Work throws, or "" when it throws none.
template <typename Work> QString ErrorOf(Work work) {
  try {
    work();
  } catch (const std::runtime_error& error) {
    return QString::fromUtf8(error.what());
  }
  return {};
}

// The client against a real server whose root holds "www".
class FtpClientTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(QDir(Temp.path()).mkpath("root/www"));
    ASSERT_TRUE(Server.Start()) << Server.Error().toStdString();
    Client.SetHost("127.0.0.1");
    Client.SetPort(Server.Port());
    Client.SetUsername("tessaryn");
    Client.SetPassword("qorvandi");
    Client.SetTimeout(5s);
  }

  QString Root() const { return Temp.path() + "/root/"; }

  QTemporaryDir Temp;
  TFtpServer Server{Temp.path() + "/root", "tessaryn", "qorvandi"};
  TFtpClient Client;
};

TEST_F(FtpClientTest, PutStoresTheBytesUnchangedAndReplacesAnExistingFile) {
  QByteArray content;
  for (int i = 0; i < 300000; ++i)
    content += char(i * 7 % 256); // every byte value, CR LF and NUL among them
  WriteFile(Temp.path() + "/local.bin", content);
  WriteFile(Root() + "www/remote.bin", QByteArray(400000, 'x'));

  EXPECT_EQ(Client.Port(), Server.Port());
  EXPECT_FALSE(Client.Connected());
  Client.Connect();
  EXPECT_TRUE(Client.Connected());
  Client.ChangeDir("www");
  Client.Put(Temp.path() + "/local.bin", "remote.bin");
  EXPECT_EQ(ReadFile(Root() + "www/remote.bin"), content);
  Client.Quit();
  EXPECT_FALSE(Client.Connected());
  Client.Quit(); // not connected: nothing
}

TEST_F(FtpClientTest, FailuresRaiseClearTextsAndLeaveTheStateTheNextCommandNeeds) {
  EXPECT_EQ(ErrorOf([&] { Client.ChangeDir("www"); }), "Not connected");

  Client.SetPassword("wrong");
  const QString refused = ErrorOf([&] { Client.Connect(); });
  EXPECT_TRUE(refused.startsWith("Cannot connect to the FTP server \"127.0.0.1\": "))
      << refused.toStdString();
  EXPECT_FALSE(Client.Connected());

  Client.SetPassword("qorvandi");
  Client.Connect();
  EXPECT_EQ(ErrorOf([&] { Client.Connect(); }), "Already connected");
  EXPECT_TRUE(ErrorOf([&] {
                Client.ChangeDir("missing");
              }).startsWith("Cannot change to the directory \"missing\": "));
  EXPECT_TRUE(Client.Connected());
  EXPECT_TRUE(ErrorOf([&] {
                Client.Put(Temp.path() + "/absent", "x");
              }).startsWith("Cannot open file \"" + Temp.path() + "/absent\""));
  // The refused directory was not entered: the store lands in the login directory.
  WriteFile(Temp.path() + "/a.txt", "a");
  Client.Put(Temp.path() + "/a.txt", "a b.txt");
  EXPECT_EQ(ReadFile(Root() + "a b.txt"), "a");
  Client.Quit();
  EXPECT_TRUE(Server.Log().contains("FTP session closed"));
}

TEST_F(FtpClientTest, AddressesThatNameNoServerFailWithoutAConnection) {
  for (const QString host : {"", "127.0.0.1/other", "user@127.0.0.1", "host name"}) {
    Client.SetHost(host);
    EXPECT_EQ(ErrorOf([&] { Client.Connect(); }), "\"" + host + "\" is not a valid server address");
    EXPECT_FALSE(Client.Connected());
  }
  // A port where nothing listens.
  TSilentPort closed;
  ASSERT_GT(closed.Port(), 0);
  Client.SetHost("127.0.0.1");
  Client.SetPort(closed.Port());
  closed.Close();
  EXPECT_FALSE(ErrorOf([&] { Client.Connect(); }).isEmpty());
  EXPECT_FALSE(Client.Connected());
}

TEST_F(FtpClientTest, ASilentServerTimesOutWhileEventsKeepRunning) {
  TSilentPort silent;
  ASSERT_GT(silent.Port(), 0);
  Client.SetPort(silent.Port());
  Client.SetTimeout(1500ms);

  int ticks = 0;
  QString nested;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (++ticks == 2)
      nested = ErrorOf([&] { Client.Connect(); });
  });
  timer.start(20);
  QElapsedTimer waited;
  waited.start();
  EXPECT_FALSE(ErrorOf([&] { Client.Connect(); }).isEmpty());
  EXPECT_LT(waited.elapsed(), 5000);
  EXPECT_GT(ticks, 10); // the window would have repainted throughout
  EXPECT_EQ(nested, "The FTP connection is busy with another command");
  EXPECT_FALSE(Client.Connected());
}

// While the client waits on the network, pending events run about every 50 ms, not only every
// second wait.
TEST_F(FtpClientTest, EventsRunAboutEvery50MsWhileTheServerKeepsSilent) {
  TSilentPort silent;
  ASSERT_GT(silent.Port(), 0);
  Client.SetPort(silent.Port());
  Client.SetTimeout(1500ms);
  QElapsedTimer clock;
  clock.start();
  QList<qint64> pumps;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { pumps << clock.elapsed(); });
  timer.start(5);
  EXPECT_FALSE(ErrorOf([&] { Client.Connect(); }).isEmpty());
  ASSERT_GT(pumps.size(), 10);
  const double meanGap = double(pumps.last() - pumps.first()) / double(pumps.size() - 1);
  EXPECT_LT(meanGap, 65.0);
  EXPECT_GT(meanGap, 40.0);
}

// A failed store says why in the server's words or with the real cause, never with a text curl
// noted on the way (opening the active data connection notes a harmless one).
TEST_F(FtpClientTest, AFailedStoreShowsTheServersReplyOrTheRealCause) {
  const QString local = Temp.path() + "/interface.xml";
  WriteFile(local, QByteArray(16 << 20, 'x'));           // more than the sockets buffer
  ASSERT_TRUE(QDir(Root()).mkpath("www/interface.xml")); // a folder in the file's place
  Client.Connect();
  Client.ChangeDir("www");
  EXPECT_EQ(ErrorOf([&] { Client.Put(local, "interface.xml"); }).toStdString(),
            "Cannot store \"interface.xml\": the server replied \"550 Is a directory.\"");
  Client.Quit();

  TFtpServer cutting(Root(), "tessaryn", "qorvandi", "cut");
  ASSERT_TRUE(cutting.Start()) << cutting.Error().toStdString();
  Client.SetPort(cutting.Port());
  Client.Connect();
  EXPECT_EQ(ErrorOf([&] { Client.Put(local, "cut.xml"); }).toStdString(),
            "Cannot store \"cut.xml\": Failed sending data to the peer");
  Client.Quit();

  // The server stops answering midway; then it dies midway.
  TFtpServer slow(Root(), "tessaryn", "qorvandi", "slow");
  ASSERT_TRUE(slow.Start()) << slow.Error().toStdString();
  const pid_t server = pid_t(slow.ProcessId());
  Client.SetPort(slow.Port());
  Client.SetTimeout(1500ms);
  Client.Connect();
  QTimer::singleShot(300, [server] { kill(server, SIGSTOP); });
  EXPECT_EQ(ErrorOf([&] { Client.Put(local, "slow.xml"); }).toStdString(),
            "Cannot store \"slow.xml\": Timeout was reached");
  kill(server, SIGCONT);
  Client.Quit();
  Client.Connect();
  QTimer::singleShot(300, [server] { kill(server, SIGKILL); });
  EXPECT_EQ(ErrorOf([&] { Client.Put(local, "slow.xml"); }).toStdString(),
            "Cannot store \"slow.xml\": Failed sending data to the peer");
  Client.Quit();
}

} // namespace
