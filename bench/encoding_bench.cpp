// Throughput of the encoding routines against glibc iconv(3) on the same ~10 MB corpus, in the
// same process. With SARNLINK_CORPUS_DIR set, the corpus files are written there first so that
// bench/compare.py can run the other converters on the very same bytes.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdlib>
#include <fstream>

#include "corpus.h"
#include "encoding/import_stream.h"
#include "encoding/import_text.h"
#include "encoding/iso2022jp_decoder.h"
#include "encoding/jis_text_table.h"
#include "encoding/kanji_code_convert.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "encoding/utf8.h"
#include "interface/memory_input_file.h"

namespace sarnlink::bench {
namespace {

struct Corpus {
  std::u16string text = MakeCorpus(10 << 20);
  Bytes utf8 = ConvertWithIconv(text, "UTF-8");
  Bytes sjis = ConvertWithIconv(text, "CP932");
  Bytes euc = ConvertWithIconv(text, "EUC-JP");
  Bytes jis = ConvertWithIconv(text, "ISO-2022-JP");
  IconvCodePage932 code_page;
};

const Corpus& TheCorpus() {
  static const Corpus corpus;
  return corpus;
}

// The same conversion by iconv(3), from `from` to UTF-16LE, into a buffer sized once.
void IconvToUtf16(benchmark::State& state, const Bytes& in, const char* from) {
  iconv_t cd = iconv_open("UTF-16LE", from);
  std::u16string out(in.size() + 16, u'\0');
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* i = reinterpret_cast<char*>(const_cast<std::uint8_t*>(in.data()));
    std::size_t i_left = in.size();
    char* o = reinterpret_cast<char*>(out.data());
    std::size_t o_left = out.size() * 2;
    iconv(cd, &i, &i_left, &o, &o_left);
    benchmark::DoNotOptimize(o);
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

void BM_EncodeUTF8_Lines(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  std::vector<std::u16string> lines;
  for (std::size_t start = 0; start < c.text.size();) {
    const std::size_t end = c.text.find(u"\r\n", start) + 2;
    lines.push_back(c.text.substr(start, end - start));
    start = end;
  }
  Bytes buffer;
  for (auto _ : state) {
    for (const auto& line : lines) {
      EncodeUTF8(line, buffer);
      benchmark::DoNotOptimize(buffer.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.utf8.size()));
}

void BM_EncodeUTF8_Whole(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  Bytes buffer;
  for (auto _ : state) {
    EncodeUTF8(c.text, buffer);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.utf8.size()));
}

void BM_Iconv_UTF16_to_UTF8(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
  Bytes out(c.text.size() * 3 + 16);
  for (auto _ : state) {
    char* i = reinterpret_cast<char*>(const_cast<char16_t*>(c.text.data()));
    std::size_t i_left = c.text.size() * 2;
    char* o = reinterpret_cast<char*>(out.data());
    std::size_t o_left = out.size();
    iconv(cd, &i, &i_left, &o, &o_left);
    benchmark::DoNotOptimize(o);
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.utf8.size()));
}

void BM_DecodeUTF8(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeUTF8(c.utf8, u""));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.utf8.size()));
}

void BM_Iconv_UTF8_to_UTF16(benchmark::State& state) {
  IconvToUtf16(state, TheCorpus().utf8, "UTF-8");
}

template <class Convert>
void Legacy(benchmark::State& state, const Bytes& in, Convert convert) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(convert(in));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

void BM_ShiftJIS_to_UTF16(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  Legacy(state, c.sjis, [&](const Bytes& in) { return c.code_page.ToUtf16(in); });
}
void BM_Iconv_CP932_to_UTF16(benchmark::State& state) {
  IconvToUtf16(state, TheCorpus().sjis, "CP932");
}

void BM_EUCJP_to_UTF16(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  Legacy(state, c.euc, [&](const Bytes& in) { return EUCToString(in, c.code_page); });
}
void BM_Iconv_EUCJP_to_UTF16(benchmark::State& state) {
  IconvToUtf16(state, TheCorpus().euc, "EUC-JP");
}

void BM_ISO2022JP_to_UTF16(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  Iso2022JpDecoder decoder(JisTextTableFor(c.code_page), c.code_page);
  Legacy(state, c.jis, [&](const Bytes& in) {
    std::u16string text;
    decoder.Decode(in.data(), in.size(), true, text);
    return text;
  });
}
void BM_Iconv_ISO2022JP_to_UTF16(benchmark::State& state) {
  IconvToUtf16(state, TheCorpus().jis, "ISO-2022-JP");
}

// The import's whole decision before any conversion, as the import makes it: one read of the
// bytes in pieces, each question answering as soon as it can.
void Detection(benchmark::State& state, const Bytes& in) {
  for (auto _ : state) {
    MemoryInputFile file(in);
    benchmark::DoNotOptimize(DecideImportEncoding(file, in.size(), std::nullopt));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}
void BM_Detect_UTF8(benchmark::State& state) {
  Detection(state, TheCorpus().utf8);
}
void BM_Detect_ShiftJIS(benchmark::State& state) {
  Detection(state, TheCorpus().sjis);
}
void BM_Detect_EUCJP(benchmark::State& state) {
  Detection(state, TheCorpus().euc);
}
void BM_Detect_ISO2022JP(benchmark::State& state) {
  Detection(state, TheCorpus().jis);
}

BENCHMARK(BM_EncodeUTF8_Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeUTF8_Whole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_UTF16_to_UTF8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeUTF8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_UTF8_to_UTF16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShiftJIS_to_UTF16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_CP932_to_UTF16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EUCJP_to_UTF16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_EUCJP_to_UTF16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ISO2022JP_to_UTF16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_ISO2022JP_to_UTF16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Detect_UTF8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Detect_ShiftJIS)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Detect_EUCJP)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Detect_ISO2022JP)->Unit(benchmark::kMicrosecond);

void WriteCorpusFiles(const std::string& dir) {
  const Corpus& c = TheCorpus();
  const std::pair<const char*, const Bytes*> files[] = {{"corpus.utf8.txt", &c.utf8},
                                                        {"corpus.sjis.txt", &c.sjis},
                                                        {"corpus.eucjp.txt", &c.euc},
                                                        {"corpus.iso2022jp.txt", &c.jis}};
  for (const auto& [name, bytes] : files) {
    std::ofstream out(dir + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
  }
}

}  // namespace
}  // namespace sarnlink::bench

int main(int argc, char** argv) {
  if (const char* dir = std::getenv("SARNLINK_CORPUS_DIR")) {
    sarnlink::bench::WriteCorpusFiles(dir);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
