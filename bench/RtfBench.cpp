// Reading a 2 MB rich-text document: the raw read of its bytes, the reader alone (events to a
// sink that only counts), the reader building a QTextDocument, and the rich-text box from
// LoadFile to first paint. The document is the corpus's LibreOffice-written long.lo.rtf with its
// body repeated until the file reaches 2 MB (about 200,000 words); it is made at start-up.
#include "platform/richtext/reader/RtfParser.h"
#include "platform/richtext/reader/RtfReader.h"
#include "platform/richtext/RichTextBox.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr qsizetype kTargetBytes = 2 * 1024 * 1024;

QString g_path;
QByteArray g_bytes;
qsizetype g_words = 0;

// Repeats the body (from the first paragraph to the closing brace) of a document written by the
// office suite, so the big file has that writer's mix of control words and text.
QByteArray expand(const QByteArray& sample) {
  const qsizetype start = sample.indexOf("\\pard");
  const qsizetype end = sample.lastIndexOf('}');
  const QByteArray head = sample.left(start);
  const QByteArray body = sample.mid(start, end - start);
  QByteArray out = head;
  while (out.size() + body.size() < kTargetBytes) out += body;
  out += body;
  out += "}\n";
  return out;
}

class CountingSink final : public platform::rtf::Sink {
 public:
  void text(std::u16string_view run, const platform::rtf::CharFormat&, bool) override { characters += run.size(); }
  void paragraphEnd(const platform::rtf::ParaFormat&, bool) override { ++paragraphs; }
  void cellEnd(const platform::rtf::ParaFormat&) override {}
  void rowEnd(const std::vector<int>&) override {}
  void picture(const platform::rtf::Picture&, const platform::rtf::CharFormat&, bool) override {}
  void bookmark(const QString&) override {}
  std::size_t characters = 0;
  std::size_t paragraphs = 0;
};

void report(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * g_bytes.size());
  state.counters["words"] = static_cast<double>(g_words);
}

void BM_RawRead(benchmark::State& state) {
  for (auto _ : state) {
    QFile file(g_path);
    file.open(QIODevice::ReadOnly);
    benchmark::DoNotOptimize(file.readAll());
  }
  report(state);
}

void BM_ReaderOnly(benchmark::State& state) {
  for (auto _ : state) {
    CountingSink sink;
    platform::rtf::Parser parser;
    (void)parser.parse(g_bytes, sink);
    benchmark::DoNotOptimize(sink.characters);
  }
  report(state);
}

void BM_DocumentBuild(benchmark::State& state) {
  for (auto _ : state) {
    QTextDocument document;
    (void)platform::rtf::loadRtfFile(g_path, document);
    benchmark::DoNotOptimize(document.characterCount());
  }
  report(state);
}

void BM_LoadToShown(benchmark::State& state) {
  for (auto _ : state) {
    platform::RichTextBox box;
    box.resize(800, 600);
    (void)box.LoadFile(g_path);
    box.show();
    box.viewport()->repaint();
    QApplication::processEvents();
  }
  report(state);
}

BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReaderOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DocumentBuild)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadToShown)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QFile sample(QStringLiteral(KEYLOFT_RTF_SAMPLE));
  if (!sample.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", KEYLOFT_RTF_SAMPLE);
    return 1;
  }
  g_bytes = expand(sample.readAll());
  QTemporaryDir folder;
  g_path = folder.filePath(QStringLiteral("big.rtf"));
  QFile big(g_path);
  if (!big.open(QIODevice::WriteOnly) || big.write(g_bytes) != g_bytes.size()) return 1;
  big.close();
  QTextDocument document;
  if (!platform::rtf::readRtf(g_bytes, document)) return 1;
  g_words = document.toPlainText().split(u' ', Qt::SkipEmptyParts).size();
  std::printf("document: %lld bytes, %lld words\n", static_cast<long long>(g_bytes.size()),
              static_cast<long long>(g_words));

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
