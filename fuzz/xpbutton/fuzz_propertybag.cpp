// libFuzzer target for the property bag's JSON form: any input must read without crashing; a
// bag that reads must write JSON that reads back to an equal bag, and must load into a button
// that then draws and saves itself.
//
//   fuzz_propertybag -dict=fuzz/xpbutton/propertybag.dict corpus-dir fuzz/xpbutton/corpus
#include "xpbutton/propertybag.h"
#include "xpbutton/xpbutton.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QWidget *form()
{
    static QWidget host;
    return &host;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_propertybag";
    static char *argv[] = {name, nullptr};
    static auto app = std::make_unique<QApplication>(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<xpbutton::PropertyBag> bag = xpbutton::PropertyBag::fromJson(input);
    if (!bag)
        return 0;

    const QByteArray written = bag->toJson(QJsonDocument::Compact);
    QString error;
    const std::optional<xpbutton::PropertyBag> again =
        xpbutton::PropertyBag::fromJson(written, &error);
    if (!again || !(*again == *bag) || again->toJson(QJsonDocument::Compact) != written) {
        std::fprintf(stderr, "bag does not read back the same (%s):\n%s\n", qPrintable(error),
                     written.constData());
        std::abort();
    }

    // Whatever a stored bag holds, loading it must give a button that draws and saves.
    xpbutton::XPButton button(form());
    button.resize(75, 25);
    button.ReadProperties(*bag);
    button.Refresh();
    xpbutton::PropertyBag saved;
    button.WriteProperties(saved);
    (void)saved.toJson();
    return 0;
}
