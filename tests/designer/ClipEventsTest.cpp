#include "ProjectFixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

// What a clip's FSCommand does, by command and by the two flags.
class ClipEventsTest : public ProjectTest {
protected:
  void SetUp() override {
    ProjectTest::SetUp();
    CreateWithDemoRepository();
  }

  QString LastLogLine() const { return Window->Memo1->toPlainText().split('\n').last(); }
};

TEST_F(ClipEventsTest, OnlyTheExactLoadCommandActsAndEveryCommandIsLogged) {
  WriteFile(WorkDir + "p.vlq",
            ProjectText("", "<element filename=\"button\" id=\"101\" x=\"5\" y=\"6\" "
                            "name=\"Stored\"/>"));
  LoadProject(WorkDir + "p.vlq");
  TFlashElement* element = Window->FElements.FItems.first();
  element->FName = QStringLiteral("Edited");
  element->FShown = true;

  for (const char* command : {"Load", "LOAD", "mouseup"}) {
    Window->ShockwaveFlashFSCommand(command, QStringLiteral("_level101"));
    EXPECT_EQ(LastLogLine(), QString(command) + "=_level101");
    EXPECT_EQ(Window->Edit2->text(), command);
    EXPECT_EQ(Window->Edit3->text(), "_level101");
  }
  EXPECT_EQ(element->FName, QStringLiteral("Edited"));
  EXPECT_TRUE(element->FShown);

  // Object ids are matched exactly: no leading zero, no other prefix.
  Window->ShockwaveFlashFSCommand(QStringLiteral("load"), QStringLiteral("_level0101"));
  Window->ShockwaveFlashFSCommand(QStringLiteral("load"), QStringLiteral("_Level101"));
  EXPECT_EQ(element->FName, QStringLiteral("Edited"));

  Window->ShockwaveFlashFSCommand(QStringLiteral("load"), QStringLiteral("_level101"));
  EXPECT_EQ(element->FName, QStringLiteral("Stored"));
  EXPECT_FALSE(element->FShown) << "a loaded clip waits hidden for the next page refresh";

  Window->ShockwaveFlashFSCommand(QStringLiteral("test"), QStringLiteral("New caption"));
  EXPECT_EQ(Window->windowTitle(), QStringLiteral("New caption"));
}

TEST_F(ClipEventsTest, StoredAttributesMergeItemPropertiesAndReplaceSuffixes) {
  WriteFile(WorkDir + "p.vlq",
            ProjectText("<page name=\"Main\"/>",
                        "<element filename=\"button\" id=\"101\" x=\"5\" y=\"6\" width=\"50\">"
                        "<flash_info name=\"color=red&amp;extra=1\"/>"
                        "<OnExecute>Drv::Cmd('a')</OnExecute>"
                        "<flash_suffix name=\"s=1\"/></element>"
                        "<element filename=\"lamp\" id=\"101\" x=\"8\" y=\"9\"/>"));
  LoadProject(WorkDir + "p.vlq");
  const TFlashElement* button = Window->FElements.FItems.first();
  // The later node with id 101 (the lamp's) reached the button as well: last match wins.
  EXPECT_EQ(button->FX, 8);
  EXPECT_EQ(button->FWidth, 50) << "its own node's width, taken when it was read, stays";
  EXPECT_EQ(button->FPage, QStringLiteral("all"));

  // A node that names the level once applies all it holds.
  WriteFile(WorkDir + "q.vlq",
            ProjectText("", "<element filename=\"button\" id=\"101\" x=\"5\" y=\"6\" "
                            "width=\"50\"><flash_info name=\"color=red&amp;extra=1\"/>"
                            "<OnExecute>Drv::Cmd('a')</OnExecute>"
                            "<flash_suffix name=\"s=1\"/></element>"));
  LoadProject(WorkDir + "q.vlq");
  const TFlashElement* loaded = Window->FElements.FItems.first();
  EXPECT_EQ(loaded->FWidth, 50);
  EXPECT_EQ(loaded->FProps.GetText(), QStringLiteral("caption=Power&color=red&extra=1"));
  EXPECT_EQ(loaded->FSuffix.GetText(), QStringLiteral("s=1"));
  EXPECT_EQ(loaded->FOnExecute, QStringLiteral("Drv::Cmd('a')"));
}

TEST_F(ClipEventsTest, WithoutAStoredNodeTheElementTakesTheSelectedPage) {
  Window->FApplyStoredAttributes = true;
  Window->XMLDocument.setContent(QByteArray("<interface><entities/></interface>"));
  Window->LBPages->addItem(QStringLiteral("Main"));
  Window->LBPages->setCurrentRow(1);
  TFlashElement* element = AddClip(QStringLiteral("lamp"));
  EXPECT_EQ(element->FPage, QStringLiteral("Main"));
  Window->LBPages->setCurrentRow(0);
  element->FPage = QStringLiteral("Elsewhere");
  Window->XMLDocument.setContent(QByteArray("<other/>"));
  Window->ShockwaveFlashFSCommand(QStringLiteral("load"), element->GetLevelName());
  EXPECT_EQ(element->FPage, QStringLiteral("all"));
  EXPECT_TRUE(Window->FStoredEntitiesNode.isNull());
}

} // namespace
