#include "RichTextBox.h"

#include "platform/base/Shell.h"
#include "platform/richtext/reader/RtfReader.h"

#include <QTextDocument>
#include <QUrl>

namespace platform {

RichTextBox::RichTextBox(QWidget* parent) : QTextBrowser(parent) {
  // Links are ours to open: the browser would otherwise try to show them itself.
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
  connect(this, &QTextBrowser::anchorClicked, this, &RichTextBox::openLink);
}

Done RichTextBox::LoadFile(const QString& path) {
  // Read into a fresh document, so a failure leaves the shown one untouched and a success
  // swaps in a finished document with one layout.
  auto* document = new QTextDocument(this);
  document->setDefaultFont(font());
  Done loaded = rtf::loadRtfFile(path, *document);
  if (!loaded) {
    delete document;
    return loaded;
  }
  setDocument(document);
  delete loaded_;
  loaded_ = document;
  return loaded;
}

void RichTextBox::openLink(const QUrl& url) {
  // A place in the same document (a bookmark) is shown here, not opened.
  if (url.isRelative() && url.path().isEmpty()) {
    scrollToAnchor(url.fragment());
    return;
  }
  shell::startCommandLine(QStringLiteral("explorer ") + url.toString(), shell::vbNormalFocus);
}

}  // namespace platform
