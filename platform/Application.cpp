#include "platform/Application.h"

#include "platform/Dialogs.h"

#include <QDebug>
#include <exception>

namespace {

void ShowError(TDialogs* Dialogs, QWidget* Owner, const QString& Message) {
  if (Dialogs)
    Dialogs->ShowException(Owner, Message);
  else
    qWarning("%s", qPrintable(Message));
}

} // namespace

void RunGuarded(TDialogs* Dialogs, QWidget* Owner, const std::function<void()>& Work) {
  try {
    Work();
  } catch (const std::exception& Error) {
    ShowError(Dialogs, Owner, QString::fromUtf8(Error.what()));
  } catch (...) {
    ShowError(Dialogs, Owner, "Unknown error");
  }
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* Receiver, QEvent* Event) {
  bool Handled = false;
  RunGuarded(FDialogs, activeWindow(), [&] { Handled = QApplication::notify(Receiver, Event); });
  return Handled;
}
