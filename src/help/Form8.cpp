#include "Form8.h"

#include "app/modLivery.h"
#include "app/modOnTop.h"
#include "app/xfileExists.h"
#include "platform/base/Files.h"
#include "platform/base/Settings.h"
#include "platform/forms/Twips.h"
#include "platform/richtext/RichTextBox.h"
#include "skin/modSkin.h"

#include <QCheckBox>
#include <QLoggingCategory>

#include <cmath>

namespace tw = platform::twips;

namespace {

// A help file that cannot be read leaves the window empty and a line here ("keyloft.help", off
// unless QT_LOGGING_RULES turns it on).
Q_LOGGING_CATEGORY(helpLog, "keyloft.help", QtInfoMsg)

const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("showHelp");

}  // namespace

Form8::Form8() : Form(name()) {
  setCaption(QStringLiteral("Readme/Help"));
  setClientSizeTwips(10290, 7920);
  // Opened at every start of a new user: centred, not wherever the window manager finds room.
  centreOnScreen();
  QWidget* area = client();
  rtf1 = new platform::RichTextBox(area);
  rtf1->setAccessibleName(QStringLiteral("Help text"));
  Check1 = new QCheckBox(QStringLiteral("Show at Startup"), area);
  Check1->setAccessibleName(QStringLiteral("Show at Startup"));
  tw::setGeometry(rtf1, 0, 0, 10275, 7515);
  tw::setGeometry(Check1, 60, 7620, 1995, 255);
  // The user's click only: the state set from the setting at load is not a click.
  connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
}

QString Form8::helpFilePath() {
  return QString::fromStdString(platform::files::programFolder()) + QLatin1Char(platform::files::kPathSeparator) +
         QStringLiteral("Help.rtf");
}

// Every step runs with failures ignored: a failing step is skipped and the next one runs.
void Form8::Form_Load() {
  if (modLivery::useSkin) modSkin::applySkinOrLeaveUndressed(this);
  if (!xfileExists::fileExists(helpFilePath().toStdString())) {
    // No help file: no window at all, from the start or from the menu.
    abandonLoad();
    return;
  }
  if (auto loaded = rtf1->LoadFile(helpFilePath()); !loaded)
    qCDebug(helpLog).noquote() << "Help not shown:" << QString::fromStdString(loaded.why());
  modOnTop::setOnTop(this, -1);
  // A whole number: 1 checks the box, 0 clears it; anything else leaves it as it was.
  bool isNumber = false;
  const double stored = platform::settings::getSetting(modLivery::productName, kSection, kKey, QStringLiteral("1"))
                            .trimmed()
                            .toDouble(&isNumber);
  const double whole = std::nearbyint(stored);  // rounds half to even, as the conversion does
  if (isNumber && (whole == 0 || whole == 1)) Check1->setChecked(whole == 1);
}

void Form8::Check1_Click() {
  platform::settings::saveSetting(modLivery::productName, kSection, kKey, QString::number(Check1->isChecked() ? 1 : 0));
}
