#include "designer/ValueListEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTimer>
#include <stdexcept>
#include <utility>

namespace {

constexpr int KeyColumn = 0;
constexpr int ValueColumn = 1;
constexpr int ReadOnlyRole = Qt::UserRole;
constexpr int PickListRole = Qt::UserRole + 1;

// A key that types text rather than one that moves or commands.
bool IsTyping(const QKeyEvent* event) {
  return !event->text().isEmpty() && event->text().at(0).isPrint() &&
         !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

// Edits a value cell: a line edit, or for a row with a pick list a combo box that can be typed
// into only when the row is not read-only. A pick from the list takes effect at once.
class TValueDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // A plain line edit. The item views' own text editor widens itself to its text, measuring
  // the whole text again at every key: typing a long value took time growing with the square
  // of its length.
  static QLineEdit* CreateLineEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setFrame(edit->style()->styleHint(QStyle::SH_ItemView_DrawDelegateFrame, nullptr, edit));
    return edit;
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    const QStringList pickList = index.data(PickListRole).toStringList();
    if (pickList.isEmpty())
      return CreateLineEdit(parent);
    auto* combo = new QComboBox(parent);
    combo->setEditable(!index.data(ReadOnlyRole).toBool());
    combo->addItems(pickList);
    auto* self = const_cast<TValueDelegate*>(this);
    connect(combo, &QComboBox::activated, self, [self, combo] { emit self->commitData(combo); });
    return combo;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      const QString value = index.data(Qt::EditRole).toString();
      if (combo->isEditable())
        combo->setEditText(value);
      else
        combo->setCurrentIndex(combo->findText(value));
      return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
  }

  // A read-only row's list is not typed into: a letter would pick the entry it begins.
  bool eventFilter(QObject* editor, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && IsTyping(static_cast<QKeyEvent*>(event)))
      if (const auto* combo = qobject_cast<QComboBox*>(editor); combo && !combo->isEditable())
        return true;
    return QStyledItemDelegate::eventFilter(editor, event);
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      if (combo->isEditable() || combo->currentIndex() >= 0)
        model->setData(index, combo->currentText(), Qt::EditRole);
      return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
  }
};

} // namespace

// Watches the application's focus for every grid at once, so a focus change validates at most
// one grid: the one that held the old focus widget and does not hold the new one. Both widgets
// are looked at before that validation runs the program's handlers, which may close and free
// them; nothing looks at them afterwards.
class TValueListEditor::TFocusWatcher : public QObject {
public:
  static void Register(TValueListEditor* Grid) { Instance().FGrids.append(Grid); }
  static void Unregister(TValueListEditor* Grid) {
    if (Watcher)
      Watcher->FGrids.removeOne(Grid);
  }

private:
  explicit TFocusWatcher(QObject* Parent) : QObject(Parent) {
    connect(qApp, &QApplication::focusChanged, this, &TFocusWatcher::FocusChanged);
  }

  // One watcher per application object, created with the first grid.
  static TFocusWatcher& Instance() {
    if (!Watcher)
      Watcher = new TFocusWatcher(qApp);
    return *Watcher;
  }

  void FocusChanged(QWidget* Old, QWidget* Now) {
    if (!Now)
      return;
    for (TValueListEditor* grid : std::as_const(FGrids))
      if (grid->Contains(Old) && !grid->Contains(Now)) {
        grid->ValidatePendingRow();
        return;
      }
  }

  static inline QPointer<TFocusWatcher> Watcher;
  QList<TValueListEditor*> FGrids;
};

