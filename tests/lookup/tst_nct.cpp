#include "lookup/nct.h"
#include "lookup/resultpage.h"
#include "platform/codepage.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "tests/common/demosite.h"
#include "webtestmain.h"
#include "xpbutton/xpbutton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <memory>

using lookup::nct;
using lookup::ResultPage;
using xpbutton::XPButton;
using namespace Qt::StringLiterals;

namespace {

constexpr int kPageWait = 30000;

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

template<typename T> T *child(QObject *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

const lookup::BuildVariant &variantByName(const QString &name)
{
    return name == u"dialseek" ? lookup::kDialseek : lookup::kNumseek;
}

// The text the result pane shows now; empty until the page has rendered.
QString paneText(QWebEngineView *pane)
{
    // The text arrives asynchronously; keep the target alive for callbacks that come late.
    auto text = std::make_shared<QString>();
    pane->page()->toPlainText([text](const QString &plain) { *text = plain; });
    QTest::qWait(50);
    return *text;
}

// A directory site whose answer page moves on by itself: the search page answers with a
// listing and a refresh that loads a second page, with another listing, a moment later.
class RefreshingSite : public QObject
{
public:
    explicit RefreshingSite(QObject *parent = nullptr)
        : QObject(parent)
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QByteArray base() const
    {
        return QByteArray("http://127.0.0.1:") + QByteArray::number(m_server.serverPort());
    }
    int secondPageRequests() const { return m_secondPageRequests; }

    static QByteArray listing(const char *what)
    {
        return "<!-- Marlowen begin -->" + QByteArray(1600, 'x') + what + "<!-- Marlowen end -->";
    }

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        QByteArray body;
        if (request.startsWith("GET /second")) {
            ++m_secondPageRequests;
            body = "<html><body>" + listing("SECOND") + "</body></html>";
        } else if (request.startsWith("GET /SSjkzcnum.asp")) {
            body = "<html><head><meta http-equiv=\"refresh\" content=\"1;url=/second\"></head>"
                   "<body>" +
                   listing("FIRST") + "</body></html>";
        } else {
            socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
            return;
        }
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gbk\r\n"
                      "Cache-Control: no-store\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
    }

    QTcpServer m_server;
    int m_secondPageRequests = 0;
};

} // namespace

class tst_nct : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void startUpState_data();
    void startUpState();
    void layout_data();
    void layout();
    void emptyQueryChangesNothing();
    void search_data();
    void search();
    void oneBlankIsSent();
    void secondClickSupersedesFirst();
    void nextSearchReplacesThePane();
    void laterPageOfTheSameSearchIsIgnored();
    void unreachableSiteShowsErrorPageWhole();
    void welcomeHiddenWithoutAnswer();
    void unwritableResultStillShowsNewResult();
    void bannerRequestedOnce();
    void standardButtonsInTheLocale_data();
    void standardButtonsInTheLocale();
    void newResultShowsFromItsTop();
    void errorPageReadable_data();
    void errorPageReadable();
    void relativeLinkLeadsToTheSite();
    void searchDuringUnfinishedAnswer_data();
    void searchDuringUnfinishedAnswer();
    void searchEndsWithoutAnswer_data();
    void searchEndsWithoutAnswer();
    void hugeAnswerIsCut();

private:
    std::unique_ptr<nct> openWindow(const lookup::BuildVariant &variant);
    void startSearch(nct &window, const QString &keyword);
    bool runSearch(nct &window, const QString &keyword);
    // Searches and waits until the pane has loaded the result.
    QWebEngineView *showInPane(nct &window, const QString &keyword);

    DemoSite m_site;
    QList<platform::MessageRequest> m_messages;
};

void tst_nct::initTestCase()
{
    QVERIFY2(m_site.start(), "the demo directory site did not start");
    platform::setMessagePresenter([this](const platform::MessageRequest &request) {
        m_messages << request;
        return QMessageBox::Ok;
    });
}

