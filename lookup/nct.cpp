#include "nct.h"

#include "lookup/dragstrip.h"
#include "lookup/framepainter.h"
#include "lookup/imagebutton.h"
#include "lookup/memorypage.h"
#include "lookup/resultpage.h"
#include "lookup/searchurl.h"
#include "lookup/windowregion.h"
#include "platform/codepage.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/site.h"
#include "platform/twips.h"
#include "xpbutton/propertybag.h"
#include "xpbutton/xpbutton.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

// Resources compiled into a static library must be registered by name.
static void initLookupResources()
{
    Q_INIT_RESOURCE(lookup);
}

namespace lookup {

namespace {

using platform::twipsRect;

constexpr QColor kBackColor(0xFA, 0xFA, 0xFA);
constexpr QColor kShapeColor(0x7F, 0x9D, 0xB9);

// The hidden fetcher never shows anything, so a page's alert() or confirm() must not pop up a
// box the user cannot relate to anything, nor block the window.
class FetcherPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl &, const QString &) override {}
    bool javaScriptConfirm(const QUrl &, const QString &) override { return false; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override
    {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                  const QString &) override
    {}
};

// Scripts the fetcher runs on its page. The answer is taken cut at the size limit; while it
// arrives, its size is looked at: a number while it is within the limit, the cut markup once
// it has grown beyond.
QString takeScript(qsizetype limit)
{
    return QStringLiteral("(function(){var e=document.documentElement;if(!e)return null;"
                          "var h=e.innerHTML;return h.length>%1?h.substring(0,%1):h;})()")
        .arg(limit);
}

QString sizeScript(qsizetype limit)
{
    return QStringLiteral("(function(){var e=document.documentElement;if(!e)return 0;"
                          "var h=e.innerHTML;return h.length>%1?h.substring(0,%1):h.length;})()")
        .arg(limit);
}

QFont songFont(qreal pointSize, bool bold = false)
{
    QFont font(QString::fromUtf8("宋体"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// The pointing hand the window's image buttons and search button show; its hot spot is the
// fingertip.
QCursor handCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/lookup/hand.png")), 6, 0);
}

QLabel *hiddenPicture(QWidget *parent, const char *name, const QString &picture)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setPixmap(QPixmap(picture));
    label->setVisible(false);
    return label;
}

void lockDownLocalPages(QWebEngineSettings *settings)
{
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    // The result page is written in the ANSI code page with no charset declaration.
    settings->setDefaultTextEncoding(platform::kAnsiCharset.toString());
}

} // namespace

// The result pane's page: a link in a shown result leads to the directory site the result came
// from, not to a file beside the local result page.
class PanePage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

    void setSource(const QUrl &shownPage, const QUrl &answerPage)
    {
        m_shownPage = shownPage;
        m_answerPage = answerPage;
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (!isMainFrame ||
            (type != NavigationTypeLinkClicked && type != NavigationTypeFormSubmitted))
            return true;
        const QUrl target = ResultPage::linkTarget(url, m_shownPage, m_answerPage);
        if (target == url)
            return true;
        // Not from within this call: the engine is still deciding about the first navigation.
        QMetaObject::invokeMethod(
            this, [this, target] { load(target); }, Qt::QueuedConnection);
        return false;
    }

private:
    QUrl m_shownPage;
    QUrl m_answerPage;
};

