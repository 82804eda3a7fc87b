// Prints how long a lookup takes from the search button's click to "下载完成" against the demo
// directory site, and how long cutting and writing a 10 MB answer page takes, each beside a
// floor: the same request fetched with a plain HTTP client, and the same bytes written plainly.

#include "bench/common/benchfigures.h"
#include "lookup/memorypage.h"
#include "lookup/nct.h"
#include "lookup/resultpage.h"
#include "platform/fonts.h"
#include "tests/common/demosite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::printFigure;

const QStringList kQueries = {QStringLiteral("8843"), QStringLiteral("8652"),
                              QStringLiteral("88751261"), QStringLiteral("1909"),
                              QStringLiteral("0571-86")};

double plainFetchMs(QNetworkAccessManager &net, const QUrl &url)
{
    QElapsedTimer timer;
    timer.start();
    QNetworkReply *reply = net.get(QNetworkRequest(url));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->readAll();
    reply->deleteLater();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    lookup::MemoryPage::registerScheme();
    QApplication app(argc, argv);
    platform::installFontSubstitutions();
    const int runs = 20;

    DemoSite site;
    if (!site.start()) {
        std::fprintf(stderr, "the demo directory site did not start (set DIALVANE_DIRSITE)\n");
        return 1;
    }
    qputenv("DIALVANE_SITE", site.baseUrl().toUtf8());

    {
        lookup::nct window(lookup::kNumseek);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        auto *text = window.findChild<QLineEdit *>(QStringLiteral("Text2"));
        // The search button is the owner-drawn button; only its click matters here.
        auto *button = window.findChild<QWidget *>(QStringLiteral("Command1"));
        if (!text || !button) {
            std::fprintf(stderr, "the lookup window has no Text2 or Command1\n");
            return 1;
        }
        QNetworkAccessManager net;
        std::vector<double> ours, floor;
        for (int i = 0; i <= runs; ++i) {
            const QString query = kQueries.at(i % kQueries.size());
            QSignalSpy shown(&window, &lookup::nct::resultShown);
            text->setText(query);
            QElapsedTimer timer;
            timer.start();
            QTest::mouseClick(button, Qt::LeftButton);
            if (!shown.wait(30000)) {
                std::fprintf(stderr, "search %d did not finish\n", i);
                return 1;
            }
            const double ms = timer.nsecsElapsed() / 1e6;
            const QUrl url(site.baseUrl() + QStringLiteral("/SSjkzcnum.asp?keyword=") + query);
            const double plain = plainFetchMs(net, url);
            if (i == 0)
                continue; // warm-up: the engine's first page
            ours.push_back(ms);
            floor.push_back(plain);
        }
        printFigure("lookup click to shown (median of 20)", median(ours), median(floor), "ms");
    }

    {
        const QString begin = lookup::ResultPage::kBeginMarker.toString();
        const QString end = lookup::ResultPage::kEndMarker.toString();
        QString page = QStringLiteral("<head><title>电话</title></head><body>");
        page += QString(2 * 1024 * 1024, u'a') + begin;
        while (page.size() < 9 * 1024 * 1024)
            page += QStringLiteral(
                "<tr><td>张三商店</td><td>0571-88123456</td><td>文一路1号</td></tr>");
        page += end + QString(1024 * 1024, u'z') + QStringLiteral("</body>");

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("windows.htm"));
        std::vector<double> ours, floor;
        for (int i = 0; i < 9; ++i) {
            QElapsedTimer timer;
            timer.start();
            const QString section = lookup::ResultPage::cut(page);
            const QByteArray bytes =
                lookup::ResultPage::fileBytes(lookup::ResultPage::withHeader(section));
            lookup::ResultPage::write(path, bytes);
            ours.push_back(timer.nsecsElapsed() / 1e6);

            timer.restart();
            QFile plain(dir.filePath(QStringLiteral("plain.htm")));
            plain.open(QIODevice::WriteOnly | QIODevice::Truncate);
            plain.write(bytes);
            plain.close();
            floor.push_back(timer.nsecsElapsed() / 1e6);
        }
        printFigure("cut and write a 10 MB page (median of 9)", median(ours), median(floor), "ms");
    }
    return 0;
}
