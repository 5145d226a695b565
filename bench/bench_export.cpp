// The interface description of projects of 100 and 1,000 elements: named elements over the
// demo clips, spread over five pages, each with item properties and a flash suffix.
#include "designer/formats/InterfaceXml.h"
#include "designer/formats/XmlTwinWriter.h"
#include "model/FlashElement.h"

#include <QDomDocument>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int Pages = 5;

class TExportBench {
public:
  explicit TExportBench(int elements) {
    pages << QStringLiteral("all");
    for (int page = 1; page <= Pages; ++page)
      pages << QStringLiteral("Page %1").arg(page);
    const QStringList types{"button", "frame", "gauge", "label", "lamp", "slider"};
    for (int i = 0; i < elements; ++i) {
      store.push_back(std::make_unique<TFlashElement>(
          101 + i,
          QStringLiteral(VISTALOOM_BIN_DIR "/repository/%1.swf").arg(types.at(i % types.size()))));
      TFlashElement& element = *store.back();
      element.FName = QStringLiteral("Element %1").arg(i);
      element.FPage = pages.at(i % Pages + 1);
      element.FX = (i % 700) + 0.5;
      element.FY = (i * 7) % 500 + 0.25;
      element.FProps.SetText(QStringLiteral("caption=Item %1&color=#%1").arg(i));
      element.FSuffix.SetText(QStringLiteral("value=_v%1&state=_s").arg(i));
      list.append(&element);
    }
  }

  QStringList pages;
  std::vector<std::unique_ptr<TFlashElement>> store;
  QList<TFlashElement*> list;
};

void BM_CreateInterfaceXml(benchmark::State& state) {
  TExportBench bench(int(state.range(0)));
  QDomDocument document;
  qsizetype bytes = 0;
  for (auto _ : state) {
    const QByteArray text = InterfaceXml::WriteInterfaceDocument(document, bench.pages, bench.list);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = double(bytes);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CreateInterfaceXml)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// Create XML run again with the window's record of the last one: a fifth of the elements
// moved in between, so only their nodes are built again.
void BM_CreateInterfaceXmlAgain(benchmark::State& state) {
  TExportBench bench(int(state.range(0)));
  QDomDocument document;
  TXmlWrittenTree record;
  InterfaceXml::WriteInterfaceDocument(document, bench.pages, bench.list, &record);
  double step = 1;
  for (auto _ : state) {
    for (qsizetype i = 0; i < bench.list.size(); i += 5)
      bench.list.at(i)->FX += step;
    step = -step;
    benchmark::DoNotOptimize(
        InterfaceXml::WriteInterfaceDocument(document, bench.pages, bench.list, &record).data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CreateInterfaceXmlAgain)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
