#pragma once

#include <QList>
#include <QString>

// One pair of the key/value table.
struct ListItems {
  QString Key;
  QString Value;
};

// A small ordered table of string pairs, searched from the front by exact key. Its text form is
// key "=" value joined with "&", nothing escaped; reading cuts at every "&" and line break, so
// an empty text or a piece without "=" reads as the pair with empty key and empty value.
class TQel_Hash {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  void Clear() { FItems.clear(); }
  // False when Key existed and its value was replaced in place; true when appended.
  bool SetValue(const QString& Key, const QString& Value);
  // "" when Key is absent.
  QString GetValue(const QString& Key) const;
  bool HasKey(const QString& Key) const;
  // The values of all pairs in order, the empty-key pair included.
  QString JoinValues(const QString& Sep) const;
  // Applies every pair of Text through SetValue.
  void AddText(const QString& Text);
  void SetText(const QString& Text);
  // Pairs with an empty key are left out.
  QString GetText() const;
  // Copies Source's pairs; the separator stays.
  void Assign(const TQel_Hash& Source);
  const ListItems& Items(int i) const { return FItems.at(i); }

private:
  qsizetype IndexOf(const QString& Key) const;

  QList<ListItems> FItems;
  QString FSeparator = QStringLiteral("&");
};
