// The align and distribute commands: they move the elements selected in the Objects list
// onto a common edge or centre, or spread them with equal gaps, and record one "Align" step.
#include "designer/AlignArithmetic.h"
#include "designer/main.h"
#include "model/FlashElement.h"

#include <QAction>
#include <algorithm>
#include <utility>

using AlignArithmetic::TAlignLine;
using AlignArithmetic::TBox;

namespace {

const QString AlignStep = QStringLiteral("Align");

QList<TBox> BoxesOf(const QList<TFlashElement*>& Elements) {
  QList<TBox> boxes;
  boxes.reserve(Elements.size());
  for (const TFlashElement* element : Elements)
    boxes.append({element->FX, element->FY, element->FWidth, element->FHeight});
  return boxes;
}

void SetPosition(TFlashElement* Element, bool Horizontally, double Position) {
  if (Horizontally)
    Element->SetX(Position);
  else
    Element->SetY(Position);
}

} // namespace

void TFormVistaloom::ConnectAlignActions() {
  for (QAction* action :
       {AlignLeft, AlignRight, AlignCenter, AlignTopCenter, AlignTop, AlignBottom})
    ConnectAction(action, &TFormVistaloom::AlignLeftExecute);
  ConnectAction(AlignVert, &TFormVistaloom::AlignVertExecute);
  ConnectAction(AlignH, &TFormVistaloom::AlignHExecute);
}

void TFormVistaloom::AlignLeftExecute(QObject* Sender) {
  const std::pair<QAction*, TAlignLine> lines[] = {
      {AlignLeft, TAlignLine::Left},     {AlignRight, TAlignLine::Right},
      {AlignCenter, TAlignLine::Center}, {AlignTopCenter, TAlignLine::TopCenter},
      {AlignTop, TAlignLine::Top},       {AlignBottom, TAlignLine::Bottom},
  };
  const auto found = std::ranges::find(
      lines, Sender, [](const auto& Entry) { return static_cast<QObject*>(Entry.first); });
  if (found == std::end(lines))
    return;
  const TAlignLine line = found->second;

  const QList<TFlashElement*> elements = SelectedListBoxElements();
  const QList<double> positions = AlignArithmetic::AlignedPositions(line, BoxesOf(elements));
  for (qsizetype i = 0; i < elements.size(); ++i)
    SetPosition(elements[i], AlignArithmetic::SetsX(line), positions[i]);
  RefreshSelectionAndProperties();
  // The refresh lets the Objects list follow the selection flags, so whether something was
  // aligned is taken from the elements moved, not from the list as it stands afterwards.
  if (!elements.isEmpty())
    PushHistory(AlignStep);
}

void TFormVistaloom::DistributeSelection(bool Horizontally) {
  const QList<TFlashElement*> elements = SelectedListBoxElements();
  if (elements.size() < 3)
    return;
  for (const AlignArithmetic::TPlacement& placement :
       AlignArithmetic::DistributedPositions(Horizontally, BoxesOf(elements)))
    SetPosition(elements[placement.Index], Horizontally, placement.Position);
  RefreshSelectionAndProperties();
  PushHistory(AlignStep);
}

void TFormVistaloom::AlignVertExecute(QObject* /*Sender*/) {
  DistributeSelection(false);
}

void TFormVistaloom::AlignHExecute(QObject* /*Sender*/) {
  DistributeSelection(true);
}
