#include "frmAbout.h"

#include "app/modLivery.h"
#include "app/Resources.h"
#include "platform/base/VersionRecord.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Twips.h"
#include "skin/modSkin.h"
#include "skin/SkinLabel.h"

#include <QLabel>
#include <QPixmap>

namespace tw = platform::twips;

namespace {

template <class L>
L* label(QWidget* parent, const QString& text, const QFont& font, int left, int top, int width, int height) {
  auto* l = new L(text, parent);
  l->setFont(font);
  tw::setGeometry(l, left, top, width, height);
  return l;
}

const QString kNotice = QStringLiteral(
    "Keyloft keeps your user names, passwords and the places you use them in one file beside the "
    "program, behind a master password that only you know. The file is scrambled so that it can't be "
    "read at a glance; it is encrypted only when you choose File > Encrypt Vault. Keep it private and "
    "keep a copy of it somewhere safe. "
    "This software comes as it is, without warranty of any kind.");

}  // namespace

frmAbout::frmAbout() : Form(name()) {
  setFont(platform::verdana(8.25, false));
  setClientSizeTwips(7515, 4695);
  setFixedBorder();
  centreOnScreen();
  QWidget* area = client();
  const QFont heading = platform::verdana(14.25, true);
  const QFont row = platform::verdana(12, true);

  SkinLabel1.append(label<SkinLabel>(area, QStringLiteral("SkinLabel1"), font(), 480, 2940, 555, 195));
  SkinLabel1[0]->hide();
  Label1 = label<SkinLabel>(area, {}, heading, 120, 1200, 7095, 435);
  lblVersion = label<SkinLabel>(area, {}, row, 2580, 1680, 4635, 315);

  resources::initResources();
  Picture1 = new QLabel(area);
  platform::setControlTypeName(Picture1, QStringLiteral("PictureBox"));
  Picture1->setPixmap(QPixmap(QStringLiteral(":/about-logo.png")));
  Picture1->setScaledContents(true);  // drawn at twice its size: sharp on high-DPI screens
  Picture1->setAccessibleName(QStringLiteral("Keyloft logo"));
  tw::setGeometry(Picture1, 0, 0, 7515, 1035);

  lblCompany = label<SkinLabel>(area, {}, row, 2580, 2100, 4635, 315);
  lblWebsite = label<SkinLabel>(area, {}, row, 2580, 2520, 4635, 315);
  Label5 = label<QLabel>(area, kNotice, font(), 120, 3300, 7215, 1275);
  Label5->setWordWrap(true);
  Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label4 = label<QLabel>(area, QStringLiteral("Website:"), row, 180, 2520, 2295, 315);
  Label3 = label<QLabel>(area, QStringLiteral("Owned By:"), row, 180, 2100, 2295, 315);
  Label2 = label<QLabel>(area, QStringLiteral("Version:"), row, 180, 1680, 2295, 315);
}

void frmAbout::Form_Load() {
  setCaption(QStringLiteral("About ") + modLivery::productName);
  Label1->setText(modLivery::productName);
  lblCompany->setText(modLivery::companyName);
  const platform::VersionRecord& version = platform::versionRecord();
  lblVersion->setText(QString::number(version.major) + QLatin1Char('.') + QString::number(version.minor));
  lblWebsite->setText(modLivery::productSiteName);
  if (modLivery::useSkin) {
    modSkin::convertLabels(this, SkinLabel1, false);
    modSkin::applySkinOrLeaveUndressed(this);
  }
}
