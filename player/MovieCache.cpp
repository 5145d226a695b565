#include "player/MovieCache.h"

#include "player/swf/SwfError.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfParser.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace {

// Entries kept before the cache starts over; far above what one project uses.
constexpr qsizetype MaxEntries = 4096;
// A compressed file is never larger than what it expands to, apart from its headers.
constexpr qint64 MaxFileBytes = qint64(SwfLimits::MaxMovieBytes) + 1024;

} // namespace

MovieCache& MovieCache::Instance() {
  static MovieCache cache;
  return cache;
}

MovieCache::Result MovieCache::Load(const QString& path) {
  struct stat status {};
  if (path.isEmpty())
    return {nullptr, QStringLiteral("cannot open (no file name)")};
  if (::stat(QFile::encodeName(path).constData(), &status) != 0)
    return {nullptr, QStringLiteral("cannot open (%1)").arg(qt_error_string(errno))};
  if (!S_ISREG(status.st_mode))
    return {nullptr, QStringLiteral("not a file")};
  const qint64 modifiedNs = qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
  {
    QMutexLocker lock(&FMutex);
    const auto found = FEntries.constFind(path);
    if (found != FEntries.constEnd() && found->Size == status.st_size &&
        found->ModifiedNs == modifiedNs && found->Inode == status.st_ino)
      return found->Value;
  }

  Result result;
  QFile file(path);
  if (status.st_size > MaxFileBytes)
    result.Error = QStringLiteral("too large (%1 bytes, at most %2)")
                       .arg(qint64(status.st_size))
                       .arg(MaxFileBytes);
  else if (!file.open(QIODevice::ReadOnly))
    result.Error = QStringLiteral("cannot open (%1)").arg(file.errorString());
  else {
    try {
      // The size is known and within the limit: reading exactly that much keeps a read
      // buffer of the limit's size from being allocated for every clip.
      result.Movie = ParseSwfMovie(file.read(qint64(status.st_size)));
    } catch (const std::exception& error) {
      result.Error = QString::fromStdString(error.what());
    }
  }

  QMutexLocker lock(&FMutex);
  ++FParseCount;
  if (FEntries.size() >= MaxEntries)
    FEntries.clear();
  FEntries.insert(path, {qint64(status.st_size), modifiedNs, quint64(status.st_ino), result});
  return result;
}

quint64 MovieCache::ParseCount() const {
  QMutexLocker lock(&FMutex);
  return FParseCount;
}
