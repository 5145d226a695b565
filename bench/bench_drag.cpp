#include "designer/CreateForms.h"
#include "designer/MousePaint.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "tests/common/SilentDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QListWidget>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Elements = 1000;
constexpr int Selected = 200;
// The elements lie on a grid of 40 columns of 20 x 20 stage units.
constexpr int Columns = 40;
constexpr double Cell = 20;

void SendMouse(QWidget* overlay, QEvent::Type type, QPoint at) {
  const Qt::MouseButtons buttons =
      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, overlay->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(overlay, &event);
}

// The shown designer with the demo clips on a 1,000-element page, 200 of them selected.
class TDragProject {
public:
  TDragProject() {
    QDir::setCurrent(FWorkDir.path());
    const QString binDir = QStringLiteral(VISTALOOM_BIN_DIR "/");
    FWindow = CreateForms(binDir, {}, &FDialogs);
    TFormVistaloom& window = *FWindow;
    window.FRepositoryDir = binDir + QStringLiteral("repository/");
    window.LoadRepository(window.FRepositoryDir);
    window.show();
    QCoreApplication::processEvents();

    for (int index = 0; index < Elements; ++index) {
      TFlashElement* element = window.CreateElement(101 + index, window.RowClipFile(index % 6));
      element->AttachToFlash(window.ShockwaveFlash);
      window.FElements.Add(element);
    }
    // The clips arrive and announce themselves.
    for (int round = 0; round < 20; ++round)
      QCoreApplication::processEvents();
    for (int index = 0; index < Elements; ++index) {
      TFlashElement* element = window.FElements.FItems.at(index);
      element->SetX((index % Columns) * Cell);
      element->SetY((index / Columns) * Cell);
      element->SetWidth(Cell - 4);
      element->SetHeight(Cell - 4);
      if (index < Selected)
        window.FElements.Select(element);
    }
    window.LBPagesClick(window.LBPages);
  }

  TFormVistaloom& Window() { return *FWindow; }
  QWidget* Overlay() { return FWindow->FormPaint; }

private:
  QTemporaryDir FWorkDir;
  TSilentDialogs FDialogs;
  std::unique_ptr<TFormVistaloom> FWindow;
};

} // namespace

// One mouse move while 200 of 1,000 elements are dragged: the stage repaint and the 200
// frames drawn again at the pointer.
static void BM_DragMouseMove(benchmark::State& state) {
  TDragProject project;
  TFormVistaloom& window = project.Window();
  const QPoint grip(static_cast<int>(10 * window.FScaleX), static_cast<int>(10 * window.FScaleY));
  SendMouse(project.Overlay(), QEvent::MouseButtonPress, grip);
  if (!window.FDragging || window.SelectedListBoxElements().size() != Selected) {
    state.SkipWithError("the drag did not start on the selection");
    return;
  }
  int step = 0;
  for (auto _ : state) {
    step = (step + 1) % 50;
    SendMouse(project.Overlay(), QEvent::MouseMove, grip + QPoint(step, step));
  }
  SendMouse(project.Overlay(), QEvent::MouseButtonRelease, grip);
}
BENCHMARK(BM_DragMouseMove)->Unit(benchmark::kMillisecond);
