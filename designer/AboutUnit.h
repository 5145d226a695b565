#pragma once

#include "designer/ScreenCentredDialog.h"

class QFrame;
class QLabel;
class QPushButton;

// The about box: the program's title and version over the logo. It opens opaque and fades
// out each time it closes.
class TAbout : public TScreenCentredDialog {
  Q_OBJECT
public:
  explicit TAbout(QWidget* Parent = nullptr);

  // Shows the box modally with Title and "Version " followed by Version.
  void Execute(const QString& Title, const QString& Version);

  // Opacity value from 0 to 255; alpha blending is off until the first close.
  int AlphaBlendValue() const { return FAlphaBlendValue; }
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlendValue(int Value);

  QLabel* Image1 = nullptr;
  QLabel* LabelTitle = nullptr;
  QLabel* LabelVersion = nullptr;
  QFrame* Bevel1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* BitBtn1 = nullptr;

  void done(int Result) override;

protected:
  void showEvent(QShowEvent* Event) override;

private:
  void FadeOut();

  int FAlphaBlendValue = 255;
  bool FAlphaBlend = false;
  bool FFading = false; // a close is fading the box out
};
