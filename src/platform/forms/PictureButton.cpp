#include "PictureButton.h"

#include "Controls.h"
#include "Twips.h"

#include <algorithm>

#include <QFile>
#include <QFontMetrics>
#include <QIcon>
#include <QImageReader>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace platform {
namespace {
// The picture's size on screen: 32 pixels at 96 dpi, growing with the logical dpi like the
// button around it (which is sized in twips).
constexpr int kPictureTwips = 480;

}  // namespace

QIcon pictureWithLargeVersion(const QString& picture) {
  QIcon icon;
  const QSize size = QImageReader(picture).size();
  icon.addFile(picture, size);
  const qsizetype dot = picture.lastIndexOf(QLatin1Char('.'));
  const QString large = dot < 0 ? QString() : picture.left(dot) % QStringLiteral("@2x") % picture.mid(dot);
  if (!large.isEmpty() && QFile::exists(large)) icon.addFile(large, size * 2);
  return icon;
}

void fitCaptionBesidePicture(QPushButton* button) {
  // The common style puts this much space between a button's picture and its caption.
  constexpr int kGap = 4;
  // Rounding of the narrowed font's glyphs; no caption should end on the button's edge.
  constexpr int kSlack = 2;
  button->ensurePolished();
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  option.icon = button->icon();
  option.iconSize = button->iconSize();
  const int room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() -
                   button->iconSize().width() - kGap - kSlack;
  QFont font = button->font();
  font.setStretch(QFont::Unstretched);
  const int needed = QFontMetrics(font).horizontalAdvance(button->text());
  if (needed <= room || room <= 0) return;
  font.setStretch(std::max<int>(QFont::UltraCondensed, 100 * room / needed));
  button->setFont(font);
}

PictureButton::PictureButton(const QString& caption, const QString& picture, QWidget* parent)
    : QPushButton(pictureWithLargeVersion(picture), caption, parent) {
  setIconSize(QSize(twips::toPixelsX(kPictureTwips), twips::toPixelsY(kPictureTwips)));
  setAccessibleName(caption);
  setControlTypeName(this, QStringLiteral("CommandButton"));
  // Enter presses the button that has the focus.
  setAutoDefault(true);
}

PictureButton::PictureButton(const QString& caption, const QString& picture, QWidget* parent, int left, int top,
                             int width, int height)
    : PictureButton(caption, picture, parent) {
  twips::setGeometry(this, left, top, width, height);
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
