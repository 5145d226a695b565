#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Stand-in for libFuzzer where the compiler has none: runs every file of the seed corpus,
// then a bounded number of random mutations of them (byte flips, cuts, insertions).
int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty())
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString corpusDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  const int mutations = argc > 2 ? std::atoi(argv[2]) : 1000;

  std::vector<QByteArray> seeds;
  for (const QFileInfo& info : QDir(corpusDir).entryInfoList(QDir::Files)) {
    QFile file(info.filePath());
    if (file.open(QIODevice::ReadOnly))
      seeds.push_back(file.readAll());
  }
  if (seeds.empty())
    seeds.emplace_back();
  for (const QByteArray& seed : seeds)
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seed.constData()), seed.size());

  std::mt19937 random(12345);
  for (int i = 0; i < mutations; ++i) {
    QByteArray input = seeds[random() % seeds.size()];
    const int edits = 1 + random() % 8;
    for (int e = 0; e < edits; ++e) {
      const int where = input.isEmpty() ? 0 : random() % input.size();
      switch (random() % 4) {
      case 0:
        if (!input.isEmpty())
          input[where] = char(random());
        break;
      case 1:
        input.truncate(where);
        break;
      case 2:
        input.insert(where, char(random()));
        break;
      default:
        if (!input.isEmpty())
          input[where] = char(input[where] ^ (1 << (random() % 8)));
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()), input.size());
  }
  std::printf("fuzz driver: %zu seeds, %d mutations, no crash\n", seeds.size(), mutations);
  return 0;
}
