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
#include <limits>
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
// Where the folder lets no temporary file be made, an existing file is written in place: Save
// only does so once the backup of that file is complete, so a failure then loses nothing.
void WriteProjectFile(TFormVistaloom& window) {
  QSaveFile file(window.FProjectFileName);
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    ThrowFileError(CannotCreateFile, window.FProjectFileName, file.errorString());
  window.WriteProjectXml(&file);
  if (!file.commit())
    ThrowFileError(CannotCreateFile, window.FProjectFileName, file.errorString());
}

// Backs the existing project file up, then writes it. Should the write fail once the file was
// written in place, the backup, complete by then, is copied back: the file keeps its previous
// content, and the next Save does not take a damaged file for its backup.
void BackUpAndWriteProjectFile(TFormVistaloom& window) {
  window.BackupProjectFile();
  const QString backup = window.FProjectFileName + QStringLiteral(".bak");
  try {
    WriteProjectFile(window);
  } catch (const std::exception& error) {
    try {
      CopyFile(backup, window.FProjectFileName, TCopyReplace::InPlaceWhereNoTempFile);
    } catch (const std::exception&) {
      throw std::runtime_error(QStringLiteral("%1\nThe previous project is kept in %2")
                                   .arg(QString::fromUtf8(error.what()), backup)
                                   .toStdString());
    }
    throw;
  }
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

// Levels are handed out upwards from the highest stored id: the highest integer would leave
// none for the next element.
void RefuseLastLevel(const QDomNode& node, int id) {
  if (id == std::numeric_limits<int>::max())
    throw std::runtime_error(
        QStringLiteral("Cannot load %1: its id leaves no Flash level for another element")
            .arg(ProjectXml::StoredElementLabel(node))
            .toStdString());
}

// One line of the message about elements without a clip: id, name and the clip file missing.
QString UnplacedElementLine(const QDomNode& node, const TFlashElement& element) {
  return QStringLiteral("%1: %2").arg(ProjectXml::StoredElementLabel(node),
                                      QFileInfo(element.GetMovieFile()).fileName());
}

QString UnplacedElementsText(const QString& repositoryDir, const QStringList& lines) {
  return QStringLiteral("These elements could not be placed: their clips are not in the "
                        "repository %1. They stay in the project until you delete them.\n%2")
      .arg(repositoryDir, lines.join(QLatin1Char('\n')));
}

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
    // No element could be read: like any failed load this one leaves the project unnamed, so
    // a Save cannot write the empty design over the file and its backup.
    Sender->AbandonLoad();
    return;
  }
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
    QStringList unplaced;
    int index = 0;
    for (QDomNode child = entities.firstChild(); !child.isNull();
         child = child.nextSibling(), ++index) {
      QCoreApplication::processEvents();
      const int id = ProjectXml::RequiredInteger(child, QStringLiteral("id"));
      const QString fileName = ProjectXml::RequiredText(child, QStringLiteral("filename"));
      RefuseLastLevel(child, id);
      TFlashElement* element = CreateStoredElement(*this, child, id, fileName);
      if (!element) {
        element = CreateUnplacedElement(id, fileName);
        unplaced << UnplacedElementLine(child, *element);
      }
      // What the project stores is the element's from the start: a clip that never reports
      // "load" keeps it all the same, and a save writes it back unchanged.
      ProjectXml::AssignStoredAttributes(*element,
                                         ProjectXml::ReadStoredAttributes(child.toElement()));
      element->AttachToFlash(ShockwaveFlash);
      // Taken before events run, so a clip the user adds among them gets a level above it.
      FLastLevel = std::max(FLastLevel, id);
      QCoreApplication::processEvents();
      frames.BeginChange();
      Sender->ProgressBar->setValue(index);
      Sender->LabelInfo->setText(fileName);
      if (Sender->FCancelled)
        break;
    }
    if (!unplaced.isEmpty())
      FDialogs->Message(this, UnplacedElementsText(FRepositoryDir, unplaced));
    if (Sender->FCancelled)
      return;
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
  if (dialog.LoadCompleted())
    return true;
  // What is shown is not the stream's content (the previous project, or part of this one): a
  // later Save must ask for a name rather than overwrite the project file with it.
  FProjectFileName.clear();
  ShowFileNameInStatus();
  return false;
}

void TFormVistaloom::BackupProjectFile() {
  if (FileExists(FProjectFileName))
    CopyFile(FProjectFileName, FProjectFileName + QStringLiteral(".bak"),
             TCopyReplace::InPlaceWhereNoTempFile);
}

void TFormVistaloom::ReopenExecute(QObject*) {
  // A folder or a device in the project's place is reported, not passed over.
  if (!QFileInfo::exists(FProjectFileName))
    return;
  QFile file(FProjectFileName);
  QString problem = OutsideFileProblem(FProjectFileName);
  const bool opened = problem.isEmpty() && file.open(QIODevice::ReadOnly);
  if (!opened) {
    if (problem.isEmpty())
      problem = file.errorString();
    const QString fileName = FProjectFileName;
    FProjectFileName.clear();
    ShowFileNameInStatus();
    ThrowFileError(CannotOpenFile, fileName, problem);
  }
  LoadProjectWithProgress(&file);
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
  if (FileExists(FProjectFileName))
    BackUpAndWriteProjectFile(*this);
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
    BackUpAndWriteProjectFile(*this);
  } else {
    WriteProjectFile(*this);
    BackupProjectFile();
  }
  ShowFileNameInStatus();
}
