// The undo history: every recorded step keeps a snapshot of the whole project document, and
// any entry can be loaded back as the project.
#include "designer/main.h"

#include <QBuffer>
#include <QListWidget>

namespace {

constexpr int MaxHistoryEntries = 100;
// The oldest entry stays; the limit removes the one after it.
constexpr int FirstRemovableEntry = 1;
constexpr int SnapshotRole = Qt::UserRole;

} // namespace

void TFormVistaloom::PushHistory(const QString& Description) {
  QBuffer snapshot;
  snapshot.open(QIODevice::WriteOnly);
  WriteProjectXml(&snapshot);
  ++FHistoryCount;
  auto* entry =
      new QListWidgetItem(QString::number(FHistoryCount) + QLatin1Char(' ') + Description);
  QByteArray text = snapshot.data();
  text.squeeze(); // a hundred snapshots are kept: no spare capacity
  entry->setData(SnapshotRole, text);
  LBHistory->addItem(entry);
  if (LBHistory->count() > MaxHistoryEntries)
    delete LBHistory->takeItem(FirstRemovableEntry);
}

void TFormVistaloom::RestoreHistory() {
  const QList<QListWidgetItem*> selected = LBHistory->selectedItems();
  if (selected.isEmpty())
    return;
  QByteArray snapshot = selected.first()->data(SnapshotRole).toByteArray();
  QBuffer stream(&snapshot);
  stream.open(QIODevice::ReadOnly);
  LoadProjectWithProgress(&stream);
}

void TFormVistaloom::LBHistoryDblClick(QObject*) {
  RestoreHistory();
}