TValueListEditor::TValueListEditor(QWidget* parent) : QTableWidget(0, 2, parent) {
  setHorizontalHeaderLabels({QStringLiteral("Properies"), QStringLiteral("Value")});
  // Both columns share the width of the narrow property panel; rows are as high as their
  // text.
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  setSelectionMode(SingleSelection);
  setSelectionBehavior(SelectItems);
  setEditTriggers(CurrentChanged | SelectedClicked | EditKeyPressed | AnyKeyPressed);
  setItemDelegateForColumn(ValueColumn, new TValueDelegate(this));
  connect(this, &QTableWidget::itemChanged, this, &TValueListEditor::ValueEdited);
  TFocusWatcher::Register(this);
  FPickListTimer = new QTimer(this);
  FPickListTimer->setSingleShot(true);
  connect(FPickListTimer, &QTimer::timeout, this,
          [this] { QTableWidget::edit(currentIndex(), AllEditTriggers, nullptr); });
}

TValueListEditor::~TValueListEditor() {
  // Focus moves while the widget is taken down; those changes are no user's.
  TFocusWatcher::Unregister(this);
}

QString TValueListEditor::Key(int Row) const {
  const QTableWidgetItem* cell = item(Row, KeyColumn);
  return cell ? cell->text() : QString();
}

QString TValueListEditor::Value(int Row) const {
  const QTableWidgetItem* cell = ValueItem(Row);
  return cell ? cell->text() : QString();
}

void TValueListEditor::SetValue(int Row, const QString& Value) {
  if (QTableWidgetItem* cell = ValueItem(Row)) {
    const QScopedValueRollback guard(FProgramWrite, true);
    cell->setText(Value);
  }
}

QString TValueListEditor::Values(const QString& Key) const {
  return Value(FindRow(Key));
}

int TValueListEditor::FindRow(const QString& Key) const {
  for (int row = 0; row < rowCount(); ++row)
    if (this->Key(row) == Key)
      return row;
  return -1;
}

int TValueListEditor::InsertRow(const QString& Key, const QString& Value) {
  if (Key.contains(QLatin1Char('=')))
    throw std::invalid_argument(
        QStringLiteral("Invalid key \"%1\": a key may not contain \"=\"").arg(Key).toStdString());
  if (FindRow(Key) >= 0)
    throw std::invalid_argument(
        QStringLiteral("A key named \"%1\" already exists").arg(Key).toStdString());
  const QScopedValueRollback guard(FProgramWrite, true);
  const int row = rowCount();
  insertRow(row);
  auto* keyCell = new QTableWidgetItem(Key);
  keyCell->setFlags(keyCell->flags() & ~Qt::ItemIsEditable);
  setItem(row, KeyColumn, keyCell);
  setItem(row, ValueColumn, new QTableWidgetItem(Value));
  return row;
}

void TValueListEditor::DeleteRow(int Row) {
  if (Row < 0 || Row >= rowCount())
    throw std::out_of_range("Grid index out of range");
  if (FPendingRow == Row)
    FPendingRow = -1;
  else if (FPendingRow > Row)
    --FPendingRow;
  const QScopedValueRollback guard(FProgramWrite, true);
  removeRow(Row);
}

void TValueListEditor::Clear() {
  FPendingRow = -1;
  const QScopedValueRollback guard(FProgramWrite, true);
  setRowCount(0);
}

void TValueListEditor::SetReadOnly(int Row, bool ReadOnly) {
  if (QTableWidgetItem* cell = ValueItem(Row)) {
    const QScopedValueRollback guard(FProgramWrite, true);
    cell->setData(ReadOnlyRole, ReadOnly);
    // A read-only row without a pick list has nothing to edit; one with a list still picks.
    const bool editable = !ReadOnly || !PickList(Row).isEmpty();
    cell->setFlags(editable ? cell->flags() | Qt::ItemIsEditable
                            : cell->flags() & ~Qt::ItemIsEditable);
  }
}

bool TValueListEditor::ReadOnly(int Row) const {
  const QTableWidgetItem* cell = ValueItem(Row);
  return cell && cell->data(ReadOnlyRole).toBool();
}

void TValueListEditor::SetPickList(int Row, const QStringList& Values) {
  if (QTableWidgetItem* cell = ValueItem(Row)) {
    {
      const QScopedValueRollback guard(FProgramWrite, true);
      cell->setData(PickListRole, Values);
    }
    SetReadOnly(Row, ReadOnly(Row));
  }
}

