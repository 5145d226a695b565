// Driver catalogues as untrusted bytes: each input is parsed as drivers.xml and, when it reads,
// every driver, command and parameter row the Actions tab could show is looked up.
#include "designer/formats/DriverCatalogue.h"

#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  QDomDocument document;
  try {
    DriverCatalogue::ParseDocument(
        document, QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));
  } catch (const std::exception&) {
    return 0;
  }
  for (const QString& driver : DriverCatalogue::DriverNames(document))
    for (const QString& command : DriverCatalogue::CommandNames(document, driver))
      DriverCatalogue::ParameterRows(document, driver, command);
  return 0;
}
