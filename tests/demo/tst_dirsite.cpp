// The real dirsite program, over real HTTP on the loopback interface.

#include "common/demosite.h"
#include "demo/pages.h"
#include "platform/codepage.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int waitMs = 10000;

struct Fetched
{
    int status = 0;
    QByteArray contentType;
    QByteArray body;
};

QString dirsite()
{
    return qEnvironmentVariable("DIALVANE_DIRSITE");
}

QByteArray sourceFile(const QString &relativePath)
{
    QFile file(qEnvironmentVariable("DIALVANE_SOURCE_DIR") + u'/' + relativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_DirSite : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void address();
    void fetch_data();
    void fetch();
    void ownDirectory();
    void writeBanner();
    void badArguments_data();
    void badArguments();
    void portInUse();
    void stopsOnSignal_data();
    void stopsOnSignal();

private:
    Fetched get(const QString &base, const QByteArray &target);

    std::unique_ptr<DemoSite> m_site;
    QNetworkAccessManager m_network;
};

void tst_DirSite::initTestCase()
{
    QVERIFY2(!dirsite().isEmpty(), "DIALVANE_DIRSITE must name the dirsite program");
    m_network.setProxy(QNetworkProxy::NoProxy);
    m_site = std::make_unique<DemoSite>();
    QVERIFY2(m_site->start(), qPrintable(m_site->errorString()));
}

Fetched tst_DirSite::get(const QString &base, const QByteArray &target)
{
    // The target goes out exactly as written: its escapes are GBK bytes, not UTF-8.
    const QUrl url = QUrl::fromEncoded(base.toLatin1() + target, QUrl::StrictMode);
    std::unique_ptr<QNetworkReply> reply(m_network.get(QNetworkRequest(url)));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!reply->isFinished() && !finished.wait(waitMs))
        return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            reply->rawHeader("Content-Type"), reply->readAll()};
}

void tst_DirSite::address()
{
    QVERIFY(m_site->port() > 0);
    QCOMPARE(m_site->baseUrl(), u"http://127.0.0.1:"_s + QString::number(m_site->port()));
}

void tst_DirSite::fetch_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("listing");
    QTest::addColumn<QString>("expected");

    QTest::newRow("number") << QByteArray("/SSjkzcnum.asp?keyword=87062202") << 200 << true
                            << u"<td>李&amp;王律师事务所</td><td>0571-87062202</td>"_s;
    QTest::newRow("number with dash and blank")
        << QByteArray("/SSjkzcnum.asp?keyword=0571-8586%200165") << 200 << true
        << u"<td>张秀英</td><td>0571-85860165</td>"_s;
    QTest::newRow("chinese name") << QByteArray("/SSjkzctel.asp?keyword=%D5%C5") << 200 << true
                                  << u"<td>张记早餐店</td><td>0571-88293075</td>"_s;
    QTest::newRow("chinese name heading")
        << QByteArray("/SSjkzctel.asp?keyword=%C0%EE%26%CD%F5") << 200 << true
        << u"<p><b>查询“李&amp;王”的结果：共 1 条</b></p>"_s;
    QTest::newRow("hash, blank and percent")
        << QByteArray("/SSjkzctel.asp?keyword=5%23%C2%A5%20100%25") << 200 << true
        << u"<td>5#楼 100%便利店</td><td>0571-88819957</td>"_s;
    QTest::newRow("plus") << QByteArray("/SSjkzctel.asp?keyword=A%2B") << 200 << true
                          << u"<td>A+眼镜店</td>"_s;
    QTest::newRow("no match") << QByteArray("/SSjkzcnum.asp?keyword=00000000") << 200 << true
                              << u"没有找到与“00000000”相符的电话资料"_s;
    QTest::newRow("empty keyword")
        << QByteArray("/SSjkzctel.asp?keyword=") << 200 << true << u"没有找到与“”相符的电话资料"_s;
    QTest::newRow("apply form") << QByteArray("/fbxx.html") << 200 << false
                                << u"<h3>电话资料申请收录</h3>"_s;
    QTest::newRow("correction form")
        << QByteArray("/dhcs.html") << 200 << false << u"<h3>电话资料申请改错和删除</h3>"_s;
    QTest::newRow("missing page") << QByteArray("/SSjkzcname.asp?keyword=1") << 404 << false
                                  << u"<h2>404 找不到网页</h2>"_s;
}

