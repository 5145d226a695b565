#include "model/Hash.h"

#include <gtest/gtest.h>

namespace {

QList<QPair<QString, QString>> Pairs(const TQel_Hash& table) {
  QList<QPair<QString, QString>> pairs;
  for (int i = 0; i < table.Count(); ++i)
    pairs.append({table.Items(i).Key, table.Items(i).Value});
  return pairs;
}

TQel_Hash FromText(const QString& text) {
  TQel_Hash table;
  table.SetText(text);
  return table;
}

using PairList = QList<QPair<QString, QString>>;

TEST(HashTest, SetValueReplacesInPlaceOrAppends) {
  TQel_Hash table;
  EXPECT_TRUE(table.SetValue("b", "1"));
  EXPECT_TRUE(table.SetValue("a", "2"));
  EXPECT_FALSE(table.SetValue("b", "3"));
  EXPECT_TRUE(table.SetValue("B", "4"));
  EXPECT_TRUE(table.SetValue("", "5"));
  EXPECT_FALSE(table.SetValue("", "6"));
  EXPECT_EQ(Pairs(table), PairList({{"b", "3"}, {"a", "2"}, {"B", "4"}, {"", "6"}}));
}

TEST(HashTest, MissingKeyAndEmptyValueReadAlike) {
  TQel_Hash table;
  table.SetValue("empty", "");
  EXPECT_EQ(table.GetValue("missing"), "");
  EXPECT_EQ(table.GetValue("empty"), "");
  EXPECT_TRUE(table.HasKey("empty"));
  EXPECT_FALSE(table.HasKey("missing"));
  EXPECT_FALSE(table.HasKey("EMPTY"));
}

TEST(HashTest, EmptyTextReadsAsOneEmptyPair) {
  const TQel_Hash table = FromText("");
  EXPECT_EQ(table.Count(), 1);
  EXPECT_EQ(Pairs(table), PairList({{"", ""}}));
  EXPECT_EQ(table.GetText(), "");
  EXPECT_EQ(table.JoinValues(","), "");
  EXPECT_EQ(FromText(TQel_Hash().GetText()).Count(), 1); // an empty table does not survive
}

TEST(HashTest, EmptyPiecesAndPiecesWithoutEqualsReadAsTheEmptyPair) {
  EXPECT_EQ(Pairs(FromText("a=1&")), PairList({{"a", "1"}, {"", ""}}));
  EXPECT_EQ(Pairs(FromText("a=1&&b=2")), PairList({{"a", "1"}, {"", ""}, {"b", "2"}}));
  EXPECT_EQ(Pairs(FromText("flag")), PairList({{"", ""}}));
  EXPECT_EQ(Pairs(FromText("flag&a=1&=v")), PairList({{"", "v"}, {"a", "1"}}));
}

TEST(HashTest, EmptyKeyPairIsReadButNeverWritten) {
  const TQel_Hash table = FromText("=v");
  EXPECT_EQ(Pairs(table), PairList({{"", "v"}}));
  EXPECT_EQ(table.GetText(), "");
  EXPECT_EQ(table.JoinValues(","), "v");
}

TEST(HashTest, FirstEqualsSplitsAndLaterKeysReplaceInPlace) {
  const TQel_Hash table = FromText("k=v=w");
  EXPECT_EQ(Pairs(table), PairList({{"k", "v=w"}}));
  EXPECT_EQ(table.GetText(), "k=v=w");
  EXPECT_EQ(Pairs(FromText("x=1&X=2&x=3")), PairList({{"x", "3"}, {"X", "2"}}));
}

TEST(HashTest, SeparatorsInsideValuesAreNotEscaped) {
  TQel_Hash table;
  table.SetValue("a", "x&y");
  EXPECT_EQ(table.GetText(), "a=x&y");
  EXPECT_EQ(Pairs(FromText(table.GetText())), PairList({{"a", "x"}, {"", ""}}));
}

TEST(HashTest, LineBreaksCutPiecesToo) {
  EXPECT_EQ(Pairs(FromText("a=1\r\nb=2")), PairList({{"a", "1"}, {"b", "2"}}));
  EXPECT_EQ(Pairs(FromText("a=1\n&b=2")), PairList({{"a", "1"}, {"", ""}, {"b", "2"}}));
  EXPECT_EQ(Pairs(FromText("a=1\rb=2\n")), PairList({{"a", "1"}, {"b", "2"}, {"", ""}}));
}

TEST(HashTest, AddTextMergesWhileSetTextReplaces) {
  TQel_Hash table = FromText("a=1&b=2");
  table.AddText("b=3&c=4");
  EXPECT_EQ(Pairs(table), PairList({{"a", "1"}, {"b", "3"}, {"c", "4"}}));
  EXPECT_EQ(table.JoinValues(" | "), "1 | 3 | 4");
  table.SetText("c=5");
  EXPECT_EQ(Pairs(table), PairList({{"c", "5"}}));
  table.Clear();
  EXPECT_EQ(table.Count(), 0);
}

TEST(HashTest, AssignCopiesPairsInOrder) {
  const TQel_Hash source = FromText("b=1&a=2");
  TQel_Hash target = FromText("z=9");
  target.Assign(source);
  EXPECT_EQ(Pairs(target), Pairs(source));
  target.SetValue("b", "changed");
  EXPECT_EQ(source.GetValue("b"), "1");
  target.Assign(TQel_Hash());
  EXPECT_EQ(target.Count(), 0);
  target.SetText("a=1&b=2");
  EXPECT_EQ(target.GetText(), "a=1&b=2"); // the separator survives an assignment
}

} // namespace
