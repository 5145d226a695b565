// Start-up, showing and closing of the main window, and New.

#include "designer/MousePaint.h"
#include "designer/main.h"
#include "player/ShockwaveFlash.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTabWidget>

void TFormVistaloom::FormCreate(QObject*) {
  FScaleX = 1.0;
  FScaleY = 1.0;
  FElements = TObjectList();
  RubberBand = NoRubberBand;
  FLastLevel = 100;
  FStageCanvas = &ShockwaveFlash->DrawingLayer();
  const QString FirstArgument = FArgs.value(0);
  PageControl2->setVisible(FirstArgument == "debug");
  if (!FirstArgument.isEmpty() && QFileInfo(FirstArgument).isFile()) {
    FProjectFileName = FirstArgument;
    ReopenExecute(this);
  } else {
    NewExecute(this);
  }
}

void TFormVistaloom::FormShow(QObject*) {
  if (FormPaint)
    FormPaint->show();
  LBPagesClick(LBPages);
  UpdateStageLayout();
  MainWindowHandle = this;
  if (FormPaint) {
    FormPaint->OnKeyDown = [this](QObject* Sender, int& Key, Qt::KeyboardModifiers Shift) {
      FormKeyDown(Sender, Key, Shift);
    };
    FormPaint->OnKeyUp = [this](QObject* Sender, int& Key, Qt::KeyboardModifiers Shift) {
      FormKeyUp(Sender, Key, Shift);
    };
    FormPaint->SetAlphaBlendValue(1);
    FormPaint->SetAlphaBlend(true);
  }
}

void TFormVistaloom::FormClose(QObject*) {
  delete FormPaint;
  FormPaint = nullptr;
}

void TFormVistaloom::NewExecute(QObject*) {
  FElements.Clear();
  FProjectFileName.clear();
  FRepositoryDir = FExeDir;
  LoadBackgroundMovie(FExeDir + "Background/MainBackground.swf");
  LoadRepository(FRepositoryDir);
  ResetPageList();
  ShowFileNameInStatus();
  LBHistory->clear();
}

void TFormVistaloom::ResetPageList() {
  // Selecting "all" here is not a page click.
  const QSignalBlocker Blocker(LBPages);
  LBPages->clear();
  LBPages->addItem("all");
  LBPages->setCurrentRow(0);
  ListBoxItem->clear();
}

void TFormVistaloom::ShowFileNameInStatus() {
  StatusBarPanels[1]->setText("File:" + QFileInfo(FProjectFileName).fileName());
}

QString TFormVistaloom::StatusText(int Panel) const {
  return StatusBarPanels.at(Panel)->text();
}
