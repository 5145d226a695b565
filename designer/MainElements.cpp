// Element creation: the element store, adding a clip from the repository grid, creating an
// element by type for the loads, and Duplicate.
#include "designer/main.h"
#include "model/FlashElement.h"
#include "model/QelStrFunct.h"
#include "player/MovieCache.h"
#include "player/ShockwaveFlash.h"

#include <QPlainTextEdit>
#include <QTableWidget>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

// Duplicates land this far right of and below their originals, in stage units.
constexpr double DuplicateOffset = 20;

// A row's name as the type lookup compares it: lower-case ASCII, cut before its last ".".
QString RowTypeKey(const QString& rowName) {
  const QString lower = AsciiLowerCase(rowName);
  const qsizetype dot = lower.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? lower : lower.left(dot);
}

// Why the clip in MovieFile will never announce itself with "load", or "" when it will.
// The movie is read once and cached, so asking costs no second parse.
QString SilentClipReason(const QString& MovieFile) {
  const MovieCache::Result clip = MovieCache::Instance().Load(MovieFile);
  if (!clip.Movie || !clip.Movie->ActionScript3)
    return {};
  return QStringLiteral("%1: an ActionScript 3 movie; its scripts are not run, so the clip "
                        "never announces itself with \"load\" and its element is not placed")
      .arg(MovieFile);
}

} // namespace

TFlashElement* TFormVistaloom::CreateElement(int Level, const QString& MovieFile) {
  FElementStore.push_back(std::make_unique<TFlashElement>(Level, MovieFile));
  // The clip event log is where its "load" would have shown.
  if (const QString reason = SilentClipReason(MovieFile); !reason.isEmpty())
    Memo1->appendPlainText(reason);
  return FElementStore.back().get();
}

int TFormVistaloom::TakeNextLevel() {
  if (FLastLevel == std::numeric_limits<int>::max())
    throw std::runtime_error("No Flash level is left for a new element: every level up to " +
                             std::to_string(FLastLevel) + " has been handed out");
  return ++FLastLevel;
}

TFlashElement* TFormVistaloom::CreateUnplacedElement(int Level, const QString& TypeName) {
  // The clip file is named in the repository folder only, whatever folders the type names.
  const QString movieFile = FRepositoryDir + ExtractFileBaseName(TypeName) + QStringLiteral(".swf");
  FElementStore.push_back(
      std::make_unique<TFlashElement>(Level, movieFile, TFlashElement::TUnmeasured{}));
  TFlashElement* element = FElementStore.back().get();
  element->FTypeName = TypeName;
  FElements.Add(element);
  return element;
}

TFlashElement* TFormVistaloom::CreateElementFromRepository(int Level, const QString& TypeName) {
  if (TypeName.isEmpty())
    return nullptr;
  const QString wanted = AsciiLowerCase(TypeName);
  for (int row = 0; row < SGElements->rowCount(); ++row) {
    if (RowTypeKey(RepositoryCell(row, 0)) != wanted)
      continue;
    TFlashElement* element = CreateElement(Level, RowClipFile(row));
    FElements.Add(element);
    return element;
  }
  return nullptr;
}

void TFormVistaloom::SGElementsDblClick(QObject*) {
  const int row = SGElements->currentRow();
  if (row < 0)
    return;
  TFlashElement* element = CreateElement(TakeNextLevel(), RowClipFile(row));
  element->FPage = SelectedPageName();
  element->AttachToFlash(ShockwaveFlash);
  FUserAdded = true;
  FElements.Add(element);
  PushHistory(QStringLiteral("Before Add Element:") + RepositoryCell(row, 0));
}

void TFormVistaloom::DuplicateExecute(QObject*) {
  const QList<TFlashElement*> originals = SelectedListBoxElements();
  for (TFlashElement* original : originals) {
    const int level = TakeNextLevel();
    FUserAdded = true;
    TFlashElement* copy = CreateElementFromRepository(level, original->FTypeName);
    if (!copy)
      continue;
    copy->AssignOffset(*original, DuplicateOffset, DuplicateOffset);
    copy->FSelected = true;
    original->FSelected = false;
    copy->AttachToFlash(ShockwaveFlash);
  }
}
