#pragma once

#include "DesignerFixture.h"
#include "designer/LoadingForm.h"
#include "model/FlashElement.h"
#include "platform/Numbers.h"
#include "player/ShockwaveFlash.h"

#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>

// Designer tests around projects: the demo repository in the grid, loads that start at once,
// and helpers to add clips, save, load and answer the loading dialog.
class ProjectTest : public DesignerTest {
protected:
  void SetUp() override {
    DesignerTest::SetUp();
    TFormLoading::SetTimerInterval(0);
  }

  void TearDown() override {
    TFormLoading::SetTimerInterval(SavedInterval);
    SetDecimalSeparator(SavedSeparator);
    DesignerTest::TearDown();
  }

  // The designer after New, with the demo repository in the Elements grid.
  TFormVistaloom& CreateWithDemoRepository() {
    TFormVistaloom& window = CreateDesigner();
    window.FRepositoryDir = DemoRepositoryDir();
    window.LoadRepository(window.FRepositoryDir);
    return window;
  }

  // Lets queued clip loads arrive and their "load" events run.
  static void PumpEvents() {
    for (int i = 0; i < 5; ++i)
      QCoreApplication::processEvents();
  }

  int RepositoryRow(const QString& name) const {
    for (int row = 0; row < Window->SGElements->rowCount(); ++row) {
      const QTableWidgetItem* cell = Window->SGElements->item(row, 0);
      if (cell && cell->text() == name)
        return row;
    }
    ADD_FAILURE() << "no repository row " << name.toStdString();
    return -1;
  }

  // Double-clicks the clip's row of the Elements grid and lets its clip load.
  TFlashElement* AddClip(const QString& name) {
    Window->SGElements->setCurrentCell(RepositoryRow(name), 0);
    Window->SGElementsDblClick(Window->SGElements);
    PumpEvents();
    return Window->FElements.FItems.last();
  }

  QStringList PageList() const {
    QStringList pages;
    for (int i = 0; i < Window->LBPages->count(); ++i)
      pages << Window->LBPages->item(i)->text();
    return pages;
  }

  QStringList HistoryTexts() const {
    QStringList texts;
    for (int i = 0; i < Window->LBHistory->count(); ++i)
      texts << Window->LBHistory->item(i)->text();
    return texts;
  }

  QList<int> Levels() const {
    QList<int> levels;
    for (const TFlashElement* element : Window->FElements.FItems)
      levels << element->GetLevel();
    return levels;
  }

  static QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  static void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
  }

  // A project document over the demo repository with the given list and entities content.
  QByteArray ProjectText(const QByteArray& list, const QByteArray& entities) const {
    return "<interface><repositories serverip=\"10.0.0.7\" repositorydir=\"" +
           DemoRepositoryDir().toUtf8() + "\"/><list>" + list + "</list><entities>" + entities +
           "</entities></interface>";
  }

  // Saves through Save As, answering its dialog with path.
  void SaveAs(const QString& path) {
    Dialogs.SaveAnswers.push_back({true, path});
    Window->SaveAsExecute(Window->SaveAs);
  }

  // Loads path through the Load action.
  void LoadProject(const QString& path) {
    Dialogs.OpenAnswers.push_back({true, path});
    Window->LoadExecute(Window->Load);
    PumpEvents();
  }

  // Writes content as the project "p.vlq" in the work folder and loads it.
  void LoadProjectText(const QByteArray& content) {
    WriteFile(WorkDir + "p.vlq", content);
    LoadProject(WorkDir + "p.vlq");
  }

  // Runs Work on the loading dialog when one is open.
  static void OnLoadingDialog(const std::function<void(TFormLoading&)>& Work) {
    if (auto* dialog = qobject_cast<TFormLoading*>(QApplication::activeModalWidget()))
      Work(*dialog);
  }

  // Presses the loading dialog's Cancel once it has shown an error, as a user would; a later
  // load runs until it shows an error of its own.
  void CancelLoadAfterError() {
    auto* poll = new QTimer(Window.get());
    QObject::connect(poll, &QTimer::timeout, poll, [this, answered = qsizetype(0)]() mutable {
      if (Dialogs.ExceptionsShown > answered)
        OnLoadingDialog([&](TFormLoading& dialog) {
          answered = Dialogs.ExceptionsShown;
          dialog.CancelLoad->trigger();
        });
    });
    poll->start(5);
  }

  const int SavedInterval = TFormLoading::TimerInterval();
  const QChar SavedSeparator = DecimalSeparator();
};
