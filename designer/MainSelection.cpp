#include "designer/MousePaint.h"
#include "designer/ValueListEditor.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "model/QelDrowFunct.h"
#include "player/ShockwaveFlash.h"

#include <QAction>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The rubber band flips these bits, so a second drawing restores every pixel exactly; on the
// transparent layer it shows as an opaque grey.
constexpr QRgb BandXorMask = 0xFF808080;

// A stage position in pixels, truncated toward zero. Positions far off the stage are held
// at a distance that still fits the painter's integer coordinates.
int TruncToPixel(double V) {
  constexpr double Limit = 1 << 24;
  if (std::isnan(V))
    return 0;
  return static_cast<int>(std::clamp(V, -Limit, Limit));
}

bool IsArrowKey(int Key) {
  return Key == Qt::Key_Left || Key == Qt::Key_Up || Key == Qt::Key_Right || Key == Qt::Key_Down;
}

// Flips the dotted outline of Band (inclusive corners) on a 32-bit image; every outline
// pixel is flipped once, so drawing the same band twice leaves the image as it was. Only
// the part on the image is walked.
void XorDottedOutline(QImage& Image, const QRect& Band) {
  const auto flip = [&Image](int X, int Y) {
    if (((X + Y) & 1) != 0 || X < 0 || Y < 0 || X >= Image.width() || Y >= Image.height())
      return;
    auto* line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
    line[X] ^= BandXorMask;
  };
  const int lastX = std::min(Band.right(), Image.width() - 1);
  for (int x = std::max(Band.left(), 0); x <= lastX; ++x) {
    flip(x, Band.top());
    if (Band.bottom() != Band.top())
      flip(x, Band.bottom());
  }
  const int endY = std::min(Band.bottom(), Image.height());
  for (int y = std::max(Band.top() + 1, 0); y < endY; ++y) {
    flip(Band.left(), y);
    if (Band.right() != Band.left())
      flip(Band.right(), y);
  }
}

// Tells whether the user changed a list's selection since the left button last went down on
// it, so a click that changed nothing can still count as a click.
class TSelectionChangeSincePress : public QObject {
public:
  explicit TSelectionChangeSincePress(QListWidget* List) : QObject(List) {
    List->viewport()->installEventFilter(this);
    connect(List, &QListWidget::itemSelectionChanged, this, [this] { FChanged = true; });
  }

  bool Changed() const { return FChanged; }

protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton)
      FChanged = false;
    return false;
  }

private:
  bool FChanged = false;
};

} // namespace

TFlashElement* TFormVistaloom::ListBoxElement(int Index) const {
  const QListWidgetItem* item = ListBoxItem->item(Index);
  return item ? static_cast<TFlashElement*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
}

QList<TFlashElement*> TFormVistaloom::SelectedListBoxElements() const {
  QList<TFlashElement*> elements;
  for (int index = 0; index < ListBoxItem->count(); ++index)
    if (ListBoxItem->item(index)->isSelected())
      elements.append(ListBoxElement(index));
  return elements;
}

void TFormVistaloom::ShockwaveFlashMouseDown(QObject* /*Sender*/, Qt::MouseButton /*Button*/,
                                             Qt::KeyboardModifiers /*Shift*/, int X, int Y) {
  Label1->setText(QStringLiteral("MouseDown %1,%2").arg(X).arg(Y));
  RubberBandShown = false;
  RubberBand = QRect(QPoint(X, Y), QPoint(X, Y));
  DragOrigin = QPoint(X, Y);
  TFlashElement* hit = FElements.ElementAt(X / FScaleX, Y / FScaleY);
  if (!hit) {
    FElements.ClearSelection();
    FDragging = false;
  } else {
    if (!hit->FSelected) {
      if (FShiftDown)
        FElements.Select(hit);
      else
        FElements.SelectOnly(hit);
    } else if (FShiftDown) {
      FElements.Deselect(hit);
    }
    FDragging = true;
  }
  StageMouseDown = true;
  RefreshSelection(false);
  ShowElementProperties(hit);
}