nct::nct(const BuildVariant &variant, QWidget *parent)
    : QWidget(parent)
    , m_variant(variant)
{
    initLookupResources();
    setObjectName(QStringLiteral("nct"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setWindowTitle(QString::fromUtf8(m_variant.caption));
    setFont(songFont(10.5, true));
    setFixedSize(platform::twips(7860), platform::twips(7320));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackColor);
    setPalette(pal);
    // The form's colour, as the controls placed on it read it.
    setProperty(xpbutton::kAmbientBackColor, quint32(kBackColor.blue()) << 16 |
                                                 quint32(kBackColor.green()) << 8 |
                                                 quint32(kBackColor.red()));

    m_localProfile = new QWebEngineProfile(this);
    m_localProfile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_localProfile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_memoryPage = new MemoryPage(this);
    m_localProfile->installUrlSchemeHandler(MemoryPage::kScheme, m_memoryPage);

    createControls();
    createFrameControls();

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    if (m_variant.bannerPath)
        WebBrowser3->load(
            QUrl::fromLocalFile(platform::localPath(QString::fromUtf8(m_variant.bannerPath))));
}

nct::~nct()
{
    // Pages must go before the profile they belong to.
    delete W1;
    delete W2;
    delete WebBrowser3;
}

QString nct::resultFilePath()
{
    return platform::localPath(QString::fromLatin1(ResultPage::kFilePath));
}

void nct::createControls()
{
    const QFont small = songFont(9);
    const bool numseek = m_variant.isNumseek();

    // The fetcher lies behind everything and is never shown.
    W1 = new QWebEngineView(this);
    W1->setObjectName(QStringLiteral("W1"));
    W1->setPage(new FetcherPage(W1));
    W1->setGeometry(twipsRect(4770, 1680, 1245, 405));
    W1->setVisible(false);

    m_deadline = new QTimer(this);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this,
            [this] { abandonSearch(QString::fromUtf16(kTimedOut)); });
    m_sizeCheck = new QTimer(this);
    m_sizeCheck->setInterval(1000);
    connect(m_sizeCheck, &QTimer::timeout, this, &nct::checkAnswerSize);

    if (numseek) {
        auto makeWide = [this, &small](const char *name, const char *text, int left) {
            auto *button = new QPushButton(QString::fromUtf8(text), this);
            button->setObjectName(QLatin1String(name));
            button->setToolTip(button->text());
            button->setFont(small);
            button->setAutoDefault(false);
            button->setStyleSheet(QStringLiteral(
                "QPushButton { background: white; border: 1px solid #8fa6bf; border-radius: 2px; }"
                "QPushButton:hover { background: #f0f6fc; }"
                "QPushButton:pressed { background: #dde9f5; }"));
            button->setGeometry(twipsRect(left, 6348, 3015, 375));
            return button;
        };
        Command3 = makeWide("Command3", "电话资料申请改错和删除", 4320);
        Command2 = makeWide("Command2", "电话资料申请收录", 480);
        // The site's pages open in the desktop's browser, at the same site the search uses.
        auto openSitePage = [this](QPushButton *button, const char *page) {
            connect(button, &QPushButton::clicked, this, [this, button, page] {
                startSideAction(QString::fromLatin1(kBrowserPath) + u' ' + platform::siteBase() +
                                    QLatin1String(page),
                                button->text());
            });
        };
        openSitePage(Command2, "/fbxx.html");
        openSitePage(Command3, "/dhcs.html");
    } else {
        WebBrowser3 = new QWebEngineView(this);
        WebBrowser3->setObjectName(QStringLiteral("WebBrowser3"));
        WebBrowser3->setPage(new QWebEnginePage(m_localProfile, WebBrowser3));
        lockDownLocalPages(WebBrowser3->settings());
        WebBrowser3->setContextMenuPolicy(Qt::NoContextMenu);
        WebBrowser3->setGeometry(twipsRect(120, 6240, 7641, 615));
    }

    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setFont(small);
    Text2->setGeometry(twipsRect(2250, m_variant.text2Top, 1888, 315));
    // The user can type the query as soon as the window shows.
    Text2->setFocus();

    createSearchButton();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(400);
    connect(Timer1, &QTimer::timeout, this, &nct::hideWelcome);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twipsRect(120, 1080, 7620, 5040));

    // The pane starts beyond the frame's left and top edges and runs past its right and bottom
    // edges, so its own border is clipped away.
    W2 = new QWebEngineView(Picture1);
    W2->setObjectName(QStringLiteral("W2"));
    replacePanePage();
    W2->setGeometry(twipsRect(-30, -30, 7875, 5175));

    P2 = new QLabel(this);
    P2->setObjectName(QStringLiteral("P2"));
    P2->setPixmap(QPixmap(QStringLiteral(":/lookup/welcome.jpg")));
    P2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    P2->setFrameShape(QFrame::Panel);
    P2->setFrameShadow(QFrame::Sunken);
    P2->setLineWidth(1);
    P2->setAutoFillBackground(true);
    P2->setGeometry(twipsRect(120, 1080, 7650, 5055));

    Pmain = new QLabel(this);
    Pmain->setObjectName(QStringLiteral("Pmain"));
    Pmain->setPixmap(QPixmap(QStringLiteral(":/lookup/skin.jpg")));
    Pmain->setVisible(false);

    auto sideButton = [this](const char *name, const char *toolTip, const char *picture, int left,
                             const char *commandLine) {
        auto *image = new ImageButton(this);
        image->setObjectName(QLatin1String(name));
        image->setToolTip(QString::fromUtf8(toolTip));
        image->setPictures(QPixmap(QLatin1String(picture)));
        image->setCursor(handCursor());
        image->setGeometry(twipsRect(left, 600, 285, 285));
        connect(image, &ImageButton::clicked, this, [this, image, commandLine] {
            startSideAction(QString::fromLatin1(commandLine), image->toolTip());
        });
        return image;
    };
    Image3 = sideButton("Image3", "帮助", ":/lookup/help.png", 7180, kHelpCommand);
    Image2 = sideButton("Image2", "保存", ":/lookup/save.png", 6720, kEditorCommand);
    Image1 = sideButton("Image1", "打印", ":/lookup/print.png", 6318, kPrintToolCommand);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    showStatus(QString::fromUtf8("查看完成"));

    Label2 = new QLabel(QString::fromUtf8("请输入要查询的名称:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(small);
    Label2->setStyleSheet(QStringLiteral("color: #0000ff;"));
    Label2->setGeometry(twipsRect(m_variant.label2Left, m_variant.label2Top, 1815, 255));

    Label4 = new QLabel(QString::fromUtf8("© Marlowen 电话查询"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFont(songFont(9, true));
    Label4->setStyleSheet(QStringLiteral("color: white;"));
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label4->setGeometry(twipsRect(5640, 7050, 2055, 255));

    // Stacking: the welcome picture covers the pane's frame, both cover the fetcher.
    W1->lower();
    P2->raise();
}

void nct::createSearchButton()
{
    Command1 = new xpbutton::XPButton(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QString::fromUtf8("查看"));
    Command1->setGeometry(twipsRect(4320, 540, 735, 375));
    QFile stored(QString::fromLatin1(kSearchButtonBag));
    std::optional<xpbutton::PropertyBag> bag;
    if (stored.open(QIODevice::ReadOnly))
        bag = xpbutton::PropertyBag::fromJson(stored.readAll());
    if (bag) {
        Command1->ReadProperties(*bag);
    } else {
        // Without its stored settings the button still searches, in its plain look.
        Command1->InitProperties();
        Command1->setCaption(QString::fromUtf8("查看"));
    }
    connect(Command1, &xpbutton::XPButton::Click, this, &nct::search);
}

void nct::createFrameControls()
{
    Imico = hiddenPicture(this, "Imico", QStringLiteral(":/lookup/ico.bmp"));
    ImMin1 = hiddenPicture(this, "ImMin1", QStringLiteral(":/lookup/min_hover.bmp"));
    ImMin2 = hiddenPicture(this, "ImMin2", QStringLiteral(":/lookup/min_pressed.bmp"));
    ImClose1 = hiddenPicture(this, "ImClose1", QStringLiteral(":/lookup/close_hover.bmp"));
    ImClose2 = hiddenPicture(this, "ImClose2", QStringLiteral(":/lookup/close_pressed.bmp"));

    IMBar = new DragStrip(this);
    IMBar->setObjectName(QStringLiteral("IMBar"));
    IMBar->setGeometry(twipsRect(0, 0, 7860 - 680, 375));

    auto frameButton = [this](const char *name, const char *toolTip, QLabel *hover,
                              QLabel *pressed) {
        auto *button = new ImageButton(this);
        button->setObjectName(QLatin1String(name));
        button->setToolTip(QString::fromUtf8(toolTip));
        button->setCursor(handCursor());
        button->setPictures(QPixmap(), hover->pixmap(), pressed->pixmap());
        button->resize(platform::twips(255), platform::twips(240));
        return button;
    };
    Immin = frameButton("Immin", "最小化", ImMin1, ImMin2);
    Imclose = frameButton("Imclose", "关闭", ImClose1, ImClose2);
    connect(Immin, &ImageButton::clicked, this, &QWidget::showMinimized);
    connect(Imclose, &ImageButton::clicked, this, &QWidget::close);
}

void nct::layoutFrame()
{
    const int W = width() * platform::kTwipsPerPixel;
    const int H = height() * platform::kTwipsPerPixel;
    IMBar->setGeometry(twipsRect(0, 0, qMax(0, W - 680), 375));
    Immin->move(platform::twips(W - 640), platform::twips(80));
    Imclose->move(platform::twips(W - 320), platform::twips(80));

    m_surface = QPixmap(size());
    m_surface.fill(kBackColor);
    {
        QPainter painter(&m_surface);
        FramePainter::paint(painter, QSizeF(W, H), Pmain->pixmap(), Imico->pixmap(), windowTitle(),
                            font());
    }
    update();
    RMe();
}

void nct::RMe()
{
    setMask(windowRegion(width() * platform::kTwipsPerPixel, height() * platform::kTwipsPerPixel));
}

void nct::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    layoutFrame();
}

void nct::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutFrame();
}

void nct::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Minimise and restore run the resize handling too.
    if (event->type() == QEvent::WindowStateChange)
        layoutFrame();
}

