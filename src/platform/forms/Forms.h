#pragma once
// The forms runtime: one instance per window, with load, modeless show, hide and unload as
// separate operations. Loading runs the window's Form_Load once per loading; unloading runs
// Form_Unload and destroys the instance, so the next load starts fresh.
//
// Geometry is in twips (15 per pixel at 96 dpi). A window's controls sit on its client area;
// the outer size is the client size plus the runtime's fixed frame allowance (and the menu bar).
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QMenuBar;

namespace platform {

class FormWatcher;
class Form;
namespace forms {
void unload(const QString& name);
Form* load(const QString& name);
}  // namespace forms

class Form : public QWidget {
  Q_OBJECT

 public:
  // `name` is the window's name in the design ("Form1", "frmPass", ...).
  explicit Form(const QString& name);
  ~Form() override;

  const QString& formName() const { return name_; }

  // Handlers a window overrides.
  virtual void Form_Load() {}
  // Set `cancel` to refuse the close.
  virtual void Form_QueryUnload(bool& cancel) { (void)cancel; }
  virtual void Form_Unload() {}

  // For a window's Form_Load: the window must not appear after all (what it shows is missing).
  // Once the load returns, the runtime unloads it without its unload handlers; a show then shows
  // nothing, and the next load starts afresh.
  void abandonLoad() { loadAbandoned_ = true; }

  // The area that holds the controls (below the menu bar, if any).
  QWidget* client() const { return client_; }
  // Created on first use; sits above the client area.
  QMenuBar* menuBar();

  // Twips geometry of the window.
  void setClientSizeTwips(int width, int height);
  int clientWidthTwips() const;
  int clientHeightTwips() const;
  void setOuterSizeTwips(int width, int height);
  void setOuterHeightTwips(int height);
  void setOuterWidthTwips(int width);
  int outerWidthTwips() const;
  int outerHeightTwips() const;
  // Fixed single border: not resizable, no minimise or maximise button.
  void setFixedBorder();
  void centreOnScreen();

  // Caption (the window title).
  void setCaption(const QString& caption) { setWindowTitle(caption); }
  QString caption() const { return windowTitle(); }

  // The runtime's frame allowance in twips (outer minus client).
  static int frameWidthTwips();
  static int frameHeightTwips();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  friend void forms::unload(const QString& name);
  friend Form* forms::load(const QString& name);
  friend class FormWatcher;

  int menuBarHeight(int forWidth) const;
  void applyClientSize(int width, int height);
  void applyWindowSize(int width, int height);
  void layoutParts();
  void followMenuBarHeight();
  void firstShow();

  QString name_;
  QWidget* client_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  FormWatcher* watcher_ = nullptr;
  int menuHeight_ = 0;  // pixels, as last laid out
  bool fixedBorder_ = false;
  bool centreWhenShown_ = false;
  bool shownOnce_ = false;
  bool unloading_ = false;
  bool loadAbandoned_ = false;
};

namespace forms {

using Factory = std::function<Form*()>;

// Each window class registers itself once (by name) so that windows can be reached by name
// from subsystems that do not link them.
void registerForm(const QString& name, Factory factory);

// The loaded instance, or nullptr.
Form* instance(const QString& name);
bool isLoaded(const QString& name);
// Loads the window if it is not loaded (its Form_Load runs then) and returns it;
// nullptr when no window of that name is registered or its load abandoned it.
Form* load(const QString& name);
// Loads if needed, shows without waiting, brings it to the front (nothing when the load abandoned it).
Form* show(const QString& name);
void hide(const QString& name);
// Runs Form_QueryUnload (which may refuse) and Form_Unload, then destroys the instance; a window
// that is not loaded is left alone. From then on instance() is nullptr; the hidden window object
// itself is deleted once control is back in the event loop (tests without one can flush it with
// QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete)).
void unload(const QString& name);
// Unloads every loaded window without running their handlers (tests).
void resetForTests();
// Called with a name that is neither a window of the design (WindowNames.h) nor registered, whose
// lookup gives nullptr (tests make it a failure).
void setUnknownNameHookForTests(std::function<void(const QString&)> hook);

// Typed access: F must have `static QString name()` and be registered.
template <class F>
F* instance() {
  return static_cast<F*>(instance(F::name()));
}
template <class F>
F* load() {
  return static_cast<F*>(load(F::name()));
}
template <class F>
F* show() {
  return static_cast<F*>(show(F::name()));
}
template <class F>
void hide() {
  hide(F::name());
}
template <class F>
void unload() {
  unload(F::name());
}

}  // namespace forms

// Lets pending window events run once.
void doEvents();

}  // namespace platform
