#include "designer/CreateForms.h"

#include "designer/AboutUnit.h"
#include "designer/FlashSuffix.h"
#include "designer/MousePaint.h"
#include "designer/PrefInfo.h"
#include "designer/main.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"

std::unique_ptr<TFormVistaloom> CreateForms(const QString& ExeDir, const QStringList& Args,
                                            TDialogs* Dialogs) {
  auto Main = std::make_unique<TFormVistaloom>(ExeDir, Args, Dialogs);
  // A failing start-up step is reported and the rest of the program still comes up.
  Main->Guarded([&] { Main->FormCreate(Main.get()); });
  Main->FormPaint = new TFormPaint(*Main);
  Main->FormProp = new TFormProp(Main.get());
  Main->About = new TAbout(Main.get());
  Main->FormPrefInfo = new TFormPrefInfo(Dialogs, Main.get());
  return Main;
}

int ProgramMain(int argc, char** argv) {
  TApplication Application(argc, argv);
  TDialogs Dialogs;
  Application.SetDialogs(&Dialogs);
  const QString ExeDir = QCoreApplication::applicationDirPath() + "/";
  const std::unique_ptr<TFormVistaloom> Main =
      CreateForms(ExeDir, Application.arguments().mid(1), &Dialogs);
  Main->show();
  return Application.exec();
}
