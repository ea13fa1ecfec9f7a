#pragma once
// The rich-text box: a read-only view of a rich-text file. Its text can be selected with the
// mouse or the keyboard and copied; its links open through the system's opener.
#include <QPointer>
#include <QTextBrowser>

class QTextDocument;

namespace platform {

class RichTextBox final : public QTextBrowser {
  Q_OBJECT

 public:
  explicit RichTextBox(QWidget* parent = nullptr);

  // Shows the file. On failure returns false with the reason and keeps showing what it showed.
  bool LoadFile(const QString& path, QString* error = nullptr);

 private:
  void openLink(const QUrl& url);

  QPointer<QTextDocument> loaded_;
};

}  // namespace platform
