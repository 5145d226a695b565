#pragma once

#include "designer/CreateForms.h"
#include "designer/main.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <memory>

// Answers the designer's modal questions from queues filled by the test and records what
// was asked and shown. A question without a queued answer is cancelled.
class TScriptedDialogs : public TDialogs {
public:
  struct TAnswer {
    bool Ok = false;
    QString Text;
  };

  std::deque<TAnswer> OpenAnswers;   // OpenProject: the chosen file
  std::deque<TAnswer> SaveAnswers;   // SaveFile: the chosen file
  std::deque<TAnswer> InputAnswers;  // InputQuery: the typed value
  std::deque<TAnswer> BrowseAnswers; // BrowseFolder: the chosen folder
  std::deque<bool> OkCancelAnswers;

  // One line per question, "<kind>: <caption or filter> | <prompt or text>".
  QStringList Asked;
  QStringList Messages;
  QStringList Exceptions;
  // Every error box shown so far, whatever a test took out of Exceptions.
  qsizetype ExceptionsShown = 0;

  bool OpenProject(QWidget*, const QString& startDir, QString& fileName) override {
    Asked << "OpenProject: " + startDir;
    return Answer(OpenAnswers, fileName);
  }
  bool SaveFile(QWidget*, const QString& filter, const QString& defaultExt,
                QString& fileName) override {
    Asked << "SaveFile: " + filter + " | " + defaultExt;
    return Answer(SaveAnswers, fileName);
  }
  bool InputQuery(QWidget*, const QString& caption, const QString& prompt,
                  QString& value) override {
    Asked << "InputQuery: " + caption + " | " + prompt;
    return Answer(InputAnswers, value);
  }
  bool OkCancel(QWidget*, const QString& text, const QString& caption) override {
    Asked << "OkCancel: " + caption + " | " + text;
    if (OkCancelAnswers.empty())
      return false;
    const bool Ok = OkCancelAnswers.front();
    OkCancelAnswers.pop_front();
    return Ok;
  }
  void Message(QWidget*, const QString& text) override { Messages << text; }
  bool BrowseFolder(QWidget*, const QString& caption, const QString& root,
                    QString& folder) override {
    Asked << "BrowseFolder: " + caption + " | " + root;
    return Answer(BrowseAnswers, folder);
  }
  void ShowException(QWidget*, const QString& message) override {
    Exceptions << message;
    ++ExceptionsShown;
  }

private:
  static bool Answer(std::deque<TAnswer>& Queue, QString& Value) {
    if (Queue.empty())
      return false;
    const TAnswer Given = Queue.front();
    Queue.pop_front();
    if (Given.Ok)
      Value = Given.Text;
    return Given.Ok;
  }
};

// Base of the designer's widget tests: a temporary program folder holding the background
// movies, a temporary current directory (for Vistaloom.ini and ./drivers.xml), scripted
// dialogs, and the designer created through CreateForms.
class DesignerTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Temp.isValid());
    ExeDir = Temp.path() + "/exe/";
    WorkDir = Temp.path() + "/work/";
    ASSERT_TRUE(QDir().mkpath(ExeDir + "Background"));
    ASSERT_TRUE(QDir().mkpath(WorkDir));
    for (const char* Movie : {"MainBackground.swf", "main.swf"})
      ASSERT_TRUE(QFile::copy(BinDir() + "Background/" + Movie, ExeDir + "Background/" + Movie))
          << Movie;
    PreviousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(WorkDir));
  }

  void TearDown() override {
    Window.reset();
    QDir::setCurrent(PreviousDir);
  }

  // The build's program folder, with the generated demo content.
  static QString BinDir() { return QString(VISTALOOM_BIN_DIR) + "/"; }
  // The generated demo repository of clips.
  static QString DemoRepositoryDir() { return BinDir() + "repository/"; }

  // Creates the designer as the program entry does; Window keeps it.
  TFormVistaloom& CreateDesigner(const QStringList& Args = {}) {
    Window = CreateForms(ExeDir, Args, &Dialogs);
    return *Window;
  }

  QTemporaryDir Temp;
  QString ExeDir;  // with a trailing "/"
  QString WorkDir; // the current directory during the test, with a trailing "/"
  QString PreviousDir;
  TScriptedDialogs Dialogs;
  std::unique_ptr<TFormVistaloom> Window;
};
