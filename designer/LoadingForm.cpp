#include "designer/LoadingForm.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <exception>

namespace {
int loadDelay = 1000;
int settlePause = 100;
} // namespace

TFormLoading::TFormLoading(QWidget* owner)
    : TScreenCentredDialog(owner),
      LabelInfo(new QLabel(QStringLiteral("Loading main components ..."), this)),
      ProgressBar(new QProgressBar(this)), Button1(new QPushButton(this)),
      CancelLoad(new QAction(QStringLiteral("Cancel"), this)), Timer(new QTimer(this)) {
  setObjectName(QStringLiteral("FormLoading"));
  setWindowTitle(QStringLiteral("Loading..."));
  setFixedSize(286, 91);

  LabelInfo->setObjectName(QStringLiteral("LabelInfo"));
  LabelInfo->setGeometry(8, 8, 270, 16);
  ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
  ProgressBar->setGeometry(8, 30, 270, 18);
  ProgressBar->setRange(0, 100);
  ProgressBar->setValue(0);

  CancelLoad->setObjectName(QStringLiteral("CancelLoad"));
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setText(CancelLoad->text());
  Button1->setGeometry(105, 58, 75, 25);
  // No key presses the button: Enter must not cancel a load by accident.
  Button1->setAutoDefault(false);
  Button1->setDefault(false);
  connect(Button1, &QPushButton::clicked, CancelLoad, &QAction::trigger);
  connect(CancelLoad, &QAction::triggered, this, &TFormLoading::CancelLoadExecute);

  Timer->setObjectName(QStringLiteral("Timer"));
  Timer->setSingleShot(true);
  Timer->setInterval(loadDelay);
  connect(Timer, &QTimer::timeout, this, &TFormLoading::TimerTimer);
}

int TFormLoading::TimerInterval() {
  return loadDelay;
}

void TFormLoading::SetTimerInterval(int milliseconds) {
  loadDelay = milliseconds;
}

int TFormLoading::SettlePause() {
  return settlePause;
}

void TFormLoading::SetSettlePause(int milliseconds) {
  settlePause = milliseconds;
}

void TFormLoading::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TFormLoading::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the dialog: only Cancel (or the close box) ends a load.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TFormLoading::FormShow() {
  Timer->start();
}

void TFormLoading::TimerTimer() {
  Timer->stop();
  FCancelled = false;
  if (!FOnLoad)
    return;
  FLoadRunning = true;
  try {
    FOnLoad(this, FStream);
    FLoadRunning = false;
  } catch (const std::exception& error) {
    FLoadRunning = false;
    if (FOnError)
      FOnError(QString::fromUtf8(error.what()));
  }
  // A Cancel pressed during the load closes the dialog once the load has returned.
  if (FCancelled)
    reject();
}

void TFormLoading::FinishLoad() {
  FCompleted = true;
  accept();
}

void TFormLoading::AbandonLoad() {
  reject();
}

void TFormLoading::CancelLoadExecute() {
  FCancelled = true;
  // While the load runs, the dialog stays up and keeps the other windows disabled until the
  // reader has finished the element in hand and returned: a command the user gives meanwhile
  // would otherwise run between two steps of that element.
  if (!FLoadRunning)
    reject();
}
