#pragma once

#include <QWidget>
#include <functional>

class TFormVistaloom;

// The overlay that catches the mouse over the stage: a frameless widget without a background
// of its own, laid exactly over the stage, so its client pixels are the stage's pixels. It lies
// on the page area of the main tab control, above its pages, so that it can be shown over the
// stage's area while another tab is shown. It passes every mouse event on to the main window
// and its keys to the key handlers the main window connects.
class TFormPaint : public QWidget {
  Q_OBJECT
public:
  using TKeyHandler = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers)>;

  explicit TFormPaint(TFormVistaloom& Main);

  // Opacity value from 0 to 255 with alpha blending on or off: 80 at creation, 1 once the
  // main window is shown. The stage stays visible through the overlay whatever the value.
  int AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(int Value) { FAlphaBlendValue = Value; }
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool On) { FAlphaBlend = On; }

  TKeyHandler OnKeyDown;
  TKeyHandler OnKeyUp;

protected:
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void keyReleaseEvent(QKeyEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;

private:
  void PassKey(const TKeyHandler& Handler, QKeyEvent* Event);

  TFormVistaloom& FMain;
  int FAlphaBlendValue = 80;
  bool FAlphaBlend = true;
};
