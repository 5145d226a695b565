// The Actions tab of the main window: the driver catalogue listed and browsed, the parameters
// of a command filled in, and the binding lines that make an element's OnExecute text.
#include "designer/ValueListEditor.h"
#include "designer/formats/DriverCatalogue.h"
#include "designer/formats/WholeFile.h"
#include "designer/main.h"
#include "model/Hash.h"
#include "model/QelStrFunct.h"

#include <QAbstractItemDelegate>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>
#include <stdexcept>

namespace {

const QString DriversFileName = QStringLiteral("./drivers.xml");

// The item of a list box that the user has selected, or nullptr.
QListWidgetItem* SelectedItem(const QListWidget& List) {
  QListWidgetItem* item = List.currentItem();
  return item && item->isSelected() ? item : nullptr;
}

QString SelectedText(const QListWidget& List) {
  const QListWidgetItem* item = SelectedItem(List);
  return item ? item->text() : QString();
}

QStringList Lines(const QListWidget& List) {
  QStringList lines;
  lines.reserve(List.count());
  for (int row = 0; row < List.count(); ++row)
    lines.append(List.item(row)->text());
  return lines;
}

// Hands the text of a cell editor that is still open over to its cell. The event buttons take
// no focus when clicked, so without this a value being typed would not count.
void CommitOpenEditor(TValueListEditor& Grid) {
  const QModelIndex index = Grid.currentIndex();
  if (QWidget* editor = Grid.indexWidget(index))
    emit Grid.itemDelegateForIndex(index)->commitData(editor);
}

// Reads the catalogue file into Document; a file that is no well-formed XML throws and leaves
// Document null, so the next listing tries again.
void ReadCatalogue(QDomDocument& Document) {
  QByteArray bytes;
  QString error;
  if (!ReadWholeFile(DriversFileName, bytes, error))
    throw std::runtime_error(error.toStdString());
  DriverCatalogue::ParseDocument(Document, bytes, DriversFileName);
}

} // namespace

void TFormVistaloom::ConnectDriverActions() {
  ConnectAction(AddOnEvent, &TFormVistaloom::AddOnEventExecute);
  ConnectAction(DeleteEvent, &TFormVistaloom::DeleteEventExecute);
  // Only the user's selection changes are clicks: the program refills the lists with signals
  // blocked.
  connect(ListBoxDrivers, &QListWidget::itemSelectionChanged, this,
          GuardedSlot(&TFormVistaloom::ListBoxDriversClick, ListBoxDrivers));
  connect(ListBoxFunctions, &QListWidget::itemSelectionChanged, this,
          GuardedSlot(&TFormVistaloom::ListBoxFunctionsClick, ListBoxFunctions));
}

void TFormVistaloom::LoadDriverList(QListWidget* Target, const QString& DriverName) {
  const QSignalBlocker blocker(Target);
  Target->clear();
  // Only a missing catalogue lists nothing without a word; a folder or a device in its place
  // is reported when it is read.
  if (!QFileInfo::exists(DriversFileName))
    return;
  // Parsed once per run: later changes to the file are not seen.
  if (XMLDocumentDrivers.isNull())
    ReadCatalogue(XMLDocumentDrivers);
  Target->addItems(DriverName.isEmpty()
                       ? DriverCatalogue::DriverNames(XMLDocumentDrivers)
                       : DriverCatalogue::CommandNames(XMLDocumentDrivers, DriverName));
}

void TFormVistaloom::ListBoxDriversClick(QObject*) {
  const QString driver = SelectedText(*ListBoxDrivers);
  if (driver.isEmpty()) {
    const QSignalBlocker blocker(ListBoxFunctions);
    ListBoxFunctions->clear();
    return;
  }
  LoadDriverList(ListBoxFunctions, driver);
}

void TFormVistaloom::ListBoxFunctionsClick(QObject*) {
  const QList<DriverCatalogue::TParameterRow> rows = DriverCatalogue::ParameterRows(
      XMLDocumentDrivers, SelectedText(*ListBoxDrivers), SelectedText(*ListBoxFunctions));
  VEDriver->hide();
  VEDriver->Clear();
  // A caption the grid refuses (a repeated one) ends here with the rows so far hidden.
  for (const DriverCatalogue::TParameterRow& parameter : rows) {
    const int row = VEDriver->InsertRow(parameter.Caption, QString());
    if (!parameter.IsEnum)
      continue;
    VEDriver->SetPickList(row, parameter.Values);
    VEDriver->SetReadOnly(row, true);
    if (!parameter.Values.isEmpty())
      VEDriver->SetValue(row, parameter.Values.first());
  }
  VEDriver->setVisible(VEDriver->RowCount() > 0);
}

void TFormVistaloom::AddOnEventExecute(QObject*) {
  const QListWidgetItem* driver = SelectedItem(*ListBoxDrivers);
  const QListWidgetItem* command = SelectedItem(*ListBoxFunctions);
  if (!driver || !command)
    return;
  CommitOpenEditor(*VEDriver);
  // Rows with equal keys give one value, that of the first such row.
  TQel_Hash values;
  for (int row = 0; row < VEDriver->RowCount(); ++row) {
    const QString key = VEDriver->Key(row);
    values.SetValue(key, u'\'' + VEDriver->Values(key) + u'\'');
  }
  ListBoxEvents->addItem(driver->text() + QStringLiteral("::") + command->text() + u'(' +
                         values.JoinValues(QStringLiteral(",")) + u')');
  ApplyEventsToSelection();
}

void TFormVistaloom::DeleteEventExecute(QObject*) {
  delete SelectedItem(*ListBoxEvents);
  ApplyEventsToSelection();
}

void TFormVistaloom::ApplyEventsToSelection() {
  ApplyPropertyToSelection(false, QStringLiteral("OnExecute"),
                           StringListToText(Lines(*ListBoxEvents)));
}
