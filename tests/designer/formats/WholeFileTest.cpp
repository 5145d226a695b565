#include "designer/formats/WholeFile.h"

#include "common/FaultProbe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray Pattern(int Size, char First) {
  QByteArray bytes(Size, '\0');
  for (int i = 0; i < Size; ++i)
    bytes[i] = char(First + i % 23);
  return bytes;
}

class WholeFileTest : public testing::Test {
protected:
  QString Path(const QString& Name) const { return Temp.filePath(Name); }

  static void WriteFile(const QString& Path, const QByteArray& Content) {
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Content);
  }

  static QByteArray ReadFile(const QString& Path) {
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
  }

  // WriteWholeFile in a child process under the limit; its message, "" when it succeeded.
  QString WriteInProbe(const QString& Path, const QByteArray& Text, rlim_t Limit,
                       bool AsNobody = false) {
    return RunInFaultProbe(
        [&] {
          QString error;
          return WriteWholeFile(Path, Text, error) ? QString() : error;
        },
        Limit, AsNobody);
  }

  QTemporaryDir Temp;
};

TEST_F(WholeFileTest, AWriteCutShortLeavesTheEarlierFileByteForByte) {
  const QByteArray earlier = Pattern(4579, 'a');
  const QByteArray text = Pattern(6000, 'A');
  for (const rlim_t limit : {0, 1000, 3000}) {
    WriteFile(Path("out.xml"), earlier);
    EXPECT_EQ(WriteInProbe(Path("out.xml"), text, limit),
              "Stream write error: cannot write \"" + Path("out.xml") + "\". File too large")
        << limit;
    EXPECT_EQ(ReadFile(Path("out.xml")), earlier) << limit;
    EXPECT_EQ(QDir(Temp.path()).entryList(QDir::Files), QStringList{"out.xml"});
  }
  EXPECT_EQ(WriteInProbe(Path("out.xml"), text, 6000), QString());
  EXPECT_EQ(ReadFile(Path("out.xml")), text);
}

// A folder the user may not create files in, holding a file the user may write: the file is
// written in place, and a write that fails there puts the earlier bytes back.
TEST_F(WholeFileTest, WithoutCreateRightsTheFileIsWrittenInPlaceAndKeptWholeOnFailure) {
  if (geteuid() != 0)
    GTEST_SKIP() << "needs root to run a child as nobody";
  ASSERT_EQ(chmod(QFile::encodeName(Temp.path()).constData(), 0755), 0);
  const QByteArray earlier = Pattern(3000, 'a');
  WriteFile(Path("out.xml"), earlier);
  ASSERT_EQ(chmod(QFile::encodeName(Path("out.xml")).constData(), 0666), 0);

  const QByteArray shorter = Pattern(1200, 'A');
  EXPECT_EQ(WriteInProbe(Path("out.xml"), shorter, RLIM_INFINITY, true), QString());
  EXPECT_EQ(ReadFile(Path("out.xml")), shorter);

  WriteFile(Path("out.xml"), earlier);
  EXPECT_EQ(WriteInProbe(Path("out.xml"), Pattern(5000, 'A'), 4000, true),
            "Stream write error: cannot write \"" + Path("out.xml") + "\". File too large");
  EXPECT_EQ(ReadFile(Path("out.xml")), earlier);

  ASSERT_EQ(chmod(QFile::encodeName(Path("out.xml")).constData(), 0644), 0);
  EXPECT_TRUE(WriteInProbe(Path("out.xml"), shorter, RLIM_INFINITY, true)
                  .startsWith("Cannot create file \"" + Path("out.xml") + "\". "));
  EXPECT_EQ(ReadFile(Path("out.xml")), earlier);
}

TEST_F(WholeFileTest, OnlyRegularFilesUpToTheLimitAreRead) {
  WriteFile(Path("plain.xml"), "<clips/>");
  ASSERT_TRUE(QFile::link("/dev/zero", Path("zero.xml")));
  ASSERT_TRUE(QDir(Temp.path()).mkdir("folder.xml"));
  {
    QFile large(Path("large.xml")); // sparse: no disk space is used
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(MaxOutsideFileSize + 1));
  }
  const auto errorOf = [this](const QString& Name) {
    QByteArray bytes = "left over";
    QString error;
    const bool read = ReadWholeFile(Path(Name), bytes, error);
    EXPECT_EQ(read, error.isEmpty());
    return read ? QString::fromUtf8(bytes) : error;
  };
  EXPECT_EQ(errorOf("plain.xml"), "<clips/>");
  const QString notRegular = "\". It is not a regular file.";
  EXPECT_EQ(errorOf("zero.xml"), "Cannot open file \"" + Path("zero.xml") + notRegular);
  EXPECT_EQ(errorOf("folder.xml"), "Cannot open file \"" + Path("folder.xml") + notRegular);
  EXPECT_EQ(errorOf("large.xml"),
            "Cannot open file \"" + Path("large.xml") + "\". It is larger than 256 MB.");
  EXPECT_TRUE(
      errorOf("missing.xml").startsWith("Cannot open file \"" + Path("missing.xml") + "\". "));
}

} // namespace