void nct::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    // Only the bare window surface clears the frame buttons' hover look; moves over other
    // controls reach here too when those controls do not track the mouse.
    if (childAt(event->position().toPoint()))
        return;
    Imclose->clearHover();
    Immin->clearHover();
}

void nct::startSideAction(const QString &commandLine, const QString &what)
{
    if (platform::startProcess(commandLine, platform::WindowMode::NormalFocus))
        return;
    platform::messageBox(this, QString::fromUtf8("无法启动“%1”：%2").arg(what, commandLine),
                         QString::fromUtf8("提示"), QMessageBox::Warning);
}

void nct::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    if (!m_surface.isNull())
        painter.drawPixmap(0, 0, m_surface);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kShapeColor, 1));
    painter.setBrush(Qt::NoBrush);
    auto outline = [&painter](const QRect &rect) {
        painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    };
    outline(twipsRect(135, 480, 7620, 495)); // Shape1, around the search row
    if (m_variant.isNumseek())
        outline(twipsRect(120, 6240, 7620, 615)); // Shape2, around the bottom buttons
}

void nct::setSearchLimits(int timeLimitMs, qsizetype sizeLimit)
{
    m_timeLimitMs = timeLimitMs;
    m_sizeLimit = sizeLimit;
}

void nct::search()
{
    const QString keyword = Text2->text();
    if (keyword.isEmpty()) {
        platform::messageBox(this, QString::fromUtf8("输入内容不能为空!"),
                             QString::fromUtf8("提示"), QMessageBox::Information);
        return;
    }
    sHtml.clear();
    ++m_searchId;
    m_searching = true;
    m_sizeCheckPending = false;
    replaceFetcherPage();
    W1->load(
        searchUrl(platform::siteBase(), QString::fromLatin1(m_variant.searchEndpoint), keyword));
    showStatus(QString::fromUtf8("请 稍 后 …"));
    Timer1->start();
    m_deadline->start(m_timeLimitMs);
    m_sizeCheck->start();
}

