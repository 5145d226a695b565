#include "designer/DebugMouseHook.h"

#include "designer/main.h"

#include <QCoreApplication>
#include <QSinglePointEvent>

TDebugMouseHook::TDebugMouseHook(TFormVistaloom& Main) : FMain(Main) {
  QCoreApplication::instance()->installEventFilter(this);
}

TDebugMouseHook::~TDebugMouseHook() {
  if (QCoreApplication* Application = QCoreApplication::instance())
    Application->removeEventFilter(this);
}

bool TDebugMouseHook::eventFilter(QObject* Watched, QEvent* Event) {
  switch (Event->type()) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseMove:
  case QEvent::Wheel:
    break;
  default:
    return false;
  }
  if (Watched != FMain.StageWindowHandle || !FMain.MainWindowHandle)
    return false;
  TMessage Message(static_cast<QSinglePointEvent*>(Event)->globalPosition().toPoint());
  QCoreApplication::sendEvent(FMain.MainWindowHandle, &Message);
  return false;
}
