#pragma once

#include <QApplication>
#include <functional>

class TDialogs;
class QWidget;

// Runs Work; an exception it throws is shown by Dialogs' default error box with Owner as the
// box's parent, and the caller goes on as if Work had returned.
void RunGuarded(TDialogs* Dialogs, QWidget* Owner, const std::function<void()>& Work);

// The application object: an exception escaping an event handler goes to the default error
// box instead of ending the program.
class TApplication : public QApplication {
  Q_OBJECT
public:
  TApplication(int& argc, char** argv);

  // The dialogs that show the error box (not owned); without them errors are only logged.
  void SetDialogs(TDialogs* Dialogs) { FDialogs = Dialogs; }
  bool notify(QObject* Receiver, QEvent* Event) override;

private:
  TDialogs* FDialogs = nullptr;
};
