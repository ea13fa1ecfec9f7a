#pragma once
// Twips (1/1440 inch) to pixels and back: 15 twips per pixel at 96 dpi, scaled with the
// screen's logical dpi. Whole pixels round the twips.
class QWidget;

namespace platform::twips {

int toPixelsX(int twips);
int toPixelsY(int twips);
int fromPixelsX(int pixels);
int fromPixelsY(int pixels);

// Places a control inside its parent, in twips.
void setGeometry(QWidget* control, int left, int top, int width, int height);
void setLeft(QWidget* control, int left);
void setTop(QWidget* control, int top);
void setWidth(QWidget* control, int width);
void setHeight(QWidget* control, int height);
int left(const QWidget* control);
int top(const QWidget* control);
int width(const QWidget* control);
int height(const QWidget* control);

}  // namespace platform::twips
