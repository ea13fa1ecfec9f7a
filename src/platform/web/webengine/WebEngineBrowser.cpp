// The browser control's engine on Qt WebEngine, built as a module of its own: the program loads
// it at the first navigation, so nothing of WebEngine is mapped, started or written before then.
#include "platform/web/WebBrowserEngine.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <cstdio>
#include <unistd.h>

namespace {

// Chromium's sandbox cannot start for root; rather than no browser, root gets one without it.
void allowRootWithoutSandbox() {
  static bool checked = false;
  if (checked) return;
  checked = true;
  if (::geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) return;
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  std::fputs("keyloft: running as root, so the web browser runs without its sandbox\n", stderr);
}

// One profile for the run, off the record: cookies, cache, history and local storage live in
// memory only and are gone with the process.
QWebEngineProfile* privateProfile() {
  static QPointer<QWebEngineProfile> profile;
  if (profile) return profile;
  profile = new QWebEngineProfile(QCoreApplication::instance());
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  profile->setSpellCheckEnabled(false);
  QWebEngineSettings* settings = profile->settings();
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
  settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
  settings->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
  return profile;
}

// Pages may not lead to local files; only an address the user typed may.
class GuardedPage final : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
    if (url.isLocalFile() && type != NavigationTypeTyped) return false;
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
  }
};

class WebEngineBrowser final : public platform::WebBrowserEngine {
 public:
  WebEngineBrowser(QWidget* parent, platform::WebBrowserEngineEvents& events)
      : view_(new QWebEngineView(parent)), events_(events) {
    QWebEngineProfile* profile = privateProfile();
    page_ = new GuardedPage(profile, view_);
    view_->setPage(page_);
    QObject::connect(page_, &QWebEnginePage::loadingChanged, view_,
                     [this](const QWebEngineLoadingInfo& info) { loadingChanged(info); });
    QObject::connect(page_, &QWebEnginePage::loadFinished, view_, [this](bool) { events_.downloadComplete(); });
    QObject::connect(page_, &QWebEnginePage::linkHovered, view_, [this](const QString& url) {
      // Off a link the panel goes back to how the page's load stands.
      report(url.isEmpty() ? loadStatus_ : url);
    });
    QObject::connect(page_, &QWebEnginePage::certificateError, view_, [this](const QWebEngineCertificateError& error) {
      QWebEngineCertificateError refused = error;
      refused.rejectCertificate();
      refuse(QStringLiteral("Certificate error, page not opened: ") + error.description());
    });
    QObject::connect(page_, &QWebEnginePage::featurePermissionRequested, view_,
                     [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                       page_->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                     });
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, view_, [this](QWebEngineDownloadRequest* request) {
      if (request->page() != page_) return;
      request->cancel();
      refuse(QStringLiteral("Download refused: ") + request->downloadFileName());
    });
  }

  ~WebEngineBrowser() override { delete view_.data(); }

  QWidget* view() override { return view_; }

  void navigate(const QUrl& address) override { page_->load(address); }
  void goBack() override { page_->triggerAction(QWebEnginePage::Back); }
  void goForward() override { page_->triggerAction(QWebEnginePage::Forward); }
  void stop() override { page_->triggerAction(QWebEnginePage::Stop); }
  void refresh() override {
    // Nothing shown yet: nothing to load again.
    if (!page_->url().isEmpty()) page_->triggerAction(QWebEnginePage::Reload);
  }
  QString locationUrl() const override { return page_->url().toString(); }
  QString locationName() const override { return page_->title(); }

 private:
  void loadingChanged(const QWebEngineLoadingInfo& info) {
    switch (info.status()) {
      case QWebEngineLoadingInfo::LoadStartedStatus:
        refused_ = false;
        setLoadStatus(QStringLiteral("Opening page ") + info.url().toString() + QStringLiteral("..."));
        break;
      case QWebEngineLoadingInfo::LoadSucceededStatus: setLoadStatus(QStringLiteral("Done")); break;
      case QWebEngineLoadingInfo::LoadStoppedStatus: setLoadStatus(QStringLiteral("Stopped")); break;
      case QWebEngineLoadingInfo::LoadFailedStatus:
        // A navigation the browser refused ends as failed; the refusal says more than the failure.
        if (!refused_)
          setLoadStatus(QStringLiteral("Could not open ") + info.url().toString() + QStringLiteral(": ") +
                        info.errorString());
        break;
    }
  }

  void refuse(const QString& text) {
    refused_ = true;
    setLoadStatus(text);
  }

  void setLoadStatus(const QString& text) {
    loadStatus_ = text;
    report(text);
  }

  void report(const QString& text) { events_.statusTextChanged(text); }

  QPointer<QWebEngineView> view_;
  platform::WebBrowserEngineEvents& events_;
  QWebEnginePage* page_ = nullptr;
  QString loadStatus_;
  bool refused_ = false;
};

}  // namespace

extern "C" Q_DECL_EXPORT platform::WebBrowserEngine* keyloftCreateWebBrowserEngine(
    QWidget* parent, platform::WebBrowserEngineEvents& events) {
  allowRootWithoutSandbox();
  return new WebEngineBrowser(parent, events);
}
