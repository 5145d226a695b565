// Opening generated projects of 1,000, 5,000 and 10,000 elements with Load in a shown window,
// and the way the command line does: CreateForms with the file as its argument, every clip's "load"
// handled, then the window shown with its first page refresh. The loading dialog's one-second delay
// and the settle pause are set to zero, so the figures are the time beyond those fixed delays; a
// one-element project gives the cost of the window itself.
#include "designer/CreateForms.h"
#include "designer/LoadingForm.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "tests/common/LargeProject.h"
#include "tests/common/SilentDialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <sys/resource.h>

namespace {

// Generous: a load that stalls fails the benchmark instead of hanging it.
constexpr qint64 LoadTimeoutMs = 600'000;

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// Pumps messages until the debug log holds a line for each of Count clip "load" events.
bool WaitForLoads(TFormVistaloom& window, int count) {
  QElapsedTimer timer;
  timer.start();
  const QTextDocument* log = window.Memo1->document();
  while (log->isEmpty() || log->blockCount() < count) {
    if (timer.elapsed() > LoadTimeoutMs)
      return false;
    QCoreApplication::processEvents();
  }
  return true;
}

void BM_OpenProject(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  QTemporaryDir work;
  QDir::setCurrent(work.path());
  const QString binDir = QStringLiteral(VISTALOOM_BIN_DIR "/");
  const QString projectFile = work.filePath(QStringLiteral("large.vlq"));
  QFile file(projectFile);
  const QByteArray text = LargeProjectText(elements, binDir + QStringLiteral("repository/"));
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
    std::abort();
  file.close();
  TFormLoading::SetTimerInterval(0);
  TFormLoading::SetSettlePause(0);

  TSilentDialogs dialogs;
  // Where the time goes: the reader with its dialog, the clip events after it, the first show.
  double readMs = 0;
  double settleMs = 0;
  double showMs = 0;
  for (auto _ : state) {
    QElapsedTimer phase;
    phase.start();
    std::unique_ptr<TFormVistaloom> window = CreateForms(binDir, {projectFile}, &dialogs);
    readMs += static_cast<double>(phase.restart());
    if (!WaitForLoads(*window, elements)) {
      state.SkipWithError("the clips did not all report \"load\"");
      break;
    }
    settleMs += static_cast<double>(phase.restart());
    window->show();
    QCoreApplication::processEvents();
    showMs += static_cast<double>(phase.restart());
    // Every generated element lies on a page of its own; one still on "all" missed its load.
    const auto applied = [](const TFlashElement* element) { return element->FPage != u"all"; };
    if (window->FElements.Count() != elements ||
        !std::all_of(window->FElements.FItems.cbegin(), window->FElements.FItems.cend(), applied)) {
      state.SkipWithError("the project did not load whole");
      break;
    }
    state.PauseTiming();
    window.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["read_ms"] = benchmark::Counter(readMs, benchmark::Counter::kAvgIterations);
  state.counters["events_ms"] = benchmark::Counter(settleMs, benchmark::Counter::kAvgIterations);
  state.counters["show_ms"] = benchmark::Counter(showMs, benchmark::Counter::kAvgIterations);
  state.counters["file_bytes"] = static_cast<double>(text.size());
  state.counters["peak_rss_MB"] = PeakResidentMegabytes();
}

// Answers the open dialog with one file.
class TOpenFileDialogs : public TSilentDialogs {
public:
  explicit TOpenFileDialogs(const QString& fileName) : FFileName(fileName) {}
  bool OpenProject(QWidget*, const QString&, QString& fileName) override {
    fileName = FFileName;
    return true;
  }

private:
  QString FFileName;
};

// The same projects opened with Load in a window already shown, as a user opens one.
void BM_LoadProject(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  QTemporaryDir work;
  QDir::setCurrent(work.path());
  const QString binDir = QStringLiteral(VISTALOOM_BIN_DIR "/");
  const QString projectFile = work.filePath(QStringLiteral("large.vlq"));
  QFile file(projectFile);
  const QByteArray text = LargeProjectText(elements, binDir + QStringLiteral("repository/"));
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
    std::abort();
  file.close();
  TFormLoading::SetTimerInterval(0);
  TFormLoading::SetSettlePause(0);

  TOpenFileDialogs dialogs(projectFile);
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TFormVistaloom> window = CreateForms(binDir, {}, &dialogs);
    window->show();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    window->Load->trigger();
    if (!WaitForLoads(*window, elements)) {
      state.SkipWithError("the clips did not all report \"load\"");
      break;
    }
    const auto applied = [](const TFlashElement* element) { return element->FPage != u"all"; };
    if (window->FElements.Count() != elements ||
        !std::all_of(window->FElements.FItems.cbegin(), window->FElements.FItems.cend(), applied)) {
      state.SkipWithError("the project did not load whole");
      break;
    }
    state.PauseTiming();
    window.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["peak_rss_MB"] = PeakResidentMegabytes();
}

} // namespace

BENCHMARK(BM_LoadProject)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK(BM_OpenProject)
    ->Arg(1)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
