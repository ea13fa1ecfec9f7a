#include "WebBrowser.h"

#include "WebBrowserEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLibrary>
#include <QOpenGLContext>
#include <QRegularExpression>
#include <QVBoxLayout>

// Qt GUI's own setter of the context that the others share with; Qt WebEngine declares it alike.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace platform {
namespace {

// The layer's run-wide state in one place. A loaded module stays for the rest of the run, so none
// of it is put back: tests set their seams as they need them.
struct WebRunState {
  std::function<QString(const QString&)> addressRewrite;  // tests: keeps navigation off the network
  QString testModule;                                     // tests: the engine module in place of ours
  QString resolvedPath;                                   // the module last looked up, and what it gave
  CreateWebBrowserEngine factory = nullptr;
  bool loaded = false;  // an engine has been made in this process
};

WebRunState& runState() {
  static WebRunState state;
  return state;
}

// The reserved context becomes a real one just before the engine loads: the GL driver is loaded
// here, not at the start. Once only: WebEngine draws through it from then on.
void createSharedGraphicsContext() {
  QOpenGLContext* shared = QOpenGLContext::globalShareContext();
  if (!shared || shared->isValid()) return;
  shared->setScreen(QGuiApplication::primaryScreen());
  shared->setFormat(QSurfaceFormat::defaultFormat());
  shared->create();
}

// The module is looked for beside the program only: an installed program must not depend on the
// folder it was built in. Resolved once per path; a loaded module stays for the rest of the run.
CreateWebBrowserEngine engineFactory() {
  WebRunState& state = runState();
  const QString path =
      !state.testModule.isEmpty()
          ? state.testModule
          : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(KEYLOFT_WEBENGINE_MODULE_NAME));
  if (path != state.resolvedPath) {
    state.resolvedPath = path;
    createSharedGraphicsContext();
    QLibrary module(path);
    state.factory = reinterpret_cast<CreateWebBrowserEngine>(module.resolve(kCreateWebBrowserEngine));
  }
  return state.factory;
}

const QString kEngineMissing = QStringLiteral("The web browser part of Keyloft (" KEYLOFT_WEBENGINE_MODULE_NAME
                                              ") is not installed beside the program.");

bool isLoopbackHost(const QString& host) {
  static const QRegularExpression loopbackV4(QStringLiteral("^127\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"));
  return host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0 || host == QStringLiteral("::1") ||
         loopbackV4.match(host).hasMatch();
}

// Passes what the engine tells on as the control's signals.
class SignalledEvents final : public WebBrowserEngineEvents {
 public:
  explicit SignalledEvents(WebBrowser& browser) : browser_(browser) {}
  void statusTextChanged(const QString& text) override { emit browser_.StatusTextChange(text); }
  void downloadComplete() override { emit browser_.DownloadComplete(); }

 private:
  WebBrowser& browser_;
};

}  // namespace

WebBrowser::WebBrowser(QWidget* parent) : QWidget(parent), events_(std::make_unique<SignalledEvents>(*this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  setAccessibleName(QStringLiteral("Web page"));
}

WebBrowser::~WebBrowser() = default;

void WebBrowser::reserveSharedGraphicsContext() {
  if (QOpenGLContext::globalShareContext()) return;
  // WebEngine needs the attribute set before the application exists. With it, the application
  // makes and creates the shared context at its start (loading the GL driver before the first
  // window) unless one is there already: an empty one is, until the first navigation.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  qt_gl_set_global_share_context(new QOpenGLContext);
  qAddPostRoutine([] {
    delete QOpenGLContext::globalShareContext();
    qt_gl_set_global_share_context(nullptr);
  });
}

bool WebBrowser::engineLoaded() { return runState().loaded; }

QUrl WebBrowser::addressFromTyped(const QString& typed) {
  const QString text = typed.trimmed();
  if (text.isEmpty()) return QUrl(QStringLiteral("about:blank"));
  QUrl url = QUrl::fromUserInput(text);
  if (!url.isValid()) return QUrl(QStringLiteral("about:blank"));
  // A name typed without a scheme goes to the secure site; a password keeper should not teach
  // its users to send their first request in the clear.
  const bool typedScheme = text.contains(QStringLiteral("://")) ||
                           text.startsWith(QStringLiteral("about:"), Qt::CaseInsensitive);
  if (!typedScheme && url.scheme() == QStringLiteral("http") && !isLoopbackHost(url.host()))
    url.setScheme(QStringLiteral("https"));
  return url;
}

void WebBrowser::setAddressRewriteForTests(std::function<QString(const QString&)> rewrite) {
  runState().addressRewrite = std::move(rewrite);
}

void WebBrowser::setEngineModuleForTests(const QString& path) { runState().testModule = path; }

bool WebBrowser::ensureEngine() {
  if (engine_) return true;
  if (missing_) return false;
  const CreateWebBrowserEngine create = engineFactory();
  WebBrowserEngine* engine = create ? create(this, *events_) : nullptr;
  if (!engine) {
    // Without its engine the window still opens; it says why it stays empty.
    missing_ = new QLabel(kEngineMissing, this);
    missing_->setAlignment(Qt::AlignCenter);
    layout()->addWidget(missing_);
    return false;
  }
  runState().loaded = true;
  engine_.reset(engine);
  layout()->addWidget(engine_->view());
  return true;
}

void WebBrowser::Navigate(const QString& address) {
  const QString target = runState().addressRewrite ? runState().addressRewrite(address) : address;
  if (!ensureEngine()) {
    emit StatusTextChange(QStringLiteral("Cannot open web pages: ") + kEngineMissing);
    emit DownloadComplete();
    return;
  }
  engine_->navigate(addressFromTyped(target));
}

void WebBrowser::GoBack() {
  if (engine_) engine_->goBack();
}

void WebBrowser::GoForward() {
  if (engine_) engine_->goForward();
}

void WebBrowser::Stop() {
  if (engine_) engine_->stop();
}

void WebBrowser::Refresh() {
  if (engine_) engine_->refresh();
}

QString WebBrowser::LocationURL() const { return engine_ ? engine_->locationUrl() : QString(); }

QString WebBrowser::LocationName() const { return engine_ ? engine_->locationName() : QString(); }

}  // namespace platform
