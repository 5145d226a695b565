#pragma once

#include <QList>

// The arithmetic behind the align and distribute commands: from the boxes of the selected
// elements to their new positions. It changes positions only; sizes stay as they are.
namespace AlignArithmetic {

// An element's box in stage units: top-left corner and size.
struct TBox {
  double X = 0;
  double Y = 0;
  double Width = 0;
  double Height = 0;
};

// The common line the boxes are put on.
enum class TAlignLine { Left, Right, Center, TopCenter, Top, Bottom };

// True when Line sets x (Left, Right, Center), false when it sets y.
bool SetsX(TAlignLine Line);

// The new x or y (see SetsX) of every box, in the order given: each box's edge or centre put
// on the outermost edge, or on the mean of the centres.
QList<double> AlignedPositions(TAlignLine Line, const QList<TBox>& Boxes);

// 1 when A lies further right (or further down) than B, 0 when level with it, -1 otherwise.
int CompareElementsByX(const TBox& A, const TBox& B);
int CompareElementsByY(const TBox& A, const TBox& B);

// The new position of one box given by its index in the input.
struct TPlacement {
  qsizetype Index = 0;
  double Position = 0;
};

// Equal gaps along x (Horizontally) or y: the first and last box by position stay, the ones
// between follow in position order (boxes level with each other keep their input order),
// each one gap after the end of the previous; a negative gap overlaps them evenly. Only the
// middle boxes are placed; fewer than three boxes give no placements.
QList<TPlacement> DistributedPositions(bool Horizontally, const QList<TBox>& Boxes);

} // namespace AlignArithmetic
