#include "designer/ScreenCentredDialog.h"

#include <QGuiApplication>
#include <QScreen>

void TScreenCentredDialog::setVisible(bool Visible) {
  if (Visible && !isVisible()) {
    const QWidget* Owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (const QScreen* Screen = Owner ? Owner->screen() : QGuiApplication::primaryScreen()) {
      // A dialog placed before it shows is not put over its owner's middle.
      QRect Frame(QPoint(), frameGeometry().size());
      Frame.moveCenter(Screen->availableGeometry().center());
      move(Frame.topLeft());
    }
  }
  QDialog::setVisible(Visible);
}
