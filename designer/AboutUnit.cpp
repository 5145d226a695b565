#include "designer/AboutUnit.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {

const QColor BoxColor(74, 123, 171);

// The program's logo: a loom of light threads over a darker band, with the name.
QPixmap Logo() {
  QPixmap Picture(505, 105);
  QPainter Painter(&Picture);
  QLinearGradient Band(0, 0, 0, Picture.height());
  Band.setColorAt(0, BoxColor.darker(160));
  Band.setColorAt(1, BoxColor);
  Painter.fillRect(Picture.rect(), Band);
  Painter.setRenderHint(QPainter::Antialiasing);
  Painter.setPen(QPen(QColor(255, 255, 255, 70), 2));
  for (int X = 90; X < 420; X += 16)
    Painter.drawLine(X, 10, X + 40, 95);
  Painter.setPen(QPen(QColor(255, 255, 255, 120), 2));
  for (int Y = 20; Y < 100; Y += 18)
    Painter.drawLine(90, Y, 460, Y);
  QFont Font = Painter.font();
  Font.setPointSize(26);
  Font.setBold(true);
  Painter.setFont(Font);
  Painter.setPen(Qt::white);
  Painter.drawText(Picture.rect(), Qt::AlignCenter, "Vistaloom");
  return Picture;
}

QLabel* WindowColouredLabel(const QString& Text, const char* Name, QWidget* Parent) {
  auto* Label = new QLabel(Text, Parent);
  Label->setObjectName(Name);
  QPalette Palette = Label->palette();
  Palette.setColor(QPalette::WindowText, Qt::white);
  Label->setPalette(Palette);
  return Label;
}

} // namespace

TAbout::TAbout(QWidget* Parent) : TScreenCentredDialog(Parent) {
  setObjectName("About");
  setWindowTitle("About Tessaryn");
  setFixedSize(417, 184);
  QPalette Palette = palette();
  Palette.setColor(QPalette::Window, BoxColor);
  setPalette(Palette);
  setAutoFillBackground(true);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(-80, 0, 505, 105);
  Image1->setPixmap(Logo());

  LabelTitle = WindowColouredLabel(QString(), "LabelTitle", this);
  QFont TitleFont = LabelTitle->font();
  TitleFont.setBold(true);
  TitleFont.setPointSize(14);
  LabelTitle->setFont(TitleFont);
  LabelTitle->setWordWrap(true);
  LabelTitle->move(8, 112);

  LabelVersion = WindowColouredLabel(QString(), "LabelVersion", this);
  LabelVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
  LabelVersion->setGeometry(206, 118, 200, 20);

  Bevel1 = new QFrame(this);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(8, 144, 401, 2);

  Label1 = WindowColouredLabel("Vistaloom designer for control interfaces.\n"
                               "Made by the Vistaloom developers.",
                               "Label1", this);
  Label1->setGeometry(8, 152, 320, 28);

  BitBtn1 = new QPushButton("OK", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setGeometry(336, 152, 75, 25);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TAbout::Execute(const QString& Title, const QString& Version) {
  SetAlphaBlendValue(255);
  LabelTitle->setText(Title);
  LabelVersion->setText("Version " + Version);
  exec();
}

void TAbout::SetAlphaBlendValue(int Value) {
  FAlphaBlendValue = Value;
  setWindowOpacity(Value / 255.0);
}

void TAbout::done(int Result) {
  // The fade lets pending events run; a second close among them (a click on OK, Escape, the
  // close box) is the close already under way, so the box fades and finishes once.
  if (FFading)
    return;
  {
    const QScopedValueRollback fading(FFading, true);
    FadeOut();
  }
  QDialog::done(Result);
}

void TAbout::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  LabelTitle->setFixedWidth(330);
  LabelTitle->adjustSize();
}

// Steps the opacity down to 0, letting the window repaint after each step.
void TAbout::FadeOut() {
  if (!FAlphaBlend) {
    SetAlphaBlendValue(255);
    FAlphaBlend = true;
  }
  for (int Value = FAlphaBlendValue; Value >= 0; --Value) {
    SetAlphaBlendValue(Value);
    QCoreApplication::processEvents();
  }
}
