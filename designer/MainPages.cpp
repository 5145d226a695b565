#include "designer/main.h"
#include "model/FlashElement.h"
#include "model/QelStrFunct.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QListWidget>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace {

// Notes a list's current row when the left button goes down on it, before the list moves its
// current row, so that the press can tell whether it hit the row already current.
class TRowBeforePress : public QObject {
public:
  explicit TRowBeforePress(QListWidget* List) : QObject(List), FList(List) {
    List->viewport()->installEventFilter(this);
  }

  int Row() const { return FRow; }

protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::MouseButtonPress)
      FRow =
          static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton ? FList->currentRow() : -1;
    return false;
  }

private:
  QListWidget* FList;
  int FRow = -1;
};

} // namespace

void TFormVistaloom::ConnectPageList() {
  // A press on another page changes the current row, as the keyboard does; a press on the
  // page already selected changes nothing in the list and is a click all the same. The
  // program changes the current row with the list's signals blocked.
  const std::function<void()> pageClick = GuardedSlot(&TFormVistaloom::LBPagesClick, LBPages);
  connect(LBPages, &QListWidget::currentRowChanged, this, pageClick);
  const auto* rowBeforePress = new TRowBeforePress(LBPages);
  connect(LBPages, &QListWidget::itemPressed, this,
          [this, rowBeforePress, pageClick](QListWidgetItem* Item) {
            if (LBPages->row(Item) == rowBeforePress->Row())
              pageClick();
          });
  connect(LBPages, &QListWidget::itemDoubleClicked, this,
          GuardedSlot(&TFormVistaloom::LBPagesDblClick, LBPages));
}

QString TFormVistaloom::SelectedPageName() const {
  const QListWidgetItem* item = LBPages->currentItem();
  return item ? item->text() : QString();
}

QStringList TFormVistaloom::PageNames() const {
  QStringList names;
  names.reserve(LBPages->count());
  for (int row = 0; row < LBPages->count(); ++row)
    names << LBPages->item(row)->text();
  return names;
}

void TFormVistaloom::SelectPageRow(int Row) {
  // A change made by the program is no click of the user's.
  const QSignalBlocker blocker(LBPages);
  LBPages->setCurrentRow(Row);
}

bool TFormVistaloom::SelectOrAddPage(const QString& Name) {
  const QString wanted = AsciiLowerCase(Name);
  bool found = false;
  for (int row = 0; row < LBPages->count(); ++row)
    if (AsciiLowerCase(LBPages->item(row)->text()) == wanted) {
      SelectPageRow(row);
      found = true;
    }
  if (found)
    return false;
  LBPages->addItem(Name);
  SelectPageRow(LBPages->count() - 1);
  return true;
}

void TFormVistaloom::AddpageExecute(QObject* Sender) {
  QString name;
  if (FDialogs->InputQuery(this, QStringLiteral("Insert"), QStringLiteral("Add new page"), name)) {
    const int selected = LBPages->currentRow();
    const int row = selected > 0 ? selected + 1 : 1;
    LBPages->insertItem(row, name);
    SelectPageRow(row);
  }
  LBPagesClick(Sender);
}

void TFormVistaloom::LBPagesDblClick(QObject* Sender) {
  const int selected = LBPages->currentRow();
  if (selected <= 0)
    return;
  const QString oldName = LBPages->item(selected)->text();
  QString newName = oldName;
  if (FDialogs->InputQuery(this, QStringLiteral("Edit"), QStringLiteral("Set new page name:"),
                           newName)) {
    LBPages->item(selected)->setText(newName);
    for (TFlashElement* element : FElements.FItems)
      if (element->FPage == oldName)
        element->FPage = newName;
  }
  LBPagesClick(Sender);
}

void TFormVistaloom::SwapPageWith(int Row, int Other) {
  QListWidgetItem* item = LBPages->item(Row);
  QListWidgetItem* other = LBPages->item(Other);
  const QString text = item->text();
  item->setText(other->text());
  other->setText(text);
  SelectPageRow(Other);
}

void TFormVistaloom::PageUPExecute(QObject* Sender) {
  const int selected = LBPages->currentRow();
  if (selected > 1)
    SwapPageWith(selected, selected - 1);
  LBPagesClick(Sender);
}

void TFormVistaloom::PageDownExecute(QObject* Sender) {
  const int selected = LBPages->currentRow();
  if (selected > 0 && selected < LBPages->count() - 1)
    SwapPageWith(selected, selected + 1);
  LBPagesClick(Sender);
}

void TFormVistaloom::DelPageExecute(QObject* Sender) {
  const int selected = LBPages->currentRow();
  if (selected <= 0)
    return;
  const QString name = LBPages->item(selected)->text();
  if (!FDialogs->OkCancel(this, QStringLiteral("Delete Page:") + name,
                          QStringLiteral("Delete page dialog")))
    return;
  FElements.DeletePage(name);
  // The question ran a message loop; take the selection as it stands now.
  const int current = LBPages->currentRow();
  if (current > 0) {
    {
      const QSignalBlocker blocker(LBPages);
      delete LBPages->takeItem(current);
    }
    SelectPageRow(current - 1);
  }
  LBPagesClick(Sender);
}

void TFormVistaloom::LBPagesClick(QObject* /*Sender*/) {
  const int selected = LBPages->currentRow();
  const int count = LBPages->count();
  PageDown->setEnabled(selected > 0 && selected != count - 1);
  PageUP->setEnabled(selected > 0);
  DelPage->setEnabled(selected > 0);
  Addpage->setEnabled(true);

  ShowElementProperties(nullptr);

  QList<TElementText> texts;
  FElements.ShowPage(SelectedPageName(), texts);
  {
    const QSignalBlocker blocker(ListBoxItem);
    ListBoxItem->clear();
    for (const TElementText& text : texts) {
      auto* item = new QListWidgetItem(text.Text);
      item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(text.Element)));
      ListBoxItem->addItem(item);
    }
  }
  RefreshSelection(true);
}
