#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace platform::twips {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kDefaultDpi = 96.0;

// Without a screen (no application yet, or a headless start) the design's 96 dpi applies.
double dpiX() {
  const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
  return screen && screen->logicalDotsPerInchX() > 0 ? screen->logicalDotsPerInchX() : kDefaultDpi;
}

double dpiY() {
  const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
  return screen && screen->logicalDotsPerInchY() > 0 ? screen->logicalDotsPerInchY() : kDefaultDpi;
}

int round(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

int toPixelsX(int twips) { return round(twips * dpiX() / kTwipsPerInch); }
int toPixelsY(int twips) { return round(twips * dpiY() / kTwipsPerInch); }
int fromPixelsX(int pixels) { return round(pixels * kTwipsPerInch / dpiX()); }
int fromPixelsY(int pixels) { return round(pixels * kTwipsPerInch / dpiY()); }

void setGeometry(QWidget* control, int left, int top, int width, int height) {
  control->setGeometry(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}

void setLeft(QWidget* control, int left) { control->move(toPixelsX(left), control->y()); }
void setTop(QWidget* control, int top) { control->move(control->x(), toPixelsY(top)); }
void setWidth(QWidget* control, int width) { control->resize(toPixelsX(width), control->height()); }
void setHeight(QWidget* control, int height) { control->resize(control->width(), toPixelsY(height)); }

int left(const QWidget* control) { return fromPixelsX(control->x()); }
int top(const QWidget* control) { return fromPixelsY(control->y()); }
int width(const QWidget* control) { return fromPixelsX(control->width()); }
int height(const QWidget* control) { return fromPixelsY(control->height()); }

}  // namespace platform::twips
