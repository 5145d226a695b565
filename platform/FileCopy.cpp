#include "platform/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const QString& Message) {
  throw std::runtime_error(Message.toStdString());
}

} // namespace

void CopyFile(const QString& Source, const QString& Destination) {
  QFile In(Source);
  if (QFileInfo(Source).isDir() || !In.open(QIODevice::ReadOnly))
    Fail("Cannot open file " + Source);
  QDir().mkpath(QFileInfo(Destination).absolutePath());
  QFile Out(Destination);
  if (QFileInfo(Destination).isDir() || !Out.open(QIODevice::WriteOnly | QIODevice::Truncate))
    Fail("Cannot create file " + Destination);

  constexpr qint64 ChunkSize = 64 * 1024;
  while (!In.atEnd()) {
    const QByteArray Chunk = In.read(ChunkSize);
    if (In.error() != QFileDevice::NoError)
      Fail("Stream read error");
    if (Out.write(Chunk) != Chunk.size())
      Fail("Stream write error");
  }
  if (!Out.flush())
    Fail("Stream write error");
  Out.setFileTime(QFileInfo(Source).lastModified(), QFileDevice::FileModificationTime);
}
