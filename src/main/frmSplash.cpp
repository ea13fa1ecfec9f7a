#include "frmSplash.h"

#include "app/endProgram.h"
#include "app/modLivery.h"
#include "app/Resources.h"
#include "list/Form1.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Timer.h"
#include "platform/forms/Twips.h"
#include "skin/modSkin.h"
#include "skin/Skin.h"

#include <QLabel>
#include <QPixmap>

namespace tw = platform::twips;

frmSplash::frmSplash() : Form(name()) {
  // No border or caption bar, and no task-bar button.
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);

  resources::initResources();
  Image1 = new QLabel(client());
  platform::setControlTypeName(Image1, QStringLiteral("PictureBox"));
  Image1->setPixmap(QPixmap(QStringLiteral(":/splash.jpg")));
  Image1->move(0, 0);
  Image1->adjustSize();  // the control takes the picture's size
  Image1->setAccessibleName(QStringLiteral("Splash picture"));

  skn = new Skin(this);

  Timer2 = new platform::Timer(this);
  Timer2->setInterval(2);
  Timer2->setEnabled(false);
  connect(Timer2, &platform::Timer::ticked, this, &frmSplash::Timer2_Timer);
}

void frmSplash::Form_Load() {
  // Without a border the window's size is its client size.
  setClientSizeTwips(tw::width(Image1), tw::height(Image1));
  centreOnScreen();
  app::endWhenBrowserCloses = false;
  modLivery::loadProductIdentity();
  if (modLivery::useSkin) {
    modSkin::skin = skn;
    modSkin::applySkinOrLeaveUndressed(this);
    modSkin::companionStart(skn);
  }
  Timer2->setEnabled(true);
}

void frmSplash::Form_Unload() {
  // Closed by the system before the hand-off: no other window would ever end the run. After the
  // hand-off only the main window's unload takes the splash down, and it ends the run itself.
  if (!platform::forms::instance<Form1>()) endProgram();
}

void frmSplash::Timer2_Timer() {
  intTemp = static_cast<short>(intTemp + 2);
  if (intTemp != 150) return;
  Timer2->setEnabled(false);
  platform::forms::load<Form1>();
  platform::forms::show<Form1>();
  setVisible(false);
}
