#include "model/ObjectList.h"

#include "model/ClipFixture.h"
#include "model/FlashElement.h"
#include "player/ShockwaveFlash.h"

#include <gtest/gtest.h>

namespace {

class ObjectListTest : public testing::Test {
protected:
  // A shown element at (X, Y) of the given size, not yet in the list.
  TFlashElement* Element(int Level, const QString& Page, double X = 0, double Y = 0,
                         double Width = 10, double Height = 10) {
    auto& E = Store.emplace_back(std::make_unique<TFlashElement>(Level, ClipFile));
    E->FPage = Page;
    E->FX = X;
    E->FY = Y;
    E->FWidth = Width;
    E->FHeight = Height;
    E->SetShown(true);
    return E.get();
  }

  TFlashElement* Added(int Level, const QString& Page, double X = 0, double Y = 0,
                       double Width = 10, double Height = 10) {
    TFlashElement* E = Element(Level, Page, X, Y, Width, Height);
    List.Add(E);
    return E;
  }

  static QStringList Texts(const QList<TElementText>& Strings) {
    QStringList Result;
    for (const TElementText& Line : Strings)
      Result << Line.Text;
    return Result;
  }

  TClipFolder Clips;
  QString ClipFile = Clips.Clip(QStringLiteral("lamp"));
  std::vector<std::unique_ptr<TFlashElement>> Store;
  TObjectList List;
};

} // namespace

TEST_F(ObjectListTest, AddCollectsPagesExactlyAndListsDoubleAddsTwice) {
  TFlashElement* NoPage = Added(101, QString());
  EXPECT_EQ(NoPage->FPage, QStringLiteral("all"));
  Added(102, QStringLiteral("Main"));
  Added(103, QStringLiteral("main"));
  Added(104, QStringLiteral("Main"));
  EXPECT_EQ(List.FPages, QStringList({"all", "Main", "main"}));

  List.Add(NoPage);
  EXPECT_EQ(List.Count(), 5);
  QList<TElementText> Strings;
  List.ShowPage(QStringLiteral("all"), Strings);
  EXPECT_EQ(Texts(Strings), QStringList({"101--lamp", "101--lamp"}));
  EXPECT_EQ(List.FSelCount, 0);

  List.Clear();
  EXPECT_EQ(List.Count(), 0);
  EXPECT_EQ(List.FPages.size(), 3);
  EXPECT_TRUE(NoPage->FShown); // still loaded and shown: Clear only drops references
}

TEST_F(ObjectListTest, HitTestIsStrictAndTakesTheTopmostShownElement) {
  TFlashElement* Below = Added(101, QStringLiteral("all"), 0, 0, 100, 100);
  TFlashElement* Top = Added(102, QStringLiteral("all"), 10, 10, 20, 10);
  Added(103, QStringLiteral("all"), 50, 50, 0, 30); // no width
  Added(104, QStringLiteral("all"), 60, 60, 30, 0); // no height

  EXPECT_EQ(List.ElementAt(20, 15), Top);
  for (const QPointF Edge : {QPointF(10, 15), QPointF(30, 15), QPointF(20, 10), QPointF(20, 20)})
    EXPECT_EQ(List.ElementAt(Edge.x(), Edge.y()), Below) << Edge.x() << "," << Edge.y();
  EXPECT_EQ(List.ElementAt(0, 50), nullptr);
  EXPECT_EQ(List.ElementAt(50, 60), Below);
  EXPECT_EQ(List.ElementAt(70, 60), Below);

  Top->SetShown(false);
  EXPECT_EQ(List.ElementAt(20, 15), Below);
  Below->SetVisible(false);
  EXPECT_EQ(List.ElementAt(20, 15), nullptr);
}

TEST_F(ObjectListTest, ShowPageListsPageAndAllTopmostFirstAndHidesTheRest) {
  TFlashElement* Shared = Added(101, QStringLiteral("all"));
  TFlashElement* Main = Added(102, QStringLiteral("Main"));
  TFlashElement* Other = Added(103, QStringLiteral("Other"));
  TFlashElement* Invisible = Added(104, QStringLiteral("Main"));
  Main->FName = QStringLiteral("power");
  Invisible->SetVisible(false);
  Shared->SetShown(false);
  Main->FSelected = true;

  QList<TElementText> Strings{{QStringLiteral("stale"), nullptr}};
  List.ShowPage(QStringLiteral("Main"), Strings);
  EXPECT_EQ(Texts(Strings), QStringList({"104--lamp", "102-power-lamp", "101--lamp"}));
  EXPECT_EQ(Strings[1].Element, Main);
  EXPECT_TRUE(Shared->FShown);
  EXPECT_TRUE(Main->FShown);
  EXPECT_FALSE(Other->FShown);
  EXPECT_FALSE(Invisible->FShown);
  EXPECT_TRUE(Main->FSelected);

  List.ShowPage(QStringLiteral("all"), Strings);
  EXPECT_EQ(Texts(Strings), QStringList({"101--lamp"}));
  EXPECT_FALSE(Main->FShown);

  TObjectList Empty;
  Empty.ShowPage(QStringLiteral("Main"), Strings);
  EXPECT_TRUE(Strings.isEmpty());
}

