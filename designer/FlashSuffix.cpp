#include "designer/FlashSuffix.h"

#include "designer/DialogButtons.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormProp::TFormProp(QWidget* Parent) : TScreenCentredDialog(Parent) {
  setObjectName("FormProp");
  setWindowTitle("Flash Suffix Editor");
  resize(244, 186);

  auto* Layout = new QVBoxLayout(this);
  MemoInfo = new QPlainTextEdit;
  MemoInfo->setObjectName("MemoInfo");
  Layout->addWidget(MemoInfo, 1);

  MyCancel = AddDialogAction(this, "MyCancel", "Cancel", {Qt::Key_Escape});
  OK = AddDialogAction(this, "OK", "OK", {Qt::Key_Return, Qt::Key_Enter});
  connect(MyCancel, &QAction::triggered, this, &TFormProp::MyCancelExecute);
  connect(OK, &QAction::triggered, this, &TFormProp::OKExecute);
  ButtonCancel = ActionPushButton("ButtonCancel", MyCancel);
  ButtonOK = ActionPushButton("ButtonOK", OK);
  auto* Buttons = ButtonRow({ButtonCancel, ButtonOK});
  auto* BottomPanel = new QWidget;
  BottomPanel->setObjectName("BottomPanel");
  BottomPanel->setFixedHeight(41);
  BottomPanel->setLayout(Buttons);
  Layout->addWidget(BottomPanel);
}

void TFormProp::OKExecute() {
  accept();
}

void TFormProp::MyCancelExecute() {
  reject();
}
