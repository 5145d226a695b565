#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

// A real FTP server for tests: pyftpdlib under the system Python, on 127.0.0.1 and a port the
// system picks, serving Root to one user with full rights. It logs every session and stored
// file, and stops when this object goes or when the test process dies (its stdin closes).
// Its Mode: "" serves at full speed; "slow" takes uploads at 64 KB a second, so a test can act
// while one runs; "cut" closes an upload's data connection after its first 64 KB.
class TFtpServer {
public:
  TFtpServer(const QString& Root, const QString& User, const QString& Password,
             const QString& Mode = QString()) {
    FProcess.setProgram(QStringLiteral("/usr/bin/python3"));
    FProcess.setArguments(
        {QStringLiteral("-c"), QString::fromLatin1(Script), Root, User, Password, Mode});
  }

  ~TFtpServer() {
    FProcess.kill();
    FProcess.waitForFinished(5000);
  }

  // Starts the server and waits until it listens; false (see Error) when it does not within
  // ten seconds.
  bool Start() {
    FProcess.start();
    QElapsedTimer waited;
    waited.start();
    while (!FProcess.canReadLine() && FProcess.state() != QProcess::NotRunning &&
           !waited.hasExpired(10000))
      FProcess.waitForReadyRead(100);
    FPort = FProcess.readLine().trimmed().toInt();
    if (FPort <= 0)
      FError = QString::fromLocal8Bit(FProcess.readAllStandardError()) + FProcess.errorString();
    return FPort > 0;
  }

  int Port() const { return FPort; }
  // The server's process, for tests that stop or kill it.
  qint64 ProcessId() const { return FProcess.processId(); }
  QString Error() const { return FError; }

  // The server's log so far: one line per login, command of note and closed session.
  QString Log() {
    FProcess.waitForReadyRead(50);
    FLog += QString::fromLocal8Bit(FProcess.readAllStandardError());
    return FLog;
  }

private:
  static constexpr const char* Script = R"(
import logging, os, sys, threading
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer
root, user, password, mode = sys.argv[1:5]
logging.basicConfig(level=logging.INFO, stream=sys.stderr, format="%(message)s")
if mode == "slow":
    ThrottledDTPHandler.read_limit = 64 * 1024
    FTPHandler.dtp_handler = ThrottledDTPHandler
elif mode == "cut":
    class CuttingDTPHandler(DTPHandler):
        def handle_read(self):
            DTPHandler.handle_read(self)
            if self.tot_bytes_received > 64 * 1024 and not self._closed:
                self._resp = ("426 Data connection cut; transfer aborted.", logging.info)
                self.close()
        handle_read_event = handle_read
    FTPHandler.dtp_handler = CuttingDTPHandler
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
FTPHandler.authorizer = authorizer
FTPHandler.auth_failed_timeout = 0
server = FTPServer(("127.0.0.1", 0), FTPHandler)
def stop_with_parent():
    sys.stdin.read()
    os._exit(0)
threading.Thread(target=stop_with_parent, daemon=True).start()
print(server.socket.getsockname()[1], flush=True)
server.serve_forever(timeout=0.1)
)";

  QProcess FProcess;
  int FPort = 0;
  QString FError;
  QString FLog;
};
