#include "MessageBox.h"

#include "RunState.h"
#include "ShownText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <utility>

namespace platform::msgbox {
namespace {

constexpr qsizetype kLongestMessage = 4096;

struct ButtonSet {
  QList<QMessageBox::StandardButton> buttons;  // in the order the default-button values count them
  QMessageBox::StandardButton escape;          // NoButton: the box can't be dismissed without a choice
};

ButtonSet buttonSet(int style) {
  using B = QMessageBox;
  switch (style & 0x7) {
    case vbOKCancel: return {{B::Ok, B::Cancel}, B::Cancel};
    case vbAbortRetryIgnore: return {{B::Abort, B::Retry, B::Ignore}, B::NoButton};
    case vbYesNoCancel: return {{B::Yes, B::No, B::Cancel}, B::Cancel};
    case vbYesNo: return {{B::Yes, B::No}, B::NoButton};
    case vbRetryCancel: return {{B::Retry, B::Cancel}, B::Cancel};
    default: return {{B::Ok}, B::Ok};
  }
}

QMessageBox::Icon icon(int style) {
  switch (style & 0x70) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int answerOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok: return vbOK;
    case QMessageBox::Cancel: return vbCancel;
    case QMessageBox::Abort: return vbAbort;
    case QMessageBox::Retry: return vbRetry;
    case QMessageBox::Ignore: return vbIgnore;
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    default: return vbCancel;
  }
}

// Yes/No and Abort/Retry/Ignore have no answer for "closed": as on the original platform,
// Escape and the close box do nothing there. (QMessageBox would otherwise pick No or Abort.)
class RequireChoice final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      event->ignore();
      return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) return true;
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

QString applicationTitle() { return QStringLiteral("Keyloft Demo"); }

int msgBox(const QString& text, int style, const QString& title, QWidget* owner) {
  const ButtonSet set = buttonSet(style);
  // Owned here, parented for placement and stacking: a window may go away while the box is up.
  // The asking window, not whichever was active a moment ago: otherwise the box can open beneath
  // a top-most dialog, hidden, with clicks landing on the dialog.
  QWidget* parent = owner ? owner->window() : QApplication::activeWindow();
  QPointer<QMessageBox> box = new QMessageBox(parent);
  if (parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box->setTextFormat(Qt::PlainText);  // entry texts are shown as typed, never as markup
  // A confirmation may quote whole entry fields; a field of megabytes would freeze the box.
  box->setText(shownPrefix(text, kLongestMessage));
  box->setWindowTitle(title.isEmpty() ? applicationTitle() : title);
  box->setIcon(icon(style));
  QList<QPushButton*> buttons;
  for (QMessageBox::StandardButton b : set.buttons) buttons.append(box->addButton(b));
  const int defaultIndex = (style & 0x300) >> 8;
  box->setDefaultButton(buttons.value(defaultIndex, buttons.first()));
  if (set.escape != QMessageBox::NoButton) {
    box->setEscapeButton(box->button(set.escape));
  } else {
    box->setWindowFlag(Qt::WindowCloseButtonHint, false);
    box->installEventFilter(new RequireChoice(box));
  }

  int answer;
  if (formsRunState().messageBoxHook) {
    answer = formsRunState().messageBoxHook(*box);
  } else {
    box->exec();
    if (!box) return answerOf(set.escape);
    QAbstractButton* clicked = box->clickedButton();
    answer = answerOf(clicked ? box->standardButton(clicked) : set.escape);
  }
  delete box.data();
  return answer;
}

void setMessageBoxHookForTests(std::function<int(QMessageBox&)> hook) {
  formsRunState().messageBoxHook = std::move(hook);
}

}  // namespace platform::msgbox