QStringList TValueListEditor::PickList(int Row) const {
  const QTableWidgetItem* cell = ValueItem(Row);
  return cell ? cell->data(PickListRole).toStringList() : QStringList();
}

void TValueListEditor::SetRowsMovable(bool Movable) {
  FRowsMovable = Movable;
}

void TValueListEditor::SetCurrentRow(int Row) {
  setCurrentCell(Row, ValueColumn);
}

void TValueListEditor::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  // The base class first takes the text of an editor still open on the previous cell.
  QTableWidget::currentChanged(current, previous);
  if (previous.isValid())
    ValidatePendingRow();
}

bool TValueListEditor::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (trigger == SelectedClicked && !PickList(index.row()).isEmpty()) {
    FPickListTimer->start(QApplication::doubleClickInterval());
    return false;
  }
  if (trigger == CurrentChanged) {
    // The editor follows the current cell only while the user works in the grid, and a
    // pick-list cell waits for a click or a key so that a double-click can step its list.
    if (!Contains(QApplication::focusWidget()) || !PickList(index.row()).isEmpty())
      return false;
  }
  return QTableWidget::edit(index, trigger, event);
}

void TValueListEditor::keyPressEvent(QKeyEvent* event) {
  // Enter reaches the grid before the editor hands over its text; take the text first.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
    CommitOpenEditor();
  emit KeyDown(event->key());
  // Typing on a read-only row opens no editor and searches no other row.
  if (IsTyping(event) && ReadOnly(currentRow())) {
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

void TValueListEditor::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  FMovingRow = FRowsMovable && event->button() == Qt::LeftButton && index.isValid() &&
                       index.column() == KeyColumn
                   ? index.row()
                   : -1;
  QTableWidget::mousePressEvent(event);
}

void TValueListEditor::mouseReleaseEvent(QMouseEvent* event) {
  const int moving = std::exchange(FMovingRow, -1);
  QTableWidget::mouseReleaseEvent(event);
  const int target = rowAt(event->position().toPoint().y());
  if (moving < 0 || moving >= rowCount() || event->button() != Qt::LeftButton || target < 0 ||
      target == moving)
    return;
  // Rows move in the grid's display only: each keeps its index, key and value.
  verticalHeader()->moveSection(verticalHeader()->visualIndex(moving),
                                verticalHeader()->visualIndex(target));
}

void TValueListEditor::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && index.column() == ValueColumn && !PickList(index.row()).isEmpty()) {
    FPickListTimer->stop();
    StepPickList(index.row());
    event->accept();
    return;
  }
  QTableWidget::mouseDoubleClickEvent(event);
}

QTableWidgetItem* TValueListEditor::ValueItem(int Row) const {
  return Row >= 0 && Row < rowCount() ? item(Row, ValueColumn) : nullptr;
}

void TValueListEditor::ValueEdited(QTableWidgetItem* Item) {
  if (!FProgramWrite && Item->column() == ValueColumn)
    FPendingRow = Item->row();
}

bool TValueListEditor::Contains(const QWidget* Widget) const {
  // Walks across windows too, so a pick list's popup counts as part of the grid.
  for (const QWidget* w = Widget; w; w = w->parentWidget())
    if (w == this)
      return true;
  return false;
}

void TValueListEditor::CommitOpenEditor() {
  for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
    if (w->parentWidget() == viewport()) {
      commitData(w);
      return;
    }
}

void TValueListEditor::ValidatePendingRow() {
  const int row = FPendingRow;
  FPendingRow = -1;
  if (row >= 0 && row < rowCount())
    emit Validate(Key(row), Value(row));
}

void TValueListEditor::StepPickList(int Row) {
  const QStringList pickList = PickList(Row);
  const int next = (pickList.indexOf(Value(Row)) + 1) % pickList.size();
  ValueItem(Row)->setText(pickList.at(next));
}
