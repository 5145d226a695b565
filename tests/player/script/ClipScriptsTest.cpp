#include "player/ActionAssembler.h"
#include "player/ShockwaveFlash.h"
#include "player/SwfBuilder.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace SwfBuilder;
using Asm = ActionAssembler;

namespace {

constexpr int Play = 0x06, Stop = 0x07, Trace = 0x26, Pop = 0x17;

// A 100 x 20 pixel clip whose frame-1 script is the given actions, written as SWF 8.
QByteArray ClipWithScript(const QByteArray& scriptTags, const QByteArray& before = {}) {
  return File(before + RectangleShape(1, QRect(0, 0, 2000, 400), Qt::blue) + Place(1, 1) +
                  scriptTags + ShowFrame() + ShowFrame(),
              'F', 2000, 400, 8);
}

class ClipScriptsTest : public testing::Test {
protected:
  // Loads bytes into level 101 as the designer does and lets the queued load run.
  QSignalSpy* Load(const QByteArray& bytes) {
    FSpy = std::make_unique<QSignalSpy>(&FFlash, &TShockwaveFlash::FSCommand);
    FFlash.LoadMovie(101, Save(FDir.filePath(QStringLiteral("clip%1.swf").arg(++FFiles)), bytes));
    QCoreApplication::processEvents();
    return FSpy.get();
  }
  bool Announced() const {
    return FSpy->count() == 1 && (*FSpy)[0][0].toString() == "load" &&
           (*FSpy)[0][1].toString() == "_level101";
  }

  QTemporaryDir FDir;
  TShockwaveFlash FFlash;
  std::unique_ptr<QSignalSpy> FSpy;
  int FFiles = 0;
};

} // namespace

TEST_F(ClipScriptsTest, ClipsAsAuthoringToolsWriteThemAnnounceThemselves) {
  // fscommand("load", this) as compiled: the clip itself is the argument.
  const Asm announce = Asm().FSCommand("load", "this");
  const std::pair<const char*, Asm> scripts[] = {
      {"stop", Asm().Op(Stop).Append(announce)},
      {"trace", Asm().Push("ready").Op(Trace).Append(announce)},
      {"gotoAndStop(1)", Asm().Record(0x81, QByteArray(2, '\0')).Op(Stop).Append(announce)},
      {"play", Asm().Op(Play).Append(announce)},
      {"tellTarget", Asm().SetTarget("").Op(Play).SetTarget("").Append(announce)},
      {"unknown actions", Asm().Op(0x02).Record(0xC7, "abc").Op(0x7F).Append(announce)},
      {"frame label and quality",
       Asm().Record(0x8C, QByteArray("start\0", 6)).Op(0x08).Op(0x09).Append(announce)},
      {"waitForFrame", Asm().Record(0x8A, Writer().U16(1).U8(1).Data()).Op(Play).Append(announce)},
  };
  for (const auto& [name, script] : scripts) {
    SCOPED_TRACE(name);
    Load(ClipWithScript(script.Tag()));
    EXPECT_TRUE(Announced());
    EXPECT_EQ(FFlash.LoadError(101), "");
    EXPECT_EQ(FFlash.TGetProperty("_level101", 8), "100");
  }
}

TEST_F(ClipScriptsTest, ScriptsSetWhatTheHostReads) {
  // _root.item.prop set through a "path:variable" name and a function, as a control does.
  Asm script;
  script.DefineFunction("describe", {"key"},
                        Asm().Push("key").Op(0x1C).Push("=on").Op(0x21).Op(0x3E));
  script.Set("/item:prop", Asm().Push("power").CallFunction("describe", 1));
  script.Append(Asm().FSCommand("load", "this"));
  const QByteArray item = Sprite(2, Asm().SetText("ready", "1").Tag());
  Load(ClipWithScript(script.Tag(), item + Place(2, 2, 0, 0, "item")));
  EXPECT_TRUE(Announced());
  EXPECT_EQ(FFlash.GetVariable("_level101.item.prop"), "power=on");
  EXPECT_EQ(FFlash.GetVariable("_level101.item.ready"), "1");
}

TEST_F(ClipScriptsTest, ActionScript3MoviesShowFrameOneWithoutRunningScripts) {
  const QByteArray announce = Asm().FSCommand("load", "this").Tag();
  const QByteArray flagged = Tag(69, Writer().U32(0x08).Data());
  const QByteArray bytecode = Tag(82, Writer().U32(1).Text("frame1").Bytes("\x10\x00").Data());
  for (const QByteArray& marker : {flagged, bytecode}) {
    Load(ClipWithScript(announce, marker));
    EXPECT_EQ(FSpy->count(), 0);
    EXPECT_TRUE(FFlash.LoadError(101).contains("ActionScript 3"))
        << FFlash.LoadError(101).toStdString();
    EXPECT_TRUE(FFlash.LoadError(101).contains(FDir.path()));
    EXPECT_EQ(FFlash.TGetProperty("_level101", 8), "100");
  }
  // The flag without ActionScript 3 leaves a movie's scripts running.
  Load(ClipWithScript(announce, Tag(69, Writer().U32(0x01).Data())));
  EXPECT_TRUE(Announced());
  EXPECT_EQ(FFlash.LoadError(101), "");
}