TEST_F(ObjectListTest, ShowPageReachesTheClipsOnTheStage) {
  TShockwaveFlash Stage;
  Stage.SetMovie(Clips.Clip(QStringLiteral("background")));
  Stage.Play();
  TFlashElement* Main = Added(101, QStringLiteral("Main"));
  TFlashElement* Other = Added(102, QStringLiteral("Other"));
  int Loads = 0;
  QObject::connect(&Stage, &TShockwaveFlash::FSCommand,
                   [&](const QString&, const QString&) { ++Loads; });
  Main->AttachToFlash(&Stage);
  Other->AttachToFlash(&Stage);
  ASSERT_TRUE(WaitFor([&] { return Loads == 2; }));

  QList<TElementText> Strings;
  List.ShowPage(QStringLiteral("Other"), Strings);
  EXPECT_EQ(Stage.TGetProperty(QStringLiteral("_root._level101"), 7), QStringLiteral("0"));
  EXPECT_EQ(Stage.TGetProperty(QStringLiteral("_root._level102"), 7), QStringLiteral("1"));
}

TEST_F(ObjectListTest, DeletePageSparesAllUnlessAllIsDeleted) {
  TFlashElement* Shared = Added(101, QStringLiteral("all"));
  TFlashElement* Main = Added(102, QStringLiteral("Main"));
  TFlashElement* Lower = Added(103, QStringLiteral("main"));
  Main->FSelected = true;
  Shared->FSelected = true;
  List.RebuildSelection();

  List.DeletePage(QStringLiteral("Main"));
  EXPECT_EQ(List.FItems, QList<TFlashElement*>({Shared, Lower}));
  EXPECT_FALSE(Main->FShown);
  EXPECT_EQ(List.FSelectedList, QList<TFlashElement*>({Shared}));
  EXPECT_EQ(List.FSelCount, 1);

  List.DeletePage(QStringLiteral("all"));
  EXPECT_EQ(List.FItems, QList<TFlashElement*>({Lower}));
  EXPECT_FALSE(Shared->FShown);
  EXPECT_EQ(List.FSelCount, 0);
}

TEST_F(ObjectListTest, DeleteByLevelNameRemovesEveryMatchAndRebuildsSelection) {
  TFlashElement* First = Added(101, QStringLiteral("all"));
  TFlashElement* Keep = Added(102, QStringLiteral("all"));
  TFlashElement* Twin = Added(101, QStringLiteral("Main"));
  Keep->FSelected = true; // set directly, not yet counted

  List.DeleteByLevelName(QStringLiteral("_level999"));
  EXPECT_EQ(List.Count(), 3);
  EXPECT_EQ(List.FSelCount, 1);

  List.DeleteByLevelName(QStringLiteral("_level101"));
  EXPECT_EQ(List.FItems, QList<TFlashElement*>({Keep}));
  EXPECT_FALSE(First->FShown);
  EXPECT_FALSE(Twin->FShown);
}

TEST_F(ObjectListTest, SelectionFlagsAndCounts) {
  TFlashElement* Shared = Added(101, QStringLiteral("all"));
  TFlashElement* Main = Added(102, QStringLiteral("Main"));
  TFlashElement* Twin = Added(102, QStringLiteral("Other"));

  List.Select(Main);
  List.Select(Main);
  EXPECT_EQ(List.FSelCount, 1);
  EXPECT_TRUE(List.FSelectedList.isEmpty());
  List.Deselect(Shared);
  EXPECT_EQ(List.FSelCount, 1);

  List.SelectIfOnPage(Shared, QStringLiteral("Main"));
  EXPECT_FALSE(Shared->FSelected);
  List.SelectIfOnPage(Shared, QStringLiteral("all"));
  EXPECT_TRUE(Shared->FSelected);
  EXPECT_EQ(List.FSelCount, 2);

  List.SelectOnly(Main);
  EXPECT_EQ(List.FSelectedList, QList<TFlashElement*>({Main, Twin}));
  EXPECT_EQ(List.FSelCount, 2);
  EXPECT_FALSE(Shared->FSelected);

  TFlashElement* Outsider = Element(105, QStringLiteral("all"));
  List.SelectOnly(Outsider);
  EXPECT_EQ(List.FSelCount, 0);
  EXPECT_FALSE(Main->FSelected);

  List.Select(Main);
  List.FMarked << QStringLiteral("_level102");
  EXPECT_EQ(List.IndexOfMarked(QStringLiteral("_level102")), 0);
  List.ClearSelection();
  EXPECT_EQ(List.FSelCount, 0);
  EXPECT_FALSE(Main->FSelected);
  EXPECT_TRUE(List.FMarked.isEmpty());
  EXPECT_EQ(List.IndexOfMarked(QStringLiteral("_level102")), -1);

  // Clear keeps the elements' flags.
  List.Select(Twin);
  List.Clear();
  EXPECT_TRUE(Twin->FSelected);
  EXPECT_EQ(List.FSelCount, 1);
}
