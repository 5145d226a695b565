#include "platform/FtpClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QUrl>
#include <algorithm>
#include <curl/curl.h>
#include <mutex>
#include <stdexcept>

namespace {

// How often pending events run while a command waits on the network.
constexpr qint64 PumpIntervalMs = 50;

[[noreturn]] void Fail(const QString& message) {
  throw std::runtime_error(message.toStdString());
}

void InitialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
      Fail(QStringLiteral("The network library could not be initialised"));
  });
}

// Keeps the latest line the server sent on the control connection (curl hands every reply
// line to the header callback).
size_t KeepReply(char* buffer, size_t size, size_t count, void* reply) {
  const size_t length = size * count;
  *static_cast<QByteArray*>(reply) = QByteArray(buffer, qsizetype(length)).trimmed();
  return length;
}

// Why a request failed, for the user: a refusal in the server's own words, else curl's
// detailed text unless it was noted while the request went on (curl keeps only its first text,
// and opening the active data connection fills it with a harmless one), else curl's text for
// the result.
QString FailureReason(CURLcode result, const QByteArray& lastReply, const char* errorText,
                      bool errorTextPassedOver) {
  if (lastReply.startsWith('4') || lastReply.startsWith('5'))
    return QStringLiteral("the server replied \"%1\"").arg(QString::fromUtf8(lastReply));
  if (errorText[0] && !errorTextPassedOver)
    return QString::fromUtf8(errorText);
  return QString::fromUtf8(curl_easy_strerror(result));
}

size_t ReadFromFile(char* buffer, size_t size, size_t count, void* file) {
  const qint64 read = static_cast<QFile*>(file)->read(buffer, qint64(size * count));
  return read < 0 ? CURL_READFUNC_ABORT : size_t(read);
}

// The host as it stands in a URL: an IPv6 address in brackets. Characters that would end the
// host part of a URL are refused, so the address cannot redirect the request elsewhere.
QByteArray UrlHost(const QString& host) {
  static const QString urlDelimiters = QStringLiteral("/?#@\\[] ");
  const QString bare = host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))
                           ? host.mid(1).chopped(1)
                           : host;
  const bool valid = !bare.isEmpty() && std::none_of(bare.begin(), bare.end(), [](QChar c) {
    return c.unicode() < 0x20 || urlDelimiters.contains(c);
  });
  if (!valid)
    Fail(QStringLiteral("\"%1\" is not a valid server address").arg(host));
  return bare.contains(QLatin1Char(':')) ? "[" + bare.toUtf8() + "]" : bare.toUtf8();
}

long WholeSeconds(std::chrono::milliseconds duration) {
  return std::max<long>(1, long((duration.count() + 999) / 1000));
}

} // namespace

TFtpClient::TFtpClient(QObject* Parent) : QObject(Parent) {}

TFtpClient::~TFtpClient() {
  if (!FBusy)
    Quit();
}

