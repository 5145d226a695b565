#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TFlashElement;

// One line of a page's element listing: the text shown in the Objects list and its element.
struct TElementText {
  QString Text;
  TFlashElement* Element = nullptr;
};

// The project's elements in stacking order (index 0 bottom-most), with the page names seen,
// the selection and hit testing. It never owns or frees an element: removing one only hides
// its clip.
class TObjectList {
public:
  int Count() const { return FItems.size(); }
  // Appends E as the topmost element; an empty page becomes "all".
  void Add(TFlashElement* E);
  // Drops every element; page names, selection and marks stay.
  void Clear();

  void Select(TFlashElement* E);
  // Selects E only when its page is exactly Page.
  void SelectIfOnPage(TFlashElement* E, const QString& Page);
  void Deselect(TFlashElement* E);
  // Selects every element with E's object id and deselects all others.
  void SelectOnly(TFlashElement* E);
  void ClearSelection();
  // Recomputes FSelectedList and FSelCount from the elements' flags.
  void RebuildSelection();
  int IndexOfMarked(const QString& LevelName) const;

  // Removes and hides every element with the object id.
  void DeleteByLevelName(const QString& LevelName);
  // Removes and hides every element of Page; elements of "all" stay unless Page is "all".
  void DeletePage(const QString& Page);
  // Lists the elements of Page and of "all", topmost first, showing those whose visible
  // property is set; hides every other element.
  void ShowPage(const QString& Page, QList<TElementText>& Strings);
  // The topmost shown element strictly containing (X, Y) in stage units, or none.
  TFlashElement* ElementAt(double X, double Y) const;

  QList<TFlashElement*> FItems;
  QList<TFlashElement*> FSelectedList;
  QStringList FPages;
  int FSelCount = 0;
  QStringList FMarked;

private:
  template <typename Predicate> void RemoveAndHide(Predicate Matches);
};
