#include "model/ShockwaveEx.h"

#include <QMenu>
#include <QMouseEvent>

TShockwaveFlashEx::TShockwaveFlashEx(QWidget* parent) : TShockwaveFlash(parent) {
  // Moves are reported without a button held, as the player's window receives them.
  setMouseTracking(true);
}

bool TShockwaveFlashEx::event(QEvent* Event) {
  if (FDesigning)
    return TShockwaveFlash::event(Event);
  // The events, the popup and the pressed flag come first, so a swallowed press or release
  // still produces them.
  RaiseMouseEvents(Event);
  if (Swallows(Event)) {
    Event->accept();
    return true;
  }
  return TShockwaveFlash::event(Event);
}

void TShockwaveFlashEx::RaiseMouseEvents(QEvent* Event) {
  const QEvent::Type Type = Event->type();
  if (Type == QEvent::Leave) {
    FPressed = false;
    return;
  }
  if (Type != QEvent::MouseMove && Type != QEvent::MouseButtonPress &&
      Type != QEvent::MouseButtonRelease)
    return;

  const auto* Mouse = static_cast<const QMouseEvent*>(Event);
  const QPoint Pos = Mouse->position().toPoint();
  // While a button is held the control keeps the mouse and Qt reports the Leave only after
  // the release, so a point outside the control is what tells that the mouse has left it.
  if (!rect().contains(Pos))
    FPressed = false;
  // The events carry no modifiers and always name the left button.
  const Qt::KeyboardModifiers NoShift;
  if (Type == QEvent::MouseMove) {
    MouseMove(NoShift, Pos.x(), Pos.y());
  } else if (Type == QEvent::MouseButtonPress) {
    if (Mouse->button() == Qt::LeftButton) {
      MouseDown(Qt::LeftButton, NoShift, Pos.x(), Pos.y());
      FPressed = true;
    } else if (Mouse->button() == Qt::RightButton) {
      FPressed = true;
    }
  } else if (Mouse->button() == Qt::LeftButton) {
    // MouseUp still sees the flag as the press left it, so it can report the click.
    MouseUp(Qt::LeftButton, NoShift, Pos.x(), Pos.y());
    FPressed = false;
  } else if (Mouse->button() == Qt::RightButton && PopupMenu && FPressed) {
    FPressed = false;
    PopupMenu->popup(mapToGlobal(Pos));
  }
}

bool TShockwaveFlashEx::Swallows(const QEvent* Event) const {
  const QEvent::Type Type = Event->type();
  if (Type != QEvent::MouseButtonPress && Type != QEvent::MouseButtonRelease)
    return false;
  const Qt::MouseButton Button = static_cast<const QMouseEvent*>(Event)->button();
  if (Type == QEvent::MouseButtonPress)
    return Button == Qt::RightButton && !Menu();
  return (Button == Qt::LeftButton || Button == Qt::RightButton) && LockMouseClick;
}

void TShockwaveFlashEx::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                                  int Y) {
  if (OnMouseDown)
    OnMouseDown(this, Button, Shift, X, Y);
}

void TShockwaveFlashEx::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  if (OnMouseUp)
    OnMouseUp(this, Button, Shift, X, Y);
  if (FPressed)
    Click();
}

void TShockwaveFlashEx::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
  if (OnMouseMove)
    OnMouseMove(this, Shift, X, Y);
}

void TShockwaveFlashEx::Click() {
  if (OnClick)
    OnClick(this);
}
