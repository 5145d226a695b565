#include "designer/formats/WholeFile.h"

#include <QSaveFile>

bool WriteWholeFile(const QString& FileName, const QByteArray& Text, QString& Error) {
  QSaveFile file(FileName);
  file.setDirectWriteFallback(true);
  if (file.open(QIODevice::WriteOnly) && file.write(Text) == Text.size() && file.commit())
    return true;
  Error = file.errorString();
  return false;
}
