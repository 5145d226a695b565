// Projects of 100 and 1,000 elements over the demo clips: Save, an undo snapshot, and a full
// load from the start of the reader to the last clip "load" handled.
#include "designer/CreateForms.h"
#include "designer/LoadingForm.h"
#include "designer/formats/ProjectXml.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "player/ShockwaveFlash.h"
#include "tests/common/SilentDialogs.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

constexpr int Pages = 5;

// A designer holding a project of the given size, named elements spread over five pages,
// saved once so that Save backs up and replaces an existing file.
class TProjectBench {
public:
  explicit TProjectBench(int elements) {
    const QString binDir = QStringLiteral(VISTALOOM_BIN_DIR "/");
    QDir::setCurrent(work.path());
    TFormLoading::SetSettlePause(0);
    window = CreateForms(binDir, {}, &dialogs);
    window->FRepositoryDir = binDir + QStringLiteral("repository/");
    window->LoadRepository(window->FRepositoryDir);
    for (int page = 1; page <= Pages; ++page)
      window->LBPages->addItem(QStringLiteral("Page %1").arg(page));
    QObject::connect(window->ShockwaveFlash, &TShockwaveFlash::FSCommand, window.get(),
                     [this](const QString& command) {
                       if (command == QLatin1String("load"))
                         ++loadsHandled;
                     });
    const QStringList types{"button", "frame", "gauge", "label", "lamp", "slider"};
    for (int i = 0; i < elements; ++i) {
      TFlashElement* element =
          window->CreateElementFromRepository(++window->FLastLevel, types.at(i % types.size()));
      element->FName = QStringLiteral("Element %1").arg(i);
      element->FPage = QStringLiteral("Page %1").arg(i % Pages + 1);
      element->FX = i % 700;
      element->FY = (i * 7) % 500;
      element->FSuffix.SetText(QStringLiteral("value=_v%1").arg(i));
      element->AttachToFlash(window->ShockwaveFlash);
      // Each clip reports before the next is queued: a "load" outside a project load pumps
      // messages itself, and thousands queued at once would nest that deeply.
      WaitForLoads(1);
    }
    QBuffer stream(&document);
    stream.open(QIODevice::WriteOnly);
    window->WriteProjectXml(&stream);
    window->FProjectFileName = work.filePath(QStringLiteral("bench.vlq"));
    QFile file(window->FProjectFileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size())
      std::abort();
  }

  // Pumps messages until Count clip "load" events have been handled since the last call.
  void WaitForLoads(int count) {
    while (loadsHandled < count)
      QCoreApplication::processEvents();
    loadsHandled = 0;
  }

  QTemporaryDir work;
  TSilentDialogs dialogs;
  std::unique_ptr<TFormVistaloom> window;
  QByteArray document;
  int loadsHandled = 0;
};

TProjectBench& Project(int elements) {
  // Kept to the end of the process: widgets must not outlive the application object.
  static auto* projects = new std::map<int, std::unique_ptr<TProjectBench>>;
  auto& project = (*projects)[elements];
  if (!project)
    project = std::make_unique<TProjectBench>(elements);
  return *project;
}

void BM_Save(benchmark::State& state) {
  TProjectBench& project = Project(static_cast<int>(state.range(0)));
  for (auto _ : state)
    project.window->SaveExecute();
  state.counters["file_bytes"] = static_cast<double>(project.document.size());
}

void BM_PushHistory(benchmark::State& state) {
  TProjectBench& project = Project(static_cast<int>(state.range(0)));
  QListWidget* history = project.window->LBHistory;
  history->clear();
  for (auto _ : state)
    project.window->PushHistory(QStringLiteral("Move"));
  qint64 snapshotBytes = 0;
  for (int i = 0; i < history->count(); ++i)
    snapshotBytes += history->item(i)->data(Qt::UserRole).toByteArray().capacity();
  state.counters["entries"] = history->count();
  state.counters["snapshot_bytes"] = static_cast<double>(snapshotBytes);
  history->clear();
}

// An undo snapshot after a drag: a fifth of the elements moved since the last snapshot, so
// their nodes are built again while the others are kept.
void BM_PushHistoryAfterMove(benchmark::State& state) {
  TProjectBench& project = Project(static_cast<int>(state.range(0)));
  QListWidget* history = project.window->LBHistory;
  history->clear();
  const QList<TFlashElement*>& elements = project.window->FElements.FItems;
  double step = 1;
  for (auto _ : state) {
    for (qsizetype i = 0; i < elements.size(); i += 5)
      elements.at(i)->FX += step;
    step = -step;
    project.window->PushHistory(QStringLiteral("Move"));
  }
  history->clear();
}

void BM_Load(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  TProjectBench& project = Project(elements);
  for (auto _ : state) {
    QBuffer stream(&project.document);
    stream.open(QIODevice::ReadOnly);
    TFormLoading dialog(project.window.get());
    project.window->LoadProjectFromStream(&dialog, &stream);
    project.WaitForLoads(elements);
  }
}

} // namespace

// The project writer alone: tree and text, without the file or the history entry.
void BM_DocumentText(benchmark::State& state) {
  TProjectBench& project = Project(static_cast<int>(state.range(0)));
  TFormVistaloom& window = *project.window;
  QDomDocument document;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ProjectXml::WriteProjectDocument(
        document, window.FServerIP, window.FRepositoryDir, {}, window.FElements.FItems));
  }
}

BENCHMARK(BM_DocumentText)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PushHistory)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_PushHistoryAfterMove)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_Load)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The AllObjects tab shown over a project: its table is refilled with one row per element.
void BM_AllObjectsShow(benchmark::State& state) {
  TProjectBench& project = Project(static_cast<int>(state.range(0)));
  for (auto _ : state)
    project.window->TabSheetAllShow(project.window->TabSheetAll);
}
BENCHMARK(BM_AllObjectsShow)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// A click on a page: its fifth of the elements listed in the sorted Objects list and shown,
// every other element hidden.
void BM_PageRefresh(benchmark::State& state) {
  TProjectBench& project = Project(static_cast<int>(state.range(0)));
  project.window->LBPages->setCurrentRow(1);
  for (auto _ : state)
    project.window->LBPagesClick(project.window->LBPages);
}
BENCHMARK(BM_PageRefresh)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
