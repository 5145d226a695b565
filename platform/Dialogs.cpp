#include "platform/Dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

const QString ProgramTitle = "Vistaloom";

// Turns "vlq|*.vlq|xml|*.xml" into Qt's "vlq (*.vlq);;xml (*.xml)".
QString QtFilter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    filters << QString("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
  return filters.join(";;");
}

// Shows Dialog modally; on acceptance stores its first selected file in fileName.
bool RunFileDialog(QFileDialog& dialog, QString& fileName) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return false;
  fileName = dialog.selectedFiles().constFirst();
  return true;
}

} // namespace

bool TDialogs::OpenProject(QWidget* owner, const QString& startDir, QString& fileName) {
  QFileDialog dialog(owner, QString(), startDir, QtFilter("vlq|*.vlq"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix("vlq");
  return RunFileDialog(dialog, fileName);
}

bool TDialogs::SaveFile(QWidget* owner, const QString& filter, const QString& defaultExt,
                        QString& fileName) {
  QFileDialog dialog(owner, QString(), fileName, QtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(defaultExt);
  return RunFileDialog(dialog, fileName);
}

bool TDialogs::InputQuery(QWidget* owner, const QString& caption, const QString& prompt,
                          QString& value) {
  bool ok = false;
  const QString text = QInputDialog::getText(owner, caption, prompt, QLineEdit::Normal, value, &ok);
  if (ok)
    value = text;
  return ok;
}

bool TDialogs::OkCancel(QWidget* owner, const QString& text, const QString& caption) {
  return QMessageBox::question(owner, caption, text, QMessageBox::Ok | QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

void TDialogs::Message(QWidget* owner, const QString& text) {
  QMessageBox::information(owner, ProgramTitle, text);
}

bool TDialogs::BrowseFolder(QWidget* owner, const QString& caption, const QString& root,
                            QString& folder) {
  const QString chosen = QFileDialog::getExistingDirectory(owner, caption, root);
  if (chosen.isEmpty())
    return false;
  folder = chosen;
  return true;
}

void TDialogs::ShowException(QWidget* owner, const QString& message) {
  QMessageBox::critical(owner, ProgramTitle, message);
}
