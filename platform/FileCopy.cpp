#include "platform/FileCopy.h"

#include "platform/FileWrite.h"

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
  // Only a regular file has an end: a link to a device would be read for ever (or as nothing),
  // and opening a pipe would wait for a writer.
  const QFileInfo SourceInfo(Source);
  if (SourceInfo.exists() && !SourceInfo.isFile())
    Fail("Cannot open file " + Source + " (not a regular file)");
  QFile In(Source);
  if (!In.open(QIODevice::ReadOnly))
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
      Fail(QStringLiteral("Stream read error: cannot read \"%1\". %2")
               .arg(Source, In.errorString()));
    if (!WriteFully(Out, Chunk))
      Fail(StreamWriteError(Destination, Out.errorString()));
  }
  Out.setFileTime(SourceInfo.lastModified(), QFileDevice::FileModificationTime);
  if (!Out.commit())
    Fail(Out.error() == QFileDevice::RenameError
             ? "Cannot create file " + Destination
             : StreamWriteError(Destination, Out.errorString()));
}
