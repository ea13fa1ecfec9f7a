#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform::clipboard {

void clear() { QGuiApplication::clipboard()->clear(QClipboard::Clipboard); }

void setText(const QString& text, bool secret) {
  auto* data = new QMimeData;
  data->setText(text);
  // Clipboard managers that honour this hint keep the text out of their history.
  if (secret) data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
  QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

QString text() { return QGuiApplication::clipboard()->text(QClipboard::Clipboard); }

}  // namespace platform::clipboard
