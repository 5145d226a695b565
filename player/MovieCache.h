#pragma once

#include "player/swf/SwfMovie.h"

#include <QHash>
#include <QMutex>
#include <QString>
#include <memory>

// Process-wide cache of parsed movies, keyed by file path, size and modification time, so a
// clip that is measured and then loaded is read and parsed once. Failures are cached too.
class MovieCache {
public:
  struct Result {
    std::shared_ptr<const SwfMovie> Movie; // null when the file could not be used
    QString Error;                         // why, without the file's name
  };

  static MovieCache& Instance();

  // The movie in the file at path, parsed now or taken from the cache.
  Result Load(const QString& path);
  // How many files have been parsed so far (not served from the cache).
  quint64 ParseCount() const;

private:
  struct Entry {
    qint64 Size = 0;
    qint64 ModifiedNs = 0;
    quint64 Inode = 0;
    Result Value;
  };

  mutable QMutex FMutex;
  QHash<QString, Entry> FEntries;
  quint64 FParseCount = 0;
};
