#include "ProjectFixture.h"

#include <QLabel>
#include <QProgressBar>

namespace {

// The loading dialog over a load long enough that most elements are not drawn as they pass.
class LoadingProgressTest : public ProjectTest {};

TEST_F(LoadingProgressTest, AStoppedLoadLeavesTheLastElementReadDrawnInTheDialog) {
  CreateWithDemoRepository();
  constexpr int Readable = 400;
  QByteArray entities;
  for (int i = 0; i < Readable; ++i)
    entities += "<element filename=\"" + QByteArray(i % 2 ? "lamp" : "button") + "\" id=\"" +
                QByteArray::number(101 + i) + "\"/>";
  entities += "<element filename=\"gauge\"/>"; // no id: the reader stops here
  WriteFile(WorkDir + "long.vlq", ProjectText("", entities));

  // What the user sees while the error is shown: the dialog as the last element left it.
  QString label;
  int position = -1;
  int maximum = -1;
  bool drawn = false;
  auto* poll = new QTimer(Window.get());
  QObject::connect(poll, &QTimer::timeout, poll, [&] {
    if (Dialogs.Exceptions.isEmpty())
      return;
    OnLoadingDialog([&](TFormLoading& dialog) {
      label = dialog.LabelInfo->text();
      position = dialog.ProgressBar->value();
      maximum = dialog.ProgressBar->maximum();
      drawn = dialog.LabelInfo->updatesEnabled() && dialog.ProgressBar->updatesEnabled();
      dialog.CancelLoad->trigger();
    });
  });
  poll->start(5);
  LoadProject(WorkDir + "long.vlq");

  ASSERT_EQ(Dialogs.Exceptions,
            QStringList{"Could not convert variant of type (Null) into type (Integer)"});
  EXPECT_EQ(Window->FElements.Count(), Readable);
  EXPECT_EQ(label, QStringLiteral("lamp"));
  EXPECT_EQ(position, Readable - 1);
  EXPECT_EQ(maximum, Readable + 1);
  EXPECT_TRUE(drawn) << "the label and bar must be drawn again once the load stops";
}

} // namespace
