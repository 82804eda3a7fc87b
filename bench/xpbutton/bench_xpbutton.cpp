// Prints how long one full redraw of the lookup window's search button takes (75 x 25, look 2,
// caption and picture: paint into the back buffer and present it), beside one render of a
// QPushButton of the same size with the same caption and icon.

#include "bench/common/benchfigures.h"
#include "platform/fonts.h"
#include "xpbutton/xpbutton.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using bench::median;
using bench::printFigure;

struct Pair
{
    double ours = 0;
    double reference = 0;
};

// Microseconds of processor time per call of each: the medians of several runs of many calls, the
// two taking turns so that a busy machine slows both alike.
Pair timePerCall(const std::function<void()> &ours, const std::function<void()> &reference)
{
    constexpr int kRuns = 15;
    constexpr int kCalls = 400;
    for (int i = 0; i < 50; ++i) {
        ours(); // warm caches, glyphs and scaled pictures
        reference();
    }
    // Processor time of this thread, so other busy programs on the machine count less.
    auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1000.0;
    };
    auto timed = [&now](const std::function<void()> &work) {
        const double start = now();
        for (int i = 0; i < kCalls; ++i)
            work();
        return (now() - start) / kCalls;
    };
    std::vector<double> a;
    std::vector<double> b;
    for (int run = 0; run < kRuns; ++run) {
        b.push_back(timed(reference));
        a.push_back(timed(ours));
    }
    return {median(a), median(b)};
}

QImage picture()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setPen(QColor(0, 60, 140));
    p.setBrush(QColor(70, 140, 230));
    p.drawEllipse(1, 1, 13, 13);
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    platform::installFontSubstitutions();
    const QFont font(QString::fromUtf8("宋体"), 9);
    const QString caption = QString::fromUtf8("查看");
    const QSize size(75, 25);

    QWidget host;
    host.resize(200, 100);
    auto *ours = new xpbutton::XPButton(&host);
    ours->setObjectName(QStringLiteral("Command1"));
    ours->resize(size);
    ours->InitProperties();
    ours->setButtonFont(font);
    ours->setCaption(caption);
    ours->setButtonStyle(2);
    ours->setPicture(xpbutton::ButtonPicture(picture()));

    auto *theirs = new QPushButton(caption, &host);
    theirs->setFont(font);
    theirs->setIcon(QIcon(QPixmap::fromImage(picture())));
    theirs->resize(size);
    host.show();

    QImage target(size, QImage::Format_ARGB32_Premultiplied);
    const auto reference = [&] {
        theirs->render(&target);
    };
    const auto redraw = [&] {
        ours->Refresh();
        ours->render(&target);
    };
    Pair idle = timePerCall(redraw, reference);
    printFigure("redraw 75x25 look 2 with caption and picture", idle.ours, idle.reference, "us");

    ours->state().nStateBits = xpbutton::MouseOver;
    ours->state().bHovering = true;
    Pair hot = timePerCall(redraw, reference);
    printFigure("redraw 75x25 look 2, hot", hot.ours, hot.reference, "us");
    return 0;
}
