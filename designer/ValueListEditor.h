#pragma once

#include <QStringList>
#include <QTableWidget>

class QTimer;

// The key/value grid of the property panel and the Actions tab: the column "Properies" holds
// the keys, the column "Value" the values. Keys are unique, may not contain "=" and cannot be
// edited. A row may be read-only (typing is refused) and may offer a pick list: picking still
// works on a read-only row, and a double-click steps to the next entry. A value the user
// changed is reported through Validate when its cell is left or the grid loses the focus; every
// key that reaches the grid is reported through KeyDown, Enter after the typed text is taken.
class TValueListEditor : public QTableWidget {
  Q_OBJECT
public:
  explicit TValueListEditor(QWidget* parent = nullptr);
  ~TValueListEditor() override;

  int RowCount() const { return rowCount(); }
  QString Key(int Row) const;
  QString Value(int Row) const;
  // Sets a value as the program, not as a user edit: nothing is validated.
  void SetValue(int Row, const QString& Value);
  // The value of the first row carrying Key; "" when no row does.
  QString Values(const QString& Key) const;
  // The first row carrying Key, or -1.
  int FindRow(const QString& Key) const;

  // Appends the row and returns its index. Throws std::invalid_argument when Key is already
  // present or contains "=".
  int InsertRow(const QString& Key, const QString& Value);
  // Throws std::out_of_range when Row does not exist.
  void DeleteRow(int Row);
  // Removes every row; the column titles stay.
  void Clear();

  void SetReadOnly(int Row, bool ReadOnly);
  bool ReadOnly(int Row) const;
  void SetPickList(int Row, const QStringList& Values);
  QStringList PickList(int Row) const;

  // Movable rows are dragged by their key onto the row whose place they take. Rows move in
  // the display only: Key, Value and the other row indices stay those of the rows as
  // inserted.
  void SetRowsMovable(bool Movable);

  // Makes Row the current row with its value cell current.
  void SetCurrentRow(int Row);

signals:
  void Validate(const QString& Key, const QString& Value);
  void KeyDown(int Key);

protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  class TFocusWatcher;

  QTableWidgetItem* ValueItem(int Row) const;
  void ValueEdited(QTableWidgetItem* Item);
  bool Contains(const QWidget* Widget) const;
  void CommitOpenEditor();
  void ValidatePendingRow();
  void StepPickList(int Row);

  // Set while the program writes cells, so only the user's edits count as changes.
  bool FProgramWrite = false;
  // The row whose value the user changed and that was not validated yet, or -1.
  int FPendingRow = -1;
  // Opens the pick list of the current cell once a click on it has not become a
  // double-click, which steps the list instead.
  QTimer* FPickListTimer = nullptr;
  bool FRowsMovable = false;
  // The row whose key the left button went down on while rows are movable, or -1.
  int FMovingRow = -1;
};
