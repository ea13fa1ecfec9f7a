#include "DialogKeys.h"

#include "Twips.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

namespace platform {

QPushButton* commandButton(const QString& caption, QWidget* parent, int left, int top, int width, int height) {
  auto* b = new QPushButton(caption, parent);
  b->setAccessibleName(caption);
  twips::setGeometry(b, left, top, width, height);
  return b;
}

void wireDialogKeys(QWidget* window, QPushButton* action, QPushButton* cancel) {
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
    QObject::connect(new QShortcut(key, window), &QShortcut::activated, window, [window, action] {
      auto* focused = qobject_cast<QPushButton*>(window->focusWidget());
      (focused && focused->isEnabled() ? focused : action)->click();
    });
  }
  QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), window), &QShortcut::activated, cancel,
                   &QPushButton::click);
}

}  // namespace platform
