// Load from XML in a shown window, from the command to the last clip "load" handled: interface
// descriptions of 1,000, 3,000 and 10,000 elements over the demo clips (with and without a clip
// the user added first), and a clip catalogue of 100,000 lines with a one-element description.
#include "designer/CreateForms.h"
#include "designer/main.h"
#include "player/ShockwaveFlash.h"
#include "tests/common/SilentDialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

constexpr int Pages = 5;
constexpr qint64 LoadTimeoutMs = 600'000;
const QStringList Types{"button", "frame", "gauge", "label", "lamp", "slider"};

void WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
    std::abort();
}

// A description as a preview writes it: the elements on "all", then five empty pages.
QByteArray DescriptionText(int elements) {
  QString text = QStringLiteral("<interface><entities page=\"all\">");
  for (int i = 0; i < elements; ++i)
    text += QStringLiteral("<%1 level=\"%2\" x=\"%3\" y=\"%4\" width=\"40\" height=\"30\" "
                           "xscale=\"100\" yscale=\"100\" id=\"Element %2\" caption=\"Item\"/>")
                .arg(Types.at(i % Types.size()))
                .arg(101 + i)
                .arg(i % 700)
                .arg((i * 7) % 500);
  text += QStringLiteral("</entities>");
  for (int page = 1; page <= Pages; ++page)
    text += QStringLiteral("<entities page=\"Page %1\"/>").arg(page);
  return (text + QStringLiteral("</interface>")).toUtf8();
}

// The demo clips' lines, then Lines more of clips the description does not use.
QByteArray CatalogueText(int lines) {
  QString text = QStringLiteral("<clips>\r\n");
  const auto line = [](const QString& name) {
    return QStringLiteral("<clip class='%1' file='./objects/%1.swf'></clip>\r\n").arg(name);
  };
  for (const QString& type : Types)
    text += line(type);
  for (int i = 0; i < lines; ++i)
    text += line(QStringLiteral("extra%1").arg(i));
  return (text + QStringLiteral("</clips>\r\n")).toUtf8();
}

void RunImport(benchmark::State& state, int elements, int catalogueLines, bool userAddedFirst) {
  QTemporaryDir work;
  QDir::setCurrent(work.path());
  WriteFile(work.filePath(QStringLiteral("clips.xml")), CatalogueText(catalogueLines));
  WriteFile(work.filePath(QStringLiteral("full.xml")), DescriptionText(elements));
  const QString binDir = QStringLiteral(VISTALOOM_BIN_DIR "/");
  TSilentDialogs dialogs;
  const int expected = elements + (userAddedFirst ? 1 : 0);
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TFormVistaloom> window = CreateForms(binDir, {}, &dialogs);
    window->FRepositoryDir = binDir + QStringLiteral("repository/");
    window->LoadRepository(window->FRepositoryDir);
    int loads = 0;
    QObject::connect(window->ShockwaveFlash, &TShockwaveFlash::FSCommand, window.get(),
                     [&loads](const QString& command) {
                       if (command == QLatin1String("load"))
                         ++loads;
                     });
    window->show();
    if (userAddedFirst) {
      window->SGElements->setCurrentCell(0, 0);
      window->SGElementsDblClick(window->SGElements);
    }
    while (loads < (userAddedFirst ? 1 : 0))
      QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    state.ResumeTiming();

    window->LoadFromXML->trigger();
    QElapsedTimer waited;
    waited.start();
    while (loads < expected && waited.elapsed() < LoadTimeoutMs)
      QCoreApplication::processEvents();

    state.PauseTiming();
    if (loads < expected || window->FElements.Count() != expected) {
      state.SkipWithError("the import did not place every element");
      break;
    }
    window.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_ImportDescription(benchmark::State& state) {
  RunImport(state, int(state.range(0)), 0, state.range(1) != 0);
}

void BM_ImportCatalogue(benchmark::State& state) {
  RunImport(state, 1, int(state.range(0)), false);
}

} // namespace

BENCHMARK(BM_ImportDescription)
    ->ArgNames({"elements", "user_added_first"})
    ->Args({1000, 0})
    ->Args({3000, 0})
    ->Args({10000, 0})
    ->Args({1000, 1})
    ->Args({3000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_ImportCatalogue)
    ->ArgNames({"lines"})
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
