#pragma once
// What the browser control asks of the web engine that does its work. The engine lives in a
// module of its own, loaded at the first navigation, so this header is all the two sides share:
// no symbol of ours crosses the boundary, only this inline interface and Qt's own types.
#include <QString>
#include <QUrl>

class QWidget;

namespace platform {

// What the engine tells the control that made it; each does nothing unless the control says otherwise.
class WebBrowserEngineEvents {
 public:
  virtual ~WebBrowserEngineEvents() = default;
  virtual void statusTextChanged(const QString& /*text*/) {}
  // Once per finished navigation, failed ones included.
  virtual void downloadComplete() {}
};

class WebBrowserEngine {
 public:
  virtual ~WebBrowserEngine() = default;

  // The page view, a child of the widget passed at creation.
  virtual QWidget* view() = 0;
  virtual void navigate(const QUrl& address) = 0;
  virtual void goBack() = 0;
  virtual void goForward() = 0;
  virtual void stop() = 0;
  virtual void refresh() = 0;
  virtual QString locationUrl() const = 0;
  virtual QString locationName() const = 0;
};

// The module's one export: makes an engine whose view is a child of `parent` and which tells
// `events` (which outlives it) what happens.
using CreateWebBrowserEngine = WebBrowserEngine* (*)(QWidget* parent, WebBrowserEngineEvents& events);
inline constexpr char kCreateWebBrowserEngine[] = "keyloftCreateWebBrowserEngine";

}  // namespace platform
