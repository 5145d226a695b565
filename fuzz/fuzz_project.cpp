// Project documents as untrusted bytes: each input goes through the project load of a designer
// over a tiny repository of two clips, and the clips' "load" events apply what it stores.
#include "designer/CreateForms.h"
#include "designer/LoadingForm.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "tests/common/SilentDialogs.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <utility>

namespace {

// Dialogs of an unattended load, except that the question for a repository folder, asked when
// the project names one that does not exist, is answered with the fuzz repository. Seeds name
// a folder that never exists, so the process's directory plays no part.
class TRepositoryDialogs : public TSilentDialogs {
public:
  explicit TRepositoryDialogs(QString repository) : FRepository(std::move(repository)) {}
  bool BrowseFolder(QWidget*, const QString&, const QString&, QString& folder) override {
    folder = FRepository;
    return true;
  }

private:
  QString FRepository;
};

// The designer, created once. The program's folder (the build's bin folder, beside this
// target) gives the background movies and two demo clips, copied into a temporary repository.
struct TFuzzDesigner {
  TFuzzDesigner() {
    const QString binDir = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    if (!work.isValid() || !QDir().mkpath(repository))
      std::abort();
    for (const char* clip : {"button.swf", "lamp.swf"}) {
      if (!QFile::copy(binDir + QStringLiteral("repository/") + clip, repository + clip))
        std::abort();
    }
    TFormLoading::SetSettlePause(0);
    window = CreateForms(binDir, {}, &dialogs);
  }

  QTemporaryDir work;
  const QString repository = work.path() + QStringLiteral("/repository/");
  TRepositoryDialogs dialogs{repository};
  std::unique_ptr<TFormVistaloom> window;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Made once and kept to the end of the process: its widgets must not outlive the
  // application object, which static destruction would make them do.
  static TFuzzDesigner* designer = new TFuzzDesigner;
  TFormVistaloom& window = *designer->window;
  // Elements of the previous input are dropped, so memory stays bounded over a long run.
  window.FElements.ClearSelection();
  window.FElements.Clear();
  window.ResetPageList();
  window.FElementStore.clear();

  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer stream(&bytes);
  stream.open(QIODevice::ReadOnly);
  TFormLoading dialog(&window);
  try {
    window.LoadProjectFromStream(&dialog, &stream);
  } catch (const std::exception&) {
    // Read errors end the load with a message; the elements read so far stay.
  }
  for (int i = 0; i < 3; ++i)
    QCoreApplication::processEvents();
  return 0;
}
