// Protects the about box: the identity from the version record, skin labels over the plain
// labels only when skinning is on, and one window however often it is asked for.
#include "support/ProgramHarness.h"

#include "help/frmAbout.h"
#include "platform/base/VersionRecord.h"
#include "platform/forms/Twips.h"
#include "skin/SkinLabel.h"

#include <QLabel>

using namespace program_test;
namespace tw = platform::twips;

namespace {

class AboutBox : public ProgramTest {
 protected:
  void TearDown() override {
    platform::setVersionRecordForTests(nullptr);
    ProgramTest::TearDown();
  }
  frmAbout* openAbout() {
    modLivery::loadProductIdentity();
    return forms::show<frmAbout>();
  }
};

}  // namespace

TEST_F(AboutBox, showsTheIdentityWithSkinLabelsOverThePlainLabels) {
  EXPECT_EQ(openAbout()->lblVersion->text(), QStringLiteral("1.0"));  // the program's own record
  forms::unload<frmAbout>();
  platform::VersionRecord record = platform::versionRecord();
  record.major = 2;
  record.minor = 15;
  platform::setVersionRecordForTests(&record);
  frmAbout* about = openAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->caption(), QStringLiteral("About Keyloft"));
  const std::pair<QLabel*, QString> texts[] = {{about->Label1, "Keyloft"},
                                               {about->lblVersion, "2.15"},
                                               {about->lblCompany, "Loftwright Labs"},
                                               {about->lblWebsite, "www.keyloft.app"}};
  for (const auto& [label, text] : texts) EXPECT_EQ(label->text(), text);
  EXPECT_FALSE(about->Picture1->pixmap().isNull());
  EXPECT_NEAR(tw::width(about->Picture1), 7515, 15);
  EXPECT_NEAR(tw::height(about->Picture1), 1035, 15);

  // One skin label over each of the four plain labels, with its text and place; the picture
  // box is no label.
  ASSERT_EQ(about->SkinLabel1.size(), 5);
  const QLabel* plain[] = {about->Label5, about->Label4, about->Label3, about->Label2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(about->SkinLabel1[i + 1]->text(), plain[i]->text());
    EXPECT_EQ(about->SkinLabel1[i + 1]->geometry(), plain[i]->geometry());
  }
  EXPECT_TRUE(about->SkinLabel1[0]->isHidden());
}

TEST_F(AboutBox, withoutSkinningThePlainLabelsStayAsTheyAre) {
  frmAbout* about = openAbout();
  forms::unload<frmAbout>();
  modLivery::useSkin = false;
  about = forms::show<frmAbout>();
  EXPECT_EQ(about->SkinLabel1.size(), 1);
  EXPECT_EQ(about->Label2->text(), QStringLiteral("Version:"));
}

TEST_F(AboutBox, aSecondAboutShowsTheSameWindowWithoutLoadingAgain) {
  frmAbout* first = openAbout();
  modLivery::companyName = QStringLiteral("Someone Else");
  EXPECT_EQ(forms::show<frmAbout>(), first);
  EXPECT_EQ(first->lblCompany->text(), QStringLiteral("Loftwright Labs"));
  EXPECT_EQ(first->SkinLabel1.size(), 5);
}
