#include "designer/ValueListEditor.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "model/QelStrFunct.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "player/ShockwaveFlash.h"

#include <QGroupBox>
#include <QListWidget>
#include <QStandardItemModel>
#include <QTabWidget>
#include <stdexcept>

namespace {

// The width of the AllObjects table's text fields.
constexpr int DataObjectsTextSize = 50;

// Fills Grid with the pairs of Table in order; a pair the grid refuses is left out.
void FillFromTable(TValueListEditor* Grid, const TQel_Hash& Table) {
  Grid->Clear();
  for (int index = 0; index < Table.Count(); ++index) {
    try {
      Grid->InsertRow(Table.Items(index).Key, Table.Items(index).Value);
    } catch (const std::invalid_argument&) {
    }
  }
}

// Table without the pair of Key; the table itself offers no removal of a single pair.
void RemovePair(TQel_Hash& Table, const QString& Key) {
  TQel_Hash kept;
  for (int index = 0; index < Table.Count(); ++index)
    if (Table.Items(index).Key != Key)
      kept.SetValue(Table.Items(index).Key, Table.Items(index).Value);
  Table.Assign(kept);
}

// Sets a geometry value from text in the user's number form; text that is no number is
// ignored without a message.
template <typename Setter> void SetNumber(const QString& Text, Setter&& Set) {
  double value = 0;
  if (TextToFloat(Text, value))
    Set(value);
}

} // namespace

void TFormVistaloom::ShowElementProperties(TFlashElement* E) {
  ValueListEditor->Clear();
  if (!E) {
    PanelProperty->hide();
    return;
  }
  PanelProperty->show();
  ValueListEditor->setEnabled(true);
  ValueListEditor->show();

  const auto addRow = [this](const QString& Key, const QString& Value) {
    return ValueListEditor->InsertRow(Key, Value);
  };
  ValueListEditor->SetReadOnly(addRow(QStringLiteral("object id"), E->GetLevelName()), true);
  ValueListEditor->SetReadOnly(addRow(QStringLiteral("type"), E->FTypeName), true);
  addRow(QStringLiteral("name"), E->FName);
  addRow(QStringLiteral("x"), FloatToText(E->FX));
  addRow(QStringLiteral("y"), FloatToText(E->FY));
  addRow(QStringLiteral("width"), FloatToText(E->FWidth));
  addRow(QStringLiteral("height"), FloatToText(E->FHeight));
  addRow(QStringLiteral("xscale"), FloatToText(E->XScalePercent()));
  addRow(QStringLiteral("yscale"), FloatToText(E->YScalePercent()));

  const int pageRow = addRow(QStringLiteral("Page"), E->FPage);
  ValueListEditor->SetPickList(pageRow, PageNames());
  ValueListEditor->SetReadOnly(pageRow, true);

  const int visibleRow = addRow(QStringLiteral("visible"),
                                E->FShown ? QStringLiteral("True") : QStringLiteral("False"));
  ValueListEditor->SetPickList(visibleRow, {QStringLiteral("True"), QStringLiteral("False")});
  ValueListEditor->SetReadOnly(visibleRow, true);

  // Both lower grids follow the item properties: a clip without them has no options and no
  // suffixes to edit.
  const bool hasItemProperties = E->FProps.Count() > 0;
  PanelObjectoption->setVisible(hasItemProperties);
  VLEProp->setVisible(hasItemProperties);
  FillFromTable(VLEProp, E->FProps);
  PanelFlashSuffiz->setVisible(hasItemProperties);
  VLEFlashSuffix->setVisible(hasItemProperties);
  FillFromTable(VLEFlashSuffix, E->FSuffix);

  ValueListEditor->SetCurrentRow(0);

  ListBoxEvents->clear();
  ListBoxEvents->addItems(TextToStringList(E->FOnExecute));
}

void TFormVistaloom::ApplyPropertyToSelection(bool Suffix, const QString& Key,
                                              const QString& Value) {
  if (Key.isEmpty())
    return;
  TFlashElement* last = nullptr;
  for (TFlashElement* element : SelectedListBoxElements()) {
    if (Suffix)
      element->FSuffix.SetValue(Key, Value);
    else
      ApplyElementProperty(element, Key, Value);
    last = element;
  }
  ShockwaveFlash->Repaint();
  if (last)
    DrawSelectionFrame(last);
}

void TFormVistaloom::ApplyElementProperty(TFlashElement* E, const QString& Key,
                                          const QString& Value) {
  if (Key == u"x")
    SetNumber(Value, [E](double V) { E->SetX(V); });
  if (Key == u"y")
    SetNumber(Value, [E](double V) { E->SetY(V); });
  if (Key == u"width")
    SetNumber(Value, [E](double V) { E->SetWidth(V); });
  if (Key == u"height")
    SetNumber(Value, [E](double V) { E->SetHeight(V); });
  if (Key == u"Page")
    E->FPage = Value;
  if (Key == u"OnExecute")
    E->FOnExecute = Value;
  if (Key == u"visible")
    E->SetVisible(Value == u"True");
  if (Key == u"name")
    E->FName = Value;
  if (E->FProps.HasKey(Key))
    E->SetItemProperty(Key, Value);
}

void TFormVistaloom::ValueListEditorValidate(TValueListEditor* Sender, const QString& KeyName,
                                             const QString& KeyValue) {
  ApplyPropertyToSelection(Sender == VLEFlashSuffix, KeyName, KeyValue);
}

void TFormVistaloom::ValueListEditorKeyDown(TValueListEditor* Sender, int Key) {
  if (Key != Qt::Key_Return && Key != Qt::Key_Enter)
    return;
  const QString key = Sender->Key(Sender->currentRow());
  ApplyPropertyToSelection(Sender == VLEFlashSuffix, key, Sender->Values(key));
}

void TFormVistaloom::Button9Click(QObject* /*Sender*/) {
  QString key;
  if (!FDialogs->InputQuery(this, QString(), QString(), key))
    return;
  // A refused key raises the grid's message into the default error box.
  VLEFlashSuffix->InsertRow(key, QString());
}

void TFormVistaloom::Button10Click(QObject* /*Sender*/) {
  const int row = VLEFlashSuffix->currentRow();
  if (row < 0)
    return;
  const QString key = VLEFlashSuffix->Key(row);
  VLEFlashSuffix->DeleteRow(row);
  // A removed suffix leaves the selected elements too, so it is not shown or saved again.
  for (TFlashElement* element : SelectedListBoxElements())
    RemovePair(element->FSuffix, key);
}

void TFormVistaloom::TabSheetAllShow(QObject* /*Sender*/) {
  DataObjects->removeRows(0, DataObjects->rowCount());
  for (int index = 0; index < FElements.FItems.size(); ++index) {
    const TFlashElement* element = FElements.FItems.at(index);
    auto* id = new QStandardItem;
    id->setData(index, Qt::DisplayRole);
    DataObjects->appendRow({id,
                            new QStandardItem(element->GetLevelName().left(DataObjectsTextSize)),
                            new QStandardItem(element->FPage.left(DataObjectsTextSize))});
  }
}
