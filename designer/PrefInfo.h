#pragma once

#include "designer/ScreenCentredDialog.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class TDialogs;

// The project preferences dialog: the repository folder and the device's server address.
// The caller fills both fields, shows it modally and reads them back after OK.
class TFormPrefInfo : public TScreenCentredDialog {
  Q_OBJECT
public:
  TFormPrefInfo(TDialogs* Dialogs, QWidget* Parent = nullptr);

  void OKExecute();
  void AllCancelExecute();
  // Lets the user pick the repository folder, starting at the folder shown when the dialog
  // opened.
  void BrowseRepository();

  QLabel* Label1 = nullptr;
  QLineEdit* DirectoryEdit1 = nullptr;
  QAction* DirectoryEdit1Browse = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* EditIP = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QAction* OK = nullptr;
  QAction* AllCancel = nullptr;
  QString InitialDir; // where the browse dialog opens

protected:
  void showEvent(QShowEvent* Event) override;

private:
  TDialogs* FDialogs;
};
