#pragma once

#include <QKeySequence>
#include <QList>

class QAction;
class QDialog;
class QHBoxLayout;
class QPushButton;

// Shared pieces of the small dialogs: actions with key shortcuts, and buttons that run them.

// An action of Dialog named Name, shown as Caption, triggered by any of Keys while the dialog
// is active.
QAction* AddDialogAction(QDialog* Dialog, const char* Name, const QString& Caption,
                         const QList<QKeySequence>& Keys);
// A push button named Name that shows Action's caption and triggers it.
QPushButton* ActionPushButton(const char* Name, QAction* Action);
// The buttons right-aligned in one row.
QHBoxLayout* ButtonRow(const QList<QPushButton*>& Buttons);