void tst_nct::init()
{
    qputenv("DIALVANE_SITE", m_site.baseUrl().toUtf8());
    m_messages.clear();
    QDir(platform::driveRoot(u'c')).removeRecursively();
}

void tst_nct::cleanup()
{
    QDir(platform::driveRoot(u'c')).removeRecursively();
}

std::unique_ptr<nct> tst_nct::openWindow(const lookup::BuildVariant &variant)
{
    auto window = std::make_unique<nct>(variant);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

void tst_nct::startSearch(nct &window, const QString &keyword)
{
    child<QLineEdit>(&window, "Text2")->setText(keyword);
    QTest::mouseClick(child<XPButton>(&window, "Command1"), Qt::LeftButton);
}

bool tst_nct::runSearch(nct &window, const QString &keyword)
{
    QSignalSpy shown(&window, &nct::resultShown);
    startSearch(window, keyword);
    return shown.wait(kPageWait);
}

QWebEngineView *tst_nct::showInPane(nct &window, const QString &keyword)
{
    auto *pane = child<QWebEngineView>(&window, "W2");
    QSignalSpy loaded(pane, &QWebEngineView::loadFinished);
    return runSearch(window, keyword) && loaded.wait(kPageWait) ? pane : nullptr;
}

void tst_nct::startUpState_data()
{
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("caption");
    QTest::newRow("numseek") << QStringLiteral("numseek") << QStringLiteral("Numvane");
    QTest::newRow("dialseek") << QStringLiteral("dialseek") << QStringLiteral("Dialvane");
}

void tst_nct::startUpState()
{
    QFETCH(QString, build);
    QFETCH(QString, caption);
    auto window = openWindow(variantByName(build));
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->size(), QSize(524, 488));
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("查看完成"));
    QCOMPARE(child<QLabel>(window.get(), "Label2")->text(), QStringLiteral("请输入要查询的名称:"));
    QVERIFY(child<QLabel>(window.get(), "P2")->isVisible());
    QVERIFY(!child<QLabel>(window.get(), "P2")->pixmap().isNull());
    QCOMPARE(child<QLabel>(window.get(), "P2")->pixmap().size(), QSize(505, 334));
    QCOMPARE(child<QLabel>(window.get(), "Pmain")->pixmap().size(), QSize(271, 218));
    QVERIFY(!child<QLabel>(window.get(), "Pmain")->isVisible());
    QVERIFY(window->pageText().isEmpty());
    QTimer *timer = child<QTimer>(window.get(), "Timer1");
    QVERIFY(timer && !timer->isActive());
    QCOMPARE(timer->interval(), 400);
    QVERIFY(child<QWebEngineView>(window.get(), "W1")->url().isEmpty());
    QVERIFY(!child<QWebEngineView>(window.get(), "W1")->isVisible());
    QVERIFY(child<QWebEngineView>(window.get(), "W2")->url().isEmpty());
    QCOMPARE(child<XPButton>(window.get(), "Command1")->caption(), QStringLiteral("查看"));
    QVERIFY(!child<XPButton>(window.get(), "Command1")->isDefault());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(window.get(), "Text2"));

    const bool numseek = build == u"numseek";
    QCOMPARE(child<QPushButton>(window.get(), "Command2") != nullptr, numseek);
    QCOMPARE(child<QPushButton>(window.get(), "Command3") != nullptr, numseek);
    QCOMPARE(child<QWebEngineView>(window.get(), "WebBrowser3") != nullptr, !numseek);
}

