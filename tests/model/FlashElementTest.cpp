#include "model/FlashElement.h"

#include "model/ClipFixture.h"
#include "platform/Numbers.h"
#include "player/ShockwaveFlash.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

constexpr int PropX = 0;
constexpr int PropY = 1;
constexpr int PropVisible = 7;
constexpr int PropWidth = 8;

// Restores the process-wide decimal separator after a test changes it.
class TSeparatorGuard {
public:
  explicit TSeparatorGuard(QChar Separator) { SetDecimalSeparator(Separator); }
  ~TSeparatorGuard() { SetDecimalSeparator(FSaved); }

private:
  QChar FSaved = DecimalSeparator();
};

class FlashElementTest : public testing::Test {
protected:
  // An element on level 101 whose clip has arrived on the stage.
  std::unique_ptr<TFlashElement> AttachedElement(const TClipContent& Content = {}) {
    auto Element =
        std::make_unique<TFlashElement>(101, Clips.Clip(QStringLiteral("lamp"), Content));
    Element->AttachToFlash(&Stage);
    EXPECT_TRUE(WaitFor([this] { return Loaded; }));
    return Element;
  }

  void SetUp() override {
    // The stage always plays a main movie on level 0, which "_root" names.
    Stage.SetMovie(Clips.Clip(QStringLiteral("background")));
    Stage.Play();
    QObject::connect(
        &Stage, &TShockwaveFlash::FSCommand, [this](const QString& Command, const QString& Args) {
          Loaded =
              Loaded || (Command == QStringLiteral("load") && Args == QStringLiteral("_level101"));
        });
  }

  TClipFolder Clips;
  TShockwaveFlash Stage;
  bool Loaded = false;
};

} // namespace

TEST_F(FlashElementTest, MeasuresSizePositionAndItemPropertiesUnderEitherSeparator) {
  for (const QChar Separator : {QLatin1Char('.'), QLatin1Char(',')}) {
    TSeparatorGuard Guard(Separator);
    TClipContent Content;
    Content.ShapeTwips = QRect(100, 140, 205, 150); // 10.25 x 7.5 pixels
    Content.ItemProps = QStringLiteral("color=red&label=Go");
    const QString File = Clips.Clip(QStringLiteral("button"), Content);

    const TFlashElement Element(101, File);
    EXPECT_EQ(Element.FTypeName, QStringLiteral("button"));
    EXPECT_EQ(Element.GetMovieFile(), File);
    EXPECT_DOUBLE_EQ(Element.FOrigWidth, 10.25);
    EXPECT_DOUBLE_EQ(Element.FOrigHeight, 7.5);
    EXPECT_DOUBLE_EQ(Element.FWidth, 10.25);
    EXPECT_DOUBLE_EQ(Element.FHeight, 7.5);
    EXPECT_DOUBLE_EQ(Element.FX, 0);
    EXPECT_DOUBLE_EQ(Element.FY, 0);
    EXPECT_EQ(Element.FPropText, QStringLiteral("color=red&label=Go"));
    ASSERT_EQ(Element.FProps.Count(), 2);
    EXPECT_EQ(Element.FProps.Items(0).Key, QStringLiteral("color"));
    EXPECT_EQ(Element.FProps.Items(1).Value, QStringLiteral("Go"));
    EXPECT_TRUE(Element.FVisible);
    EXPECT_FALSE(Element.FShown);
  }
}

TEST_F(FlashElementTest, ClipWithoutItemPropertiesHasOneEmptyPairAndStillApplies) {
  const TFlashElement Measured(101, Clips.Clip(QStringLiteral("plain")));
  EXPECT_TRUE(Measured.FPropText.isEmpty());
  ASSERT_EQ(Measured.FProps.Count(), 1);
  EXPECT_TRUE(Measured.FProps.Items(0).Key.isEmpty());
  EXPECT_TRUE(Measured.FProps.Items(0).Value.isEmpty());

  auto Element = AttachedElement();
  EXPECT_NO_THROW(Element->ApplyToFlash());
  EXPECT_EQ(Element->FProps.Count(), 1);
}

TEST_F(FlashElementTest, PositionTextOfTheRootIsRead) {
  TClipContent Content;
  Content.RootScript = [](swfgen::ActionWriter& Script) {
    Script.setVariable(QStringLiteral("_x"), QStringLiteral("12.5"));
  };
  const TFlashElement Element(101, Clips.Clip(QStringLiteral("moved"), Content));
  EXPECT_DOUBLE_EQ(Element.FX, 12.5);
}

TEST_F(FlashElementTest, MissingClipFileFailsCreation) {
  EXPECT_THROW(TFlashElement(101, Clips.Path(QStringLiteral("absent.swf"))), std::runtime_error);
}

