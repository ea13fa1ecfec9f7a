#pragma once
// What a test sees of a message box the program showed: read from the real box the message-box
// hook receives, before the test answers it.
#include <QMessageBox>
#include <QPushButton>
#include <QString>

namespace testing_support {

struct ShownBox {
  QString text, title;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Qt::TextFormat format = Qt::AutoText;
  const QWidget* parent = nullptr;  // the window the box belongs to
  bool onTop = false;               // whether the box itself stays on top
  bool ownerOnTop = false;          // filled in by a fixture that knows the box's owner
};

inline ShownBox shownBox(const QMessageBox& box) {
  return {box.text(),
          box.windowTitle(),
          box.standardButtons(),
          box.defaultButton() ? box.standardButton(box.defaultButton()) : QMessageBox::NoButton,
          box.icon(),
          box.textFormat(),
          box.parentWidget(),
          box.windowFlags().testFlag(Qt::WindowStaysOnTopHint)};
}

}  // namespace testing_support