void nct::hideWelcome()
{
    // The timer keeps running, as it always did; later ticks change nothing.
    P2->setVisible(false);
}

void nct::replaceFetcherPage()
{
    QWebEnginePage *old = W1->page();
    auto *page = new FetcherPage(W1);
    const quint64 searchId = m_searchId;
    connect(
        page, &QWebEnginePage::loadingChanged, this,
        [this, searchId](const QWebEngineLoadingInfo &info) { onFetcherLoading(searchId, info); });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this, searchId](QWebEnginePage::RenderProcessTerminationStatus status) {
                if (searchId != m_searchId || status == QWebEnginePage::NormalTerminationStatus)
                    return;
                // Whatever it was fetching is lost; the next search gets a fresh page.
                const bool searching = m_searching;
                replaceFetcherPage();
                if (searching)
                    abandonSearch(QString::fromUtf16(kFetcherDied));
            });
    W1->setPage(page);
    // Gone with it: its load, its renderer's memory and every answer it might still report.
    old->deleteLater();
}

void nct::replacePanePage()
{
    QWebEnginePage *old = m_panePage;
    m_panePage = new PanePage(m_localProfile, W2);
    lockDownLocalPages(m_panePage->settings());
    connect(m_panePage, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                // The next result is shown by a new renderer.
                if (status != QWebEnginePage::NormalTerminationStatus)
                    showStatus(QString::fromUtf16(kPaneDied));
            });
    W2->setPage(m_panePage);
    if (old)
        old->deleteLater();
}

