#include "designer/MousePaint.h"

#include "designer/main.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

TFormPaint::TFormPaint(TFormVistaloom& Main) : QWidget(Main.TSDesign->parentWidget()), FMain(Main) {
  setObjectName("FormPaint");
  setWindowTitle("FormPaint");
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  hide();
}

void TFormPaint::mousePressEvent(QMouseEvent* Event) {
  const QPoint At = Event->position().toPoint();
  FMain.Guarded([&] {
    FMain.ShockwaveFlashMouseDown(this, Event->button(), Event->modifiers(), At.x(), At.y());
  });
}

void TFormPaint::mouseMoveEvent(QMouseEvent* Event) {
  const QPoint At = Event->position().toPoint();
  FMain.Guarded([&] { FMain.ShockwaveFlashMouseMove(this, Event->modifiers(), At.x(), At.y()); });
}

void TFormPaint::mouseReleaseEvent(QMouseEvent* Event) {
  const QPoint At = Event->position().toPoint();
  FMain.Guarded([&] {
    FMain.ShockwaveFlashMouseUp(this, Event->button(), Event->modifiers(), At.x(), At.y());
  });
}

void TFormPaint::keyPressEvent(QKeyEvent* Event) {
  PassKey(OnKeyDown, Event);
}

void TFormPaint::keyReleaseEvent(QKeyEvent* Event) {
  PassKey(OnKeyUp, Event);
}

// Every mouse button acts on the stage; the window's context menu stays away from it.
void TFormPaint::contextMenuEvent(QContextMenuEvent* Event) {
  Event->accept();
}

void TFormPaint::PassKey(const TKeyHandler& Handler, QKeyEvent* Event) {
  if (!Handler)
    return;
  int Key = Event->key();
  FMain.Guarded([&] { Handler(this, Key, Event->modifiers()); });
}
