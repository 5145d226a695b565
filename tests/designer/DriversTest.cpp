#include "SelectionFixture.h"
#include "designer/formats/DriverCatalogue.h"

#include <QListWidget>
#include <QTabWidget>
#include <QToolButton>
#include <stdexcept>

using DriverCatalogue::TParameterRow;

namespace {

QDomDocument Parse(const QByteArray& Text) {
  QDomDocument document;
  DriverCatalogue::ParseDocument(document, Text);
  return document;
}

// Two drivers named A (the second one wins lookups) around a driver B. Cmd of A mixes a string
// parameter, an enum parameter and one of a datatype the grid does not offer.
const QByteArray Catalogue = R"(<?xml version="1.0"?>
<drivers>
 <driver name="A"><commands><command name="Old"/></commands></driver>
 <driver name="B"/>
 <driver name="A">
  <commands>
   <command name="Cmd">
    <parameter type="text" caption="Level"/>
    <parameter type="count" caption="Count"/>
    <parameter type="switch" caption="Mode"/>
   </command>
   <command name="Bare"/>
   <command name="Twice">
    <parameter type="text" caption="Same"/>
    <parameter type="text" caption="Same"/>
   </command>
  </commands>
  <types>
   <type name="text" datatype="string"/>
   <type name="count" datatype="number"/>
   <type name="switch" datatype="enum"><value>on</value><value>off</value></type>
  </types>
 </driver>
</drivers>
)";

} // namespace

// The catalogue reader: names in document order, the last of equal names wins, rows by
// datatype.
TEST(DriverCatalogueTest, ListsDriversCommandsAndParameterRows) {
  const QDomDocument document = Parse(Catalogue);
  EXPECT_EQ(DriverCatalogue::DriverNames(document), (QStringList{"A", "B", "A"}));
  EXPECT_EQ(DriverCatalogue::CommandNames(document, "A"), (QStringList{"Cmd", "Bare", "Twice"}));
  EXPECT_EQ(DriverCatalogue::CommandNames(document, "B"), QStringList());
  EXPECT_EQ(DriverCatalogue::CommandNames(document, "a"), QStringList()) << "case-sensitive";
  EXPECT_EQ(DriverCatalogue::ParameterRows(document, "A", "Cmd"),
            (QList<TParameterRow>{{"Level", false, {}}, {"Mode", true, {"on", "off"}}}));
  EXPECT_TRUE(DriverCatalogue::ParameterRows(document, "A", "Bare").isEmpty());
  EXPECT_TRUE(DriverCatalogue::ParameterRows(document, "A", "Old").isEmpty());
  EXPECT_TRUE(DriverCatalogue::FindChildByName("", document.documentElement()).isNull());
}

// What the reader cannot use reads as empty instead of faulting; a document that is no XML
// throws and leaves the previous tree in place.
TEST(DriverCatalogueTest, BrokenCataloguesNeverFault) {
  QDomDocument document = Parse("<drivers><d name=\"Kept\"/></drivers>");
  try {
    DriverCatalogue::ParseDocument(document, "<drivers><d name=\"x\">");
    ADD_FAILURE() << "no parse error";
  } catch (const std::runtime_error& error) {
    EXPECT_TRUE(QString(error.what()).startsWith("The driver catalogue is not well-formed XML"));
    EXPECT_TRUE(QString(error.what()).contains("line 1")) << error.what();
  }
  EXPECT_EQ(DriverCatalogue::DriverNames(document), QStringList{"Kept"});

  EXPECT_TRUE(
      DriverCatalogue::DriverNames(Parse("<catalogue><d name=\"A\"/></catalogue>")).isEmpty());
  const QDomDocument holes = Parse(R"(<drivers>
    <d/><d name=""/><!-- remark -->text
    <d name="NoTypes"><commands><c/><c name="Cmd"><p type="t" caption="A"/><p/></c></commands></d>
    <d name="Holes"><commands><c name="Cmd"><p caption="NoType"/><p type="unknown" caption="U"/>
      <p type="empty"/><p type="nameless" caption="N"/></c></commands>
     <types><t name="empty" datatype="enum"/><t datatype="string"/></types></d>
   </drivers>)");
  EXPECT_EQ(DriverCatalogue::DriverNames(holes), (QStringList{"NoTypes", "Holes"}));
  EXPECT_EQ(DriverCatalogue::CommandNames(holes, "NoTypes"), QStringList{"Cmd"});
  EXPECT_TRUE(DriverCatalogue::ParameterRows(holes, "NoTypes", "Cmd").isEmpty());
  EXPECT_EQ(DriverCatalogue::ParameterRows(holes, "Holes", "Cmd"),
            (QList<TParameterRow>{{"", true, {}}}));
  EXPECT_TRUE(DriverCatalogue::ParameterRows(QDomDocument(), "A", "Cmd").isEmpty());
}

