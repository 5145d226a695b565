#include "model/Hash.h"

#include "model/QelStrFunct.h"

qsizetype TQel_Hash::IndexOf(const QString& Key) const {
  for (qsizetype i = 0; i < FItems.size(); ++i) {
    if (FItems[i].Key == Key)
      return i;
  }
  return -1;
}

bool TQel_Hash::SetValue(const QString& Key, const QString& Value) {
  const qsizetype index = IndexOf(Key);
  if (index >= 0) {
    FItems[index].Value = Value;
    return false;
  }
  FItems.append({Key, Value});
  return true;
}

QString TQel_Hash::GetValue(const QString& Key) const {
  const qsizetype index = IndexOf(Key);
  return index < 0 ? QString() : FItems[index].Value;
}

bool TQel_Hash::HasKey(const QString& Key) const {
  return IndexOf(Key) >= 0;
}

QString TQel_Hash::JoinValues(const QString& Sep) const {
  QStringList values;
  for (const ListItems& item : FItems)
    values.append(item.Value);
  return JoinStrings(Sep, values);
}

void TQel_Hash::AddText(const QString& Text) {
  for (const QString& line : TextToStringList(SplitToLines(FSeparator, Text)))
    SetValue(StrBefore(line, QStringLiteral("=")), StrAfter(line, QStringLiteral("=")));
}

void TQel_Hash::SetText(const QString& Text) {
  Clear();
  AddText(Text);
}

QString TQel_Hash::GetText() const {
  QStringList pairs;
  for (const ListItems& item : FItems) {
    if (!item.Key.isEmpty())
      pairs.append(item.Key + u'=' + item.Value);
  }
  return JoinStrings(FSeparator, pairs);
}

void TQel_Hash::Assign(const TQel_Hash& Source) {
  FItems = Source.FItems;
}
