#include "designer/formats/WholeFile.h"

#include "platform/FileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString CannotCreate(const QString& FileName, const QString& Reason) {
  return QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, Reason);
}

// Overwrites the existing file from its start and then cuts it to the new length, so the bytes
// it held are only replaced, never first thrown away; when the write fails, the earlier bytes
// are written back.
bool WriteInPlace(const QString& FileName, const QByteArray& Text, QString& Error) {
  QFile file(FileName);
  if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
    Error = CannotCreate(FileName, file.errorString());
    return false;
  }
  const QByteArray earlier = file.readAll();
  if (file.seek(0) && WriteFully(file, Text) && file.resize(Text.size()))
    return true;
  Error = StreamWriteError(FileName, file.errorString());
  if (file.seek(0) && WriteFully(file, earlier))
    file.resize(earlier.size());
  return false;
}

QString TooLarge() {
  return QStringLiteral("It is larger than %1 MB.").arg(MaxOutsideFileSize / (1024 * 1024));
}

} // namespace

bool WriteWholeFile(const QString& FileName, const QByteArray& Text, QString& Error) {
  QSaveFile file(FileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    const QFileInfo existing(FileName);
    if (existing.isFile() && existing.isWritable())
      return WriteInPlace(FileName, Text, Error);
    Error = CannotCreate(FileName, file.errorString());
    return false;
  }
  if (!WriteFully(file, Text)) {
    Error = StreamWriteError(FileName, file.errorString());
    return false;
  }
  if (!file.commit()) {
    Error = file.error() == QFileDevice::RenameError
                ? CannotCreate(FileName, file.errorString())
                : StreamWriteError(FileName, file.errorString());
    return false;
  }
  return true;
}

QString OutsideFileProblem(const QString& FileName) {
  const QFileInfo info(FileName);
  if (!info.exists())
    return {};
  if (!info.isFile())
    return QStringLiteral("It is not a regular file.");
  if (info.size() > MaxOutsideFileSize)
    return TooLarge();
  return {};
}

bool ReadWholeFile(const QString& FileName, QByteArray& Bytes, QString& Error) {
  const auto cannotOpen = [&](const QString& Reason) {
    Error = QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, Reason);
    return false;
  };
  const QString problem = OutsideFileProblem(FileName);
  if (!problem.isEmpty())
    return cannotOpen(problem);
  QFile file(FileName);
  if (!file.open(QIODevice::ReadOnly))
    return cannotOpen(file.errorString());
  // The file may grow after it was measured: nothing past the limit is read.
  constexpr qint64 ChunkSize = 1024 * 1024;
  Bytes.clear();
  Bytes.reserve(file.size());
  while (!file.atEnd()) {
    const QByteArray chunk = file.read(ChunkSize);
    if (file.error() != QFileDevice::NoError)
      return cannotOpen(file.errorString());
    if (chunk.isEmpty())
      break;
    if (Bytes.size() + chunk.size() > MaxOutsideFileSize) {
      Bytes.clear();
      return cannotOpen(TooLarge());
    }
    Bytes += chunk;
  }
  return true;
}
