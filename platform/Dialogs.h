#pragma once

#include <QString>

class QWidget;

// Every modal question of the program goes through this interface, so tests can answer them.
// The methods return true when the user confirmed; the out-parameters then hold the answer.
// The default methods show Qt's own dialogs.
class TDialogs {
public:
  virtual ~TDialogs() = default;
  virtual bool OpenProject(QWidget* owner, const QString& startDir, QString& fileName);
  // filter is "description|mask", the pairs separated by "|" as well.
  virtual bool SaveFile(QWidget* owner, const QString& filter, const QString& defaultExt,
                        QString& fileName);
  virtual bool InputQuery(QWidget* owner, const QString& caption, const QString& prompt,
                          QString& value);
  virtual bool OkCancel(QWidget* owner, const QString& text, const QString& caption);
  virtual void Message(QWidget* owner, const QString& text);
  virtual bool BrowseFolder(QWidget* owner, const QString& caption, const QString& root,
                            QString& folder);
  virtual void ShowException(QWidget* owner, const QString& message); // the default error box
};
