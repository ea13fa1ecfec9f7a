#pragma once
// The browser window: the product's web site inside the program, with an address box and the
// usual buttons. When the main window has gone before it, closing it ends the program.
#include "platform/forms/Forms.h"
#include "platform/forms/WindowNames.h"

#include <QList>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SkinLabel;

namespace platform {
class StatusBar;
class WebBrowser;
}  // namespace platform

class frmWebsite final : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmWebsite)

 public:
  frmWebsite();
  static QString name() { return platform::windows::kFrmWebsite; }
  // Where the next opening of the browser goes: empty at program start, "Website" once the
  // browser has been opened in this run.
  static inline QString browserMode;

  platform::StatusBar* StatusBar1 = nullptr;
  QGroupBox* frmBrowser = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Text1 = nullptr;
  QPushButton* Command3 = nullptr;  // Go
  QPushButton* Command4 = nullptr;  // Back
  QPushButton* Command5 = nullptr;  // Forward
  QPushButton* Command6 = nullptr;  // Stop
  QPushButton* Command7 = nullptr;  // Refresh
  platform::WebBrowser* WebBrowser1 = nullptr;
  // Element 0 is the hidden design-time template that convertLabels copies.
  QList<SkinLabel*> SkinLabel1;

  void Form_Load() override;
  void Form_Unload() override;
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Text1_KeyPress(int& keyAscii);
  void WebBrowser1_StatusTextChange(const QString& text);
  void WebBrowser1_DownloadComplete();

  // Sizes the status bar's panels, the frame, the address box and the page to the window's
  // outer size (twips); the first form reads the window's own size.
  void layoutBrowser();
  void layoutBrowser(int outerWidth, int outerHeight);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
};
