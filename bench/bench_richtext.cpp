#include "RichTextDocument.h"

#include <benchmark/benchmark.h>

using namespace tavlin;

namespace {

constexpr qsizetype documentSize = 1024 * 1024;

// About 1 MiB of RTF as word processors write it: a font and colour table, then paragraphs
// of styled runs with accented and Cyrillic letters, quotes and dashes.
QByteArray styledDocument()
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Helvetica;}"
                     "{\\f1\\froman\\fcharset204 Times New Roman Cyr;}}"
                     "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green30\\blue30;}\n";
    const QByteArray paragraph =
        "\\pard\\f0\\fs24\\cf1 Plain text with {\\b bold}, {\\i italic} and {\\ul underlined} "
        "words, a caf\\'e9 \\ldblquote quoted\\rdblquote\\emdash and {\\f1\\cf2 \\'cf\\'f0\\'e8"
        "\\'e2\\'e5\\'f2} \\uc1\\u8364? written out.\\par\n";
    while (rtf.size() + paragraph.size() < documentSize)
        rtf += paragraph;
    return rtf + "}";
}

// The same size, almost all of it a picture before the first word.
QByteArray pictureFirstDocument()
{
    QByteArray rtf = "{\\rtf1\\ansi{\\pict\\pngblip\\picw100\\pich100 ";
    rtf += QByteArray("89504e470d0a1a0a").repeated((documentSize - 100) / 16);
    return rtf + "}Caption under the picture.\\par}";
}

void convert(benchmark::State& state, const QByteArray& rtf, std::optional<qsizetype> maximum)
{
    for (auto _ : state) {
        auto document = RichTextDocument::fromRTF(rtf, maximum);
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
}

void BM_StyledPreview600(benchmark::State& state)
{
    convert(state, styledDocument(), 600);
}

void BM_PictureFirstPreview600(benchmark::State& state)
{
    convert(state, pictureFirstDocument(), 600);
}

void BM_StyledWhole(benchmark::State& state)
{
    convert(state, styledDocument(), std::nullopt);
}

} // namespace

BENCHMARK(BM_StyledPreview600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureFirstPreview600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StyledWhole)->Unit(benchmark::kMillisecond);
