// Protects the window manager hints of fixed-size windows on a real X server (run under Xvfb):
// no resize and no maximise, also after the native window is re-created.
#include "platform/forms/Forms.h"
#include "platform/forms/WindowOnTop.h"
#include "support/WaitFor.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QWindow>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

// On a real X server Qt talks to the session bus, and libdbus keeps a buffer for the life of the
// process: not a leak of ours, and the only one leak detection is told to pass over here.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so"; }

using platform::Form;

namespace {

constexpr std::uint32_t kFunctionResize = 1u << 1;
constexpr std::uint32_t kFunctionMaximise = 1u << 4;
constexpr std::uint32_t kDecorResizeHandle = 1u << 2;
constexpr std::uint32_t kDecorMaximise = 1u << 6;

// The window's _MOTIF_WM_HINTS words as the window manager reads them (empty when unset).
std::vector<std::uint32_t> motifHints(const QWidget& window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* c = x11->connection();
  static constexpr char kName[] = "_MOTIF_WM_HINTS";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof kName - 1, kName), nullptr);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      c,
      xcb_get_property(c, 0, static_cast<xcb_window_t>(window.windowHandle()->winId()), atom->atom, atom->atom, 0, 5),
      nullptr);
  std::free(atom);
  std::vector<std::uint32_t> words;
  if (reply) {
    words.resize(static_cast<std::size_t>(xcb_get_property_value_length(reply)) / 4);
    std::memcpy(words.data(), xcb_get_property_value(reply), words.size() * 4);
    std::free(reply);
  }
  return words;
}

// Lets the window reach the screen: the X server maps it and Qt handles the expose.
void settle(Form& form) {
  testing_support::waitFor([&] {
    QGuiApplication::sync();
    return form.windowHandle() && form.windowHandle()->isExposed();
  });
  QCoreApplication::processEvents();
  QGuiApplication::sync();
}

class FixedFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) GTEST_FAIL() << "needs an X server";
  }
};

}  // namespace

TEST_F(FixedFrame, aFixedWindowOffersNeitherResizeNorMaximise) {
  Form form(QStringLiteral("Fixed"));
  form.setClientSizeTwips(4680, 2610);
  form.setFixedBorder();
  form.show();
  settle(form);
  auto hints = motifHints(form);
  ASSERT_EQ(hints.size(), 5u);
  EXPECT_FALSE(hints[1] & (kFunctionResize | kFunctionMaximise)) << std::hex << hints[1];
  EXPECT_FALSE(hints[2] & (kDecorResizeHandle | kDecorMaximise)) << std::hex << hints[2];

  // Changing the stay-on-top flag makes Qt write its own hints again.
  platform::setWindowOnTop(&form, true);
  settle(form);
  hints = motifHints(form);
  ASSERT_EQ(hints.size(), 5u);
  EXPECT_FALSE(hints[1] & (kFunctionResize | kFunctionMaximise)) << std::hex << hints[1];
}
