#include "model/CapPanel.h"

#include "model/QelStrFunct.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStringList>

namespace {
constexpr int BorderWidth = 5;
constexpr QRgb SelectedFrameColor = qRgb(255, 255, 0);
} // namespace

TPanelOverlay::TPanelOverlay(TPanelCaption* panel) : QWidget(panel), FPanel(panel) {
  setAttribute(Qt::WA_TranslucentBackground);
  setMouseTracking(true);
}

void TPanelOverlay::paintEvent(QPaintEvent*) {
  if (Picture.isNull())
    return;
  QPainter painter(this);
  painter.drawImage(0, 0, Picture);
}

void TPanelOverlay::mousePressEvent(QMouseEvent* event) {
  const int code = FPanel->HitTest(event->position().toPoint());
  if (code == TPanelCaption::HTCLIENT || code == TPanelCaption::HTNOWHERE)
    FPanel->ImageMouseDown(event);
  else
    FPanel->BeginTracking(code, event->globalPosition().toPoint());
}

void TPanelOverlay::mouseMoveEvent(QMouseEvent* event) {
  if (FPanel->FTrackCode != TPanelCaption::HTNOWHERE) {
    FPanel->Track(event->globalPosition().toPoint());
    return;
  }
  switch (FPanel->HitTest(event->position().toPoint())) {
  case TPanelCaption::HTLEFT:
  case TPanelCaption::HTRIGHT:
    setCursor(Qt::SizeHorCursor);
    break;
  case TPanelCaption::HTTOP:
  case TPanelCaption::HTBOTTOM:
    setCursor(Qt::SizeVerCursor);
    break;
  case TPanelCaption::HTTOPLEFT:
  case TPanelCaption::HTBOTTOMRIGHT:
    setCursor(Qt::SizeFDiagCursor);
    break;
  case TPanelCaption::HTTOPRIGHT:
  case TPanelCaption::HTBOTTOMLEFT:
    setCursor(Qt::SizeBDiagCursor);
    break;
  default:
    unsetCursor();
  }
}

void TPanelOverlay::mouseReleaseEvent(QMouseEvent*) {
  FPanel->EndTracking();
}

TPanelCaption::TPanelCaption(QWidget* owner) : QFrame(owner) {
  FPicture = new QLabel(this);
  FPicture->setScaledContents(true);
  FOverlay = new TPanelOverlay(this);
  FOverlay->raise();
}

void TPanelCaption::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  FitImagesToClient();
}

// Both images fill the panel; a hidden panel gets no resize event, so callers refit too.
void TPanelCaption::FitImagesToClient() {
  FPicture->setGeometry(rect());
  FOverlay->setGeometry(rect());
}

QSize TPanelCaption::MinimumTrackSize() const {
  return QSize(FBaseWidth + 10, FBaseHeight + 10);
}

int TPanelCaption::HitTest(QPoint clientPoint) const {
  int result = HTCLIENT;
  if (FMovable && Align == alNone)
    result = HTCAPTION;
  if (Align == alClient)
    return result;

  const int x = clientPoint.x();
  const int y = clientPoint.y();
  const bool nearLeft = x <= BorderWidth;
  const bool nearRight = width() - x <= BorderWidth;
  const bool nearTop = y <= BorderWidth;
  const bool nearBottom = height() - y <= BorderWidth;

  if (Align == alNone) {
    if (nearRight && nearBottom)
      return HTBOTTOMRIGHT;
    if (nearLeft && nearTop)
      return HTTOPLEFT;
    if (nearRight && nearTop)
      return HTTOPRIGHT;
    if (nearLeft && nearBottom)
      return HTBOTTOMLEFT;
  }
  // Later borders override earlier ones, so on a narrow panel the left border wins.
  if (nearRight && (Align == alNone || Align == alLeft))
    result = HTRIGHT;
  if (nearLeft && (Align == alNone || Align == alRight))
    result = HTLEFT;
  if (nearBottom && (Align == alNone || Align == alTop))
    result = HTBOTTOM;
  if (nearTop && (Align == alNone || Align == alBottom))
    result = HTTOP;
  return result;
}

