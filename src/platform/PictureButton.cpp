#include "PictureButton.h"

#include "Controls.h"
#include "Twips.h"

#include <QFile>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace platform {
namespace {
constexpr int kPicture = 32;
// The picture's size on screen: 32 pixels at 96 dpi, growing with the logical dpi like the
// button around it (which is sized in twips).
constexpr int kPictureTwips = 480;

// The picture plus its twice-as-large "@2x" file when there is one, so that HiDPI screens draw
// the large one instead of stretching the small one. Added by hand: Qt's own look-up only runs
// when the screen is HiDPI at the moment the icon is made.
QIcon pictureWithLargeVersion(const QString& picture) {
  QIcon icon;
  icon.addFile(picture, QSize(kPicture, kPicture));
  const qsizetype dot = picture.lastIndexOf(QLatin1Char('.'));
  const QString large = dot < 0 ? QString() : picture.left(dot) % QStringLiteral("@2x") % picture.mid(dot);
  if (!large.isEmpty() && QFile::exists(large)) icon.addFile(large, QSize(2 * kPicture, 2 * kPicture));
  return icon;
}

}  // namespace

PictureButton::PictureButton(const QString& caption, const QString& picture, QWidget* parent)
    : QPushButton(pictureWithLargeVersion(picture), caption, parent) {
  setIconSize(QSize(twips::toPixelsX(kPictureTwips), twips::toPixelsY(kPictureTwips)));
  setAccessibleName(caption);
  setControlTypeName(this, QStringLiteral("CommandButton"));
  // Enter presses the button that has the focus.
  setAutoDefault(true);
}

void PictureButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = option.text;
  const QIcon picture = option.icon;
  option.text.clear();
  option.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButtonBevel, option);

  const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  const int lineHeight = fontMetrics().height();
  const int gap = 2;
  // Centred on the whole button: low buttons have less room than their contents rect.
  const QSize size = iconSize();
  const int top = std::max(1, (height() - size.height() - gap - lineHeight) / 2);
  const QRect pictureRect(QPoint(area.center().x() - size.width() / 2 + 1, top), size);
  picture.paint(&painter, pictureRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
  const QRect captionRect(area.left(), top + size.height() + gap, area.width(), lineHeight);
  painter.drawItemText(captionRect, Qt::AlignHCenter | Qt::AlignTop, palette(), isEnabled(), caption,
                       QPalette::ButtonText);
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = area;
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

}  // namespace platform
