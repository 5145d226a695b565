#include "designer/ValueListEditor.h"

#include <QHeaderView>

TValueListEditor::TValueListEditor(QWidget* Parent) : QTableWidget(0, 2, Parent) {
  setHorizontalHeaderLabels({"Properies", "Value"});
  horizontalHeader()->setStretchLastSection(true);
  verticalHeader()->hide();
}
