#pragma once

#include "platform/Dialogs.h"

// Dialogs for unattended runs (fuzzing, benchmarks): every question is cancelled and every
// message dropped.
class TSilentDialogs : public TDialogs {
public:
  bool OpenProject(QWidget*, const QString&, QString&) override { return false; }
  bool SaveFile(QWidget*, const QString&, const QString&, QString&) override { return false; }
  bool InputQuery(QWidget*, const QString&, const QString&, QString&) override { return false; }
  bool OkCancel(QWidget*, const QString&, const QString&) override { return false; }
  void Message(QWidget*, const QString&) override {}
  bool BrowseFolder(QWidget*, const QString&, const QString&, QString&) override { return false; }
  void ShowException(QWidget*, const QString&) override {}
};
