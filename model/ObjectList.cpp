#include "model/ObjectList.h"

#include "model/FlashElement.h"

namespace {
const QString AllPages = QStringLiteral("all");
}

void TObjectList::Add(TFlashElement* E) {
  if (E->FPage.isEmpty())
    E->FPage = AllPages;
  if (!FPages.contains(E->FPage))
    FPages.append(E->FPage);
  FItems.append(E);
}

void TObjectList::Clear() {
  FItems.clear();
}

void TObjectList::Select(TFlashElement* E) {
  if (E->FSelected)
    return;
  E->FSelected = true;
  ++FSelCount;
}

void TObjectList::SelectIfOnPage(TFlashElement* E, const QString& Page) {
  if (E->FPage == Page)
    Select(E);
}

void TObjectList::Deselect(TFlashElement* E) {
  if (!E->FSelected)
    return;
  --FSelCount;
  E->FSelected = false;
}

void TObjectList::SelectOnly(TFlashElement* E) {
  // Equal levels give equal object ids; comparing the numbers spares building the texts.
  for (TFlashElement* Item : FItems)
    Item->FSelected = Item->GetLevel() == E->GetLevel();
  RebuildSelection();
}

void TObjectList::ClearSelection() {
  FSelectedList.clear();
  FSelCount = 0;
  for (TFlashElement* Item : FItems)
    Item->FSelected = false;
  FMarked.clear();
}

void TObjectList::RebuildSelection() {
  FSelectedList.clear();
  for (TFlashElement* Item : FItems)
    if (Item->FSelected)
      FSelectedList.append(Item);
  FSelCount = FSelectedList.size();
}

int TObjectList::IndexOfMarked(const QString& LevelName) const {
  return FMarked.indexOf(LevelName);
}

template <typename Predicate> void TObjectList::RemoveAndHide(Predicate Matches) {
  for (qsizetype i = FItems.size() - 1; i >= 0; --i) {
    TFlashElement* Item = FItems[i];
    if (!Matches(Item))
      continue;
    FItems.removeAt(i);
    Item->SetShown(false);
  }
  RebuildSelection();
}

void TObjectList::DeleteByLevelName(const QString& LevelName) {
  RemoveAndHide([&](const TFlashElement* E) { return E->GetLevelName() == LevelName; });
}

void TObjectList::DeletePage(const QString& Page) {
  RemoveAndHide([&](const TFlashElement* E) { return E->FPage == Page; });
}

void TObjectList::ShowPage(const QString& Page, QList<TElementText>& Strings) {
  Strings.clear();
  for (qsizetype i = FItems.size() - 1; i >= 0; --i) {
    TFlashElement* Item = FItems[i];
    if (Item->FPage == Page || Item->FPage == AllPages) {
      Strings.append({QString::number(Item->GetLevel()) + QLatin1Char('-') + Item->FName +
                          QLatin1Char('-') + Item->FTypeName,
                      Item});
      if (Item->FVisible)
        Item->SetShown(true);
    } else {
      Item->SetShown(false);
    }
  }
}

TFlashElement* TObjectList::ElementAt(double X, double Y) const {
  for (qsizetype i = FItems.size() - 1; i >= 0; --i) {
    TFlashElement* Item = FItems[i];
    if (Item->FShown && Item->FX < X && X < Item->FX + Item->FWidth && Item->FY < Y &&
        Y < Item->FY + Item->FHeight)
      return Item;
  }
  return nullptr;
}
