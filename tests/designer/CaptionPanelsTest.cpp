#include "DesignerFixture.h"
#include "designer/ValueListEditor.h"
#include "model/CapPanel.h"

#include <QTest>

namespace {

QStringList Rows(const TValueListEditor* grid) {
  QStringList rows;
  for (int row = 0; row < grid->RowCount(); ++row)
    rows << grid->Key(row) + "=" + grid->Value(row);
  return rows;
}

} // namespace

// LoadTab places one caption panel per node on the window's panel surface; selecting a panel,
// by a press on it or from code, shows its property text in the Properties grid. Without a
// surface nothing is placed; a sender that is no panel leaves the grid as it is.
TEST_F(DesignerTest, LoadTabPlacesPanelsThatShowTheirPropertiesWhenSelected) {
  TFormVistaloom& window = CreateDesigner();
  QDomDocument document;
  ASSERT_TRUE(document.setContent(
      QByteArray(R"(<tab><panel x="10" y="20"/><panel x=" 130" y="5"/></tab>)")));
  const QDomNodeList nodes = document.documentElement().childNodes();
  window.LoadTab(nodes);
  EXPECT_TRUE(window.findChildren<TPanelCaption*>().isEmpty());

  QWidget surface;
  surface.resize(300, 200);
  surface.show();
  window.FPanelContainer = &surface;
  window.LoadTab(nodes);
  const QList<TPanelCaption*> panels =
      surface.findChildren<TPanelCaption*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(panels.size(), 2);
  EXPECT_EQ(panels[0]->pos(), QPoint(10, 20));
  EXPECT_EQ(panels[1]->pos(), QPoint(130, 5));
  EXPECT_TRUE(panels[1]->isVisible());

  panels[1]->resize(100, 50);
  QTest::mousePress(panels[1]->FOverlay, Qt::LeftButton, {}, QPoint(50, 25));
  QTest::mouseRelease(panels[1]->FOverlay, Qt::LeftButton, {}, QPoint(50, 25));
  TValueListEditor* grid = window.ValueListEditor;
  EXPECT_EQ(Rows(grid), (QStringList{"Height=50", "Left=130", "name=n1", "Top=5", "Width=100",
                                     "XScale=100", "YScale=100"}));

  window.SelectElement(&surface);
  window.SelectElement(nullptr);
  EXPECT_EQ(grid->Values("Left"), "130");
  window.SelectElement(panels[0]);
  EXPECT_EQ(grid->Values("Left"), "10");
  EXPECT_EQ(grid->RowCount(), 7);
}
