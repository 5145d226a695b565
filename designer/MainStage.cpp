// The stage: its scale in control pixels per stage unit, the overlay's place, and the
// background movie that fixes the stage units.

#include "designer/MousePaint.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "player/ShockwaveFlash.h"

#include <QLayout>
#include <QTabWidget>

namespace {

// Flash movie-clip property numbers.
constexpr int WidthProperty = 8;
constexpr int HeightProperty = 9;

// Lays Widget and the widgets inside it out at once. A hidden widget's layout waits until it
// is shown, and a tab that is not shown keeps its old size until then.
void LayOutNow(QWidget* Widget) {
  if (QLayout* Layout = Widget->layout())
    Layout->setGeometry(Widget->rect());
  for (QWidget* Child : Widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    LayOutNow(Child);
}

} // namespace

void TFormVistaloom::UpdateStageLayout() {
  // While another tab is shown, the design tab takes that page's place, so the stage has the
  // size it will be shown with.
  if (const QWidget* ShownPage = PCMain->currentWidget(); ShownPage && ShownPage != TSDesign) {
    TSDesign->setGeometry(ShownPage->geometry());
    LayOutNow(TSDesign);
  }
  const int ControlWidth = ShockwaveFlash->width();
  const int ControlHeight = ShockwaveFlash->height();
  // A stage squeezed to nothing shows nothing to point at: keep the last scale rather than
  // divide by zero or make the scale zero.
  if (ControlWidth > 0 && ControlHeight > 0) {
    FScaleX = FStageWidth > 0 ? ControlWidth / FStageWidth : 1.0;
    FScaleY = FStageHeight > 0 ? ControlHeight / FStageHeight : 1.0;
    if (double(ControlWidth) / double(ControlHeight) < 4.0 / 3.0)
      FScaleY = FScaleX;
    else
      FScaleX = FScaleY;
  }

  const QPoint Origin = ShockwaveFlash->mapToGlobal(QPoint(0, 0));
  StageOriginX = Origin.x();
  StageOriginY = Origin.y();
  StageWindowHandle = ShockwaveFlash;

  if (FormPaint) {
    FormPaint->setGeometry(QRect(ShockwaveFlash->mapTo(FormPaint->parentWidget(), QPoint(0, 0)),
                                 ShockwaveFlash->size()));
    FormPaint->raise();
  }
}

void TFormVistaloom::LoadBackgroundMovie(const QString& Path) {
  {
    TShockwaveFlash Probe;
    Probe.SetMovie(Path);
    Probe.Play();
    FStageWidth = GetFlashNumber(&Probe, "_root", WidthProperty);
    FStageHeight = GetFlashNumber(&Probe, "_root", HeightProperty);
  }
  ShowStageMovie(Path);
}

void TFormVistaloom::ShowStageMovie(const QString& Path) {
  ShockwaveFlash->SetMovie("./");
  ShockwaveFlash->Play();
  ShockwaveFlash->SetMovie(Path);
  ShockwaveFlash->Play();
  UpdateStageLayout();
  RubberBand = NoRubberBand;
}

void TFormVistaloom::FormResize(QObject*) {
  UpdateStageLayout();
}

void TFormVistaloom::WMExitSizeMove() {
  UpdateStageLayout();
}

void TFormVistaloom::PCMainChange(QObject*) {
  if (!FormPaint)
    return;
  FormPaint->setVisible(PCMain->currentWidget() == TSDesign);
  // The page control raises the page it shows; the overlay stays above the pages.
  FormPaint->raise();
}
