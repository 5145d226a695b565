#include <QApplication>
#include <QByteArray>

// Every target runs with a GUI application on Qt's offscreen platform: the designer's widgets
// and the stage painting need one. libFuzzer calls this once, before the first input; the
// stand-in driver calls it from its main.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt takes its own options out of the arguments it is given, and libFuzzer reads its flags
  // after this call: Qt gets the program name only.
  static int applicationArgc = 1;
  static char* applicationArgv[] = {(*argv)[0], nullptr};
  // Never destroyed: widgets a target keeps to the end of the process must not outlive it.
  static QApplication* application = new QApplication(applicationArgc, applicationArgv);
  Q_UNUSED(application);
  return 0;
}
