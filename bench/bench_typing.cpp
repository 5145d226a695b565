#include "designer/ValueListEditor.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>

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
  const QString text(static_cast<int>(state.range(0)), QLatin1Char('a'));
  for (auto _ : state) {
    grid->setFocus();
    grid->SetCurrentRow(0);
    QTest::keyClick(grid, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
    grid->SetCurrentRow(1);
  }
  if (grid->Values(QStringLiteral("caption")) != text)
    state.SkipWithError("the typed value did not reach the cell");
}
BENCHMARK(BM_TypeLongPropertyValue)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond);