void TFormVistaloom::ShockwaveFlashMouseMove(QObject* /*Sender*/, Qt::KeyboardModifiers /*Shift*/,
                                             int X, int Y) {
  if (FDragging) {
    DragOffset = QPoint(X, Y) - DragOrigin;
    Edit4->setText(QStringLiteral("%1,%2").arg(DragOffset.x()).arg(DragOffset.y()));
    RefreshSelection(false);
  } else if (StageMouseDown) {
    DrawRubberBand(RubberBand);
    RubberBand.setBottomRight(QPoint(X, Y));
    DrawRubberBand(RubberBand);
    RubberBandShown = true;
  }
}

void TFormVistaloom::ShockwaveFlashMouseUp(QObject* /*Sender*/, Qt::MouseButton /*Button*/,
                                           Qt::KeyboardModifiers /*Shift*/, int X, int Y) {
  StageMouseDown = false;
  if (FDragging) {
    FDragging = false;
    MoveSelectionBy(DragOffset.x(), DragOffset.y());
    // Every real move is undoable, also one along a single axis.
    if (!DragOffset.isNull())
      PushHistory(QStringLiteral("Move"));
    DragOffset = QPoint();
    RefreshSelection(true);
  } else if (RubberBandShown) {
    RubberBand.setBottomRight(QPoint(X, Y));
    DrawRubberBand(RubberBand);
    SelectElementsInRect(RubberBand.topLeft(), RubberBand.bottomRight());
    RubberBand = NoRubberBand;
    RubberBandShown = false;
    RefreshSelection(true);
  }
}

bool TFormVistaloom::PaintSelectionFrame(TFlashElement* E) {
  if (!E || !E->FSelected)
    return false;
  // The frame is widened by 3 stage units before scaling and by 3 pixels after truncating.
  const QPoint p1(TruncToPixel((E->FX - 3) * FScaleX + DragOffset.x()) - 3,
                  TruncToPixel((E->FY - 3) * FScaleY + DragOffset.y()) - 3);
  const QPoint p2(TruncToPixel((E->FX + E->FWidth + 3) * FScaleX + DragOffset.x()) + 3,
                  TruncToPixel((E->FY + E->FHeight + 3) * FScaleY + DragOffset.y()) + 3);
  if (!FStageCanvas || FStageCanvas->isNull())
    return false;
  QPainter canvas(FStageCanvas);
  DrawFrameWithHandles(canvas, p1, p2);
  return true;
}

void TFormVistaloom::DrawSelectionFrame(TFlashElement* E) {
  if (PaintSelectionFrame(E))
    ShockwaveFlash->update();
}

// Frames are drawn on the stage's layer, which Repaint clears at once, so the selection is
// drawn without letting pending events run: no other handler can refill the Objects list
// under the loops below, or free a cell editor while a grid's focus change is validated.
void TFormVistaloom::RefreshSelection(bool ShowProperties) {
  ShockwaveFlash->Repaint();
  // Frames are shown together once all are drawn: one stage update per refresh.
  TFlashElement* last = nullptr;
  for (int index = 0; index < ListBoxItem->count(); ++index) {
    TFlashElement* element = ListBoxElement(index);
    if (element->FSelected) {
      PaintSelectionFrame(element);
      last = element;
    }
  }
  ShockwaveFlash->update();

  // The list's item selection follows the flags.
  QItemSelection selection;
  for (int index = 0; index < ListBoxItem->count(); ++index)
    if (ListBoxElement(index)->FSelected) {
      const QModelIndex modelIndex = ListBoxItem->model()->index(index, 0);
      selection.select(modelIndex, modelIndex);
    }
  {
    const QSignalBlocker blocker(ListBoxItem);
    ListBoxItem->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  }
  if (ShowProperties)
    ShowElementProperties(last);
}

void TFormVistaloom::RefreshSelectionAndProperties() {
  RefreshSelection(true);
}

void TFormVistaloom::MoveSelectionBy(double DX, double DY) {
  ShockwaveFlash->Repaint();
  for (TFlashElement* element : SelectedListBoxElements()) {
    element->SetX(element->FX + DX / FScaleX);
    element->SetY(element->FY + DY / FScaleY);
  }
}

