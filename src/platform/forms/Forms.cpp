#include "Forms.h"

#include "ClientArea.h"
#include "FixedFrame.h"
#include "RunState.h"
#include "Twips.h"
#include "WindowNames.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QWindow>

#include <algorithm>

// Names that reach no window: debug lines, off unless QT_LOGGING_RULES="keyloft.forms.debug=true".
Q_LOGGING_CATEGORY(formsLog, "keyloft.forms", QtInfoMsg)

namespace platform {
namespace {

// Caption and borders of a fixed single-border window, as the design's outer sizes assume.
constexpr int kFrameWidthTwips = 90;
constexpr int kFrameHeightTwips = 450;

QHash<QString, forms::Factory>& factories() {
  static QHash<QString, forms::Factory> map;
  return map;
}

QHash<QString, QPointer<Form>>& instances() { return formsRunState().instances; }

std::function<void(const QString&)>& unknownNameHook() {
  static std::function<void(const QString&)> hook;
  return hook;
}

// A name that is neither the design's nor ever registered is a slip at the call site: the lookup
// still gives nullptr, but it leaves a line and tests hear of it.
void checkName(const QString& name) {
  if (factories().contains(name) || std::ranges::find(windows::kAll, name) != windows::kAll.end()) return;
  qCDebug(formsLog) << "No window is named" << name;
  if (unknownNameHook()) unknownNameHook()(name);
}

}  // namespace

// Watches the window through an event filter rather than overridden handlers, so that a window
// class overriding resizeEvent or showEvent cannot switch the layout off.
class FormWatcher final : public QObject {
 public:
  explicit FormWatcher(Form* form) : QObject(form), form_(form) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == form_) {
      if (event->type() == QEvent::Resize) form_->layoutParts();
      if (event->type() == QEvent::Show && !event->spontaneous()) {
        if (form_->fixedBorder_) {
          // Before the window is mapped, so the window manager sees them from the start.
          askForFixedFrame(form_);
          if (QWindow* native = form_->windowHandle()) native->installEventFilter(this);
        }
        form_->firstShow();
      }
    } else if (event->type() == QEvent::Expose && form_->fixedBorder_ && form_->windowHandle() == watched &&
               form_->windowHandle()->isExposed()) {
      // Qt re-creates the native window inside show() after some flag changes (staying on top),
      // which brings back its own hints: write ours again once the window is on screen.
      askForFixedFrame(form_);
    }
    return false;
  }

 private:
  Form* form_;
};

namespace {

// Reports changes that may alter its height once it has taken them in itself (an event filter
// would see them before the bar has updated its item layout).
class FormMenuBar final : public QMenuBar {
 public:
  FormMenuBar(QWidget* parent, std::function<void()> changed) : QMenuBar(parent), changed_(std::move(changed)) {}
  // The window is going: menus it owns may still leave the bar while the children are deleted.
  void detach() {
    changed_ = [] {};
  }

 protected:
  bool event(QEvent* event) override {
    const bool handled = QMenuBar::event(event);
    switch (event->type()) {
      case QEvent::ActionAdded:
      case QEvent::ActionRemoved:
      case QEvent::ActionChanged:
      case QEvent::FontChange:
      case QEvent::StyleChange:
      case QEvent::ShowToParent:
      case QEvent::HideToParent: changed_(); break;
      default: break;
    }
    return handled;
  }

 private:
  std::function<void()> changed_;
};

}  // namespace

Form::Form(const QString& name)
    : QWidget(nullptr, Qt::Window), name_(name), client_(new ClientArea(this)), watcher_(new FormWatcher(this)) {
  setObjectName(name);
  installEventFilter(watcher_);
}

Form::~Form() {
  if (menuBar_) static_cast<FormMenuBar*>(menuBar_)->detach();
}

int Form::frameWidthTwips() { return kFrameWidthTwips; }
int Form::frameHeightTwips() { return kFrameHeightTwips; }

QMenuBar* Form::menuBar() {
  if (!menuBar_) {
    menuBar_ = new FormMenuBar(this, [this] { followMenuBarHeight(); });
    // A global (desktop) menu would take the bar out of the window and change its size.
    menuBar_->setNativeMenuBar(false);
    followMenuBarHeight();
  }
  return menuBar_;
}

int Form::menuBarHeight(int forWidth) const {
  if (!menuBar_ || menuBar_->isHidden()) return 0;
  const int wrapped = menuBar_->heightForWidth(forWidth);
  return wrapped > 0 ? wrapped : menuBar_->sizeHint().height();
}

// The menu bar's height changes with its items; the client area keeps its size.
void Form::followMenuBarHeight() {
  if (menuBarHeight(width()) == menuHeight_)
    layoutParts();
  else
    applyClientSize(width(), client_->height());
}

void Form::applyClientSize(int width, int height) { applyWindowSize(width, height + menuBarHeight(width)); }

void Form::applyWindowSize(int width, int height) {
  if (fixedBorder_)
    setFixedSize(width, height);
  else
    resize(width, height);
  // A hidden window gets its resize event only when shown; the client must follow now.
  layoutParts();
}

void Form::layoutParts() {
  menuHeight_ = menuBarHeight(width());
  if (menuBar_) menuBar_->setGeometry(0, 0, width(), menuHeight_);
  client_->setGeometry(0, menuHeight_, width(), qMax(0, height() - menuHeight_));
}