void nct::onFetcherLoading(quint64 searchId, const QWebEngineLoadingInfo &info)
{
    if (searchId != m_searchId || !m_searching)
        return;
    // Started: nothing to take yet. Stopped: stopped before a download completed.
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
        info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
        requestPage(searchId);
}

void nct::requestPage(quint64 searchId)
{
    W1->page()->runJavaScript(takeScript(m_sizeLimit), QWebEngineScript::ApplicationWorld,
                              [self = QPointer<nct>(this), searchId](const QVariant &markup) {
                                  if (self)
                                      self->takePage(searchId, markup);
                              });
}

void nct::checkAnswerSize()
{
    // One look at a time: on a big page a look takes a while, and looks must not pile up.
    if (!m_searching || m_sizeCheckPending)
        return;
    m_sizeCheckPending = true;
    const quint64 searchId = m_searchId;
    W1->page()->runJavaScript(sizeScript(m_sizeLimit), QWebEngineScript::ApplicationWorld,
                              [self = QPointer<nct>(this), searchId](const QVariant &sizeOrMarkup) {
                                  if (!self || searchId != self->m_searchId)
                                      return;
                                  self->m_sizeCheckPending = false;
                                  if (sizeOrMarkup.typeId() != QMetaType::QString)
                                      return;
                                  // Beyond the limit: take what has come, stop the rest and
                                  // free what the fetcher holds.
                                  self->takePage(searchId, sizeOrMarkup);
                                  self->replaceFetcherPage();
                              });
}

void nct::takePage(quint64 searchId, const QVariant &markup)
{
    // A page for an older search, or a second completion of this one: leave the result alone.
    if (searchId != m_searchId || !m_searching || !sHtml.isEmpty())
        return;
    // No document yet: stay armed for the next completion.
    if (markup.typeId() != QMetaType::QString)
        return;
    const QString section = ResultPage::cut(markup.toString().left(m_sizeLimit));
    if (section.isEmpty())
        return;
    sHtml = ResultPage::withHeader(section);
    finishSearch();
    showResult(sHtml);
}

void nct::showResult(const QString &headedText)
{
    const QByteArray bytes = ResultPage::fileBytes(headedText);
    const QString path = resultFilePath();
    QUrl address;
    if (ResultPage::write(path, bytes)) {
        address = QUrl::fromLocalFile(path);
    } else {
        // The file could not be replaced: show the new result rather than a stale one.
        address = m_memoryPage->setPage(bytes, QByteArrayLiteral("text/html;charset=") +
                                                   platform::kAnsiCharset.toLatin1());
    }
    // A page of its own: the engine would bring the same address back at the place the
    // previous result was scrolled to.
    replacePanePage();
    m_panePage->setSource(address, W1->page()->url());
    W2->load(address);
    showStatus(QString::fromUtf8("下载完成"));
    Q_EMIT resultShown(address);
}

void nct::showStatus(const QString &text)
{
    Label1->setText(text);
    // A notice longer than the field was drawn for wraps onto two lines in a smaller font, inside
    // the search row's frame and clear of the side buttons.
    const QFont design = songFont(10.5);
    const bool fits = QFontMetrics(design).horizontalAdvance(text) <= platform::twips(975);
    Label1->setWordWrap(!fits);
    Label1->setFont(fits ? design : songFont(9));
    Label1->setGeometry(fits ? twipsRect(5280, 640, 975, 285) : twipsRect(5280, 510, 1035, 450));
}

void nct::finishSearch()
{
    m_searching = false;
    m_deadline->stop();
    m_sizeCheck->stop();
}

void nct::abandonSearch(const QString &status)
{
    if (!m_searching)
        return;
    finishSearch();
    W1->page()->triggerAction(QWebEnginePage::Stop);
    showStatus(status);
    Q_EMIT searchAbandoned(status);
}

} // namespace lookup