TEST_F(FlashElementTest, GeometrySettersRoundHalvesAwayFromZeroAndReachTheClip) {
  auto Element = AttachedElement();
  Element->SetX(10.125);
  EXPECT_DOUBLE_EQ(Element->FX, 10.13);
  EXPECT_EQ(Stage.TGetProperty(QStringLiteral("_level101"), PropX), QStringLiteral("10.13"));

  Element->SetY(-2.5);
  EXPECT_DOUBLE_EQ(Element->FY, -2.5);
  EXPECT_EQ(Stage.TGetProperty(QStringLiteral("_level101"), PropY), QStringLiteral("-2.5"));

  Element->SetX(3);
  EXPECT_DOUBLE_EQ(Element->FX, 3);
  EXPECT_EQ(Stage.TGetProperty(QStringLiteral("_level101"), PropX), QStringLiteral("3"));

  Element->SetWidth(40.004);
  EXPECT_DOUBLE_EQ(Element->FWidth, 40);
  EXPECT_DOUBLE_EQ(GetFlashNumber(&Stage, QStringLiteral("_level101"), PropWidth), 40);
  EXPECT_DOUBLE_EQ(Element->XScalePercent(), 200);
}

TEST_F(FlashElementTest, UnattachedSettersOnlyStoreRoundedValues) {
  TFlashElement Element(7, Clips.Clip(QStringLiteral("gauge")));
  Element.SetWidth(1.005); // held as slightly less than 1.005
  Element.SetHeight(-0.125);
  Element.SetX(-0.001);
  EXPECT_DOUBLE_EQ(Element.FWidth, 1.0);
  EXPECT_DOUBLE_EQ(Element.FHeight, -0.13);
  EXPECT_EQ(Element.FX, 0.0);
  EXPECT_FALSE(std::signbit(Element.FX));
  Element.SetVisible(false);
  EXPECT_FALSE(Element.FVisible);
  EXPECT_EQ(Element.FFlash, nullptr);
}

TEST_F(FlashElementTest, ApplyToFlashRoundsStoredGeometryAndSendsIt) {
  auto Element = AttachedElement();
  Element->FX = 10.125;
  Element->FY = 4.994;
  Element->ApplyToFlash();
  EXPECT_DOUBLE_EQ(Element->FX, 10.13);
  EXPECT_DOUBLE_EQ(Element->FY, 4.99);
  EXPECT_EQ(Stage.TGetProperty(QStringLiteral("_level101"), PropX), QStringLiteral("10.13"));
  EXPECT_EQ(Stage.TGetProperty(QStringLiteral("_level101"), PropY), QStringLiteral("4.99"));
}

TEST_F(FlashElementTest, VisibleAndShownFlagsAndTheVisibilitySent) {
  auto Element = AttachedElement();
  Element->SetVisible(false);
  EXPECT_FALSE(Element->FVisible);
  EXPECT_FALSE(Element->FShown);
  EXPECT_EQ(Stage.TGetProperty(QStringLiteral("_root._level101"), PropVisible),
            QStringLiteral("0"));

  Element->SetShown(true);
  EXPECT_TRUE(Element->FShown);
  EXPECT_FALSE(Element->FVisible);
  EXPECT_EQ(Stage.TGetProperty(QStringLiteral("_root._level101"), PropVisible),
            QStringLiteral("1"));
}

TEST_F(FlashElementTest, SetItemPropertyKeepsTableOrderAndResendsTheWholeTable) {
  TClipContent Content;
  Content.ItemProps = QStringLiteral("color=red&label=Go");
  auto Element = AttachedElement(Content);
  // Changed in the table only: it reaches the clip with the next item-property write.
  Element->FProps.SetValue(QStringLiteral("label"), QStringLiteral("Stop"));

  Element->SetItemProperty(QStringLiteral("size"), QStringLiteral("12"));
  EXPECT_EQ(Element->FProps.GetText(), QStringLiteral("color=red&label=Stop&size=12"));
  EXPECT_EQ(Stage.GetVariable(QStringLiteral("_root._level101.item.size")), QStringLiteral("12"));
  EXPECT_EQ(Stage.GetVariable(QStringLiteral("_root._level101.item.label")),
            QStringLiteral("Stop"));
  EXPECT_EQ(Stage.GetVariable(QStringLiteral("_root._level101.item.color")), QStringLiteral("red"));

  Element->SetItemProperty(QStringLiteral("color"), QStringLiteral("blue"));
  EXPECT_EQ(Element->FProps.GetText(), QStringLiteral("color=blue&label=Stop&size=12"));
  EXPECT_EQ(Stage.GetVariable(QStringLiteral("_root._level101.item.color")),
            QStringLiteral("blue"));
}