void TPanelCaption::SetSelected(bool Value) {
  FSelected = Value;
  FitImagesToClient();
  QImage& picture = FOverlay->Picture;
  if (picture.isNull() || picture.size() != FOverlay->size()) {
    picture = QImage(FOverlay->size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
  }
  if (FOnSelect)
    FOnSelect(this);

  if (Value) {
    QPainter painter(&picture);
    painter.setPen(QPen(QColor(SelectedFrameColor), 0));
    QRect frame(QPoint(0, 0), QPoint(picture.width() - 2, picture.height() - 2));
    for (int ring = 0; ring < 2; ++ring) {
      const QPoint corners[] = {frame.topLeft(), frame.topRight(), frame.bottomRight(),
                                frame.bottomLeft(), frame.topLeft()};
      painter.drawPolyline(corners, 5);
      frame.adjust(1, 1, -1, -1);
    }
  } else {
    picture = QImage();
  }
  FOverlay->update();
}

void TPanelCaption::ImageMouseDown(QMouseEvent* event) {
  const bool shiftLeftOnly =
      event->modifiers() == Qt::ShiftModifier && event->buttons() == Qt::LeftButton;
  if (!shiftLeftOnly && parentWidget())
    UnselectPanels(parentWidget());
  FitImagesToClient();
  FCaption = QStringLiteral("%1 %2").arg(width()).arg(height());
  FOverlay->Picture = QImage();
  SetSelected(true);
  BeginTracking(HTCAPTION, event->globalPosition().toPoint());
}

void TPanelCaption::BeginTracking(int hitCode, QPoint globalPos) {
  FTrackCode = hitCode;
  FTrackStart = globalPos;
  FTrackGeometry = geometry();
}

void TPanelCaption::Track(QPoint globalPos) {
  const QPoint delta = globalPos - FTrackStart;
  QRect target = FTrackGeometry;
  switch (FTrackCode) {
  case HTCAPTION:
    target.translate(delta);
    break;
  case HTLEFT:
    target.setLeft(target.left() + delta.x());
    break;
  case HTRIGHT:
    target.setRight(target.right() + delta.x());
    break;
  case HTTOP:
    target.setTop(target.top() + delta.y());
    break;
  case HTBOTTOM:
    target.setBottom(target.bottom() + delta.y());
    break;
  case HTTOPLEFT:
    target.setTopLeft(target.topLeft() + delta);
    break;
  case HTTOPRIGHT:
    target.setTopRight(target.topRight() + delta);
    break;
  case HTBOTTOMLEFT:
    target.setBottomLeft(target.bottomLeft() + delta);
    break;
  case HTBOTTOMRIGHT:
    target.setBottomRight(target.bottomRight() + delta);
    break;
  default:
    return;
  }
  if (FTrackCode != HTCAPTION)
    ClampToMinimumTrackSize(target);
  setGeometry(target);
}

// A border dragged past the minimum size stops there; the opposite border stays put.
void TPanelCaption::ClampToMinimumTrackSize(QRect& target) const {
  const QSize minimum = MinimumTrackSize();
  const bool leftMoves =
      FTrackCode == HTLEFT || FTrackCode == HTTOPLEFT || FTrackCode == HTBOTTOMLEFT;
  const bool topMoves = FTrackCode == HTTOP || FTrackCode == HTTOPLEFT || FTrackCode == HTTOPRIGHT;
  if (target.width() < minimum.width()) {
    if (leftMoves)
      target.setLeft(target.right() + 1 - minimum.width());
    else
      target.setWidth(minimum.width());
  }
  if (target.height() < minimum.height()) {
    if (topMoves)
      target.setTop(target.bottom() + 1 - minimum.height());
    else
      target.setHeight(minimum.height());
  }
}

void TPanelCaption::EndTracking() {
  FTrackCode = HTNOWHERE;
}

void UnselectPanels(QWidget* Container) {
  for (QObject* child : Container->children())
    if (auto* panel = qobject_cast<TPanelCaption*>(child))
      panel->SetSelected(false);
}

QString PanelPropertiesText(const QWidget* Control) {
  QStringList lines{QStringLiteral("name=n1"),
                    QStringLiteral("Width=%1").arg(Control->width()),
                    QStringLiteral("Height=%1").arg(Control->height()),
                    QStringLiteral("Left=%1").arg(Control->x()),
                    QStringLiteral("Top=%1").arg(Control->y()),
                    QStringLiteral("XScale=100"),
                    QStringLiteral("YScale=100")};
  lines.sort(Qt::CaseInsensitive);
  return StringListToText(lines);
}
