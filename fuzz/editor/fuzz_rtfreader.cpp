// libFuzzer target for the RTF reader and writer: any input must read without crashing or
// hanging (tables, pictures, lists and fields included), and what the writer makes of the result
// must read back to the same document (writing it again gives the same bytes).
//
//   fuzz_rtfreader -dict=fuzz/editor/rtf.dict corpus-dir ../shared/rtf-samples/*/
#include "editor/rtf/rtfreader.h"
#include "editor/rtf/rtfwriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Text documents need the font database, which needs a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_rtfreader";
    static char *argv[] = {name, nullptr};
    static auto app = std::make_unique<QGuiApplication>(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    const rtf::ReadResult first = rtf::readRtf(input, &doc);
    if (!first.ok) {
        return 0;
    }
    const QByteArray written = rtf::writeRtf(doc);
    QTextDocument again;
    const rtf::ReadResult second = rtf::readRtf(written, &again);
    const QByteArray rewritten = rtf::writeRtf(again);
    if (!second.ok || second.damaged || rewritten != written) {
        std::fprintf(stderr, "writer output does not read back the same:\n%s\n---\n%s\n",
                     written.constData(), rewritten.constData());
        std::abort();
    }
    // Pasting the same data into the middle of a document, and a read cancelled half-way,
    // must hold up as well.
    QTextCursor cursor(&again);
    cursor.setPosition(again.characterCount() / 2);
    rtf::insertRtf(input, cursor);
    int calls = 0;
    rtf::ReadOptions options;
    options.progress = [&calls](qint64, qint64) {
        return ++calls < 2;
    };
    QTextDocument cancelled;
    rtf::readRtf(input, &cancelled, options);
    return 0;
}
