#include "ProjectFixture.h"

#include <QSet>
#include <algorithm>
#include <utility>

// The load lets events run before it reads each element. A Cancel among them is seen once the
// element in hand is finished; until then the dialog keeps the window from taking commands, so
// a clip the user adds afterwards gets a level above every level the load handed out.
TEST_F(ProjectTest, CancelBeforeAnElementFinishesItAndKeepsTheWindowBlockedUntilThen) {
  CreateWithDemoRepository();
  // The first clip reports "load" while the events after its element run; a Cancel posted then
  // arrives among the events before the second element.
  bool hooked = false;
  bool blockedAfterCancel = false;
  QObject::connect(Window->ShockwaveFlash, &TShockwaveFlash::FSCommand, Window.get(), [&] {
    OnLoadingDialog([&](TFormLoading& dialog) {
      if (std::exchange(hooked, true))
        return;
      QMetaObject::invokeMethod(
          &dialog,
          [&dialog, &blockedAfterCancel] {
            dialog.Button1->click();
            blockedAfterCancel = QApplication::activeModalWidget() == &dialog;
          },
          Qt::QueuedConnection);
    });
  });
  WriteFile(WorkDir + "p.vlq", ProjectText("", "<element filename=\"button\" id=\"101\"/>"
                                               "<element filename=\"lamp\" id=\"102\"/>"
                                               "<element filename=\"gauge\" id=\"103\"/>"));
  LoadProject(WorkDir + "p.vlq");
  ASSERT_TRUE(hooked);
  EXPECT_TRUE(blockedAfterCancel);
  EXPECT_EQ(Levels(), (QList<int>{101, 102})) << "the lamp was in hand, the gauge is not read";
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  AddClip(QStringLiteral("label"));
  const QList<int> levels = Levels();
  EXPECT_EQ(QSet<int>(levels.begin(), levels.end()).size(), levels.size()) << levels.size();
  EXPECT_EQ(levels.last(), *std::max_element(levels.begin(), levels.end()));
}
