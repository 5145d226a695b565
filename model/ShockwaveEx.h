#pragma once

#include "player/ShockwaveFlash.h"

#include <QPointer>
#include <functional>

class QMenu;

// The Flash host control with mouse events of its own. The player reports no mouse events,
// so this control builds them from the raw mouse input that reaches it, reports a press and
// release as a click, opens PopupMenu on a right release and can keep button input away from
// the player.
class TShockwaveFlashEx : public TShockwaveFlash {
  Q_OBJECT
public:
  using TMouseEvent = std::function<void(TShockwaveFlashEx* Sender, Qt::MouseButton Button,
                                         Qt::KeyboardModifiers Shift, int X, int Y)>;
  using TMouseMoveEvent =
      std::function<void(TShockwaveFlashEx* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;
  using TNotifyEvent = std::function<void(TShockwaveFlashEx* Sender)>;

  explicit TShockwaveFlashEx(QWidget* parent = nullptr);

  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnClick;
  // When true, button releases do not reach the player.
  bool LockMouseClick = false;
  // Opened at the release point of a right click that was pressed in the control; may be none.
  QPointer<QMenu> PopupMenu;

  // While designing, input passes to the player untouched and no event fires.
  bool Designing() const { return FDesigning; }
  void SetDesigning(bool Value) { FDesigning = Value; }

  // True after a press in the control until a left release, a right release that opens the
  // popup menu, or the mouse leaving the control.
  bool Pressed() const { return FPressed; }

protected:
  bool event(QEvent* Event) override;

  virtual void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void Click();

private:
  void RaiseMouseEvents(QEvent* Event);
  bool Swallows(const QEvent* Event) const;

  bool FPressed = false;
  bool FDesigning = false;
};