void Form::setClientSizeTwips(int width, int height) {
  applyClientSize(twips::toPixelsX(width), twips::toPixelsY(height));
}

int Form::clientWidthTwips() const { return twips::fromPixelsX(client_->width()); }
int Form::clientHeightTwips() const { return twips::fromPixelsY(client_->height()); }

void Form::setOuterSizeTwips(int width, int height) {
  const int inner = qMax(0, twips::toPixelsX(width - kFrameWidthTwips));
  applyWindowSize(inner, qMax(menuBarHeight(inner), twips::toPixelsY(height - kFrameHeightTwips)));
}

void Form::setOuterHeightTwips(int height) { setOuterSizeTwips(outerWidthTwips(), height); }
void Form::setOuterWidthTwips(int width) { setOuterSizeTwips(width, outerHeightTwips()); }

int Form::outerWidthTwips() const { return twips::fromPixelsX(width()) + kFrameWidthTwips; }
int Form::outerHeightTwips() const { return twips::fromPixelsY(height()) + kFrameHeightTwips; }

void Form::setFixedBorder() {
  Qt::WindowFlags flags = windowFlags();
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
  // Changing flags re-creates the native window and hides it.
  const bool visible = isVisible();
  setWindowFlags(flags);
  fixedBorder_ = true;
  applyWindowSize(width(), height());
  if (visible) show();
}

void Form::centreOnScreen() {
  centreWhenShown_ = true;
  const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!target) return;
  const QRect area = target->availableGeometry();
  // Before the first show the frame is unknown; the runtime's allowance stands in for it.
  const bool frameKnown = isVisible() && frameGeometry().size() != size();
  const QSize outer = frameKnown ? frameGeometry().size()
                                 : QSize(twips::toPixelsX(outerWidthTwips()), twips::toPixelsY(outerHeightTwips()));
  move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void Form::closeEvent(QCloseEvent* event) {
  event->ignore();
  // Being unloaded already (the close came from a handler), or unloaded and awaiting deletion.
  if (unloading_) return;
  if (forms::instance(name_) == this) {
    const QPointer<Form> self(this);
    forms::unload(name_);
    if (self && unloading_) event->accept();  // unloaded: the window is closed
    return;
  }
  // A window made outside the runtime still asks its handlers before it closes.
  bool cancel = false;
  Form_QueryUnload(cancel);
  if (cancel) return;
  Form_Unload();
  event->accept();
}

// A window sized in its load opens centred with its final size.
void Form::firstShow() {
  if (shownOnce_) return;
  shownOnce_ = true;
  if (centreWhenShown_) centreOnScreen();
}

namespace forms {

void registerForm(const QString& name, Factory factory) { factories().emplace(name, std::move(factory)); }

Form* instance(const QString& name) {
  Form* form = instances().value(name).data();
  if (!form) checkName(name);
  return form;
}

bool isLoaded(const QString& name) { return instance(name) != nullptr; }

Form* load(const QString& name) {
  if (Form* loaded = instance(name)) return loaded;
  const auto factory = factories().constFind(name);
  if (factory == factories().constEnd() || !*factory) return nullptr;
  Form* form = (*factory)();
  if (!form) return nullptr;
  // Registered before its load runs: the load handler and what it calls reach the window by name.
  instances().insert(name, form);
  try {
    form->Form_Load();
  } catch (...) {
    // A window whose load failed is not kept half-built.
    if (instances().value(name) == form) instances().remove(name);
    form->hide();
    form->deleteLater();
    throw;
  }
  if (form->loadAbandoned_) {
    if (instances().value(name) == form) instances().remove(name);
    form->hide();
    form->deleteLater();
    return nullptr;
  }
  return instance(name);
}

Form* show(const QString& name) {
  Form* form = load(name);
  if (!form) return nullptr;
  // Raising a minimised window leaves it on the task bar; bring it back as it was.
  if (form->isMinimized()) form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
  form->show();
  form->raise();
  form->activateWindow();
  return form;
}

void hide(const QString& name) {
  if (Form* form = instance(name)) form->hide();
}

void unload(const QString& name) {
  QPointer<Form> form = instance(name);
  if (!form || form->unloading_) return;
  // Set for good once the unload has gone through: the window only waits for deletion then.
  form->unloading_ = true;
  auto stillLoaded = qScopeGuard([&form] {
    if (form) form->unloading_ = false;
  });
  bool cancel = false;
  form->Form_QueryUnload(cancel);
  if (cancel || !form) return;
  form->Form_Unload();
  stillLoaded.dismiss();
  if (!form) return;
  if (instances().value(name) == form) instances().remove(name);
  form->hide();
  // Unloading often starts inside one of the window's own handlers (a click, the close box):
  // it is destroyed once control is back in the event loop.
  form->deleteLater();
}

void setUnknownNameHookForTests(std::function<void(const QString&)> hook) { unknownNameHook() = std::move(hook); }

void resetForTests() {
  const auto loaded = instances();
  instances().clear();
  for (const QPointer<Form>& form : loaded) delete form.data();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace forms

void doEvents() { QCoreApplication::processEvents(); }

}  // namespace platform
