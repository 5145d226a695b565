#include "ProjectFixture.h"

#include <QSet>
#include <algorithm>
#include <functional>
#include <utility>

namespace {

// Runs Work once, the first time Target is asked to repaint, before it paints.
class TOnFirstRepaint : public QObject {
public:
  TOnFirstRepaint(QWidget* Target, std::function<void()> Work)
      : QObject(Target), FWork(std::move(Work)) {
    Target->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::UpdateRequest && FWork)
      std::exchange(FWork, nullptr)();
    return false;
  }

private:
  std::function<void()> FWork;
};

} // namespace

// The load lets events run before it reads each element. Once Cancel has closed the dialog the
// window takes commands again: a clip added in the same pass must not be joined by an element
// of the cancelled load, which would take the same level.
TEST_F(ProjectTest, AClipAddedRightAfterCancelGetsNoElementOfTheCancelledLoad) {
  CreateWithDemoRepository();
  // The dialog shows the first element's file name after reading it; it repaints while the
  // events before the second element run.
  bool hooked = false;
  QObject::connect(Window->ShockwaveFlash, &TShockwaveFlash::FSCommand, Window.get(), [&] {
    OnLoadingDialog([&](TFormLoading& dialog) {
      if (std::exchange(hooked, true))
        return;
      new TOnFirstRepaint(&dialog, [this, &dialog] {
        dialog.Button1->click();
        Window->SGElements->setCurrentCell(RepositoryRow("label"), 0);
        Window->SGElementsDblClick(Window->SGElements);
      });
    });
  });
  WriteFile(WorkDir + "p.vlq", ProjectText("", "<element filename=\"button\" id=\"101\"/>"
                                               "<element filename=\"lamp\" id=\"102\"/>"
                                               "<element filename=\"gauge\" id=\"103\"/>"));
  LoadProject(WorkDir + "p.vlq");
  ASSERT_TRUE(hooked);
  // Cancel finishes the element in hand and reads no other after it: the added clip is the
  // last element, on a level of its own above every level the load handed out.
  const QList<int> levels = Levels();
  EXPECT_EQ(QSet<int>(levels.begin(), levels.end()).size(), levels.size()) << levels.size();
  EXPECT_EQ(Window->FElements.FItems.last()->FTypeName, "label");
  EXPECT_EQ(levels.last(), *std::max_element(levels.begin(), levels.end()));
}
