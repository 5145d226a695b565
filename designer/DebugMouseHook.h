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
  // Message 7788: where on the screen a mouse event on the stage happened.
  class TMessage : public QEvent {
  public:
    static constexpr QEvent::Type Number = QEvent::Type(7788);
    explicit TMessage(QPoint ScreenPoint) : QEvent(Number), ScreenPoint(ScreenPoint) {}
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