void TFtpClient::Connect() {
  RequireIdle();
  if (FCurl)
    Fail(QStringLiteral("Already connected"));
  InitialiseCurlOnce();
  const QByteArray host = UrlHost(FHost);
  // The open connection lives in the multi handle's cache between requests.
  FMulti = curl_multi_init();
  FCurl = curl_easy_init();
  if (!FMulti || !FCurl) {
    Close();
    Fail(QStringLiteral("The network library could not start a connection"));
  }
  FDirectory = "/";
  FBaseUrl = "ftp://" + host;
  curl_easy_setopt(FCurl, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(FCurl, CURLOPT_PORT, long(FPort));
  curl_easy_setopt(FCurl, CURLOPT_USERNAME, FUsername.toUtf8().constData());
  curl_easy_setopt(FCurl, CURLOPT_PASSWORD, FPassword.toUtf8().constData());
  curl_easy_setopt(FCurl, CURLOPT_NOSIGNAL, 1L);
  // Active data connections, as the device expects: it connects back to our address.
  curl_easy_setopt(FCurl, CURLOPT_FTPPORT, "-");
  curl_easy_setopt(FCurl, CURLOPT_CONNECTTIMEOUT_MS, long(FTimeout.count()));
  curl_easy_setopt(FCurl, CURLOPT_SERVER_RESPONSE_TIMEOUT, WholeSeconds(FTimeout));
  // A transfer that moves no byte for the time-out is abandoned.
  curl_easy_setopt(FCurl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(FCurl, CURLOPT_LOW_SPEED_TIME, WholeSeconds(FTimeout));
  curl_easy_setopt(FCurl, CURLOPT_ERRORBUFFER, FErrorText);
  curl_easy_setopt(FCurl, CURLOPT_READFUNCTION, &ReadFromFile);
  curl_easy_setopt(FCurl, CURLOPT_HEADERFUNCTION, &KeepReply);
  curl_easy_setopt(FCurl, CURLOPT_HEADERDATA, &FLastReply);

  Prepare(QString(), false);
  try {
    Perform(QStringLiteral("Cannot connect to the FTP server \"%1\"").arg(FHost));
  } catch (...) {
    Close();
    throw;
  }
  FConnected = true;
}

void TFtpClient::ChangeDir(const QString& Directory) {
  RequireIdle();
  RequireConnection();
  const QByteArray previous = FDirectory;
  // The whole name is one segment, so curl sends it in a single CWD command.
  FDirectory += QUrl::toPercentEncoding(Directory) + "/";
  Prepare(QString(), false);
  try {
    Perform(QStringLiteral("Cannot change to the directory \"%1\"").arg(Directory));
  } catch (...) {
    FDirectory = previous;
    throw;
  }
}

void TFtpClient::Put(const QString& LocalFile, const QString& RemoteName) {
  RequireIdle();
  RequireConnection();
  QFile file(LocalFile);
  if (!file.open(QIODevice::ReadOnly))
    Fail(QStringLiteral("Cannot open file \"%1\". %2").arg(LocalFile, file.errorString()));
  Prepare(RemoteName, true);
  curl_easy_setopt(FCurl, CURLOPT_READDATA, &file);
  curl_easy_setopt(FCurl, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
  const auto detachFile = qScopeGuard([this] {
    curl_easy_setopt(FCurl, CURLOPT_READDATA, nullptr);
    curl_easy_setopt(FCurl, CURLOPT_UPLOAD, 0L);
  });
  Perform(QStringLiteral("Cannot store \"%1\"").arg(RemoteName));
}

void TFtpClient::Quit() {
  RequireIdle();
  if (!Connected())
    return;
  Close();
}

void TFtpClient::Close() {
  curl_easy_cleanup(FCurl);
  // Closing the connection cache sends QUIT on the open connection, then closes it.
  curl_multi_cleanup(FMulti);
  FCurl = nullptr;
  FMulti = nullptr;
  FConnected = false;
}

void TFtpClient::Prepare(const QString& Name, bool Upload) {
  const QByteArray url = FBaseUrl + FDirectory + QUrl::toPercentEncoding(Name);
  curl_easy_setopt(FCurl, CURLOPT_URL, url.constData());
  curl_easy_setopt(FCurl, CURLOPT_NOBODY, Upload ? 0L : 1L);
  curl_easy_setopt(FCurl, CURLOPT_UPLOAD, Upload ? 1L : 0L);
  curl_easy_setopt(FCurl, CURLOPT_APPEND, 0L);
}

void TFtpClient::Perform(const QString& Failure) {
  FBusy = true;
  const auto idle = qScopeGuard([this] { FBusy = false; });
  FErrorText[0] = '\0';
  FLastReply.clear();
  bool errorTextPassedOver = false;
  CURLcode result = CURLE_OK;
  CURLMcode waitResult = curl_multi_add_handle(FMulti, FCurl);
  int running = 1;
  QElapsedTimer sincePump;
  sincePump.start();
  // curl waits no longer than until the next pump is due, so pending events run every
  // PumpIntervalMs even while the server keeps silent.
  while (waitResult == CURLM_OK && running > 0) {
    waitResult = curl_multi_perform(FMulti, &running);
    if (running > 0 && FErrorText[0])
      errorTextPassedOver = true;
    if (waitResult == CURLM_OK && running > 0) {
      const qint64 untilPump = std::max<qint64>(0, PumpIntervalMs - sincePump.elapsed());
      waitResult = curl_multi_poll(FMulti, nullptr, 0, int(untilPump), nullptr);
    }
    if (sincePump.elapsed() >= PumpIntervalMs) {
      QCoreApplication::processEvents();
      sincePump.restart();
    }
  }
  int queued = 0;
  while (const CURLMsg* message = curl_multi_info_read(FMulti, &queued)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == FCurl)
      result = message->data.result;
  }
  curl_multi_remove_handle(FMulti, FCurl);
  if (waitResult != CURLM_OK)
    Fail(Failure + QStringLiteral(": ") + QString::fromUtf8(curl_multi_strerror(waitResult)));
  if (result != CURLE_OK)
    Fail(Failure + QStringLiteral(": ") +
         FailureReason(result, FLastReply, FErrorText, errorTextPassedOver));
}

void TFtpClient::RequireIdle() const {
  if (FBusy)
    Fail(QStringLiteral("The FTP connection is busy with another command"));
}

void TFtpClient::RequireConnection() const {
  if (!Connected())
    Fail(QStringLiteral("Not connected"));
}
