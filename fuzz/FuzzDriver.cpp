#include <QDir>
#include <QFile>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void RunOne(const QByteArray& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()), input.size());
}

// Applies one to eight random edits: byte changes, bit flips, cuts and insertions.
QByteArray Mutate(QByteArray input, std::mt19937& random) {
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
  return input;
}

} // namespace

// Stand-in for libFuzzer where the compiler has none, taking the same arguments:
// [-runs=N] FOLDER... runs every file of the folders (seeds and regressions), then N random
// mutations of them (1000 by default).
int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  int mutations = 1000;
  std::vector<QByteArray> seeds;
  for (int i = 1; i < argc; ++i) {
    const QString argument = QString::fromLocal8Bit(argv[i]);
    if (argument.startsWith(QStringLiteral("-runs="))) {
      mutations = argument.mid(6).toInt();
      continue;
    }
    for (const QFileInfo& info : QDir(argument).entryInfoList(QDir::Files)) {
      QFile file(info.filePath());
      if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "fuzz driver: cannot read %s\n", qPrintable(info.filePath()));
        return 1;
      }
      seeds.push_back(file.readAll());
    }
  }
  if (seeds.empty())
    seeds.emplace_back();
  for (const QByteArray& seed : seeds)
    RunOne(seed);

  std::mt19937 random(12345);
  for (int i = 0; i < mutations; ++i)
    RunOne(Mutate(seeds[random() % seeds.size()], random));
  std::printf("fuzz driver: %zu inputs, %d mutations, no crash\n", seeds.size(), mutations);
  return 0;
}
