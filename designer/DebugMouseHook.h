#pragma once

#include <QEvent>
#include <QObject>
#include <QPoint>

class TFormVistaloom;

// The stage's mouse hook of the debug pages: an application-wide event filter that reports
// every mouse event addressed to the stage's own widget to the main window, synchronously, as
// the program's own message 7788. Events for any other widget, the overlay over the stage
// included, pass on untouched; a reported event still reaches the stage.
class TDebugMouseHook : public QObject {
public:
  // Message 7788: the mouse event's type and where on the screen it happened.
  class TMessage : public QEvent {
  public:
    static constexpr QEvent::Type Number = QEvent::Type(7788);
    TMessage(QEvent::Type MouseMessage, QPoint ScreenPoint)
        : QEvent(Number), MouseMessage(MouseMessage), ScreenPoint(ScreenPoint) {}
    QEvent::Type MouseMessage;
    QPoint ScreenPoint;
  };

  // Installs the hook for the whole application; it reads the stage and the main window
  // from Main at each event, so later stage layouts are followed.
  explicit TDebugMouseHook(TFormVistaloom& Main);
  // Removes the hook.
  ~TDebugMouseHook() override;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  TFormVistaloom& FMain;
};
