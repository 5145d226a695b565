#pragma once

#include <QDialog>

// A dialog that opens in the middle of the screen its owner is on, each time it is shown,
// wherever the owner stands and wherever it was moved to before.
class TScreenCentredDialog : public QDialog {
  Q_OBJECT
public:
  using QDialog::QDialog;

  void setVisible(bool Visible) override;
};