TEST_F(FlashElementTest, AssignOffsetCopiesDataButKeepsIdentity) {
  TClipContent Content;
  Content.ItemProps = QStringLiteral("a=1");
  TFlashElement Source(101, Clips.Clip(QStringLiteral("slider"), Content));
  Source.FX = 1.5;
  Source.FY = 2.25;
  Source.FWidth = 30;
  Source.FHeight = 40;
  Source.FPage = QStringLiteral("Main");
  Source.FName = QStringLiteral("volume");
  Source.FOnExecute = QStringLiteral("Amp::Up()\r\n");
  Source.FSuffix.SetValue(QStringLiteral("_on"), QStringLiteral("1"));

  TFlashElement Copy(102, Clips.Clip(QStringLiteral("label")));
  Copy.FOnExecute = QStringLiteral("kept");
  Copy.AssignOffset(Source, 20, 20);
  EXPECT_DOUBLE_EQ(Copy.FX, 21.5);
  EXPECT_DOUBLE_EQ(Copy.FY, 22.25);
  EXPECT_DOUBLE_EQ(Copy.FWidth, 30);
  EXPECT_DOUBLE_EQ(Copy.FHeight, 40);
  EXPECT_EQ(Copy.FPage, QStringLiteral("Main"));
  EXPECT_EQ(Copy.FName, QStringLiteral("volume"));
  EXPECT_EQ(Copy.FProps.GetText(), QStringLiteral("a=1"));
  EXPECT_EQ(Copy.FSuffix.GetText(), QStringLiteral("_on=1"));
  EXPECT_EQ(Copy.FTypeName, QStringLiteral("label"));
  EXPECT_EQ(Copy.GetLevel(), 102);
  EXPECT_EQ(Copy.FOnExecute, QStringLiteral("kept"));
  EXPECT_TRUE(Copy.GetMovieFile().endsWith(QStringLiteral("label.swf")));

  // The copies are independent tables.
  Source.FProps.SetValue(QStringLiteral("a"), QStringLiteral("2"));
  EXPECT_EQ(Copy.FProps.GetText(), QStringLiteral("a=1"));
}

TEST_F(FlashElementTest, GeometryTextSetsPositionAndPageOrFailsUnchanged) {
  TSeparatorGuard Guard(QLatin1Char(','));
  TFlashElement Element(101, Clips.Clip(QStringLiteral("frame")));
  Element.SetGeometryText(QStringLiteral("x=10&y=20,5&page=Main"));
  EXPECT_DOUBLE_EQ(Element.FX, 10);
  EXPECT_DOUBLE_EQ(Element.FY, 20.5);
  EXPECT_EQ(Element.FPage, QStringLiteral("Main"));

  try {
    Element.SetGeometryText(QStringLiteral("y=20"));
    FAIL() << "a missing x must fail";
  } catch (const std::runtime_error& Error) {
    EXPECT_STREQ(Error.what(), "'' is not a valid floating point value");
  }
  EXPECT_DOUBLE_EQ(Element.FX, 10);
  EXPECT_DOUBLE_EQ(Element.FY, 20.5);
  EXPECT_EQ(Element.FPage, QStringLiteral("Main"));
}

TEST_F(FlashElementTest, LevelNameAndScalePercentages) {
  TFlashElement Element(101, Clips.Clip(QStringLiteral("lamp")));
  EXPECT_EQ(Element.GetLevelName(), QStringLiteral("_level101"));
  Element.SetLevel(7);
  EXPECT_EQ(Element.GetLevelName(), QStringLiteral("_level7"));

  Element.FOrigWidth = 0;
  Element.FOrigHeight = 0;
  EXPECT_EQ(Element.XScalePercent(), 0);
  EXPECT_EQ(Element.YScalePercent(), 0);
}

TEST_F(FlashElementTest, FlashNumbersFromThePlayer) {
  EXPECT_EQ(GetFlashNumber(nullptr, QStringLiteral("_root"), PropX), 0);
  // A level without a clip cannot answer.
  EXPECT_THROW(GetFlashNumber(&Stage, QStringLiteral("_level5"), PropX), std::runtime_error);
}

TEST_F(FlashElementTest, CaptureCopiesTheStagePicture) {
  Stage.resize(120, 90);
  QLabel Image;
  CaptureFlashImage(&Stage, &Image);
  EXPECT_EQ(Image.size(), QSize(120, 90));
  EXPECT_EQ(Image.pixmap().size(), QSize(120, 90) * Stage.devicePixelRatio());
}
