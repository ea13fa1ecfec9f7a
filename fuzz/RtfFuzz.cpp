// Feeds arbitrary bytes to the rich-text reader: it must end every input in a document or a
// clean failure. Run: build/fuzz/fuzz/fuzz_rtf fuzz/corpus/rtf -rss_limit_mb=2048 -timeout=5
#include "platform/richtext/reader/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Decoders complain about every broken picture; the fuzzer would spend its time printing.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QTextDocument document;
  if (platform::rtf::readRtf(QByteArrayView(data, static_cast<qsizetype>(size)), document))
    (void)document.toPlainText();
  return 0;
}
