// The z-order commands: the element of the Objects list's current item changes places with
// its neighbour in that list (both clips reloaded on their exchanged levels), or goes to the
// top or bottom of the stack, after which the project is reloaded so levels follow list order.
#include "designer/main.h"
#include "model/FlashElement.h"

#include <QAction>
#include <QBuffer>
#include <QListWidget>

void TFormVistaloom::ConnectZOrderActions() {
  ConnectAction(SendBackword, &TFormVistaloom::SendBackwordExecute);
  ConnectAction(BringForward, &TFormVistaloom::BringForwardExecute);
  ConnectAction(BringToFront, &TFormVistaloom::BringToFrontExecute);
  ConnectAction(SendToBack, &TFormVistaloom::SendToBackExecute);
}

int TFormVistaloom::ZOrderCurrentRow(bool Backward) const {
  if (ListBoxItem->selectedItems().size() != 1)
    return -1;
  const int row = ListBoxItem->currentRow();
  const bool hasNeighbour = Backward ? row >= 1 : row >= 0 && row < ListBoxItem->count() - 1;
  return hasNeighbour ? row : -1;
}

void TFormVistaloom::SwapWithListNeighbour(int Step) {
  FApplyStoredAttributes = false;
  const int row = ZOrderCurrentRow(Step < 0);
  if (row < 0)
    return;
  TFlashElement* element = ListBoxElement(row);
  TFlashElement* neighbour = ListBoxElement(row + Step);
  QList<TFlashElement*>& items = FElements.FItems;
  const qsizetype from = items.indexOf(element);
  const qsizetype to = items.indexOf(neighbour);
  // A list left over from a load that found no repository names elements no longer held.
  if (from < 0 || to < 0)
    return;
  items.move(from, to);
  const int level = element->GetLevel();
  element->SetLevel(neighbour->GetLevel());
  neighbour->SetLevel(level);
  // Each load replaces the clip on that level; both announce themselves with "load".
  element->AttachToFlash(ShockwaveFlash);
  neighbour->AttachToFlash(ShockwaveFlash);
}

void TFormVistaloom::MoveToEndAndReload(bool ToFront) {
  FApplyStoredAttributes = false;
  const int row = ZOrderCurrentRow(!ToFront);
  if (row < 0)
    return;
  QList<TFlashElement*>& items = FElements.FItems;
  const qsizetype from = items.indexOf(ListBoxElement(row));
  if (from < 0)
    return;
  items.move(from, ToFront ? items.size() - 1 : 0);
  PushHistory(ToFront ? QStringLiteral("Bring To Front") : QStringLiteral("Send To Back"));

  // Written ids follow list order, so the reload gives every element its new level.
  QBuffer stream;
  stream.open(QIODevice::ReadWrite);
  WriteProjectXml(&stream);
  LoadProjectWithProgress(&stream);
}

void TFormVistaloom::SendBackwordExecute(QObject* /*Sender*/) {
  SwapWithListNeighbour(-1);
}

void TFormVistaloom::BringForwardExecute(QObject* /*Sender*/) {
  SwapWithListNeighbour(1);
}

void TFormVistaloom::BringToFrontExecute(QObject* /*Sender*/) {
  MoveToEndAndReload(true);
}

void TFormVistaloom::SendToBackExecute(QObject* /*Sender*/) {
  MoveToEndAndReload(false);
}
