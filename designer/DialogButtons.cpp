#include "designer/DialogButtons.h"

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QAction* AddDialogAction(QDialog* Dialog, const char* Name, const QString& Caption,
                         const QList<QKeySequence>& Keys) {
  auto* Action = new QAction(Caption, Dialog);
  Action->setObjectName(Name);
  Action->setShortcuts(Keys);
  Action->setShortcutContext(Qt::WindowShortcut);
  Dialog->addAction(Action);
  return Action;
}

QPushButton* ActionPushButton(const char* Name, QAction* Action) {
  auto* Button = new QPushButton(Action->text());
  Button->setObjectName(Name);
  Button->setAutoDefault(false);
  QObject::connect(Button, &QPushButton::clicked, Action, &QAction::trigger);
  return Button;
}

QHBoxLayout* ButtonRow(const QList<QPushButton*>& Buttons) {
  auto* Row = new QHBoxLayout;
  Row->addStretch();
  for (QPushButton* Button : Buttons)
    Row->addWidget(Button);
  return Row;
}
