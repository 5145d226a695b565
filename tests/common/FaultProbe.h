#pragma once

#include <QByteArray>
#include <QString>
#include <csignal>
#include <functional>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs Work in a child process under a file size limit of FileSizeLimit bytes and hands back the
// text Work returned there (or the message of what it threw). SIGXFSZ is ignored in the child,
// so a write past the limit fails with "File too large", as on a full disk, instead of ending
// the child. With AsNobody the child drops root's rights first. Whatever Work changes in memory
// stays in the child; only what it writes to disk is seen afterwards.
inline QString RunInFaultProbe(const std::function<QString()>& Work,
                               rlim_t FileSizeLimit = RLIM_INFINITY, bool AsNobody = false) {
  int channel[2];
  if (pipe(channel) != 0)
    return QStringLiteral("no pipe");
  const pid_t child = fork();
  if (child < 0)
    return QStringLiteral("no child process");
  if (child == 0) {
    close(channel[0]);
    QString result;
    const rlimit limit{FileSizeLimit, FileSizeLimit};
    std::signal(SIGXFSZ, SIG_IGN);
    const passwd* nobody = AsNobody ? getpwnam("nobody") : nullptr;
    if (AsNobody && (!nobody || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)) {
      result = QStringLiteral("cannot become nobody");
    } else if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
      result = QStringLiteral("cannot limit the file size");
    } else {
      try {
        result = Work();
      } catch (const std::exception& error) {
        result = QString::fromUtf8(error.what());
      }
    }
    const QByteArray bytes = result.toUtf8();
    qsizetype written = 0;
    while (written < bytes.size()) {
      const ssize_t count = write(channel[1], bytes.constData() + written, bytes.size() - written);
      if (count <= 0)
        break;
      written += count;
    }
    _exit(0);
  }
  close(channel[1]);
  QByteArray bytes;
  char buffer[4096];
  for (ssize_t count; (count = read(channel[0], buffer, sizeof buffer)) > 0;)
    bytes.append(buffer, count);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status))
    return QStringLiteral("the child process ended abnormally");
  return QString::fromUtf8(bytes);
}
