// The caption panels of a design surface: LoadTab places them from XML nodes, and a selected
// panel shows its geometry in the Properties grid.
#include "designer/formats/ProjectXml.h"
#include "designer/ValueListEditor.h"
#include "designer/main.h"
#include "model/CapPanel.h"
#include "model/QelStrFunct.h"

void TFormVistaloom::LoadTab(const QDomNodeList& Nodes) {
  if (!FPanelContainer)
    return;
  for (int index = 0; index < Nodes.count(); ++index) {
    const QDomNode node = Nodes.at(index);
    auto* panel = new TPanelCaption(FPanelContainer);
    panel->FOnSelect = [this](TPanelCaption* Sender) { Guarded([&] { SelectElement(Sender); }); };
    const int left = ProjectXml::RequiredInteger(node, QStringLiteral("x"));
    const int top = ProjectXml::RequiredInteger(node, QStringLiteral("y"));
    panel->move(left, top);
    panel->show();
  }
}

void TFormVistaloom::SelectElement(QObject* Sender) {
  const auto* panel = qobject_cast<const TPanelCaption*>(Sender);
  if (!panel)
    return;
  ValueListEditor->Clear();
  for (const QString& line : TextToStringList(PanelPropertiesText(panel)))
    ValueListEditor->InsertRow(StrBefore(line, QStringLiteral("=")),
                               StrAfter(line, QStringLiteral("=")));
}
