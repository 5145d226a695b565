#include "ProjectFixture.h"

#include <QBuffer>

namespace {

// The History list: numbering, the 100-entry limit and restoring snapshots.
class HistoryTest : public ProjectTest {
protected:
  void SetUp() override {
    ProjectTest::SetUp();
    CreateWithDemoRepository();
  }

  QByteArray ProjectNow() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Window->WriteProjectXml(&buffer);
    return buffer.data();
  }

  void Restore(int entry) {
    Window->LBHistory->setCurrentRow(entry);
    Window->LBHistoryDblClick(Window->LBHistory);
    PumpEvents();
  }
};

TEST_F(HistoryTest, TheLimitKeepsTheFirstEntryAndTheNewest) {
  for (int step = 0; step < 101; ++step)
    Window->PushHistory(QStringLiteral("Move"));
  QStringList texts = HistoryTexts();
  ASSERT_EQ(texts.size(), 100);
  EXPECT_EQ(texts.at(0), QStringLiteral("1 Move"));
  EXPECT_EQ(texts.at(1), QStringLiteral("3 Move"));
  EXPECT_EQ(texts.last(), QStringLiteral("101 Move"));

  Window->PushHistory(QStringLiteral("Move"));
  texts = HistoryTexts();
  ASSERT_EQ(texts.size(), 100);
  EXPECT_EQ(texts.at(1), QStringLiteral("4 Move"));
  EXPECT_EQ(texts.last(), QStringLiteral("102 Move"));
}

TEST_F(HistoryTest, RestoringAnEntryLoadsItsSnapshotAndKeepsTheList) {
  AddClip(QStringLiteral("button"));
  const QByteArray oneElement = ProjectNow();
  AddClip(QStringLiteral("lamp"))->FName = QStringLiteral("after the snapshot");
  EXPECT_EQ(HistoryTexts(),
            (QStringList{"1 Before Add Element:button", "2 Before Add Element:lamp"}));

  Restore(0);
  EXPECT_EQ(ProjectNow(), oneElement);
  Restore(1);
  const QByteArray twoElements = ProjectNow();
  EXPECT_EQ(Window->FElements.Count(), 2);
  EXPECT_FALSE(twoElements.contains("after the snapshot"));
  Restore(1);
  EXPECT_EQ(ProjectNow(), twoElements);
  EXPECT_EQ(HistoryTexts().size(), 2);

  // The restore restarted the numbering; the next step is appended after the others.
  Window->PushHistory(QStringLiteral("Move"));
  EXPECT_EQ(HistoryTexts().last(), QStringLiteral("1 Move"));
}

TEST_F(HistoryTest, DoubleClickWithoutSelectionDoesNothing) {
  Window->LBHistoryDblClick(Window->LBHistory);
  Window->PushHistory(QStringLiteral("Move"));
  Window->LBHistory->clearSelection();
  Window->LBHistoryDblClick(Window->LBHistory);
  EXPECT_EQ(Window->FHistoryCount, 1) << "no load ran";
}

TEST_F(HistoryTest, NewAndLoadClearTheListButOnlyLoadRestartsTheNumbering) {
  for (int step = 0; step < 5; ++step)
    Window->PushHistory(QStringLiteral("Align"));
  Window->NewExecute(Window->New);
  EXPECT_TRUE(HistoryTexts().isEmpty());
  Window->PushHistory(QStringLiteral("Align"));
  EXPECT_EQ(HistoryTexts(), QStringList{"6 Align"});

  WriteFile(WorkDir + "p.vlq", ProjectText("", ""));
  LoadProject(WorkDir + "p.vlq");
  EXPECT_TRUE(HistoryTexts().isEmpty());
  Window->PushHistory(QStringLiteral("Align"));
  EXPECT_EQ(HistoryTexts(), QStringList{"1 Align"});

  // Load with its dialog cancelled changes nothing.
  Window->LoadExecute(Window->Load);
  EXPECT_EQ(HistoryTexts(), QStringList{"1 Align"});
}

} // namespace
