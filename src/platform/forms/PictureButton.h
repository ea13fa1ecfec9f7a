#pragma once
// A command button with its 32 x 32 picture above its caption, as graphical buttons show them.
#include <QPushButton>

class QIcon;

namespace platform {

// The picture plus its twice-as-large "@2x" file when there is one, so that HiDPI screens draw
// the large one instead of stretching the small one. Added by hand: Qt's own look-up only runs
// when the screen is HiDPI at the moment the icon is made.
QIcon pictureWithLargeVersion(const QString& picture);

// Narrows the caption's font just enough for picture and caption to fit side by side: captions
// were measured in the design's font, and a stand-in font can be wider. Call it once the window's
// style is final.
void fitCaptionBesidePicture(QPushButton* button);

class PictureButton final : public QPushButton {
  Q_OBJECT

 public:
  PictureButton(const QString& caption, const QString& picture, QWidget* parent);
  // The same, placed in its parent in twips.
  PictureButton(const QString& caption, const QString& picture, QWidget* parent, int left, int top, int width,
                int height);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace platform