void tst_nct::layout_data()
{
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    // Design positions in twips divided by 15.
    const QString n = QStringLiteral("numseek");
    const QString d = QStringLiteral("dialseek");
    QTest::newRow("Text2 numseek") << n << "Text2" << QRect(150, 40, 126, 21);
    QTest::newRow("Text2 dialseek") << d << "Text2" << QRect(150, 39, 126, 21);
    QTest::newRow("Label2 numseek") << n << "Label2" << QRect(29, 43, 121, 17);
    QTest::newRow("Label2 dialseek") << d << "Label2" << QRect(29, 43, 121, 17);
    QTest::newRow("Command1") << n << "Command1" << QRect(288, 36, 49, 25);
    QTest::newRow("Command2") << n << "Command2" << QRect(32, 423, 201, 25);
    QTest::newRow("Command3") << n << "Command3" << QRect(288, 423, 201, 25);
    QTest::newRow("WebBrowser3") << d << "WebBrowser3" << QRect(8, 416, 509, 41);
    QTest::newRow("P2") << n << "P2" << QRect(8, 72, 510, 337);
    QTest::newRow("Picture1") << n << "Picture1" << QRect(8, 72, 508, 336);
    QTest::newRow("W2 inside Picture1") << n << "W2" << QRect(-2, -2, 525, 345);
    QTest::newRow("Image1") << n << "Image1" << QRect(421, 40, 19, 19);
    QTest::newRow("Image2") << n << "Image2" << QRect(448, 40, 19, 19);
    QTest::newRow("Image3") << d << "Image3" << QRect(479, 40, 19, 19);
    QTest::newRow("Label1") << n << "Label1" << QRect(352, 43, 65, 19);
    QTest::newRow("Label4") << n << "Label4" << QRect(376, 470, 137, 17);
}

void tst_nct::layout()
{
    QFETCH(QString, build);
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    nct window(variantByName(build));
    QWidget *widget = window.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), rect);
}

void tst_nct::emptyQueryChangesNothing()
{
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QTest::mouseClick(child<XPButton>(window.get(), "Command1"), Qt::LeftButton);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, QStringLiteral("输入内容不能为空!"));
    QCOMPARE(m_messages.first().title, QStringLiteral("提示"));
    QCOMPARE(m_messages.first().icon, QMessageBox::Information);
    QCOMPARE(m_messages.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("查看完成"));
    QVERIFY(!child<QTimer>(window.get(), "Timer1")->isActive());
    QVERIFY(child<QWebEngineView>(window.get(), "W1")->url().isEmpty());
    QVERIFY(child<QWebEngineView>(window.get(), "W2")->url().isEmpty());

    // Space on the focused search button clicks it too.
    auto *button = child<XPButton>(window.get(), "Command1");
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(m_messages.last().text, QStringLiteral("输入内容不能为空!"));

    // Enter in the query box starts nothing: the window has no default button.
    auto *text = child<QLineEdit>(window.get(), "Text2");
    text->setFocus(Qt::TabFocusReason);
    text->setText(QStringLiteral("88"));
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClick(text, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(child<QWebEngineView>(window.get(), "W1")->url().isEmpty());
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("查看完成"));
    QCOMPARE(m_messages.size(), 2);
}

void tst_nct::search_data()
{
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<QByteArray>("expectedQuery"); // the keyword as sent
    QTest::newRow("listed number") << QStringLiteral("numseek") << QStringLiteral("88751261")
                                   << QStringLiteral("胡记书店") << QByteArray("88751261");
    QTest::newRow("chinese name") << QStringLiteral("dialseek") << QStringLiteral("王")
                                  << QStringLiteral("王") << QByteArray("%CD%F5");
    QTest::newRow("reserved characters and chinese")
        << QStringLiteral("dialseek") << QStringLiteral("李&王") << QStringLiteral("李&amp;王")
        << QByteArray("%C0%EE%26%CD%F5");
    QTest::newRow("hash and percent")
        << QStringLiteral("dialseek") << QStringLiteral("5#楼 100%") << QStringLiteral("100%")
        << QByteArray("5%23%C2%A5%20100%25");
}

