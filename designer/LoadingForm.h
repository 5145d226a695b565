#pragma once

#include "designer/ScreenCentredDialog.h"

#include <functional>

class QAction;
class QIODevice;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The modal dialog every project load runs in. One second after it is shown its timer
// starts the load callback, which reports progress through LabelInfo and ProgressBar, polls
// FCancelled after each element (a Cancel during the load closes the dialog once it returns) and
// closes the dialog through FinishLoad when it has read everything. An error of the load goes to
// FOnError and leaves the dialog open for Cancel.
class TFormLoading : public TScreenCentredDialog {
  Q_OBJECT
public:
  using TLoadCallback = std::function<void(TFormLoading* sender, QIODevice* stream)>;
  using TErrorCallback = std::function<void(const QString& message)>;

  explicit TFormLoading(QWidget* owner);

  QLabel* LabelInfo;
  QProgressBar* ProgressBar;
  QPushButton* Button1;
  QAction* CancelLoad;
  QTimer* Timer;

  QIODevice* FStream = nullptr; // not owned
  TLoadCallback FOnLoad;
  bool FCancelled = false;
  TErrorCallback FOnError;

  // Ends the modal loop after a load that ran to its end.
  void FinishLoad();
  // Ends the modal loop after a load that gave up before its end, as a failed load.
  void AbandonLoad();
  // True once a load has run to its end in this dialog.
  bool LoadCompleted() const { return FCompleted; }

  void TimerTimer();
  void CancelLoadExecute();

  // The delay between showing the dialog and starting the load; tests shorten it.
  static int TimerInterval();
  static void SetTimerInterval(int milliseconds);
  // The pause a load makes after its last element, before the stage shows itself; fuzzing and
  // benchmarks shorten it.
  static int SettlePause();
  static void SetSettlePause(int milliseconds);

protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void FormShow();

  bool FCompleted = false;
  bool FLoadRunning = false;
};
