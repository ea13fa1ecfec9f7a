#pragma once
// The rich-text box: a read-only view of a rich-text file. Its text can be selected with the
// mouse or the keyboard and copied; its links open through the system's opener.
#include "platform/base/Result.h"

#include <QPointer>
#include <QTextBrowser>

class QTextDocument;

namespace platform {

class RichTextBox final : public QTextBrowser {
  Q_OBJECT

 public:
  explicit RichTextBox(QWidget* parent = nullptr);

  // Shows the file. A failure, with the reason, keeps showing what it showed.
  Done LoadFile(const QString& path);

 private:
  void openLink(const QUrl& url);

  QPointer<QTextDocument> loaded_;
};

}  // namespace platform