void tst_nct::search()
{
    QFETCH(QString, build);
    QFETCH(QString, keyword);
    QFETCH(QString, expectedText);
    QFETCH(QByteArray, expectedQuery);

    auto window = openWindow(variantByName(build));
    QVERIFY(window);
    QSignalSpy shown(window.get(), &nct::resultShown);
    child<QLineEdit>(window.get(), "Text2")->setText(keyword);
    QTest::mouseClick(child<XPButton>(window.get(), "Command1"), Qt::LeftButton);
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("请 稍 后 …"));
    QVERIFY(window->pageText().isEmpty());
    QVERIFY(child<QTimer>(window.get(), "Timer1")->isActive());

    QVERIFY(shown.wait(kPageWait));
    const QByteArray requested = child<QWebEngineView>(window.get(), "W1")->url().toEncoded();
    QCOMPARE(requested,
             m_site.baseUrl().toUtf8() + variantByName(build).searchEndpoint + expectedQuery);
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("下载完成"));

    const QString path = nct::resultFilePath();
    const QByteArray bytes = readAll(path);
    const QByteArray header = ResultPage::kStyleHeader.toString().toLatin1();
    QVERIFY(bytes.startsWith(QByteArray(header + ResultPage::kBeginMarker.toString().toLatin1())));
    QVERIFY(bytes.endsWith("\r\n"));
    QVERIFY(!bytes.contains(ResultPage::kEndMarker.toString().toLatin1()));
    QVERIFY(!bytes.contains("<html"));
    // The file is the window's page text in the ANSI code page.
    QCOMPARE(bytes, ResultPage::fileBytes(window->pageText()));
    // The site echoes the keyword it received, so this also shows the keyword arrived intact.
    QVERIFY2(window->pageText().contains(expectedText), qPrintable(window->pageText().left(400)));

    QTRY_COMPARE(child<QWebEngineView>(window.get(), "W2")->url(), QUrl::fromLocalFile(path));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().first().toUrl(), QUrl::fromLocalFile(path));

    // Later completions of the same search leave everything as it is.
    const QString before = window->pageText();
    QTest::qWait(300);
    QCOMPARE(window->pageText(), before);
    QCOMPARE(shown.size(), 1);
}

void tst_nct::oneBlankIsSent()
{
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QVERIFY(runSearch(*window, QStringLiteral(" ")));
    QVERIFY(m_messages.isEmpty());
    QVERIFY(child<QWebEngineView>(window.get(), "W1")
                ->url()
                .toEncoded()
                .endsWith("/SSjkzcnum.asp?keyword=%20"));
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("下载完成"));
    QVERIFY(window->pageText().startsWith(ResultPage::kStyleHeader + ResultPage::kBeginMarker));
}

void tst_nct::secondClickSupersedesFirst()
{
    auto window = openWindow(lookup::kDialseek);
    QVERIFY(window);
    QSignalSpy shown(window.get(), &nct::resultShown);
    auto *text = child<QLineEdit>(window.get(), "Text2");
    auto *button = child<XPButton>(window.get(), "Command1");
    text->setText(QStringLiteral("张"));
    QTest::mouseClick(button, Qt::LeftButton);
    text->setText(QStringLiteral("李"));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(window->pageText().isEmpty());
    QVERIFY(shown.wait(kPageWait));
    QTest::qWait(500);
    QCOMPARE(shown.size(), 1);
    // The page shown is the answer to the second query.
    QVERIFY(window->pageText().contains(QStringLiteral("“李”")));
    QVERIFY(!window->pageText().contains(QStringLiteral("“张”")));
    QCOMPARE(readAll(nct::resultFilePath()), ResultPage::fileBytes(window->pageText()));
}

