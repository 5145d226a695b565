#include "model/FlashElement.h"

#include "model/QelStrFunct.h"
#include "model/ShockwaveEx.h"
#include "platform/Numbers.h"
#include "player/MovieClip.h"

#include <QLabel>
#include <stdexcept>

namespace {

const QString RootTarget = QStringLiteral("_root");

// Converts Text written with the current decimal separator.
double TextToFloatOrThrow(const QString& Text) {
  double Value = 0;
  if (!TextToFloat(Text, Value))
    throw std::runtime_error(
        QStringLiteral("'%1' is not a valid floating point value").arg(Text).toStdString());
  return Value;
}

double Percent(double Part, double Whole) {
  return Whole == 0 ? 0 : Part * 100 / Whole;
}

} // namespace

TFlashElement::TFlashElement(int Level, const QString& MovieFile)
    : FTypeName(ExtractFileBaseName(MovieFile)), FLevel(Level), FMovieFile(MovieFile) {
  // The clip is measured at its root in a player of its own, before it is on any level.
  TShockwaveFlashEx Player;
  Player.SetMovie(MovieFile);
  Player.Play();
  FOrigWidth = GetFlashNumber(&Player, RootTarget, MovieClip::Width);
  FOrigHeight = GetFlashNumber(&Player, RootTarget, MovieClip::Height);
  FX = GetFlashNumber(&Player, RootTarget, MovieClip::X);
  FY = GetFlashNumber(&Player, RootTarget, MovieClip::Y);
  FWidth = FOrigWidth;
  FHeight = FOrigHeight;
  FPropText = Player.GetVariable(QStringLiteral("_root.item.prop"));
  FProps.SetText(FPropText);
}

TFlashElement::TFlashElement(int Level, const QString& MovieFile, TUnmeasured)
    : FTypeName(ExtractFileBaseName(MovieFile)), FLevel(Level), FMovieFile(MovieFile) {}

void TFlashElement::AttachToFlash(TShockwaveFlash* Flash) {
  FFlash = Flash;
  FFlash->LoadMovie(FLevel, FMovieFile);
}

void TFlashElement::ApplyToFlash() {
  SetX(FX);
  SetY(FY);
  SetHeight(FHeight);
  SetWidth(FWidth);
  for (int i = 0; i < FProps.Count(); ++i) {
    const ListItems Item = FProps.Items(i);
    SetItemProperty(Item.Key, Item.Value);
  }
}

void TFlashElement::SetX(double V) {
  FX = SetFlashNumber(MovieClip::X, V);
}

void TFlashElement::SetY(double V) {
  FY = SetFlashNumber(MovieClip::Y, V);
}

void TFlashElement::SetWidth(double V) {
  FWidth = SetFlashNumber(MovieClip::Width, V);
}

void TFlashElement::SetHeight(double V) {
  FHeight = SetFlashNumber(MovieClip::Height, V);
}

void TFlashElement::SetVisible(bool V) {
  FVisible = V;
  SetShown(V);
}

void TFlashElement::SetShown(bool V) {
  FShown = V;
  if (FFlash)
    FFlash->TSetProperty(QStringLiteral("_root.") + GetLevelName(), MovieClip::Visible,
                         V ? QStringLiteral("1") : QStringLiteral("0"));
}

void TFlashElement::SetItemProperty(const QString& Key, const QString& Value) {
  FProps.SetValue(Key, Value);
  SendItemProperties();
}

void TFlashElement::SendItemProperties() {
  if (!FFlash)
    return;
  const QString Prefix = QStringLiteral("_root.") + GetLevelName() + QStringLiteral(".item.");
  for (int i = 0; i < FProps.Count(); ++i) {
    const ListItems Item = FProps.Items(i);
    FFlash->SetVariable(Prefix + Item.Key, Item.Value);
  }
}

void TFlashElement::Assign(const TFlashElement& Source) {
  FX = Source.FX;
  FY = Source.FY;
  FHeight = Source.FHeight;
  FWidth = Source.FWidth;
  FPage = Source.FPage;
  FName = Source.FName;
  FProps.Assign(Source.FProps);
  FSuffix.Assign(Source.FSuffix);
}

void TFlashElement::AssignOffset(const TFlashElement& Source, double DX, double DY) {
  Assign(Source);
  FX += DX;
  FY += DY;
}

void TFlashElement::SetGeometryText(const QString& Text) {
  TQel_Hash Geometry;
  Geometry.SetText(Text);
  FX = TextToFloatOrThrow(Geometry.GetValue(QStringLiteral("x")));
  FY = TextToFloatOrThrow(Geometry.GetValue(QStringLiteral("y")));
  FPage = Geometry.GetValue(QStringLiteral("page"));
}

QString TFlashElement::GetLevelName() const {
  return QStringLiteral("_level") + QString::number(FLevel);
}

double TFlashElement::XScalePercent() const {
  return Percent(FWidth, FOrigWidth);
}

double TFlashElement::YScalePercent() const {
  return Percent(FHeight, FOrigHeight);
}

double TFlashElement::SetFlashNumber(int Property, double V) {
  // Adding zero turns a negative zero into zero, so the clip never receives "-0.00".
  const double Rounded = RoundDecimals(V, 2) + 0.0;
  if (FFlash)
    FFlash->TSetProperty(GetLevelName(), Property, FloatToFlashText(Rounded));
  return Rounded;
}

double GetFlashNumber(TShockwaveFlash* Flash, const QString& Target, int Property) {
  if (!Flash)
    return 0;
  // The player writes numbers with "."; read them in the current notation.
  QString Text = Flash->TGetProperty(Target, Property);
  Text.replace(QLatin1Char('.'), DecimalSeparator());
  return TextToFloatOrThrow(Text);
}

void CaptureFlashImage(TShockwaveFlash* Flash, QLabel* Image) {
  Flash->raise();
  Image->clear();
  Image->resize(Flash->size());
  Image->setPixmap(Flash->grab());
  Flash->lower();
}
