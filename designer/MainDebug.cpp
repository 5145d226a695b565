// The debug pages: the developer buttons, the "test" item with the stage's mouse hook and its
// message, and the window's own mouse moves shown in the caption.

#include "designer/DebugMouseHook.h"
#include "designer/InputBlock.h"
#include "designer/MousePaint.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "player/ShockwaveFlash.h"

#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <utility>

// Paints a picture at a fixed place over the widget it belongs to, whenever that widget is
// painted: the widget's own drawing surface for Button1.
class TPanelPicture : public QObject {
public:
  explicit TPanelPicture(QWidget* Surface) : QObject(Surface), FSurface(Surface) {
    Surface->installEventFilter(this);
  }

  void Draw(const QPixmap& Picture, QPoint At) {
    FPicture = Picture;
    FAt = At;
    FSurface->update();
  }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched == FSurface && Event->type() == QEvent::Paint && !FPicture.isNull())
      QPainter(FSurface).drawPixmap(FAt, FPicture);
    return false;
  }

private:
  QWidget* FSurface;
  QPixmap FPicture;
  QPoint FAt;
};

void TFormVistaloom::ConnectDebugActions() {
  TestItem->setCheckable(true);
  ConnectAction(TestItem, &TFormVistaloom::testClick);
  for (auto [Button, Handler] : {std::pair{Button1, &TFormVistaloom::Button1Click},
                                 std::pair{Button2, &TFormVistaloom::Button2Click},
                                 std::pair{Button3, &TFormVistaloom::Button3Click},
                                 std::pair{Button4, &TFormVistaloom::Button4Click},
                                 std::pair{Button5, &TFormVistaloom::Button5Click},
                                 std::pair{Button6, &TFormVistaloom::Button6Click},
                                 std::pair{Button7, &TFormVistaloom::Button7Click}}) {
    connect(Button, &QPushButton::clicked, this, GuardedSlot(Handler, Button));
  }
  PanelDrowPicture = new TPanelPicture(PanelDrow);
}

void TFormVistaloom::testClick(QObject*) {
  // The check mark follows the hook, so the two never disagree.
  const bool On = !MouseHookHandle;
  TestItem->setChecked(On);
  SetMouseHook(On);
}

void TFormVistaloom::SetMouseHook(bool On) {
  if (On)
    MouseHookHandle = std::make_unique<TDebugMouseHook>(*this);
  else
    MouseHookHandle.reset();
}

void TFormVistaloom::WMHookedMouse(QPoint ScreenPoint) {
  setWindowTitle(QStringLiteral("test call ") + QString::number(ScreenPoint.x()));
  const double X = (ScreenPoint.x() - StageOriginX) / FScaleX;
  const double Y = (ScreenPoint.y() - StageOriginY) / FScaleY;
  TFlashElement* Hit = FElements.ElementAt(X, Y);
  if (!Hit)
    return;
  setWindowTitle(QStringLiteral("select"));
  // Only the flag: the list's selection count and list stay as they are.
  Hit->FSelected = true;
  DrawSelectionFrame(Hit);
}

void TFormVistaloom::WMMouseMove(QPoint Position) {
  // The position packed as the window system's message parameter: y in the high word.
  const auto Packed =
      static_cast<qint32>((quint32(quint16(Position.y())) << 16) | quint32(quint16(Position.x())));
  setWindowTitle(QString::number(Packed));
}

bool TFormVistaloom::event(QEvent* Event) {
  if (Event->type() == TDebugMouseHook::TMessage::Number) {
    const QPoint At = static_cast<TDebugMouseHook::TMessage*>(Event)->ScreenPoint;
    Guarded([&] { WMHookedMouse(At); });
    return true;
  }
  if (Event->type() == QEvent::MouseMove) {
    // Only where no child widget covers the window: a move a child passes up is not its own.
    const QPoint At = static_cast<QMouseEvent*>(Event)->position().toPoint();
    if (!childAt(At))
      Guarded([&] { WMMouseMove(At); });
  }
  return QMainWindow::event(Event);
}

void TFormVistaloom::Button1Click(QObject*) {
  PanelDrowPicture->Draw(Image1->pixmap(), QPoint(3, 3));
}

void TFormVistaloom::Button2Click(QObject*) {
  ShockwaveFlash->Repaint();
  FElements.ClearSelection();
}

void TFormVistaloom::Button3Click(QObject*) {
  ShowStageMovie(FExeDir + QStringLiteral("test.swf"));
  CaptureFlashImage(ShockwaveFlash, Image1);
}

void TFormVistaloom::Button4Click(QObject*) {
  if (!FStageCanvas || FStageCanvas->isNull())
    return;
  // The bounding values go in as left, top, height and width: the far corner is
  // (height, width), right and bottom edges excluded.
  const QRect Stage = ShockwaveFlash->geometry();
  QPainter Canvas(FStageCanvas);
  Canvas.setPen(Qt::black);
  Canvas.setBrush(Qt::white);
  Canvas.drawEllipse(QRect(Stage.topLeft(), QPoint(Stage.height() - 1, Stage.width() - 1)));
  ShockwaveFlash->update();
}

void TFormVistaloom::Button5Click(QObject*) {
  if (!FormPaint)
    return;
  // Over the stage's area, also above the page of another tab.
  FormPaint->show();
  FormPaint->raise();
}

void TFormVistaloom::Button6Click(QObject*) {
  // Focus rectangles are the rubber band's dotted XOR outline; right and bottom excluded.
  DrawRubberBand(QRect(QPoint(10, 10), QPoint(19, 29)));
  DrawRubberBand(QRect(QPoint(60, 80), QPoint(64, 84)));
  CaptureFlashImage(ShockwaveFlash, Image1);
}

void TFormVistaloom::Button7Click(QObject*) {
  TInputBlock::ReleaseAll();
}
