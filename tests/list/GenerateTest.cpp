// Protects the password generator as the entry editor uses it: Use hands the password over
// (nothing is saved before Save), Cancel and the editor's close leave it out, and the choices
// come back from the settings.
#include "EntriesFixture.h"

#include "app/modLivery.h"
#include "list/frmGenerate.h"
#include "skin/SkinLabel.h"

#include <QCheckBox>
#include <QRegularExpression>
#include <QSpinBox>

namespace entries_test {
namespace {

using Generate = EntriesFixture;

const std::vector<Entry> kOne = {{"alice", "a1", "a.example"}};

TEST_F(Generate, useHandsThePasswordToTheEditorAndOnlySaveSavesIt) {
  open(kOne);
  const std::string before = fileBytes();
  select(1);
  form->cmdEdit_Click();
  auto generate = [&] {
    editor()->cmdGenerate->click();
    return platform::forms::instance<frmGenerate>();
  };
  frmGenerate* generator = generate();
  const QString first = generator->txtPassword->text();
  generator->cmdNew->click();
  EXPECT_NE(generator->txtPassword->text(), first);
  generator->cmdCancel->click();
  EXPECT_EQ(editor()->txtPassword->text(), "a1");

  generator = generate();
  const QString used = generator->txtPassword->text();
  EXPECT_EQ(used.size(), 20);
  generator->cmdUse->click();
  EXPECT_EQ(platform::forms::instance<frmGenerate>(), nullptr);
  EXPECT_EQ(editor()->txtPassword->text(), used);
  EXPECT_EQ(fileBytes(), before);
  editor()->cmdAdd_Click(0);
  EXPECT_EQ(entry(1), (Entry{"alice", used.toStdString(), "a.example"}));

  // Closing the editor takes its generator with it.
  form->cmdAdd_Click(0);
  generate();
  editor()->cmdDelete->click();
  EXPECT_EQ(platform::forms::instance<frmGenerate>(), nullptr);
}

TEST_F(Generate, choicesAreKeptInTheSettingsAndNoKindMeansNoPassword) {
  open({});
  form->cmdAdd_Click(0);
  editor()->cmdGenerate->click();
  auto* generator = platform::forms::instance<frmGenerate>();
  generator->txtLength->setValue(31);
  generator->chkKind[2]->setChecked(false);  // no digits
  generator->chkKind[4]->setChecked(true);   // no look-alikes
  EXPECT_EQ(generator->txtPassword->text().size(), 31);
  generator->cmdCancel->click();

  editor()->cmdGenerate->click();
  generator = platform::forms::instance<frmGenerate>();
  EXPECT_EQ(generator->txtLength->value(), 31);
  const bool expected[] = {true, true, false, true, true};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(generator->chkKind[i]->isChecked(), expected[i]) << i;
  EXPECT_EQ(generator->txtPassword->text().size(), 31);
  EXPECT_FALSE(generator->txtPassword->text().contains(QRegularExpression(QStringLiteral("[0-9Il]"))));

  for (int i = 0; i < 4; ++i) generator->chkKind[i]->setChecked(false);
  EXPECT_EQ(generator->txtPassword->text(), "");
  EXPECT_FALSE(generator->cmdUse->isEnabled());
  EXPECT_EQ(generator->lblStrength->text(), "Choose at least one kind of character.");
}

// What a hand-edited Keyloft.ini may hold: the defaults stand in for what cannot be read.
TEST_F(Generate, unreadableSettingsGiveTheDefaultsAndLengthsStayInBounds) {
  modLivery::loadProductIdentity();
  const struct {
    QString length, upper;
    int wantLength;
    bool wantUpper;
  } cases[] = {{"500", "0", 128, false}, {"2", "1", 4, true}, {"twelve", "yes", 20, true}, {" 12 ", "", 12, true}};
  for (const auto& c : cases) {
    for (const auto& [key, value] : {std::pair{"length", c.length}, std::pair{"upperCase", c.upper}})
      platform::settings::saveSetting("Keyloft", "Generator", QString::fromLatin1(key), value);
    const vault::PasswordRecipe r = loadGeneratorRecipe();
    EXPECT_EQ(r.length, c.wantLength) << c.length.toStdString();
    EXPECT_EQ(r.upper, c.wantUpper) << c.upper.toStdString();
  }
}

}  // namespace
}  // namespace entries_test
