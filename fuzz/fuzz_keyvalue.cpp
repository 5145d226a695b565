#include "model/Hash.h"
#include "model/QelStrFunct.h"
#include "platform/Numbers.h"

#include <QString>
#include <cstddef>
#include <cstdint>

// Reads untrusted text the way a clip's item properties and a stored geometry text are
// read: as a key/value table, written back and read again, and as numbers under both
// decimal separators.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  TQel_Hash table;
  table.SetText(text);
  TQel_Hash again;
  again.SetText(table.GetText());
  again.JoinValues(QStringLiteral(","));
  for (int i = 0; i < table.Count(); ++i)
    table.GetValue(table.Items(i).Key);
  SplitToLines(QStringLiteral("?&"), text);
  for (const QChar separator : {QChar(u','), QChar(u'.')}) {
    SetDecimalSeparator(separator);
    double value = 0;
    if (TextToFloat(text, value))
      FloatToText(value);
    StrToFloatDefPoint(text, 0);
  }
  return 0;
}
