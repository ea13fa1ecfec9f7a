#pragma once
// The splash window: the program's start. It carries the skin of the whole run, counts its
// timer's ticks and then hands over to the main window; afterwards it stays loaded, hidden.
#include "platform/forms/Forms.h"
#include "platform/forms/WindowNames.h"

class QLabel;
class Skin;

namespace platform {
class Timer;
}

class frmSplash final : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmSplash)

 public:
  frmSplash();
  static QString name() { return platform::windows::kFrmSplash; }

  QLabel* Image1 = nullptr;
  Skin* skn = nullptr;
  platform::Timer* Timer2 = nullptr;
  // The tick counter: 2 more on every tick, the hand-off at 150.
  short intTemp = 0;

  void Form_Load() override;
  void Form_Unload() override;
  void Timer2_Timer();
};