void tst_nct::nextSearchReplacesThePane()
{
    // Every search writes the same file; the pane must show the new one, not what it had.
    auto window = openWindow(lookup::kDialseek);
    QVERIFY(window);
    auto *pane = child<QWebEngineView>(window.get(), "W2");
    QVERIFY(runSearch(*window, QStringLiteral("王")));
    QTRY_VERIFY_WITH_TIMEOUT(paneText(pane).contains(QStringLiteral("查询“王”的结果")), kPageWait);
    QVERIFY(runSearch(*window, QStringLiteral("书店")));
    QTRY_COMPARE(pane->url(), QUrl::fromLocalFile(nct::resultFilePath()));
    QTRY_VERIFY_WITH_TIMEOUT(paneText(pane).contains(QStringLiteral("查询“书店”的结果")),
                             kPageWait);
    QVERIFY(!paneText(pane).contains(QStringLiteral("查询“王”的结果")));
}

void tst_nct::laterPageOfTheSameSearchIsIgnored()
{
    RefreshingSite site;
    QVERIFY(site.listen());
    qputenv("DIALVANE_SITE", site.base());

    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QSignalSpy shown(window.get(), &nct::resultShown);
    QVERIFY(runSearch(*window, QStringLiteral("8812")));
    const QString taken = ResultPage::withHeader(QString::fromLatin1(
        RefreshingSite::listing("FIRST").chopped(ResultPage::kEndMarker.size())));
    QCOMPARE(window->pageText(), taken);

    // The fetcher moves on to the second page; that download completes too, and changes nothing.
    QTRY_COMPARE_WITH_TIMEOUT(site.secondPageRequests(), 1, kPageWait);
    QTest::qWait(1000);
    QCOMPARE(window->pageText(), taken);
    QCOMPARE(readAll(nct::resultFilePath()), ResultPage::fileBytes(taken));
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("下载完成"));
    QCOMPARE(shown.size(), 1);
}

void tst_nct::unreachableSiteShowsErrorPageWhole()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    qputenv("DIALVANE_SITE", QByteArray("http://127.0.0.1:") + QByteArray::number(closedPort));

    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QVERIFY(runSearch(*window, QStringLiteral("8812")));
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("下载完成"));
    const QByteArray bytes = readAll(nct::resultFilePath());
    // No markers on the browser's error page: the whole page is written.
    QVERIFY(bytes.startsWith(QByteArray(ResultPage::kStyleHeader.toString().toLatin1() + "<head")));
    QVERIFY(bytes.contains("</body>"));
    QVERIFY(bytes.endsWith("\r\n"));
}

void tst_nct::welcomeHiddenWithoutAnswer()
{
    // A site that accepts the connection and never answers.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    qputenv("DIALVANE_SITE",
            QByteArray("http://127.0.0.1:") + QByteArray::number(silent.serverPort()));

    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    auto *welcome = child<QLabel>(window.get(), "P2");
    child<QLineEdit>(window.get(), "Text2")->setText(QStringLiteral("8812"));
    QTest::mouseClick(child<XPButton>(window.get(), "Command1"), Qt::LeftButton);
    QVERIFY(welcome->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!welcome->isVisible(), 5000);
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("请 稍 后 …"));
    QVERIFY(window->pageText().isEmpty());
    QVERIFY(!QFile::exists(nct::resultFilePath()));
}

void tst_nct::unwritableResultStillShowsNewResult()
{
    // Tests run as root, so block the file with a folder of the same name.
    const QString path = nct::resultFilePath();
    QVERIFY(QDir().mkpath(path));

    auto window = openWindow(lookup::kDialseek);
    QVERIFY(window);
    QVERIFY(runSearch(*window, QStringLiteral("王")));
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("下载完成"));
    QVERIFY(QFileInfo(path).isDir());

    auto *pane = child<QWebEngineView>(window.get(), "W2");
    QTRY_COMPARE(pane->url().scheme(), QLatin1String(lookup::MemoryPage::kScheme));
    // The page text arrives asynchronously; keep it alive for callbacks that come late.
    auto shownText = std::make_shared<QString>();
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            pane->page()->toPlainText([shownText](const QString &text) { *shownText = text; });
            return shownText->contains(QStringLiteral("王"));
        }(),
        kPageWait);
}

