#include "common/LargeProject.h"

#include "ProjectFixture.h"
#include "tools/swfgen/ClipDescription.h"

#include <QDir>
#include <QFile>

namespace {

constexpr int Elements = 5000;

// Clips under the demo's type names without the demo's scripts, each announcing itself: the
// round trip is about the project file, and five thousand scripted clips loaded three times
// would spend its time in the clips' scripts. Returns the folder, with a trailing "/".
QString WritePlainRepository(const QString& folder) {
  EXPECT_TRUE(QDir().mkpath(folder));
  for (const char* type : {"button", "frame", "gauge", "label", "lamp", "slider"}) {
    QString error;
    const auto clip = swfgen::ClipDescription::parse(
        QStringLiteral("frame 60 30\nrect 0 0 60 30 #7F8C8D\nitem caption=%1\nload\n").arg(type),
        &error);
    EXPECT_TRUE(clip) << error.toStdString();
    QFile file(folder + type + ".swf");
    EXPECT_TRUE(clip && file.open(QIODevice::WriteOnly) && file.write(clip->toSwf()) > 0) << type;
  }
  return folder;
}

// A project of thousands of elements through the whole cycle: open, save, reopen, save, an
// undo snapshot and its restore. Nothing may be lost, renumbered or reordered on the way.
class LargeProjectTest : public ProjectTest {
protected:
  // Every element carries what the generated file stored for it, in the file's order.
  void ExpectGeneratedElements() const {
    const QList<TFlashElement*>& items = Window->FElements.FItems;
    ASSERT_EQ(items.size(), Elements);
    for (int i = 0; i < Elements; ++i) {
      const TFlashElement& element = *items.at(i);
      const std::string where = "element " + std::to_string(i);
      ASSERT_EQ(element.GetLevel(), 101 + i) << where;
      ASSERT_EQ(element.FName, QStringLiteral("Element %1").arg(i)) << where;
      ASSERT_EQ(element.FPage, QStringLiteral("Page %1").arg(i % 5 + 1)) << where;
      ASSERT_EQ(element.FX, i % 700) << where;
      ASSERT_EQ(element.FY, (i * 7) % 500) << where;
      ASSERT_EQ(element.FWidth, 40 + i % 20) << where;
      ASSERT_EQ(element.FSuffix.GetText(), QStringLiteral("value=_v%1&state=_s").arg(i)) << where;
      ASSERT_EQ(element.FProps.GetValue(QStringLiteral("caption")),
                QStringLiteral("Item %1").arg(i))
          << where;
    }
  }

  QByteArray SaveAsFile(const QString& name) {
    SaveAs(WorkDir + name);
    return ReadFile(WorkDir + name);
  }
};

TEST_F(LargeProjectTest, SaveReopenSaveIsByteIdenticalAndTheSnapshotRestoresEveryElement) {
  CreateWithDemoRepository();
  WriteFile(WorkDir + "generated.vlq",
            LargeProjectText(Elements, WritePlainRepository(WorkDir + "plain/")));
  LoadProject(WorkDir + "generated.vlq");
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  ExpectGeneratedElements();
  EXPECT_EQ(PageList(), QStringList({"all", "Page 1", "Page 2", "Page 3", "Page 4", "Page 5"}));

  const QByteArray saved = SaveAsFile("first.vlq");
  ASSERT_FALSE(saved.isEmpty());
  Window->ReopenExecute(Window->Reopen);
  PumpEvents();
  ExpectGeneratedElements();
  EXPECT_EQ(SaveAsFile("second.vlq"), saved);

  // A snapshot, then every element gone from the list: the restore brings each one back.
  Window->PushHistory(QStringLiteral("Move"));
  Window->FElements.Clear();
  Window->LBHistory->setCurrentRow(0);
  Window->LBHistoryDblClick(Window->LBHistory);
  PumpEvents();
  ExpectGeneratedElements();
  EXPECT_EQ(SaveAsFile("restored.vlq"), saved);
}

// Counts the paint events of one widget.
class TPaintCounter : public QObject {
public:
  explicit TPaintCounter(QWidget* Widget) { Widget->installEventFilter(this); }
  int Paints = 0;

protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::Paint)
      ++Paints;
    return false;
  }
};

// Load in a window on the screen, as a user opens a project: the stage is drawn once the load
// has ended, not at every element's pump, where each drawing would draw every level loaded so
// far and the load would grow with the square of its size.
TEST_F(LargeProjectTest, LoadInAShownWindowDrawsTheStageOnlyOnceTheLoadHasEnded) {
  CreateWithDemoRepository();
  Window->show();
  PumpEvents();
  WriteFile(WorkDir + "generated.vlq", LargeProjectText(300, DemoRepositoryDir()));
  TPaintCounter stage(Window->ShockwaveFlash);
  LoadProject(WorkDir + "generated.vlq");
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  EXPECT_EQ(Window->FElements.Count(), 300);
  EXPECT_LE(stage.Paints, 3);
  EXPECT_GE(stage.Paints, 1) << "the stage is drawn after the load";
}

} // namespace
