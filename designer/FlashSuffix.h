#pragma once

#include "designer/ScreenCentredDialog.h"

class QAction;
class QPlainTextEdit;
class QPushButton;

// A small text editor: the caller puts a text into MemoInfo, shows the dialog modally and
// takes the text back after OK.
class TFormProp : public TScreenCentredDialog {
  Q_OBJECT
public:
  explicit TFormProp(QWidget* Parent = nullptr);

  void OKExecute();
  void MyCancelExecute();

  QPlainTextEdit* MemoInfo = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonOK = nullptr;
  QAction* OK = nullptr;
  QAction* MyCancel = nullptr;
};