void TFormVistaloom::DrawRubberBand(const QRect& R) {
  const auto [left, right] = std::minmax({R.left(), R.right()});
  const auto [top, bottom] = std::minmax({R.top(), R.bottom()});
  if ((left == right && top == bottom) || !FStageCanvas || FStageCanvas->depth() != 32)
    return;
  XorDottedOutline(*FStageCanvas, QRect(QPoint(left, top), QPoint(right, bottom)));
  ShockwaveFlash->update();
}

void TFormVistaloom::ClearRubberBand() {
  DrawRubberBand(RubberBand);
  RubberBand = NoRubberBand;
}

void TFormVistaloom::SelectElementsInRect(QPoint P1, QPoint P2) {
  const auto [minX, maxX] = std::minmax({P1.x(), P2.x()});
  const auto [minY, maxY] = std::minmax({P1.y(), P2.y()});
  const QString page = SelectedPageName();
  for (int index = 0; index < ListBoxItem->count(); ++index) {
    TFlashElement* element = ListBoxElement(index);
    if (!element->FShown)
      continue;
    const double centreX = (element->FX + element->FWidth / 2) * FScaleX;
    const double centreY = (element->FY + element->FHeight / 2) * FScaleY;
    if (minX < centreX && centreX < maxX && minY < centreY && centreY < maxY)
      FElements.SelectIfOnPage(element, page);
  }
}

void TFormVistaloom::ListBoxItemClick(QObject* /*Sender*/) {
  ClearRubberBand();
  ShockwaveFlash->Repaint();
  TFlashElement* last = nullptr;
  const QString page = SelectedPageName();
  for (int index = 0; index < ListBoxItem->count(); ++index) {
    TFlashElement* element = ListBoxElement(index);
    FElements.SelectIfOnPage(element, page);
    if (ListBoxItem->item(index)->isSelected()) {
      // An element of "all" listed on another page is not selected from the list.
      if (element->FPage == page) {
        FElements.Select(element);
        last = element;
      }
    } else {
      FElements.Deselect(element);
    }
  }
  RefreshSelection(false);
  ShowElementProperties(last);
}

void TFormVistaloom::DeselectExecute(QObject* /*Sender*/) {
  {
    const QSignalBlocker blocker(ListBoxItem);
    ListBoxItem->clearSelection();
  }
  // The flags stay: the next refresh frames the flagged elements again.
  ShockwaveFlash->Repaint();
}

void TFormVistaloom::DeleteObjectExecute(QObject* Sender) {
  const QList<TFlashElement*> selected = SelectedListBoxElements();
  if (!selected.isEmpty()) {
    for (TFlashElement* element : selected)
      FElements.DeleteByLevelName(element->GetLevelName());
    PushHistory(QStringLiteral("Delete Element"));
  }
  LBPagesClick(Sender);
}

void TFormVistaloom::FormKeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift) {
  // The press of Shift or Ctrl itself counts as holding it.
  FShiftDown = Shift.testFlag(Qt::ShiftModifier) || Key == Qt::Key_Shift;
  const bool ctrl = Shift.testFlag(Qt::ControlModifier) || Key == Qt::Key_Control;
  FCtrlDown = ctrl;

  // Arrows nudge the selection in stage units, whatever control has the focus.
  if (IsArrowKey(Key)) {
    const double step = ctrl ? 10 : 1;
    for (TFlashElement* element : SelectedListBoxElements()) {
      switch (Key) {
      case Qt::Key_Left:
        element->SetX(element->FX - step);
        break;
      case Qt::Key_Up:
        element->SetY(element->FY - step);
        break;
      case Qt::Key_Right:
        element->SetX(element->FX + step);
        break;
      default:
        element->SetY(element->FY + step);
        break;
      }
    }
    RefreshSelection(false);
  }

  const QWidget* focus = focusWidget();
  if ((Key == Qt::Key_Return || Key == Qt::Key_Enter) && focus == SGElements)
    SGElementsDblClick(Sender);
  // The z-order commands run through their actions, which do nothing while disabled.
  if (Key == Qt::Key_PageUp && ctrl && focus == ShockwaveFlash)
    BringForward->trigger();
  if (Key == Qt::Key_PageDown && ctrl && focus == ShockwaveFlash)
    SendBackword->trigger();
  if (Key == Qt::Key_Insert && focus == LBPages)
    AddpageExecute(Sender);
  if (Key == Qt::Key_Delete && focus == LBPages)
    DelPageExecute(Sender);
  if (Key == Qt::Key_Delete &&
      (focusWidget() == ListBoxItem || focusWidget() == static_cast<QWidget*>(FormPaint)))
    DeleteObjectExecute(Sender);
}

