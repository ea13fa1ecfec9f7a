#include "skin/modSkin.h"

#include "app/modLivery.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Twips.h"
#include "skin/Skin.h"
#include "skin/SkinLabel.h"
#include "skin/SkinSession.h"

#include <QEventLoop>
#include <QLabel>
#include <QList>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(skinLog, "keyloft.skin", QtInfoMsg)

namespace modSkin {
namespace {

using platform::Failure;
using Done = platform::Result<std::monostate>;

// The layer's run-wide state besides the design's skin reference and the companion's session,
// with theirs in one reset (resetForTests).
struct SkinRunState {
  SplashAccess splash;  // the composer's
  // Set while the recovery runs: the splash's own load dresses the splash, and a failure there
  // must not start a second recovery inside the first.
  bool recovering = false;
};

SkinRunState& runState() {
  static SkinRunState state;
  return state;
}

platform::Result<QWidget*> asWidget(QObject* control, const QString& type) {
  auto* widget = qobject_cast<QWidget*>(control);
  if (!widget) return Failure{"A " + type.toStdString() + " control takes no colours"};
  return widget;
}

void setColour(QWidget* control, QPalette::ColorRole role, int value) {
  QPalette palette = control->palette();
  palette.setColor(role, colourFromValue(value));
  control->setPalette(palette);
}

// The three steps that the recovery repeats.
Done dress(platform::Form* window) {
  Skin* current = skin.data();
  if (!current) return Failure{"The skin is not loaded"};
  const platform::Result<SkinValues>& values = current->values();
  if (!values) return Failure{values.why()};
  Done coloured = recolourControls(window, values->backColor, values->foreColor, values->panelColor,
                                   values->panelTextColor);
  if (!coloured) return coloured;
  return current->SkinWindow(window->winId());
}

// Lets events run until the splash's timer is on, for kRecoveryWaitMs at most.
bool waitForSplashTimer(const SplashAccess& splash) {
  if (splash.timerEnabled()) return true;
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (splash.timerEnabled()) loop.quit();
  });
  QTimer deadline;
  deadline.setSingleShot(true);
  // A coarse timer may end up to 5% early.
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  check.start(1);
  deadline.start(kRecoveryWaitMs);
  loop.exec();
  return splash.timerEnabled();
}

// Loads the splash window so that its load sets the skin reference again, then puts it back
// out of sight with its start-up hand-over stopped.
Done recoverThroughSplash(const std::string& firstFailure) {
  const SplashAccess& splash = runState().splash;
  const auto giveUp = [&](const char* why) { return Failure{firstFailure + "; " + why}; };
  if (!splash.load || !splash.timerEnabled || !splash.disableTimer || !splash.hide)
    return giveUp("no splash window to take the skin from");
  if (runState().recovering) return giveUp("the splash window failed to dress itself");
  // Loading a loaded splash does nothing: its timer is either not on yet (we are inside its
  // load) or off for good (start-up is over), so waiting for it would never end.
  if (splash.isLoaded && splash.isLoaded()) return giveUp("the splash window is loaded and has no skin");

  runState().recovering = true;
  struct Reset {
    ~Reset() { runState().recovering = false; }
  } reset;
  splash.load();
  if (!waitForSplashTimer(splash)) return giveUp("the splash window did not finish loading");
  splash.disableTimer();
  splash.hide();
  return std::monostate{};
}

}  // namespace

void setSplashAccess(SplashAccess access) { runState().splash = std::move(access); }

platform::Result<std::monostate> applySkin(platform::Form* window) {
  if (!modLivery::useSkin) return std::monostate{};
  if (!window) return Failure{"No window to dress"};
  Done first = dress(window);
  if (first) return first;
  Done recovered = recoverThroughSplash(first.why());
  if (!recovered) return recovered;
  return dress(window);
}

void applySkinOrLeaveUndressed(platform::Form* window) {
  const Done dressed = applySkin(window);
  if (!dressed)
    qCDebug(skinLog).noquote() << "Window" << (window ? window->objectName() : QString())
                               << "left undressed:" << QString::fromStdString(dressed.why());
}

platform::Result<std::monostate> recolourControls(QWidget* window, int backColour, int foreColour, int panelColour,
                                                  int panelTextColour) {
  (void)panelTextColour;  // handed over with the others; no plain control takes it
  static const QStringList kTextAndLists = {QStringLiteral("TextBox"),      QStringLiteral("ComboBox"),
                                            QStringLiteral("FileListBox"),  QStringLiteral("DirListBox"),
                                            QStringLiteral("DriveListBox"), QStringLiteral("ListBox"),
                                            QStringLiteral("ListView")};
  for (QObject* control : platform::controlsOf(window)) {
    const QString type = platform::controlTypeName(control);
    const bool coloured = type == u"CommandButton" || kTextAndLists.contains(type) || type == u"PictureBox";
    if (!coloured) continue;
    const platform::Result<QWidget*> widget = asWidget(control, type);
    if (!widget) return Failure{widget.why()};
    if (type == u"CommandButton") {
      setColour(*widget, QPalette::Button, backColour);
    } else if (type == u"PictureBox") {
      setColour(*widget, QPalette::Window, panelColour);
      // A picture box paints its back colour behind its picture.
      (*widget)->setAutoFillBackground(true);
    } else {
      setColour(*widget, QPalette::Base, backColour);
      setColour(*widget, QPalette::Text, foreColour);
    }
  }
  return std::monostate{};
}

void convertLabels(platform::Form* window, QList<SkinLabel*>& skinLabels, bool sameContainer) {
  if (!modLivery::useSkin || !window) return;
  namespace twips = platform::twips;
  // Without a template there is no container to compare with: nothing is in it.
  QWidget* templateContainer = skinLabels.isEmpty() || !skinLabels.first() ? nullptr
                                                                           : skinLabels.first()->parentWidget();
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
  // Each call stands on its own, as at start-up: a failed hand-over still lets the start run.
  const platform::Result<QObject*> data = splashSkin ? splashSkin->skinData() : Failure{"No skin to hand over"};
  const Done attached = data ? session.attach(*data) : Failure{data.why()};
  if (!attached)
    qCDebug(skinLog).noquote() << "Companion hand-over passed over:" << QString::fromStdString(attached.why());
  const Done started = session.start();
  if (!started) qCDebug(skinLog).noquote() << "Companion start passed over:" << QString::fromStdString(started.why());
}

void companionClose() {
  if (!modLivery::useSkin) return;
  SkinSession::instance().close();
}

void resetForTests() {
  skin.clear();
  runState() = {};
  SkinSession::instance().close();
}

}  // namespace modSkin
