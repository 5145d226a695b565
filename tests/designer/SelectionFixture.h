#pragma once

#include "ProjectFixture.h"
#include "designer/MousePaint.h"
#include "designer/ValueListEditor.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTest>

// Designer tests that work the stage, the page list and the property grids as a user does:
// the window is shown, the demo clips are placed at known stage positions, and the mouse and
// keys go to the overlay and the controls through QTest.
class SelectionTest : public ProjectTest {
protected:
  // The designer shown with the demo repository. The stage counts as exactly as large as
  // its control, so every layout gives one pixel per stage unit and positions read the same
  // in both.
  TFormVistaloom& CreateShown() {
    TFormVistaloom& window = CreateWithDemoRepository();
    window.show();
    PumpEvents();
    window.FStageWidth = window.ShockwaveFlash->width();
    window.FStageHeight = window.ShockwaveFlash->height();
    window.UpdateStageLayout();
    EXPECT_EQ(window.FScaleX, 1.0);
    EXPECT_EQ(window.FScaleY, 1.0);
    return window;
  }

  // Adds a demo clip on the selected page and places it; the page is shown again.
  TFlashElement* Place(const QString& clip, double x, double y, double width = 40,
                       double height = 40) {
    TFlashElement* element = AddClip(clip);
    element->SetX(x);
    element->SetY(y);
    element->SetWidth(width);
    element->SetHeight(height);
    Window->LBPagesClick(Window->LBPages);
    return element;
  }

  // Adds a page after the selected one through "Ins Page" and leaves it selected.
  void InsertPage(const QString& name) {
    Dialogs.InputAnswers.push_back({true, name});
    Window->AddpageExecute(Window->Addpage);
  }

  void SelectPage(int row) { Window->LBPages->setCurrentRow(row); }

  // Clicks the tab of page on its tab bar.
  static void ClickTab(QTabWidget* tabs, QWidget* page) {
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tabs->indexOf(page)).center());
    ASSERT_EQ(tabs->currentWidget(), page);
  }

  QWidget* Overlay() const { return Window->FormPaint; }

  void Press(QPoint at) { QTest::mousePress(Overlay(), Qt::LeftButton, {}, at); }
  void MoveTo(QPoint at) { QTest::mouseMove(Overlay(), at); }
  void Release(QPoint at) { QTest::mouseRelease(Overlay(), Qt::LeftButton, {}, at); }
  void Click(QPoint at) {
    Press(at);
    Release(at);
  }
  void ShiftClick(QPoint at) {
    QTest::keyPress(Overlay(), Qt::Key_Shift, Qt::ShiftModifier);
    Click(at);
    QTest::keyRelease(Overlay(), Qt::Key_Shift, Qt::ShiftModifier);
  }

  // The elements selected in the Objects list, in list order.
  QList<TFlashElement*> ListSelection() const { return Window->SelectedListBoxElements(); }

  QRgb LayerPixel(QPoint at) const { return Window->FStageCanvas->pixel(at); }

  int HistoryCount(const QString& description) const {
    return static_cast<int>(
        HistoryTexts().filter(QRegularExpression("^\\d+ " + description + "$")).size());
  }

  // The value the Properties grid shows for key.
  QString Shown(const QString& key) const { return Window->ValueListEditor->Values(key); }

  // Types text into the value cell of key as a user does: the cell's editor opens, the text
  // replaces what it held. The edit is taken when the user leaves the cell or presses Enter.
  static void TypeInto(TValueListEditor* grid, const QString& key, const QString& text) {
    grid->setFocus();
    grid->SetCurrentRow(grid->FindRow(key));
    QTest::keyClick(grid, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
  }

  // Moves to another cell of the grid, which validates a changed value.
  static void LeaveCell(TValueListEditor* grid) {
    grid->setCurrentCell(grid->currentRow() == 0 ? 1 : 0, 0);
  }
};

// Frame corner of an element at stage position (x, y) with no drag offset, on scale 1: the
// frame is widened by 3 units and 3 pixels.
inline QPoint FrameTopLeft(double x, double y, QPoint offset = {}) {
  return QPoint(static_cast<int>(x - 3 + offset.x()) - 3, static_cast<int>(y - 3 + offset.y()) - 3);
}

// The colour of the handles' inner squares on the layer.
constexpr QRgb HandleLime = 0xFF00FF00;
