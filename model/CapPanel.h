#pragma once

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <functional>

class TPanelCaption;

// Transparent layer over a caption panel's picture: it catches the mouse and carries the
// selection frame.
class TPanelOverlay : public QWidget {
  Q_OBJECT
public:
  explicit TPanelOverlay(TPanelCaption* panel);

  QImage Picture;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  TPanelCaption* FPanel;
};

// A movable, resizable panel standing for one object on a design surface: a stretched
// picture under a transparent overlay. Dragging its 5-pixel border resizes it (as its
// alignment allows); pressing inside selects it and moves it with the mouse.
class TPanelCaption : public QFrame {
  Q_OBJECT
public:
  enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
  // Border codes of the hit test, numbered as the window system numbers them.
  enum THitCode {
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17
  };

  explicit TPanelCaption(QWidget* owner);

  int FBaseWidth = 0;
  int FBaseHeight = 0;
  bool FMovable = false;
  std::function<void(TPanelCaption*)> FOnSelect;
  TPanelOverlay* FOverlay;
  QLabel* FPicture;
  bool FSelected = false;
  TAlign Align = alNone;

  QString Caption() const { return FCaption; }
  void SetSelected(bool Value);
  // What pressing at a point of the panel does: move it, resize it by a border, or neither.
  int HitTest(QPoint clientPoint) const;
  void ImageMouseDown(QMouseEvent* event);

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  friend class TPanelOverlay;
  void BeginTracking(int hitCode, QPoint globalPos);
  void Track(QPoint globalPos);
  void EndTracking();
  // The smallest size a border drag gives the panel; a size set from code is not limited.
  QSize MinimumTrackSize() const;
  void ClampToMinimumTrackSize(QRect& target) const;
  void FitImagesToClient();

  QString FCaption;
  int FTrackCode = HTNOWHERE;
  QPoint FTrackStart;
  QRect FTrackGeometry;
};

// Deselects every caption panel directly inside Container, in creation order.
void UnselectPanels(QWidget* Container);

// "Height=", "Left=", "name=", "Top=", "Width=", "XScale=", "YScale=" lines of a control's
// geometry, sorted ignoring case, each followed by CR LF.
QString PanelPropertiesText(const QWidget* Control);
