#include "platform/FtpClient.h"

#include "common/FtpServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
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

} // namespace
