#include "frmWebsite.h"

#include "app/endProgram.h"
#include "app/modLivery.h"
#include "app/modOnTop.h"
#include "app/Resources.h"
#include "platform/forms/Controls.h"
#include "platform/forms/PictureButton.h"
#include "platform/forms/StatusBar.h"
#include "platform/forms/Twips.h"
#include "platform/web/WebBrowser.h"
#include "skin/modSkin.h"
#include "skin/SkinLabel.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>

namespace tw = platform::twips;

namespace {

constexpr int kStatusBarHeight = 315;

QPushButton* button(QWidget* parent, const QString& caption, const char* picture, const QString& tip, int left, int top,
                    int width, int height) {
  auto* b = new QPushButton(platform::pictureWithLargeVersion(QLatin1StringView(":/icons/browser-") +
                                                              QLatin1StringView(picture) + QLatin1StringView(".png")),
                            caption, parent);
  b->setIconSize(QSize(16, 16));
  b->setToolTip(tip);
  b->setAccessibleName(caption);
  tw::setGeometry(b, left, top, width, height);
  return b;
}

}  // namespace

frmWebsite::frmWebsite() : Form(name()) {
  setFont(platform::verdana());
  setClientSizeTwips(10545, 8580);

  resources::initResources();
  QWidget* area = client();
  StatusBar1 = new platform::StatusBar(area);
  tw::setGeometry(StatusBar1, 0, 8265, 10545, kStatusBarHeight);
  StatusBar1->setAccessibleName(QStringLiteral("Status bar"));

  frmBrowser = new QGroupBox(QStringLiteral("Browser"), area);
  tw::setGeometry(frmBrowser, 0, 0, 6375, 7215);
  Label5 = new QLabel(QStringLiteral("URL:"), frmBrowser);
  tw::setGeometry(Label5, 120, 300, 1215, 255);
  Text1 = new QLineEdit(frmBrowser);
  Text1->setAccessibleName(QStringLiteral("Address"));
  tw::setGeometry(Text1, 540, 240, 4875, 315);
  Command3 = button(frmBrowser, QStringLiteral("Go"), "go", QStringLiteral("browse the entered url"), 5460, 240, 795,
                    315);
  Command4 = button(frmBrowser, QStringLiteral("Back"), "back", QStringLiteral("back"), 540, 600, 1000, 435);
  Command5 = button(frmBrowser, QStringLiteral("Forward"), "forward", QStringLiteral("forward"), 1620, 600, 1000, 435);
  Command6 = button(frmBrowser, QStringLiteral("Stop"), "stop", QStringLiteral("stop"), 2700, 600, 1000, 435);
  Command7 = button(frmBrowser, QStringLiteral("Refresh"), "refresh", QStringLiteral("refresh"), 3780, 600, 1000, 435);
  WebBrowser1 = new platform::WebBrowser(frmBrowser);
  platform::setControlTypeName(WebBrowser1, QStringLiteral("WebBrowser"));
  tw::setGeometry(WebBrowser1, 120, 1140, 6135, 5595);
  SkinLabel1.append(new SkinLabel(QStringLiteral("Windowed Label"), frmBrowser));
  tw::setGeometry(SkinLabel1[0], 3180, 6840, 555, 135);
  SkinLabel1[0]->hide();
  // The frame is sized from the window's outer height and so reaches below the client area's
  // status bar line; the status bar stays in front, where its text can be read.
  StatusBar1->raise();

  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
  connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
  connect(Text1, &QLineEdit::returnPressed, this, [this] {
    int key = 13;
    Text1_KeyPress(key);
  });
  connect(WebBrowser1, &platform::WebBrowser::StatusTextChange, this,
          [this](const QString& text) { WebBrowser1_StatusTextChange(text); });
  connect(WebBrowser1, &platform::WebBrowser::DownloadComplete, this, [this] { WebBrowser1_DownloadComplete(); });
}

