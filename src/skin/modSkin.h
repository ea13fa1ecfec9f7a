#pragma once
// Dressing windows with the one skin the splash window carries.
#include "platform/base/Result.h"

#include <QLoggingCategory>
#include <QPointer>

#include <functional>
#include <variant>

class QWidget;
class Skin;
class SkinLabel;
template <typename T>
class QList;

namespace platform {
class Form;
}

// Skin failures that are passed over (a window left undressed, the companion's calls): debug
// lines, off unless QT_LOGGING_RULES="keyloft.skin.debug=true".
Q_DECLARE_LOGGING_CATEGORY(skinLog)

namespace modSkin {

// The run-wide skin reference: the splash window's skin control.
inline QPointer<Skin> skin;

// Dresses the window: the skin's colours on its plain controls, then the skin takes it over.
// When the skin is not there, recovers once through the splash window; a second failure goes to
// the caller. Does nothing while modLivery::useSkin is false.
platform::Result<std::monostate> applySkin(platform::Form* window);

// applySkin for a window's own start: a window the skin could not dress opens undressed, and
// the reason goes to skinLog.
void applySkinOrLeaveUndressed(platform::Form* window);

// Colours the plain controls of a window by their control type names (on their palettes); a
// control of a coloured type that is no widget stops it.
platform::Result<std::monostate> recolourControls(QWidget* window, int backColour, int foreColour, int panelColour,
                                                  int panelTextColour);

// Puts a skin label over each plain label of the window; the new labels are appended to
// `skinLabels` (the window's SkinLabel1 array, whose element 0 is the design-time template).
// With `sameContainer` only labels in the template's container are converted.
// Does nothing while modLivery::useSkin is false.
void convertLabels(platform::Form* window, QList<SkinLabel*>& skinLabels, bool sameContainer);

// How the recovery reaches the splash window (the program fills this at start).
struct SplashAccess {
  std::function<bool()> isLoaded;
  std::function<void()> load;  // loads it; its load handler sets the skin reference and enables its timer
  std::function<bool()> timerEnabled;
  std::function<void()> disableTimer;
  std::function<void()> hide;
};
void setSplashAccess(SplashAccess access);

// The recovery's longest wait for the splash window's timer, in milliseconds.
inline constexpr int kRecoveryWaitMs = 5000;

// The companion's calls (see SkinSession.h), for the windows that make them. Failures are
// passed over (a line in skinLog): start-up and shut-down go on without the application-wide look.
// At splash load, after the splash is dressed: hands the skin over, then starts the session.
void companionStart(Skin* splashSkin);
// Right before the program ends from the main window's or the browser window's unload.
void companionClose();

// Back to program start: no skin reference, no splash access, no recovery running (tests).
void resetForTests();

}  // namespace modSkin