// The demo catalogue the program ships: every parameter of every command has a row.
TEST(DriverCatalogueTest, DemoCatalogueGivesARowForEveryParameter) {
  QFile file(QString(VISTALOOM_SOURCE_DIR) + "/demo/drivers.xml");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  const QDomDocument document = Parse(text);
  qsizetype rows = 0;
  for (const QString& driver : DriverCatalogue::DriverNames(document))
    for (const QString& command : DriverCatalogue::CommandNames(document, driver))
      for (const TParameterRow& row : DriverCatalogue::ParameterRows(document, driver, command)) {
        EXPECT_TRUE(!row.IsEnum || !row.Values.isEmpty()) << command.toStdString();
        ++rows;
      }
  EXPECT_EQ(rows, text.count("<parameter "));
}

// The Actions tab over a loaded project of two clips.
class DriversTest : public SelectionTest {
protected:
  void WriteCatalogue(const QByteArray& text) { WriteFile(WorkDir + "drivers.xml", text); }

  // Loads a project with a button and a lamp on "all"; the button carries two bindings whose
  // line breaks are single line feeds.
  void LoadProjectOfTwo() {
    WriteFile(WorkDir + "two.vlq",
              ProjectText("", "<element filename=\"button\" x=\"10\" y=\"10\" width=\"40\" "
                              "height=\"40\" id=\"101\" page=\"all\" name=\"b\">"
                              "<OnExecute>X::One()\nX::Two('1')\n</OnExecute></element>"
                              "<element filename=\"lamp\" x=\"100\" y=\"10\" width=\"40\" "
                              "height=\"40\" id=\"102\" page=\"all\" name=\"l\"/>"));
    LoadProject(WorkDir + "two.vlq");
    Window->LBPagesClick(Window->LBPages);
    ASSERT_EQ(Window->ListBoxItem->count(), 2);
  }

  // Selects the given rows of the Objects list as a user does.
  void SelectElements(std::initializer_list<int> rows) {
    Window->ListBoxItem->clearSelection();
    for (int row : rows)
      Window->ListBoxItem->item(row)->setSelected(true);
  }

  static QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
      texts << list->item(row)->text();
    return texts;
  }

  // Clicks the row of list showing text (the last one with that text).
  static void Choose(QListWidget* list, const QString& text) {
    const auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty()) << text.toStdString();
    list->setCurrentItem(items.last());
  }

  void ChooseCommand(const QString& driver, const QString& command) {
    Choose(Window->ListBoxDrivers, driver);
    Choose(Window->ListBoxFunctions, command);
  }

  void Add() { Window->AddOnEvent->trigger(); }
  void Delete() { Window->DeleteEvent->trigger(); }
};

TEST_F(DriversTest, ProjectLoadListsDriversAndClicksFillCommandsAndParameterGrid) {
  CreateShown();
  WriteCatalogue(Catalogue);
  EXPECT_EQ(Window->ListBoxDrivers->count(), 0) << "not filled at start-up";
  LoadProjectOfTwo();
  EXPECT_EQ(Texts(Window->ListBoxDrivers), (QStringList{"A", "B", "A"}));

  Window->ListBoxDrivers->setCurrentRow(0);
  EXPECT_EQ(Texts(Window->ListBoxFunctions), (QStringList{"Cmd", "Bare", "Twice"}));
  Choose(Window->ListBoxFunctions, "Cmd");
  TValueListEditor* grid = Window->VEDriver;
  ASSERT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(grid->Key(0), "Level");
  EXPECT_EQ(grid->Value(0), "");
  EXPECT_FALSE(grid->ReadOnly(0));
  EXPECT_EQ(grid->Key(1), "Mode");
  EXPECT_EQ(grid->Value(1), "on");
  EXPECT_TRUE(grid->ReadOnly(1));
  EXPECT_EQ(grid->PickList(1), (QStringList{"on", "off"}));
  EXPECT_FALSE(grid->isHidden());

  // Another driver lists its commands and leaves the grid alone; a command without rows
  // hides it.
  Choose(Window->ListBoxDrivers, "B");
  EXPECT_TRUE(Texts(Window->ListBoxFunctions).isEmpty());
  EXPECT_EQ(grid->RowCount(), 2);
  ChooseCommand("A", "Bare");
  EXPECT_EQ(grid->RowCount(), 0);
  EXPECT_TRUE(grid->isHidden());

  // A repeated caption is refused by the grid: the error box, the rows so far hidden.
  Choose(Window->ListBoxFunctions, "Twice");
  EXPECT_EQ(Dialogs.Exceptions.size(), 1);
  EXPECT_EQ(grid->RowCount(), 1);
  EXPECT_TRUE(grid->isHidden());
}

