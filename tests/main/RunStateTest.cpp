// Protects the one reset every fixture uses: each layer's run-wide state is back at program start.
#include "support/RunState.h"

#include "app/endProgram.h"
#include "app/modLivery.h"
#include "platform/base/Files.h"
#include "platform/forms/Clipboard.h"
#include "platform/forms/Forms.h"
#include "vault/modGlobals.h"

#include <gtest/gtest.h>

TEST(RunState, oneResetPutsEveryLayerBackToProgramStart) {
  const std::string programFolder = platform::files::programFolder();
  const QString probe = QStringLiteral("RunStateProbe");
  platform::forms::registerForm(probe, [probe] { return new platform::Form(probe); });

  platform::files::setProgramFolderForTests("/nonexistent/keyloft");
  platform::forms::load(probe);
  modLivery::loadProductIdentity();
  app::endWhenBrowserCloses = true;
  frmWebsite::browserMode = QStringLiteral("Website");
  modGlobals::editorMode = QStringLiteral("Edit");
  modGlobals::masterPassword = u"master";
  modGlobals::creatingMasterPassword = true;
  platform::clipboard::setHandClockForTests(true);

  testing_support::resetRunState();

  EXPECT_EQ(platform::files::programFolder(), programFolder);
  EXPECT_FALSE(platform::forms::isLoaded(probe));
  EXPECT_TRUE(modLivery::productName.isEmpty());
  EXPECT_FALSE(modLivery::useSkin);
  EXPECT_FALSE(app::endWhenBrowserCloses);
  EXPECT_TRUE(frmWebsite::browserMode.isEmpty());
  EXPECT_TRUE(modGlobals::editorMode.isEmpty());
  EXPECT_TRUE(modGlobals::masterPassword.empty());
  EXPECT_FALSE(modGlobals::creatingMasterPassword);
  // The clipboard counts down on the real clock again: the hand's moves forget nothing.
  platform::clipboard::setText(QStringLiteral("copied"), true, std::chrono::seconds(10), {});
  platform::clipboard::advanceClockForTests(std::chrono::seconds(20));
  EXPECT_EQ(platform::clipboard::text(), QStringLiteral("copied"));
  platform::clipboard::clear();
  platform::forms::registerForm(probe, {});
}
