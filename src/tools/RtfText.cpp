// keyloft-rtf-text FILE: the file's text as the reader sees it, in UTF-8 on standard output.
#include "platform/richtext/reader/RtfReader.h"

#include <QCoreApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv) {
  // A core application is enough: the document is never laid out, and pictures decode without a screen.
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 2) {
    std::fputs("usage: keyloft-rtf-text FILE\n", stderr);
    return 2;
  }
  QTextDocument document;
  if (auto loaded = platform::rtf::loadRtfFile(args.at(1), document); !loaded) {
    std::fprintf(stderr, "keyloft-rtf-text: %s\n", QString::fromStdString(loaded.why()).toLocal8Bit().constData());
    return 1;
  }
  const QByteArray text = platform::rtf::plainText(document).toUtf8();
  std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
  std::fputc('\n', stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