void tst_nct::bannerRequestedOnce()
{
    const QString banner = platform::localPath(QStringLiteral("C:\\windows\\system32\\login.html"));
    QVERIFY(QDir().mkpath(QFileInfo(banner).absolutePath()));
    QFile file(banner);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(platform::toAnsi(QStringLiteral("<html><body>欢迎使用</body></html>")));
    file.close();

    auto window = openWindow(lookup::kDialseek);
    QVERIFY(window);
    auto *bannerView = child<QWebEngineView>(window.get(), "WebBrowser3");
    QTRY_COMPARE(bannerView->url(), QUrl::fromLocalFile(banner));
    QVERIFY(runSearch(*window, QStringLiteral("王")));
    QVERIFY(runSearch(*window, QStringLiteral("李")));
    QCOMPARE(bannerView->url(), QUrl::fromLocalFile(banner));
    QCOMPARE(bannerView->history()->count(), 1);
}

void tst_nct::standardButtonsInTheLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("ok");
    QTest::newRow("Chinese desktop") << QLocale(QLocale::Chinese, QLocale::China) << u"确定"_s;
    QTest::newRow("English desktop") << QLocale(QLocale::English, QLocale::UnitedStates) << u"OK"_s;
}

void tst_nct::standardButtonsInTheLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, ok);
    const QLocale before;
    QLocale::setDefault(locale);
    platform::installTranslations(*qApp);
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    // The real box the program shows for an empty query.
    const platform::MessagePresenter recorder = platform::setMessagePresenter({});
    QString shown;
    QTimer::singleShot(100, this, [&shown] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->button(QMessageBox::Ok)->text().remove(u'&');
            box->button(QMessageBox::Ok)->click();
        }
    });
    QTest::mouseClick(child<XPButton>(window.get(), "Command1"), Qt::LeftButton);
    platform::setMessagePresenter(recorder);
    QLocale::setDefault(before);
    platform::installTranslations(*qApp);
    QCOMPARE(shown, ok);
}

void tst_nct::newResultShowsFromItsTop()
{
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QWebEngineView *pane = showInPane(*window, u"88"_s);
    QVERIFY(pane);
    pane->page()->runJavaScript(u"window.scrollTo(0, 100000)"_s,
                                QWebEngineScript::ApplicationWorld);
    QTRY_VERIFY(pane->page()->scrollPosition().y() > 100);
    QVERIFY(showInPane(*window, u"86"_s));
    QTRY_VERIFY(paneText(pane).contains(u"查询“86”的结果"_s));
    QTest::qWait(300);
    QCOMPARE(pane->page()->scrollPosition(), QPointF(0, 0));
}

void tst_nct::errorPageReadable_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("expected");
    // The browser's own page in the desktop's language (empty keyword: no site), and a site's
    // page in UTF-8.
    QTest::newRow("site cannot be reached") << QString() << u"无法访问此网站"_s;
    QTest::newRow("site answers 500") << u"~error500"_s << u"服务器内部错误"_s;
}

void tst_nct::errorPageReadable()
{
    QFETCH(QString, keyword);
    QFETCH(QString, expected);
    if (keyword.isEmpty()) {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        qputenv("DIALVANE_SITE", "http://127.0.0.1:" + QByteArray::number(probe.serverPort()));
        keyword = u"8812"_s;
    }
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QWebEngineView *pane = showInPane(*window, keyword);
    QVERIFY(pane);
    QTRY_VERIFY_WITH_TIMEOUT(paneText(pane).contains(expected), 5000);
    const QByteArray bytes = readAll(nct::resultFilePath());
    QVERIFY(platform::fromAnsi(bytes).contains(expected));
    QVERIFY(!bytes.contains("utf-8") && !bytes.contains("UTF-8"));
}

