// The project life cycle of the main window: the project document written and read, the
// loading dialog every load runs in, Load, Reopen, Save, Save As and the backup copy.
#include "designer/LoadingForm.h"
#include "designer/formats/ProjectXml.h"
#include "designer/formats/WholeFile.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "platform/Dialogs.h"
#include "platform/FileCopy.h"
#include "platform/FileWrite.h"
#include "player/ShockwaveFlash.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QThread>
#include <algorithm>
#include <stdexcept>

namespace {

const QString ProjectFilter = QStringLiteral("vlq|*.vlq");
const QString ProjectExtension = QStringLiteral("vlq");
const QString CannotOpenFile = QStringLiteral("Cannot open file \"%1\". %2");
const QString CannotCreateFile = QStringLiteral("Cannot create file \"%1\". %2");

[[noreturn]] void ThrowFileError(const QString& format, const QString& fileName,
                                 const QString& reason) {
  throw std::runtime_error(format.arg(fileName, reason).toStdString());
}

bool FileExists(const QString& fileName) {
  return QFileInfo(fileName).isFile();
}

// An empty path names no folder (QDir would take it for the current directory).
bool FolderExists(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isDir();
}

// Writes the project through a temporary file in the same folder that replaces the target
// only once complete, so a failed write leaves the previous file as it was. Unbuffered, a
// short write (disk full, file size limit) shows at once and the temporary file is dropped.
void WriteProjectFile(TFormVistaloom& window) {
  QSaveFile file(window.FProjectFileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    ThrowFileError(CannotCreateFile, window.FProjectFileName, file.errorString());
  window.WriteProjectXml(&file);
  if (!file.commit())
    ThrowFileError(CannotCreateFile, window.FProjectFileName, file.errorString());
}

// Creates the element a stored node describes. When its clip cannot be played, the message
// names the element as well as the file and the reason.
TFlashElement* CreateStoredElement(TFormVistaloom& window, const QDomNode& node, int id,
                                   const QString& fileName) {
  try {
    return window.CreateElementFromRepository(id, fileName);
  } catch (const std::exception& error) {
    throw std::runtime_error(
        QStringLiteral("Cannot load %1: %2")
            .arg(ProjectXml::StoredElementLabel(node), QString::fromUtf8(error.what()))
            .toStdString());
  }
}

// The loading dialog's label and bar take every element's values, but are drawn at most
// FrameInterval apart: a large project would otherwise spend much of its load repainting them,
// while a few frames a second keep the dialog informative. Whatever ends the load draws the
// last values.
class TProgressFrames {
public:
  explicit TProgressFrames(TFormLoading& dialog) : FDialog(dialog) { FSinceFrame.start(); }
  ~TProgressFrames() { SetDrawn(true); }
  TProgressFrames(const TProgressFrames&) = delete;
  TProgressFrames& operator=(const TProgressFrames&) = delete;

  // Called before the values change: they are drawn at the next pump when a frame is due.
  void BeginChange() {
    const bool due = FSinceFrame.elapsed() >= FrameInterval;
    SetDrawn(due);
    if (due)
      FSinceFrame.restart();
  }

private:
  static constexpr qint64 FrameInterval = 40; // milliseconds

  void SetDrawn(bool drawn) {
    FDialog.LabelInfo->setUpdatesEnabled(drawn);
    FDialog.ProgressBar->setUpdatesEnabled(drawn);
  }

  TFormLoading& FDialog;
  QElapsedTimer FSinceFrame;
};

} // namespace

void TFormVistaloom::ConnectProjectActions() {
  ConnectAction(Load, &TFormVistaloom::LoadExecute);
  ConnectAction(Reopen, &TFormVistaloom::ReopenExecute);
  ConnectAction(Save, &TFormVistaloom::SaveExecute);
  ConnectAction(SaveAs, &TFormVistaloom::SaveAsExecute);
  ConnectAction(Duplicate, &TFormVistaloom::DuplicateExecute);
  connect(SGElements, &QTableWidget::cellDoubleClicked, this,
          GuardedSlot(&TFormVistaloom::SGElementsDblClick, SGElements));
  connect(LBHistory, &QListWidget::itemDoubleClicked, this,
          GuardedSlot(&TFormVistaloom::LBHistoryDblClick, LBHistory));
  connect(ShockwaveFlash, &TShockwaveFlash::FSCommand, this,
          [this](const QString& command, const QString& args) {
            Guarded([&] { ShockwaveFlashFSCommand(command, args); });
          });
}

void TFormVistaloom::WriteProjectXml(QIODevice* Stream) {
  FStoredElements.Clear();
  // The interface record's nodes go while the document they were written into still lives.
  FWrittenInterface = {};
  const QByteArray text = ProjectXml::WriteProjectDocument(
      XMLDocument, FServerIP, FRepositoryDir, PageNames(), FElements.FItems, &FWrittenProject);
  if (!WriteFully(*Stream, text)) {
    const auto* file = qobject_cast<const QFileDevice*>(Stream);
    throw std::runtime_error((file ? StreamWriteError(file->fileName(), Stream->errorString())
                                   : QStringLiteral("Stream write error"))
                                 .toStdString());
  }
}

void TFormVistaloom::LoadProjectFromStream(TFormLoading* Sender, QIODevice* Stream) {
  // In a window on the screen every pump would paint the stage, drawing every level loaded so
  // far: a load's time would grow with the square of its size. The clips arrive hidden, so the
  // stage is drawn once the load ends, however it ends.
  const bool stageUpdates = ShockwaveFlash->updatesEnabled();
  ShockwaveFlash->setUpdatesEnabled(false);
  const auto drawStage = qScopeGuard([&] { ShockwaveFlash->setUpdatesEnabled(stageUpdates); });
  LoadDriverList(ListBoxDrivers, QString());
  FApplyStoredAttributes = true;
  Stream->seek(0);
  LoadBackgroundMovie(FExeDir + QStringLiteral("Background/MainBackground.swf"));
  FHistoryCount = 0;
  FElements.Clear();
  DataObjects->removeRows(0, DataObjects->rowCount());

  FStoredElements.Clear();
  FWrittenProject = {};
  FWrittenInterface = {};
  ProjectXml::ParseDocument(XMLDocument, Stream->readAll(), ProjectXml::StreamName(Stream));
  const QDomElement root = ProjectXml::RequiredChild(XMLDocument, QStringLiteral("interface"));
  FStoredEntitiesNode = root;
  const QDomElement repositories = ProjectXml::RequiredChild(root, QStringLiteral("repositories"));
  FServerIP = ProjectXml::RequiredText(repositories, QStringLiteral("serverip"));
  FRepositoryDir = ProjectXml::RequiredText(repositories, QStringLiteral("repositorydir"));

  if (!FolderExists(FRepositoryDir)) {
    QString folder;
    if (FDialogs->BrowseFolder(this, QStringLiteral("Chose repository Dir"), FExeDir, folder))
      FRepositoryDir = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
  }
  if (!FolderExists(FRepositoryDir)) {
    FDialogs->Message(this, QStringLiteral("Choose repository!"));
  } else {
    LoadRepository(FRepositoryDir);
    ResetPageList();
    const QDomElement list = ProjectXml::RequiredChild(root, QStringLiteral("list"));
    for (QDomNode page = list.firstChild(); !page.isNull(); page = page.nextSibling())
      LBPages->addItem(ProjectXml::RequiredText(page, QStringLiteral("name")));

    const QDomElement entities = root.firstChildElement(QStringLiteral("entities"));
    FStoredEntitiesNode = entities;
    if (!entities.isNull()) {
      Sender->ProgressBar->setMaximum(entities.childNodes().count());
      TProgressFrames frames(*Sender);
      int index = 0;
      for (QDomNode child = entities.firstChild(); !child.isNull();
           child = child.nextSibling(), ++index) {
        QCoreApplication::processEvents();
        // A Cancel among those events gives the window back to the user: read nothing more.
        if (Sender->FCancelled)
          return;
        const int id = ProjectXml::RequiredInteger(child, QStringLiteral("id"));
        const QString fileName = ProjectXml::RequiredText(child, QStringLiteral("filename"));
        if (TFlashElement* element = CreateStoredElement(*this, child, id, fileName))
          element->AttachToFlash(ShockwaveFlash);
        // Taken before events run, so a clip the user adds among them gets a level above it.
        FLastLevel = std::max(FLastLevel, id);
        QCoreApplication::processEvents();
        frames.BeginChange();
        Sender->ProgressBar->setValue(index);
        Sender->LabelInfo->setText(fileName);
        if (Sender->FCancelled)
          return;
      }
    }
  }

  QCoreApplication::processEvents();
  QThread::msleep(TFormLoading::SettlePause());
  ShockwaveFlash->DoVerb(-1);
  UpdateStageLayout();
  QCoreApplication::processEvents();
  ShowFileNameInStatus();
  Sender->FinishLoad();
}

bool TFormVistaloom::LoadProjectWithProgress(QIODevice* Stream) {
  FUserAdded = false;
  TFormLoading dialog(this);
  dialog.FStream = Stream;
  dialog.FOnLoad = [this](TFormLoading* sender, QIODevice* stream) {
    LoadProjectFromStream(sender, stream);
  };
  dialog.FOnError = [this, &dialog](const QString& message) {
    FDialogs->ShowException(&dialog, message);
  };
  dialog.exec();
  return dialog.LoadCompleted();
}

void TFormVistaloom::BackupProjectFile() {
  if (FileExists(FProjectFileName))
    CopyFile(FProjectFileName, FProjectFileName + QStringLiteral(".bak"));
}

void TFormVistaloom::ReopenExecute(QObject*) {
  // A folder or a device in the project's place is reported, not passed over.
  if (!QFileInfo::exists(FProjectFileName))
    return;
  QFile file(FProjectFileName);
  QString problem = OutsideFileProblem(FProjectFileName);
  const bool opened = problem.isEmpty() && file.open(QIODevice::ReadOnly);
  if (!opened && problem.isEmpty())
    problem = file.errorString();
  const bool loaded = opened && LoadProjectWithProgress(&file);
  if (loaded)
    return;
  // What is shown is not the file's content (the previous project, or part of this one): a
  // later Save must ask for a name rather than overwrite the file with it.
  const QString fileName = FProjectFileName;
  FProjectFileName.clear();
  ShowFileNameInStatus();
  if (!opened)
    ThrowFileError(CannotOpenFile, fileName, problem);
}

void TFormVistaloom::LoadExecute(QObject* Sender) {
  const QString startDir =
      FProjectFileName.isEmpty() ? FExeDir : QFileInfo(FProjectFileName).absolutePath();
  QString fileName;
  if (!FDialogs->OpenProject(this, startDir, fileName))
    return;
  FProjectFileName = fileName;
  const auto clearHistory = qScopeGuard([this] { LBHistory->clear(); });
  ReopenExecute(Sender);
}

void TFormVistaloom::SaveExecute(QObject*) {
  if (FileExists(FProjectFileName)) {
    BackupProjectFile();
    WriteProjectFile(*this);
  }
  if (!FileExists(FProjectFileName)) {
    QString fileName;
    if (FDialogs->SaveFile(this, ProjectFilter, ProjectExtension, fileName)) {
      FProjectFileName = fileName;
      WriteProjectFile(*this);
      BackupProjectFile();
    }
  }
  ShowFileNameInStatus();
}

void TFormVistaloom::SaveAsExecute(QObject*) {
  QString fileName;
  if (!FDialogs->SaveFile(this, ProjectFilter, ProjectExtension, fileName))
    return;
  FProjectFileName = fileName;
  if (FileExists(FProjectFileName)) {
    BackupProjectFile();
    WriteProjectFile(*this);
  } else {
    WriteProjectFile(*this);
    BackupProjectFile();
  }
  ShowFileNameInStatus();
}
