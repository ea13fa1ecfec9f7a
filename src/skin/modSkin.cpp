#include "skin/modSkin.h"

#include "app/modLivery.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Twips.h"
#include "skin/Skin.h"
#include "skin/SkinLabel.h"
#include "skin/SkinSession.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QList>
#include <QThread>

#include <exception>

namespace modSkin {
namespace {

SplashAccess& splashAccess() {
  static SplashAccess access;
  return access;
}

// Set while the recovery runs: the splash's own load dresses the splash, and a failure there
// must not start a second recovery inside the first.
bool recovering = false;

QWidget* asWidget(QObject* control, const QString& type) {
  auto* widget = qobject_cast<QWidget*>(control);
  if (!widget) throw SkinError("A " + type.toStdString() + " control takes no colours");
  return widget;
}

void setColour(QWidget* control, QPalette::ColorRole role, int value) {
  QPalette palette = control->palette();
  palette.setColor(role, colourFromValue(value));
  control->setPalette(palette);
}

// The three steps that the recovery repeats.
void dress(platform::Form* window) {
  Skin* current = skin.data();
  if (!current) throw SkinError("The skin is not loaded");
  const int back = current->backColor();
  const int fore = current->foreColor();
  const int panel = current->panelColor();
  const int panelText = current->panelTextColor();
  recolourControls(window, back, fore, panel, panelText);
  current->SkinWindow(window->winId());
}

// Loads the splash window so that its load sets the skin reference again, then puts it back
// out of sight with its start-up hand-over stopped.
void recoverThroughSplash(const std::exception& firstFailure) {
  const SplashAccess& splash = splashAccess();
  const auto giveUp = [&](const char* why) {
    throw SkinError(std::string(firstFailure.what()) + "; " + why);
  };
  if (!splash.load || !splash.timerEnabled || !splash.disableTimer || !splash.hide)
    giveUp("no splash window to take the skin from");
  if (recovering) giveUp("the splash window failed to dress itself");
  // Loading a loaded splash does nothing: its timer is either not on yet (we are inside its
  // load) or off for good (start-up is over), so waiting for it would never end.
  if (splash.isLoaded && splash.isLoaded()) giveUp("the splash window is loaded and has no skin");

  recovering = true;
  struct Reset {
    ~Reset() { recovering = false; }
  } reset;
  splash.load();
  QElapsedTimer waited;
  waited.start();
  while (!splash.timerEnabled()) {
    if (waited.elapsed() > kRecoveryWaitMs) giveUp("the splash window did not finish loading");
    platform::doEvents();
    QThread::msleep(1);
  }
  splash.disableTimer();
  splash.hide();
}

}  // namespace

void setSplashAccess(SplashAccess access) { splashAccess() = std::move(access); }

void applySkin(platform::Form* window) {
  if (!modLivery::useSkin) return;
  if (!window) throw SkinError("No window to dress");
  try {
    dress(window);
    return;
  } catch (const std::exception& failure) {
    recoverThroughSplash(failure);
  }
  dress(window);
}

void applySkinOrLeaveUndressed(platform::Form* window) {
  try {
    applySkin(window);
  } catch (const SkinError&) {
  }
}

void recolourControls(QWidget* window, int backColour, int foreColour, int panelColour, int panelTextColour) {
  (void)panelTextColour;  // handed over with the others; no plain control takes it
  static const QStringList kTextAndLists = {
      QStringLiteral("TextBox"),      QStringLiteral("ComboBox"), QStringLiteral("FileListBox"),
      QStringLiteral("DirListBox"),   QStringLiteral("DriveListBox"), QStringLiteral("ListBox"),
      QStringLiteral("ListView")};
  for (QObject* control : platform::controlsOf(window)) {
    const QString type = platform::controlTypeName(control);
    if (type == u"CommandButton") {
      setColour(asWidget(control, type), QPalette::Button, backColour);
    } else if (kTextAndLists.contains(type)) {
      QWidget* widget = asWidget(control, type);
      setColour(widget, QPalette::Base, backColour);
      setColour(widget, QPalette::Text, foreColour);
    } else if (type == u"PictureBox") {
      QWidget* widget = asWidget(control, type);
      setColour(widget, QPalette::Window, panelColour);
      // A picture box paints its back colour behind its picture.
      widget->setAutoFillBackground(true);
    }
  }
}

void convertLabels(platform::Form* window, QList<SkinLabel*>& skinLabels, bool sameContainer) {
  if (!modLivery::useSkin || !window) return;
  namespace twips = platform::twips;
  // Without a template there is no container to compare with: nothing is in it.
  QWidget* templateContainer = skinLabels.isEmpty() || !skinLabels.first() ? nullptr : skinLabels.first()->parentWidget();
  for (QObject* control : platform::controlsOf(window)) {
    if (platform::controlTypeName(control) != u"Label") continue;
    auto* label = qobject_cast<QLabel*>(control);
    if (!label) continue;
    if (sameContainer && (!templateContainer || label->parentWidget() != templateContainer)) continue;

    auto* skinLabel = new SkinLabel(QString(), label->parentWidget());
    skinLabel->setObjectName(QStringLiteral("SkinLabel1"));
    skinLabel->setProperty("index", static_cast<int>(skinLabels.size()));
    // The skin label is transparent: its text must fall exactly on the plain label's, or both
    // would show.
    skinLabel->setAlignment(label->alignment());
    skinLabel->setWordWrap(label->wordWrap());
    skinLabel->setMargin(label->margin());
    skinLabel->setIndent(label->indent());
    skinLabel->setTextFormat(label->textFormat());
    skinLabels.append(skinLabel);
    twips::setTop(skinLabel, twips::top(label));
    twips::setLeft(skinLabel, twips::left(label));
    twips::setHeight(skinLabel, twips::height(label));
    twips::setWidth(skinLabel, twips::width(label));
    skinLabel->setFont(label->font());
    skinLabel->setText(label->text());
    skinLabel->setVisible(!label->isHidden());
    // Created last among its siblings it is already on top; raise it in case the window
    // restacked them.
    skinLabel->raise();
  }
}

void companionStart(Skin* splashSkin) {
  if (!modLivery::useSkin) return;
  SkinSession& session = SkinSession::instance();
  try {
    if (!splashSkin) throw SkinError("No skin to hand over");
    session.attach(splashSkin->skinData());
  } catch (const std::exception&) {
    // Passed over; the start call still runs, as at start-up each call stands on its own.
  }
  try {
    session.start();
  } catch (const std::exception&) {
  }
}

void companionClose() {
  if (!modLivery::useSkin) return;
  SkinSession::instance().close();
}

void resetForTests() {
  skin.clear();
  splashAccess() = SplashAccess{};
  recovering = false;
  SkinSession::resetForTests();
}

}  // namespace modSkin