void tst_DirSite::fetch()
{
    QFETCH(QByteArray, target);
    QFETCH(int, status);
    QFETCH(bool, listing);
    QFETCH(QString, expected);

    const Fetched reply = get(m_site->baseUrl(), target);
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.contentType, QByteArray("text/html; charset=gbk"));

    const QString page = platform::fromAnsi(reply.body);
    QCOMPARE(platform::toAnsi(page), reply.body);
    QVERIFY2(page.contains(expected), qPrintable(expected));
    QVERIFY(reply.body.contains(platform::toAnsi(expected)));

    QCOMPARE(page.count(demo::beginMarker), qsizetype(listing ? 1 : 0));
    QCOMPARE(page.count(demo::endMarker), qsizetype(listing ? 1 : 0));
    if (listing) {
        const qsizetype begin = page.indexOf(demo::beginMarker);
        const qsizetype end = page.indexOf(demo::endMarker, begin + 1500);
        QVERIFY(begin >= 0);
        QVERIFY(end > begin);
        QVERIFY(page.mid(begin, end - begin).contains(expected));
    }
}

void tst_DirSite::ownDirectory()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"small.tsv"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("name\tnumber\taddress\tcategory\n"
               "测试商店\t0571-86209999\t澜州市测试路 1 号\t商店\n");
    file.close();

    DemoSite site({u"--data"_s, path});
    QVERIFY2(site.start(), qPrintable(site.errorString()));
    QVERIFY(site.port() != m_site->port());

    Fetched reply = get(site.baseUrl(), "/SSjkzctel.asp?keyword=%B2%E2%CA%D4");
    QCOMPARE(reply.status, 200);
    QVERIFY(platform::fromAnsi(reply.body)
                .contains(u"<td>测试商店</td><td>0571-86209999</td><td>澜州市测试路 1 号</td>"
                          u"<td>商店</td>"));
    // The built-in directory is not consulted.
    reply = get(site.baseUrl(), "/SSjkzcnum.asp?keyword=87062202");
    QVERIFY(platform::fromAnsi(reply.body).contains(u"没有找到与“87062202”相符的电话资料"));
    QVERIFY(site.stop());
}

void tst_DirSite::writeBanner()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"drive_c/windows/system32/login.html"_s);

    QProcess process;
    process.start(dirsite(), {u"--write-banner"_s, path});
    QVERIFY(process.waitForFinished(waitMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes, sourceFile(u"demo/pages/login.html"_s));
    QVERIFY(bytes.contains("<meta charset=\"gbk\">"));
    const QString banner = u"<b>Marlowen</b> 电话查询 <span>—</span> 查号码 查名称 就上 "
                           u"<b>Marlowen</b>"_s;
    QVERIFY(bytes.contains(platform::toAnsi(banner)));
    QVERIFY(!bytes.contains(banner.toUtf8()));
    QVERIFY(!bytes.contains("<script"));
}

void tst_DirSite::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("port not a number") << QStringList{u"--port"_s, u"x"_s} << 2;
    QTest::newRow("port too large") << QStringList{u"--port"_s, u"65536"_s} << 2;
    QTest::newRow("port without value") << QStringList{u"--port"_s} << 2;
    QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s} << 2;
    QTest::newRow("missing data file")
        << QStringList{u"--data"_s, u"/nonexistent/directory.tsv"_s} << 1;
    QTest::newRow("banner without path") << QStringList{u"--write-banner"_s} << 2;
}

void tst_DirSite::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);

    QProcess process;
    process.start(dirsite(), arguments);
    QVERIFY(process.waitForFinished(waitMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QVERIFY(process.readAllStandardError().startsWith("dirsite: "));
}

void tst_DirSite::portInUse()
{
    QProcess process;
    process.start(dirsite(), {u"--port"_s, QString::number(m_site->port())});
    QVERIFY(process.waitForFinished(waitMs));
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QCOMPARE(process.readAllStandardError(), "dirsite: cannot listen on 127.0.0.1 port " +
                                                 QByteArray::number(m_site->port()) + "\n");
    // The first site is unharmed.
    QCOMPARE(get(m_site->baseUrl(), "/fbxx.html").status, 200);
}

void tst_DirSite::stopsOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void tst_DirSite::stopsOnSignal()
{
    QFETCH(int, signal);

    QProcess process;
    process.start(dirsite(), {u"--port"_s, u"0"_s});
    QVERIFY(process.waitForStarted(waitMs));
    while (!process.canReadLine())
        QVERIFY(process.waitForReadyRead(waitMs));
    const QByteArray line = process.readLine();
    QVERIFY2(line.startsWith("http://127.0.0.1:") && line.endsWith('\n'), line.constData());
    const QString base = QString::fromLatin1(line.trimmed());
    // Serve one page first, so the server threads are busy with a kept-alive connection.
    QCOMPARE(get(base, "/dhcs.html").status, 200);

    QCOMPARE(::kill(pid_t(process.processId()), signal), 0);
    QVERIFY(process.waitForFinished(waitMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
}

QTEST_GUILESS_MAIN(tst_DirSite)
#include "tst_dirsite.moc"
