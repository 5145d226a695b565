#include "designer/ValueListEditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>

namespace {

void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QCoreApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QCoreApplication::sendEvent(target, &release);
}

} // namespace

// Typing a 10,000-character value into a property cell, one key at a time, and leaving the
// cell. The line edit lays its whole text out at each key; the cell's editor must add nothing
// that grows with the text.
static void BM_TypeLongPropertyValue(benchmark::State& state) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* grid = new TValueListEditor;
  layout->addWidget(grid);
  window.show();
  grid->InsertRow(QStringLiteral("caption"), QString());
  grid->InsertRow(QStringLiteral("x"), QStringLiteral("0"));
  const int length = static_cast<int>(state.range(0));
  for (auto _ : state) {
    grid->SetCurrentRow(0);
    grid->editItem(grid->item(0, 1));
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    if (!editor) {
      state.SkipWithError("the value cell opened no line edit");
      return;
    }
    SendKey(editor, Qt::Key_A, Qt::ControlModifier);
    for (int i = 0; i < length; ++i)
      SendKey(editor, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    grid->SetCurrentRow(1);
  }
  if (grid->Values(QStringLiteral("caption")) != QString(length, QLatin1Char('a')))
    state.SkipWithError("the typed value did not reach the cell");
}
BENCHMARK(BM_TypeLongPropertyValue)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond);