void tst_nct::relativeLinkLeadsToTheSite()
{
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QWebEngineView *pane = showInPane(*window, u"00000000"_s);
    QVERIFY(pane);
    QVERIFY(readAll(nct::resultFilePath()).contains("<a href=\"/fbxx.html\">"));
    // Click the link where the pane shows it.
    auto where = std::make_shared<QPoint>();
    pane->page()->runJavaScript(
        u"(function(){var r=document.querySelector('a[href=\"/fbxx.html\"]')"
        u".getBoundingClientRect();return [r.left+r.width/2,r.top+r.height/2];})()"_s,
        QWebEngineScript::ApplicationWorld, [where](const QVariant &xy) {
            if (xy.toList().size() == 2)
                *where = QPoint(xy.toList()[0].toInt(), xy.toList()[1].toInt());
        });
    QTRY_VERIFY(!where->isNull());
    QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {}, *where);
    QTRY_COMPARE_WITH_TIMEOUT(pane->url(), QUrl(m_site.baseUrl() + u"/fbxx.html"), kPageWait);
    QTRY_VERIFY_WITH_TIMEOUT(paneText(pane).contains(u"电话资料申请收录"_s), kPageWait);
}

void tst_nct::searchDuringUnfinishedAnswer_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("answerAfterMs");
    QTest::newRow("silent site") << u"~silent"_s << 0;
    QTest::newRow("slow site") << u"~slow2"_s << 2000;
}

void tst_nct::searchDuringUnfinishedAnswer()
{
    QFETCH(QString, first);
    QFETCH(int, answerAfterMs);
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QSignalSpy shown(window.get(), &nct::resultShown);
    startSearch(*window, first);
    QTest::qWait(500); // the first request is at the site and waits there
    QVERIFY(runSearch(*window, u"88751261"_s));
    QTest::qWait(answerAfterMs); // the first answer, when it comes, changes nothing
    QCOMPARE(shown.size(), 1);
    QVERIFY(window->pageText().contains(u"胡记书店"_s));
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), u"下载完成"_s);
}

void tst_nct::searchEndsWithoutAnswer_data()
{
    QTest::addColumn<bool>("killRenderer");
    QTest::addColumn<QString>("status");
    QTest::newRow("time limit") << false << u"查询超时，请重试"_s;
    QTest::newRow("renderer dies") << true << QString::fromUtf16(nct::kFetcherDied);
}

void tst_nct::searchEndsWithoutAnswer()
{
    QFETCH(bool, killRenderer);
    QFETCH(QString, status);
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    window->setSearchLimits(killRenderer ? nct::kTimeLimitMs : 1500, nct::kSizeLimit);
    QSignalSpy abandoned(window.get(), &nct::searchAbandoned);
    startSearch(*window, u"~silent"_s);
    if (killRenderer) {
        QTest::qWait(300);
        child<QWebEngineView>(window.get(), "W1")->page()->load(QUrl(u"chrome://kill"_s));
    }
    QVERIFY(abandoned.wait(kPageWait));
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), status);
    QVERIFY(runSearch(*window, u"88751261"_s));
    QVERIFY(window->pageText().contains(u"胡记书店"_s));
    QCOMPARE(abandoned.size(), 1);
}

void tst_nct::hugeAnswerIsCut()
{
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    constexpr qsizetype limit = 100000;
    window->setSearchLimits(nct::kTimeLimitMs, limit);
    QVERIFY(runSearch(*window, u"~huge1"_s));
    // No end marker survives the cut, so the whole cut markup is shown.
    QCOMPARE(window->pageText().size(), ResultPage::kStyleHeader.size() + limit);
    QCOMPARE(readAll(nct::resultFilePath()), ResultPage::fileBytes(window->pageText()));
}

DIALVANE_WEB_TEST_MAIN(tst_nct)
#include "tst_nct.moc"