void TFormVistaloom::FormKeyUp(QObject* /*Sender*/, int& Key, Qt::KeyboardModifiers /*Shift*/) {
  // Keys released in the Objects list change nothing, Shift included.
  if (focusWidget() == ListBoxItem)
    return;
  if (IsArrowKey(Key) && focusWidget() == ShockwaveFlash)
    RefreshSelection(false);
  FShiftDown = false;
  if (Key == Qt::Key_Escape && FDragging) {
    // Cancel the drag: the frames go back to the elements, which never moved.
    DragOffset = QPoint();
    FDragging = false;
    RefreshSelection(true);
    RubberBand = NoRubberBand;
    DrawRubberBand(RubberBand);
  }
}

void TFormVistaloom::ConnectSelectionActions() {
  ConnectAction(Addpage, &TFormVistaloom::AddpageExecute);
  ConnectAction(DelPage, &TFormVistaloom::DelPageExecute);
  ConnectAction(PageUP, &TFormVistaloom::PageUPExecute);
  ConnectAction(PageDown, &TFormVistaloom::PageDownExecute);
  ConnectAction(DeleteObject, &TFormVistaloom::DeleteObjectExecute);
  ConnectAction(Deselect, &TFormVistaloom::DeselectExecute);

  // Only the user's selection changes are clicks: the program changes them with signals
  // blocked. A click that leaves the selection as it was, on the row already selected, is a
  // click all the same.
  ConnectPageList();
  const std::function<void()> listClick =
      GuardedSlot(&TFormVistaloom::ListBoxItemClick, ListBoxItem);
  connect(ListBoxItem, &QListWidget::itemSelectionChanged, this, listClick);
  const auto* changeSincePress = new TSelectionChangeSincePress(ListBoxItem);
  connect(ListBoxItem, &QListWidget::itemClicked, this, [changeSincePress, listClick] {
    if (!changeSincePress->Changed())
      listClick();
  });

  for (TValueListEditor* grid : {ValueListEditor, VLEProp, VLEFlashSuffix}) {
    connect(grid, &TValueListEditor::Validate, this,
            [this, grid](const QString& Key, const QString& Value) {
              Guarded([&] { ValueListEditorValidate(grid, Key, Value); });
            });
    connect(grid, &TValueListEditor::KeyDown, this,
            [this, grid](int Key) { Guarded([&] { ValueListEditorKeyDown(grid, Key); }); });
  }
  connect(Button9, &QPushButton::clicked, this,
          GuardedSlot(&TFormVistaloom::Button9Click, Button9));
  connect(Button10, &QPushButton::clicked, this,
          GuardedSlot(&TFormVistaloom::Button10Click, Button10));

  DataObjects->setHorizontalHeaderLabels(
      {QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("page")});
  // Display widths in characters: 5, 10 and 10.
  const int charWidth = DBGrid1->fontMetrics().averageCharWidth();
  for (const auto& [column, characters] : {std::pair{0, 5}, std::pair{1, 10}, std::pair{2, 10}})
    DBGrid1->setColumnWidth(column, characters * charWidth);
  connect(PageControl, &QTabWidget::currentChanged, this, [this](int Index) {
    if (PageControl->widget(Index) == TabSheetAll)
      Guarded([this] { TabSheetAllShow(TabSheetAll); });
  });
}
