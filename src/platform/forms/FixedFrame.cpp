#include "FixedFrame.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>

namespace platform {
namespace {

// The Motif window manager hints, as window managers read them from _MOTIF_WM_HINTS.
struct MotifHints {
  std::uint32_t flags;
  std::uint32_t functions;
  std::uint32_t decorations;
  std::int32_t inputMode;
  std::uint32_t status;
};
constexpr std::uint32_t kHintFunctions = 1u << 0;
constexpr std::uint32_t kHintDecorations = 1u << 1;
constexpr std::uint32_t kFunctionMove = 1u << 2;
constexpr std::uint32_t kFunctionMinimise = 1u << 3;
constexpr std::uint32_t kFunctionClose = 1u << 5;
constexpr std::uint32_t kDecorBorder = 1u << 1;
constexpr std::uint32_t kDecorTitle = 1u << 3;
constexpr std::uint32_t kDecorMenu = 1u << 4;
constexpr std::uint32_t kDecorMinimise = 1u << 5;

constexpr char kAskedProperty[] = "keyloftFixedFrame";

xcb_atom_t motifHintsAtom(xcb_connection_t* connection) {
  static xcb_atom_t atom = XCB_ATOM_NONE;
  if (atom != XCB_ATOM_NONE) return atom;
  static constexpr char kName[] = "_MOTIF_WM_HINTS";
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
  if (reply) {
    atom = reply->atom;
    std::free(reply);
  }
  return atom;
}

}  // namespace

void renewFixedFrame(QWidget* window) {
  if (window->property(kAskedProperty).toBool()) askForFixedFrame(window);
}

void askForFixedFrame(QWidget* window) {
  window->setProperty(kAskedProperty, true);
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  // The QWindow knows the current native window; the widget's own id can be stale after Qt
  // re-created the native window inside show().
  const QWindow* native = window->windowHandle();
  if (!x11 || !native || !native->handle()) return;
  // The offscreen platform answers as X11 too, without a connection.
  xcb_connection_t* connection = x11->connection();
  if (!connection) return;
  const xcb_atom_t atom = motifHintsAtom(connection);
  if (atom == XCB_ATOM_NONE) return;

  const bool minimise = window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint);
  MotifHints hints{kHintFunctions | kHintDecorations, kFunctionMove | kFunctionClose,
                   kDecorBorder | kDecorTitle | kDecorMenu, 0, 0};
  if (minimise) {
    hints.functions |= kFunctionMinimise;
    hints.decorations |= kDecorMinimise;
  }
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(native->winId()), atom, atom, 32,
                      sizeof hints / 4, &hints);
  xcb_flush(connection);
}

}  // namespace platform
