#pragma once
// The web browser control: navigate to a typed address, back, forward, stop, refresh, the
// current address and title, and two events. The web engine behind it is loaded only at the
// first navigation, so a run that never opens the browser never starts it.
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;

namespace platform {

class WebBrowserEngine;
class WebBrowserEngineEvents;

class WebBrowser final : public QWidget {
  Q_OBJECT

 public:
  explicit WebBrowser(QWidget* parent = nullptr);
  ~WebBrowser() override;

  // The address as a user types it into a browser: no scheme means a web address, an empty
  // text the empty page.
  void Navigate(const QString& address);
  // With nothing to go back or forward to, nothing loading or nothing shown: nothing happens.
  void GoBack();
  void GoForward();
  void Stop();
  void Refresh();
  QString LocationURL() const;
  QString LocationName() const;

  // Called before the application exists: asks for the graphics context that the engine's drawing
  // shares with the windows, made at the first navigation instead of at the application's start.
  static void reserveSharedGraphicsContext();

  // Whether the web engine has been loaded in this process.
  static bool engineLoaded();

  // How a typed address is read: "www.example.org" is https://www.example.org, a loopback host
  // without scheme stays on http (nothing serves https there), empty is about:blank.
  static QUrl addressFromTyped(const QString& typed);

  // Tests: every address given to Navigate passes through this first and is replaced by its
  // result, so that no test reaches the real network.
  static void setAddressRewriteForTests(std::function<QString(const QString&)> rewrite);

  // The engine module, beside the program unless a test points elsewhere; an empty text restores
  // the program's own. Takes effect for the next control that needs its engine.
  static void setEngineModuleForTests(const QString& path);

 signals:
  void StatusTextChange(const QString& text);
  void DownloadComplete();

 private:
  bool ensureEngine();

  // The engine's events as this control's signals; made first, so that it outlives the engine.
  std::unique_ptr<WebBrowserEngineEvents> events_;
  std::unique_ptr<WebBrowserEngine> engine_;
  QLabel* missing_ = nullptr;
};

}  // namespace platform
