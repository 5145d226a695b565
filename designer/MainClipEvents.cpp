// The stage's FSCommand handler: a clip announcing itself with "load" gets its element's
// geometry and item properties and, after a project load, what the project stores for it.
#include "designer/formats/ProjectXml.h"
#include "designer/main.h"
#include "model/FlashElement.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace {

const QString LevelPrefix = QStringLiteral("_level");

} // namespace

void TFormVistaloom::ShockwaveFlashFSCommand(const QString& Command, const QString& Args) {
  Memo1->appendPlainText(Command + QLatin1Char('=') + Args);
  Edit2->setText(Command);
  Edit3->setText(Args);
  if (Command == QLatin1String("load")) {
    TFlashElement* element = FindElementByLevelName(Args);
    if (!element)
      return;
    element->ApplyToFlash();
    // An imported element keeps the page and position its description gave it: nothing the
    // project document stores belongs to it.
    if (FApplyStoredAttributes && !FImportedElements.contains(element))
      ApplyStoredAttributes(element);
    else
      RefreshSelection(true);
    if (LBPages->currentItem() && element->FPage == SelectedPageName() && FUserAdded)
      RequestPageRefresh();
  } else if (Command == QLatin1String("test")) {
    setWindowTitle(Args);
  }
}

void TFormVistaloom::RequestPageRefresh() {
  if (FPageRefreshRequested)
    return;
  FPageRefreshRequested = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        FPageRefreshRequested = false;
        Guarded([this] { LBPagesClick(LBPages); });
      },
      Qt::QueuedConnection);
}

TFlashElement* TFormVistaloom::FindElementByLevelName(const QString& Name) const {
  // An object id is "_level" and the level in decimal, so only a name in exactly that form
  // can match; comparing levels then spares building every element's id.
  if (!Name.startsWith(LevelPrefix))
    return nullptr;
  bool isNumber = false;
  const int level = Name.mid(LevelPrefix.size()).toInt(&isNumber, 10);
  if (!isNumber || LevelPrefix + QString::number(level) != Name)
    return nullptr;
  const QList<TFlashElement*>& items = FElements.FItems;
  for (auto it = items.crbegin(); it != items.crend(); ++it) {
    if ((*it)->GetLevel() == level)
      return *it;
  }
  return nullptr;
}

QDomElement TFormVistaloom::FindStoredElementNode(int Level) {
  const QDomElement entities = ProjectXml::FindEntitiesNode(XMLDocument);
  FStoredEntitiesNode = entities;
  return FStoredElements.Find(entities, Level);
}

void TFormVistaloom::ApplyStoredAttributes(TFlashElement* E) {
  E->SetShown(false);
  const QDomElement node = FindStoredElementNode(E->GetLevel());
  if (!node.isNull()) {
    ProjectXml::AssignStoredAttributes(*E, ProjectXml::ReadStoredAttributes(node));
    SelectOrAddPage(E->FPage);
  } else if (LBPages->currentItem()) {
    E->FPage = SelectedPageName();
  } else if (LBPages->count() > 0) {
    E->FPage = LBPages->item(0)->text();
  }
  for (int i = 0; i < E->FProps.Count(); ++i) {
    const ListItems pair = E->FProps.Items(i);
    ApplyElementProperty(E, pair.Key, pair.Value);
  }
}
