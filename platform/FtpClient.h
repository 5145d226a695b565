#pragma once

#include <QObject>
#include <QString>
#include <chrono>

typedef void CURL; // libcurl's handles, as curl.h declares them
typedef void CURLM;

// A blocking FTP client on libcurl for one control connection at a time: binary transfers,
// active data connections (the server connects back to the address of the control
// connection), time-outs for connecting and for a server that stops answering.
// While a command waits on the network the application's pending events run about every
// 50 ms, so the window repaints and takes input; a command started from such an event while
// another one runs is refused. Every failure throws std::runtime_error with a message for the
// user.
class TFtpClient : public QObject {
public:
  explicit TFtpClient(QObject* Parent = nullptr);
  ~TFtpClient() override; // closes an open connection as Quit does

  // Login and server; plain assignments, no network traffic. The port is 21 unless set.
  void SetHost(const QString& Host) { FHost = Host; }
  void SetUsername(const QString& Username) { FUsername = Username; }
  void SetPassword(const QString& Password) { FPassword = Password; }
  void SetPort(int Port) { FPort = Port; }
  int Port() const { return FPort; }
  // The longest wait for a connection, and for any answer or progress of the server once
  // connected.
  void SetTimeout(std::chrono::milliseconds Timeout) { FTimeout = Timeout; }

  // True while a control connection is open.
  bool Connected() const { return FConnected; }
  // Opens the control connection and logs in; on failure nothing stays open.
  void Connect();
  // Enters Directory, relative to the current directory; throws when the server refuses it.
  void ChangeDir(const QString& Directory);
  // Stores the bytes of LocalFile unchanged as RemoteName in the current directory,
  // creating or replacing it.
  void Put(const QString& LocalFile, const QString& RemoteName);
  // Says goodbye to the server and closes the connection; nothing when not connected.
  void Quit();

private:
  // Points the next request at Name in the current directory (the directory itself for an
  // empty Name); Upload selects a store, otherwise nothing is transferred.
  void Prepare(const QString& Name, bool Upload);
  // Runs the prepared request; throws Failure followed by curl's reason.
  void Perform(const QString& Failure);
  // Drops the connection and the handles.
  void Close();
  void RequireIdle() const;
  void RequireConnection() const;

  QString FHost;
  QString FUsername;
  QString FPassword;
  int FPort = 21;
  std::chrono::milliseconds FTimeout{20000};
  QByteArray FBaseUrl;     // "ftp://" and the host
  QByteArray FDirectory;   // URL path below the login directory, with a trailing "/"
  CURLM* FMulti = nullptr; // holds the open connection between requests
  CURL* FCurl = nullptr;   // the request, with the login and time-outs
  bool FConnected = false;
  bool FBusy = false;
  char FErrorText[256] = {}; // curl's first detailed text of the last request
  QByteArray FLastReply;     // the server's latest reply line in the last request
};
