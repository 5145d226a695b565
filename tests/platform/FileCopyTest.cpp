#include "platform/FileCopy.h"

#include "common/FaultProbe.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

void WriteFile(const QString& Path, const QByteArray& Content) {
  QFile File(Path);
  ASSERT_TRUE(File.open(QIODevice::WriteOnly));
  File.write(Content);
}

QByteArray ReadFile(const QString& Path) {
  QFile File(Path);
  return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

// The message of the error CopyFile throws, or "" when it copies.
QString CopyError(const QString& Source, const QString& Destination) {
  try {
    CopyFile(Source, Destination);
  } catch (const std::runtime_error& Error) {
    return QString::fromUtf8(Error.what());
  }
  return QString();
}

class FileCopyTest : public testing::Test {
protected:
  QString Path(const QString& Name) const { return Temp.filePath(Name); }
  QTemporaryDir Temp;
};

TEST_F(FileCopyTest, CopiesIntoMissingFoldersAndKeepsTheModificationTime) {
  const QByteArray Content(200000, 'x'); // more than one chunk
  WriteFile(Path("clip.swf"), Content);
  const QDateTime Stamp = QDateTime::currentDateTime().addDays(-3);
  {
    QFile Source(Path("clip.swf"));
    ASSERT_TRUE(Source.open(QIODevice::ReadWrite));
    ASSERT_TRUE(Source.setFileTime(Stamp, QFileDevice::FileModificationTime));
  }

  CopyFile(Path("clip.swf"), Path("a/b/copy.swf"));

  EXPECT_EQ(ReadFile(Path("a/b/copy.swf")), Content);
  EXPECT_EQ(QFileInfo(Path("a/b/copy.swf")).lastModified().toSecsSinceEpoch(),
            Stamp.toSecsSinceEpoch());
}

TEST_F(FileCopyTest, ReplacesALongerDestinationWhole) {
  WriteFile(Path("new.vlq"), "short");
  WriteFile(Path("old.vlq"), "a much longer previous content");

  CopyFile(Path("new.vlq"), Path("old.vlq"));

  EXPECT_EQ(ReadFile(Path("old.vlq")), "short");
}

TEST_F(FileCopyTest, NamesTheFileThatCannotBeOpenedOrCreated) {
  WriteFile(Path("clip.swf"), "data");
  ASSERT_TRUE(QDir(Temp.path()).mkdir("folder"));
  WriteFile(Path("plain"), "a file where a folder is needed");

  EXPECT_EQ(CopyError(Path("missing.swf"), Path("x.swf")),
            "Cannot open file " + Path("missing.swf"));
  EXPECT_EQ(CopyError(Path("folder"), Path("x.swf")),
            "Cannot open file " + Path("folder") + " (not a regular file)");
  EXPECT_EQ(CopyError(Path("clip.swf"), Path("folder")), "Cannot create file " + Path("folder"));
  EXPECT_EQ(CopyError(Path("clip.swf"), Path("plain/x.swf")),
            "Cannot create file " + Path("plain/x.swf"));
  EXPECT_FALSE(QFileInfo::exists(Path("x.swf")));
}

// A link to a device has no end (or reads as nothing): it is refused, not copied.
TEST_F(FileCopyTest, CopiesRegularFilesOnly) {
  ASSERT_TRUE(QFile::link("/dev/zero", Path("zero.swf")));
  EXPECT_EQ(CopyError(Path("zero.swf"), Path("x.swf")),
            "Cannot open file " + Path("zero.swf") + " (not a regular file)");
  EXPECT_FALSE(QFileInfo::exists(Path("x.swf")));
}

TEST_F(FileCopyTest, AFailedWriteNamesTheDestinationAndTheReasonAndKeepsItsContent) {
  WriteFile(Path("clip.swf"), QByteArray(200000, 'c'));
  WriteFile(Path("copy.swf"), "earlier");
  EXPECT_EQ(RunInFaultProbe([&] { return CopyError(Path("clip.swf"), Path("copy.swf")); }, 100000),
            "Stream write error: cannot write \"" + Path("copy.swf") + "\". File too large");
  EXPECT_EQ(ReadFile(Path("copy.swf")), "earlier");
  EXPECT_EQ(QDir(Temp.path()).entryList(QDir::Files), (QStringList{"clip.swf", "copy.swf"}));
}

} // namespace
