#pragma once

#include <QTableWidget>

// A two-column key/value grid with the column titles "Properies" and "Value".
class TValueListEditor : public QTableWidget {
  Q_OBJECT
public:
  explicit TValueListEditor(QWidget* Parent = nullptr);
};
