// The repository grid: the clips found below the repository folder, their preview, and the
// copy of every listed clip into current_repository.

#include "designer/main.h"
#include "model/QelStrFunct.h"
#include "platform/Dialogs.h"
#include "platform/FileCopy.h"
#include "player/ShockwaveFlash.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTableWidget>

namespace {

// More clips than this stop the search from entering further folders.
constexpr qsizetype ClipSearchLimit = 100;
constexpr int PreviewBackgroundColor = 13621210;
const QString ClipExtension = ".swf";

// The extension of a file name from its last ".", dot included; "" without a dot.
QString ExtensionOf(const QString& Name) {
  const qsizetype Dot = Name.lastIndexOf('.');
  return Dot < 0 ? QString() : Name.mid(Dot);
}

// Depth-first search in the file system's own order. Visited holds the folders being
// searched, so a link back to one of them is not followed round in circles.
void SearchFolder(const QString& Dir, QStringList& List, const QString& Ext,
                  QSet<QString>& Visited) {
  if (List.size() > ClipSearchLimit)
    return;
  const QString Prefix = Dir.isEmpty() || Dir.endsWith('/') ? Dir : Dir + '/';
  const QDir Folder(Prefix.isEmpty() ? "." : Prefix);
  const QString Canonical = Folder.canonicalPath();
  if (Canonical.isEmpty() || Visited.contains(Canonical))
    return;
  Visited.insert(Canonical);
  const QFileInfoList Entries = Folder.entryInfoList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
  const QString WantedExt = AsciiLowerCase(Ext);
  for (const QFileInfo& Entry : Entries) {
    if (Entry.isDir())
      SearchFolder(Prefix + Entry.fileName(), List, Ext, Visited);
    else if (AsciiLowerCase(ExtensionOf(Entry.fileName())) == WantedExt)
      List << Prefix + Entry.fileName();
  }
  Visited.remove(Canonical);
}

} // namespace

void TFormVistaloom::FindFilesByExt(const QString& Dir, QStringList& List, const QString& Ext) {
  QSet<QString> Visited;
  SearchFolder(Dir, List, Ext, Visited);
}

void TFormVistaloom::LoadRepository(const QString& Dir) {
  QStringList Files;
  FindFilesByExt(Dir, Files, ClipExtension);
  // The preview is cleared below, so no row stays selected: the next click on any row
  // previews it.
  SGElements->clearSelection();
  SGElements->clearContents();
  SGElements->setRowCount(Files.isEmpty() ? 1 : int(Files.size()));
  if (Files.isEmpty()) {
    SGElements->setItem(0, 0, new QTableWidgetItem);
    SGElements->setItem(0, 1, new QTableWidgetItem);
  }
  SGElements->setColumnHidden(1, true);
  SGElements->setHorizontalHeaderItem(0, new QTableWidgetItem("Elements"));
  for (int Row = 0; Row < Files.size(); ++Row) {
    const QString& Path = Files[Row];
    const qsizetype NameStart = Path.lastIndexOf('/') + 1;
    const QString Name = Path.mid(NameStart);
    SGElements->setItem(Row, 0, new QTableWidgetItem(Name.left(Name.lastIndexOf('.'))));
    SGElements->setItem(Row, 1, new QTableWidgetItem(Path.left(NameStart)));
  }
  SFPreview->SetMovie("");
}

QString TFormVistaloom::RepositoryCell(int Row, int Column) const {
  const QTableWidgetItem* Item = SGElements->item(Row, Column);
  return Item ? Item->text() : QString();
}

QString TFormVistaloom::RowClipFile(int Row) const {
  const QString Folder = RepositoryCell(Row, 1);
  const QString Name = RepositoryCell(Row, 0);
  const QString Path = Folder + Name + ClipExtension;
  if (QFileInfo(Path).isFile())
    return Path;
  // The search takes ".SWF" or ".Swf" as well; find the file the row was made from.
  const QDir Dir(Folder.isEmpty() ? "." : Folder);
  for (const QString& Candidate : Dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (Candidate.size() == Name.size() + ClipExtension.size() && Candidate.startsWith(Name) &&
        AsciiLowerCase(ExtensionOf(Candidate)) == ClipExtension)
      return Folder + Candidate;
  }
  return Path;
}

void TFormVistaloom::SGElementsSelectCell(QObject*, int, int ARow, bool& CanSelect) {
  CanSelect = true;
  const QString File = RowClipFile(ARow);
  if (!QFileInfo(File).isFile())
    return;
  SFPreview->SetMovie(File);
  SFPreview->Play();
  SFPreview->SetBackgroundColor(PreviewBackgroundColor);
  SFPreview->setVisible(true);
}

void TFormVistaloom::SaveCurrentRepositoryExecute(QObject*) {
  const QString Target = FExeDir + "current_repository/";
  QDir().mkdir(Target);
  // A clip that is a folder, a device or a link to one holds no movie to copy: it is passed
  // over and named at the end, also when a later row fails.
  QStringList Skipped;
  const auto ReportSkipped = [&] {
    if (!Skipped.isEmpty())
      FDialogs->Message(this,
                        "Not copied, since they are not regular files:\n" + Skipped.join('\n'));
  };
  try {
    for (int Row = 0; Row < SGElements->rowCount(); ++Row) {
      const QString Clip = RowClipFile(Row);
      const QFileInfo Info(Clip);
      if (Info.exists() && !Info.isFile())
        Skipped << Clip;
      else
        CopyFile(Clip, Target + RepositoryCell(Row, 0) + ClipExtension);
    }
  } catch (...) {
    ReportSkipped();
    throw;
  }
  ReportSkipped();
}
