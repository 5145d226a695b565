#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class TDialogs;
class TFormVistaloom;

// Creates the main window (running its FormCreate), the overlay and the flash-suffix, about
// and preferences dialogs, in this order, without showing anything or running the message
// loop. ExeDir ends with "/" and holds Background/MainBackground.swf; Args are the
// command-line arguments after the program name; Dialogs answers every modal question.
std::unique_ptr<TFormVistaloom> CreateForms(const QString& ExeDir, const QStringList& Args,
                                            TDialogs* Dialogs);

// The program: creates the application and the windows, shows the main window and runs the
// message loop until it closes. Returns the process exit code.
int ProgramMain(int argc, char** argv);
