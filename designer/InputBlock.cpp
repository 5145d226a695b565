#include "designer/InputBlock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

namespace {

// Swallows user input while it is installed.
class TInputFilter : public QObject {
public:
  explicit TInputFilter(QObject* Parent) : QObject(Parent) {}

protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    return Event->isInputEvent() || Event->type() == QEvent::Shortcut;
  }
};

int BlockCount = 0;
quint64 ReleaseCount = 0;
// Owned by the application object, so it never outlives it.
QPointer<TInputFilter> Filter;

void RemoveFilter() {
  BlockCount = 0;
  delete Filter.data();
}

} // namespace

TInputBlock::TInputBlock() : FRelease(ReleaseCount) {
  if (BlockCount++ == 0) {
    Filter = new TInputFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(Filter);
  }
}

TInputBlock::~TInputBlock() {
  if (FRelease == ReleaseCount && --BlockCount == 0)
    RemoveFilter();
}

bool TInputBlock::InputBlocked() {
  return !Filter.isNull();
}

void TInputBlock::ReleaseAll() {
  ++ReleaseCount;
  RemoveFilter();
}
