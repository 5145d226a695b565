#include "designer/PrefInfo.h"

#include "designer/DialogButtons.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TFormPrefInfo::TFormPrefInfo(TDialogs* Dialogs, QWidget* Parent)
    : TScreenCentredDialog(Parent), FDialogs(Dialogs) {
  setObjectName("FormPrefInfo");
  setWindowTitle("Project Preferences");
  resize(510, 182);

  auto* Layout = new QVBoxLayout(this);
  Label1 = new QLabel("Repository Path");
  Label1->setObjectName("Label1");
  DirectoryEdit1 = new QLineEdit;
  DirectoryEdit1->setObjectName("DirectoryEdit1");
  DirectoryEdit1Browse = DirectoryEdit1->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                                   QLineEdit::TrailingPosition);
  DirectoryEdit1Browse->setObjectName("DirectoryEdit1Browse");
  connect(DirectoryEdit1Browse, &QAction::triggered, this, &TFormPrefInfo::BrowseRepository);
  Label2 = new QLabel("Server IP");
  Label2->setObjectName("Label2");
  EditIP = new QLineEdit;
  EditIP->setObjectName("EditIP");
  EditIP->setFixedWidth(121);
  for (QWidget* W : std::initializer_list<QWidget*>{Label1, DirectoryEdit1, Label2, EditIP})
    Layout->addWidget(W);
  Layout->addStretch();

  OK = AddDialogAction(this, "OK", "OK", {Qt::Key_Return, Qt::Key_Enter});
  AllCancel = AddDialogAction(this, "AllCancel", "Cancel", {Qt::Key_Escape});
  connect(OK, &QAction::triggered, this, &TFormPrefInfo::OKExecute);
  connect(AllCancel, &QAction::triggered, this, &TFormPrefInfo::AllCancelExecute);
  BitBtn1 = ActionPushButton("BitBtn1", OK);
  BitBtn2 = ActionPushButton("BitBtn2", AllCancel);
  Layout->addLayout(ButtonRow({BitBtn1, BitBtn2}));
}

void TFormPrefInfo::OKExecute() {
  accept();
}

void TFormPrefInfo::AllCancelExecute() {
  reject();
}

void TFormPrefInfo::BrowseRepository() {
  QString Folder;
  if (FDialogs && FDialogs->BrowseFolder(this, "Select Repository Path", InitialDir, Folder))
    DirectoryEdit1->setText(Folder);
}

void TFormPrefInfo::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  InitialDir = DirectoryEdit1->text();
}