// Add and Delete write the event list as the OnExecute text of the whole selection.
TEST_F(DriversTest, AddAndDeleteMakeTheBindingTextOfTheSelection) {
  CreateShown();
  WriteCatalogue(Catalogue);
  LoadProjectOfTwo();
  TFlashElement* button = Window->ListBoxElement(0);
  TFlashElement* lamp = Window->ListBoxElement(1);
  const int historyCount = Window->LBHistory->count();

  SelectElements({1});
  EXPECT_TRUE(Texts(Window->ListBoxEvents).isEmpty());
  Add();
  EXPECT_EQ(lamp->FOnExecute, "") << "no driver or command chosen";

  ChooseCommand("A", "Cmd");
  Add();
  EXPECT_EQ(lamp->FOnExecute, "A::Cmd('','on')\r\n");
  Window->VEDriver->SetValue(0, "3");
  Window->VEDriver->SetValue(1, "off");
  Add();
  EXPECT_EQ(lamp->FOnExecute, "A::Cmd('','on')\r\nA::Cmd('3','off')\r\n");

  // Deleting with no line selected writes the text again; the first line, then the last.
  lamp->FOnExecute.clear();
  Delete();
  EXPECT_EQ(lamp->FOnExecute, "A::Cmd('','on')\r\nA::Cmd('3','off')\r\n");
  Window->ListBoxEvents->setCurrentRow(0);
  Delete();
  EXPECT_EQ(lamp->FOnExecute, "A::Cmd('3','off')\r\n");
  Window->ListBoxEvents->setCurrentRow(0);
  Delete();
  EXPECT_EQ(lamp->FOnExecute, "");

  // The button's stored bindings read back line by line. With both selected, the lines shown
  // are the lamp's (the last selected): Add gives both elements those lines and the new one.
  SelectElements({0});
  EXPECT_EQ(Texts(Window->ListBoxEvents), (QStringList{"X::One()", "X::Two('1')"}));
  SelectElements({0, 1});
  ChooseCommand("A", "Bare");
  Add();
  EXPECT_EQ(button->FOnExecute, "A::Bare()\r\n");
  EXPECT_EQ(lamp->FOnExecute, "A::Bare()\r\n");
  EXPECT_EQ(Window->LBHistory->count(), historyCount) << "bindings take no undo entry";
}

// A value still being typed into a parameter cell counts when Add is pressed.
TEST_F(DriversTest, AddTakesTheValueBeingTyped) {
  CreateShown();
  WriteCatalogue(Catalogue);
  LoadProjectOfTwo();
  SelectElements({0});
  Window->PCMain->setCurrentWidget(Window->TabSheet8);
  ChooseCommand("A", "Cmd");
  // The loading dialog took the activation with it.
  Window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  TypeInto(Window->VEDriver, "Level", "7");
  QTest::mouseClick(Window->Button11, Qt::LeftButton);
  EXPECT_EQ(Texts(Window->ListBoxEvents).last(), "A::Cmd('7','on')");
}

// Without a catalogue the lists stay empty and nothing is said; a broken one ends the load in
// the error box until it is repaired; once read, the catalogue is kept for the run.
TEST_F(DriversTest, MissingBrokenAndChangedCatalogues) {
  CreateShown();
  LoadProjectOfTwo();
  EXPECT_EQ(Window->ListBoxDrivers->count(), 0);
  EXPECT_TRUE(Dialogs.Exceptions.isEmpty());
  EXPECT_TRUE(Dialogs.Messages.isEmpty());

  WriteCatalogue("<drivers><d name=\"A\">");
  CancelLoadAfterError();
  LoadProject(WorkDir + "two.vlq");
  ASSERT_EQ(Dialogs.Exceptions.size(), 1);
  EXPECT_TRUE(Dialogs.Exceptions[0].startsWith("The driver catalogue is not well-formed XML"));
  EXPECT_TRUE(Dialogs.Exceptions[0].contains("drivers.xml"));
  EXPECT_EQ(Window->ListBoxDrivers->count(), 0);
  EXPECT_EQ(Window->ListBoxItem->count(), 2) << "the load ended before it began";

  WriteCatalogue(Catalogue);
  LoadProject(WorkDir + "two.vlq");
  EXPECT_EQ(Texts(Window->ListBoxDrivers), (QStringList{"A", "B", "A"}));
  WriteCatalogue("<drivers><d name=\"New\"/></drivers>");
  LoadProject(WorkDir + "two.vlq");
  EXPECT_EQ(Texts(Window->ListBoxDrivers), (QStringList{"A", "B", "A"}));
  QFile::remove(WorkDir + "drivers.xml");
  LoadProject(WorkDir + "two.vlq");
  EXPECT_EQ(Window->ListBoxDrivers->count(), 0);
}
