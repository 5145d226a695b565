#include "platform/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const QString& Message) {
  throw std::runtime_error(Message.toStdString());
}

} // namespace

void CopyFile(const QString& Source, const QString& Destination, TCopyReplace Replace) {
  QFile In(Source);
  if (QFileInfo(Source).isDir() || !In.open(QIODevice::ReadOnly))
    Fail("Cannot open file " + Source);
  QDir().mkpath(QFileInfo(Destination).absolutePath());
  // The bytes go to a temporary file beside the destination, which replaces the destination
  // only once complete: a copy that fails midway (disk full, file size limit) leaves the
  // earlier destination file as it was. A read-only destination is refused, as it would be
  // if written in place.
  QSaveFile Out(Destination);
  Out.setDirectWriteFallback(Replace == TCopyReplace::InPlaceWhereNoTempFile);
  if (!Out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    Fail("Cannot create file " + Destination);

  constexpr qint64 ChunkSize = 64 * 1024;
  while (!In.atEnd()) {
    const QByteArray Chunk = In.read(ChunkSize);
    if (In.error() != QFileDevice::NoError)
      Fail("Stream read error");
    if (Out.write(Chunk) != Chunk.size())
      Fail("Stream write error");
  }
  Out.setFileTime(QFileInfo(Source).lastModified(), QFileDevice::FileModificationTime);
  if (!Out.commit())
    Fail(Out.error() == QFileDevice::RenameError ? "Cannot create file " + Destination
                                                 : QStringLiteral("Stream write error"));
}