void frmWebsite::Form_Load() {
  modLivery::loadProductIdentity();
  StatusBar1->addPanel();
  setCaption(modLivery::productSiteName);
  modOnTop::setOnTop(this, -1);
  if (modLivery::useSkin) {
    modSkin::convertLabels(this, SkinLabel1, true);
    modSkin::applySkinOrLeaveUndressed(this);
  }
  for (QPushButton* button : {Command3, Command4, Command5, Command6, Command7})
    platform::fitCaptionBesidePicture(button);
  WebBrowser1->Navigate(browserMode == QStringLiteral("Website") ? modLivery::productSiteName
                                                                 : modLivery::productWebAddress);
  browserMode = QStringLiteral("Website");
  setWindowState(windowState() | Qt::WindowMaximized);
  modOnTop::setOnTop(this, 0);
}

void frmWebsite::Form_Unload() {
  if (!app::endWhenBrowserCloses) return;
  if (modLivery::useSkin) modSkin::companionClose();
  endProgram();
}

void frmWebsite::Command3_Click() { WebBrowser1->Navigate(Text1->text()); }

void frmWebsite::Text1_KeyPress(int& keyAscii) {
  if (keyAscii == 13) Command3_Click();
}

// The control ignores what it cannot do (nothing to go back to, nothing loading).
void frmWebsite::Command4_Click() { WebBrowser1->GoBack(); }
void frmWebsite::Command5_Click() { WebBrowser1->GoForward(); }
void frmWebsite::Command6_Click() { WebBrowser1->Stop(); }
void frmWebsite::Command7_Click() { WebBrowser1->Refresh(); }

void frmWebsite::WebBrowser1_StatusTextChange(const QString& text) { StatusBar1->setPanelText(1, text); }

void frmWebsite::WebBrowser1_DownloadComplete() {
  Text1->setText(WebBrowser1->LocationURL());
  setCaption(WebBrowser1->LocationName());
}

void frmWebsite::layoutBrowser() { layoutBrowser(outerWidthTwips(), outerHeightTwips()); }

// Each size is taken as its absolute value: a window smaller than the margins gets small
// positive sizes instead of negative ones. Each step uses the sizes the steps before it set.
void frmWebsite::layoutBrowser(int outerWidth, int outerHeight) {
  const int W = outerWidth;
  const int H = outerHeight;
  const int statusBarHeight = kStatusBarHeight;
  for (int panel = 1; panel <= StatusBar1->panelCount() && panel <= 2; ++panel)
    StatusBar1->setPanelWidthTwips(panel, std::abs(W / 2));
  const int frameHeight = std::abs(H - statusBarHeight);
  const int frameWidth = std::abs(W - 300);
  tw::setHeight(frmBrowser, frameHeight);
  tw::setWidth(frmBrowser, frameWidth);
  const int goWidth = 795;
  const int text1Left = 540;
  const int text1Width = std::abs(frameWidth - text1Left - 300 - goWidth);
  tw::setWidth(Text1, text1Width);
  tw::setLeft(Command3, text1Width + text1Left + 100);
  const int pageLeft = 120;
  const int pageTop = 1140;
  tw::setWidth(WebBrowser1, std::abs(frameWidth - pageLeft - 100));
  tw::setHeight(WebBrowser1, std::abs(frameHeight - pageTop - 800 - statusBarHeight));
  // The status bar keeps to the window's bottom edge across its whole width, as the control does
  // by its own alignment.
  tw::setGeometry(StatusBar1, 0, clientHeightTwips() - statusBarHeight, clientWidthTwips(), statusBarHeight);
}

void frmWebsite::resizeEvent(QResizeEvent* event) {
  Form::resizeEvent(event);
  layoutBrowser();
}

// What changed since the last resize (panels added at load) is placed before the window shows.
void frmWebsite::showEvent(QShowEvent* event) {
  Form::showEvent(event);
  layoutBrowser();
}
