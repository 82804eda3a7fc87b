#include "lookup/nct.h"
#include "lookup/windowregion.h"
#include "platform/messagebox.h"
#include "platform/process.h"
#include "webtestmain.h"
#include "xpbutton/propertybag.h"
#include "xpbutton/xpbutton.h"

#include <QFile>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWebEngineView>

#include <memory>

using lookup::nct;
using platform::LaunchRequest;

namespace {

template<typename T = QWidget> T *child(QObject *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

const lookup::BuildVariant &variantByName(const QString &name)
{
    return name == u"dialseek" ? lookup::kDialseek : lookup::kNumseek;
}

QImage picture(const char *resource)
{
    return QImage(QLatin1String(resource)).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_nctFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void frameLayout_data();
    void frameLayout();
    void framePainted();
    void frameButtonLooks_data();
    void frameButtonLooks();
    void frameButtonClicks();
    void dragOnlyWithLeftButton_data();
    void dragOnlyWithLeftButton();
    void sideActions_data();
    void sideActions();
    void failedStartKeepsWindow();
    void searchButtonSettings();
    void searchButtonLooks();

private:
    std::unique_ptr<nct> openWindow(const lookup::BuildVariant &variant);

    QList<LaunchRequest> m_launched;
    QList<platform::MessageRequest> m_messages;
    bool m_launchSucceeds = true;
};

void tst_nctFrame::init()
{
    qputenv("DIALVANE_SITE", "http://127.0.0.1:8620");
    m_launched.clear();
    m_messages.clear();
    m_launchSucceeds = true;
    platform::setLauncher([this](const LaunchRequest &request) {
        m_launched << request;
        return m_launchSucceeds;
    });
    platform::setMessagePresenter([this](const platform::MessageRequest &request) {
        m_messages << request;
        return QMessageBox::Ok;
    });
}

void tst_nctFrame::cleanup()
{
    platform::setLauncher({});
    platform::setMessagePresenter({});
}

std::unique_ptr<nct> tst_nctFrame::openWindow(const lookup::BuildVariant &variant)
{
    auto window = std::make_unique<nct>(variant);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

void tst_nctFrame::frameLayout_data()
{
    QTest::addColumn<QString>("build");
    QTest::addColumn<bool>("minimiseFirst");
    QTest::newRow("numseek on first show") << QStringLiteral("numseek") << false;
    QTest::newRow("dialseek on first show") << QStringLiteral("dialseek") << false;
    QTest::newRow("numseek after minimise and restore") << QStringLiteral("numseek") << true;
}

void tst_nctFrame::frameLayout()
{
    QFETCH(QString, build);
    QFETCH(bool, minimiseFirst);
    auto window = openWindow(variantByName(build));
    QVERIFY(window);
    if (minimiseFirst) {
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
        window->showNormal();
        QTRY_VERIFY(!window->isMinimized());
    }
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    // Immin at 7220 twips, Imclose at 7540, both at top 80; IMBar 7180 wide and 375 high.
    QCOMPARE(child(window.get(), "Immin")->geometry(), QRect(481, 5, 17, 16));
    QCOMPARE(child(window.get(), "Imclose")->geometry(), QRect(503, 5, 17, 16));
    QCOMPARE(child(window.get(), "IMBar")->geometry(), QRect(0, 0, 479, 25));
    QCOMPARE(window->mask(), QRegion(lookup::windowRegion(7860, 7320)));
    QVERIFY(!window->mask().contains(QPoint(0, 0)));
    QCOMPARE(child(window.get(), "Immin")->toolTip(), QStringLiteral("最小化"));
    QCOMPARE(child(window.get(), "Imclose")->toolTip(), QStringLiteral("关闭"));
}

void tst_nctFrame::framePainted()
{
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage skin = picture(":/lookup/skin.jpg");
    const QImage icon = picture(":/lookup/ico.bmp");
    QCOMPARE(skin.size(), QSize(271, 218));
    QCOMPARE(icon.size(), QSize(16, 16));

    // Corner pieces are copied one to one.
    QCOMPARE(shot.pixel(3, 30), skin.pixel(3, 30));                         // top left
    QCOMPARE(shot.pixel(2, 488 - 12), skin.pixel(2, 218 - 12));             // bottom left
    QCOMPARE(shot.pixel(524 - 111 + 20, 3), skin.pixel(271 - 111 + 20, 3)); // top right
    QCOMPARE(shot.pixel(524 - 4, 488 - 30), skin.pixel(271 - 4, 218 - 30)); // bottom right
    // The title icon sits at (100, 80) twips.
    QCOMPARE(shot.pixel(7 + 8, 5 + 8), icon.pixel(8, 8));
    // The caption is printed in white after the icon.
    int white = 0;
    for (int y = 5; y < 22; ++y) {
        for (int x = 25; x < 90; ++x)
            white += qRed(shot.pixel(x, y)) > 230 && qGreen(shot.pixel(x, y)) > 230 &&
                     qBlue(shot.pixel(x, y)) > 230;
    }
    QVERIFY2(white > 40, qPrintable(QString::number(white)));
    // Inside the frame the window's own background shows.
    QCOMPARE(shot.pixel(300, 68), qRgb(0xFA, 0xFA, 0xFA));
}

void tst_nctFrame::frameButtonLooks_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("hoverPicture");
    QTest::addColumn<QString>("pressedPicture");
    QTest::newRow("minimise") << QStringLiteral("Immin") << QStringLiteral("ImMin1")
                              << QStringLiteral("ImMin2");
    QTest::newRow("close") << QStringLiteral("Imclose") << QStringLiteral("ImClose1")
                           << QStringLiteral("ImClose2");
}

void tst_nctFrame::frameButtonLooks()
{
    QFETCH(QString, button);
    QFETCH(QString, hoverPicture);
    QFETCH(QString, pressedPicture);
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    auto *image = window->findChild<QLabel *>(button);
    const QImage hover = window->findChild<QLabel *>(hoverPicture)->pixmap().toImage();
    const QImage pressed = window->findChild<QLabel *>(pressedPicture)->pixmap().toImage();
    QVERIFY(!hover.isNull() && !pressed.isNull() && hover != pressed);
    auto shows = [image] {
        return image->pixmap().toImage();
    };
    auto tag = [image] {
        return image->property("Tag").toString();
    };

    QVERIFY(image->pixmap().isNull());
    QCOMPARE(tag(), QString());

    QTest::mouseMove(image, QPoint(8, 8));
    QCOMPARE(tag(), QStringLiteral("1"));
    QCOMPARE(shows(), hover);

    // Onto another control: the hover look stays.
    QTest::mouseMove(child(window.get(), "IMBar"), QPoint(100, 10));
    QCOMPARE(tag(), QStringLiteral("1"));
    QTest::mouseMove(child(window.get(), "Text2"), QPoint(5, 5));
    QCOMPARE(tag(), QStringLiteral("1"));

    // Over the bare window surface: back to rest.
    QTest::mouseMove(window.get(), QPoint(3, 200));
    QCOMPARE(tag(), QString());
    QVERIFY(image->pixmap().isNull());

    // The right button shows the pressed look and restores rest on release, doing nothing else.
    QTest::mouseMove(image, QPoint(8, 8));
    QTest::mousePress(image, Qt::RightButton, {}, QPoint(8, 8));
    QCOMPARE(shows(), pressed);
    QTest::mouseRelease(image, Qt::RightButton, {}, QPoint(8, 8));
    QVERIFY(image->pixmap().isNull());
    QCOMPARE(tag(), QString());
    QVERIFY(window->isVisible());
    QVERIFY(!window->isMinimized());

    // A left press released off the button is no click.
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(8, 8));
    QCOMPARE(shows(), pressed);
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(-30, 40));
    QVERIFY(image->pixmap().isNull());
    QVERIFY(window->isVisible());
    QVERIFY(!window->isMinimized());
}

void tst_nctFrame::frameButtonClicks()
{
    auto window = openWindow(lookup::kDialseek);
    QVERIFY(window);
    QTest::mouseClick(child(window.get(), "Immin"), Qt::LeftButton);
    QTRY_VERIFY(window->isMinimized());
    window->showNormal();
    QTRY_VERIFY(!window->isMinimized());
    QCOMPARE(child(window.get(), "Immin")->pos(), QPoint(481, 5));

    QTest::mouseClick(child(window.get(), "Imclose"), Qt::LeftButton);
    QTRY_VERIFY(!window->isVisible());
}

void tst_nctFrame::dragOnlyWithLeftButton_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("moves");
    QTest::newRow("left") << Qt::LeftButton << true;
    QTest::newRow("right") << Qt::RightButton << false;
    QTest::newRow("middle") << Qt::MiddleButton << false;
}

void tst_nctFrame::dragOnlyWithLeftButton()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, moves);
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QWidget *bar = child(window.get(), "IMBar");
    const QPoint start = window->pos();
    QTest::mousePress(bar, button, {}, QPoint(100, 10));
    QTest::mouseMove(bar, QPoint(150, 40));
    QTest::mouseRelease(bar, button, {}, QPoint(150, 40));
    if (moves)
        QTRY_COMPARE(window->pos(), start + QPoint(50, 30));
    else
        QCOMPARE(window->pos(), start);
}

void tst_nctFrame::sideActions_data()
{
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("commandLine");
    const QString n = QStringLiteral("numseek");
    const QString d = QStringLiteral("dialseek");
    const QString help = QStringLiteral("hh.exe C:\\Program Files\\Dialvane\\help.chm");
    const QString editor = QStringLiteral("C:\\Program Files\\Dialvane\\pennote.exe");
    const QString printer = QStringLiteral("C:\\Program Files\\Dialvane\\inkleaf.exe");
    const QString browser = QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE ");
    QTest::newRow("numseek help") << n << "Image3" << help;
    QTest::newRow("numseek save") << n << "Image2" << editor;
    QTest::newRow("numseek print") << n << "Image1" << printer;
    QTest::newRow("dialseek help") << d << "Image3" << help;
    QTest::newRow("dialseek save") << d << "Image2" << editor;
    QTest::newRow("dialseek print") << d << "Image1" << printer;
    QTest::newRow("apply for listing")
        << n << "Command2" << QString(browser + u"http://127.0.0.1:8620/fbxx.html");
    QTest::newRow("correction or deletion")
        << n << "Command3" << QString(browser + u"http://127.0.0.1:8620/dhcs.html");
}

void tst_nctFrame::sideActions()
{
    QFETCH(QString, build);
    QFETCH(QString, control);
    QFETCH(QString, commandLine);
    auto window = openWindow(variantByName(build));
    QVERIFY(window);
    child<QLineEdit>(window.get(), "Text2")->setText(QStringLiteral("88"));
    QWidget *target = window->findChild<QWidget *>(control);
    QVERIFY(target);

    QTest::mouseClick(target, Qt::LeftButton);
    QTest::mouseClick(target, Qt::LeftButton);
    QCOMPARE(m_launched.size(), 2);
    for (const LaunchRequest &request : std::as_const(m_launched)) {
        QCOMPARE(request.commandLine, commandLine);
        QCOMPARE(request.mode, platform::WindowMode::NormalFocus);
    }
    QVERIFY(m_messages.isEmpty());
    // The window keeps its state.
    QCOMPARE(child<QLineEdit>(window.get(), "Text2")->text(), QStringLiteral("88"));
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("查看完成"));
    QVERIFY(window->pageText().isEmpty());
    QVERIFY(child<QWebEngineView>(window.get(), "W2")->url().isEmpty());
    QVERIFY(window->isVisible());
}

void tst_nctFrame::failedStartKeepsWindow()
{
    m_launchSucceeds = false;
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    QTest::mouseClick(child(window.get(), "Image2"), Qt::LeftButton);
    QCOMPARE(m_launched.size(), 1);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().title, QStringLiteral("提示"));
    QCOMPARE(m_messages.first().icon, QMessageBox::Warning);
    QVERIFY(m_messages.first().text.contains(QStringLiteral("保存")));
    QVERIFY(window->isVisible());
    QCOMPARE(child<QLabel>(window.get(), "Label1")->text(), QStringLiteral("查看完成"));
    // Still usable: the next click tries again.
    QTest::mouseClick(child(window.get(), "Image2"), Qt::LeftButton);
    QCOMPARE(m_launched.size(), 2);
}

void tst_nctFrame::searchButtonSettings()
{
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    auto *button = child<xpbutton::XPButton>(window.get(), "Command1");
    QVERIFY(button);
    QCOMPARE(button->geometry(), QRect(288, 36, 49, 25));
    QCOMPARE(button->toolTip(), QStringLiteral("查看"));
    QCOMPARE(button->caption(), QStringLiteral("查看"));
    QCOMPARE(button->CaptionAlign(), 2);
    QCOMPARE(button->ButtonStyle(), 2);
    QCOMPARE(button->Font().family(), QStringLiteral("宋体"));
    QCOMPARE(button->Font().pointSize(), 9);
    QCOMPARE(button->GradientColor(), 0u);
    QCOMPARE(button->Mode(), 0);
    QVERIFY(!button->value());
    QCOMPARE(button->BackColor(), 0x8000000Fu);
    QCOMPARE(button->MousePointer(), 99);
    QVERIFY(!button->isDefault());
    QVERIFY(!button->isCancel());

    // The pointer is the one the image buttons show: same picture, same hot spot.
    const QCursor frameCursor = child(window.get(), "Image1")->cursor();
    QCOMPARE(button->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(button->cursor().hotSpot(), QPoint(6, 0));
    QCOMPARE(button->cursor().hotSpot(), frameCursor.hotSpot());
    QCOMPARE(button->cursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
             frameCursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32));

    // Saving the button again gives the bag it was restored from.
    QFile file(QString::fromLatin1(nct::kSearchButtonBag));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString error;
    const std::optional<xpbutton::PropertyBag> stored =
        xpbutton::PropertyBag::fromJson(file.readAll(), &error);
    QVERIFY2(stored, qPrintable(error));
    xpbutton::PropertyBag saved;
    button->WriteProperties(saved);
    QCOMPARE(saved.keys(), stored->keys());
    QVERIFY(saved == *stored);
}

void tst_nctFrame::searchButtonLooks()
{
    auto window = openWindow(lookup::kNumseek);
    QVERIFY(window);
    auto *button = child<xpbutton::XPButton>(window.get(), "Command1");
    auto ring = [button](int x, int y) {
        return xpbutton::fromQRgb(button->grab().toImage().pixel(x, y));
    };
    QTest::mouseMove(window.get(), QPoint(3, 200));
    // The outer ring is dark blue in every state; the rounded corner pixel is cut away.
    QCOMPARE(ring(10, 0), 0x733C00u);
    QVERIFY(!button->mask().contains(QPoint(0, 0)));

    // Hovering: the orange ring.
    QTest::mouseMove(button, QPoint(20, 12));
    QVERIFY(button->state().bHovering);
    QCOMPARE(ring(2, 12), 0x6BCBFFu);
    QCOMPARE(ring(10, 2), 0x8CDBFFu);
    QCOMPARE(ring(10, 0), 0x733C00u);

    // Pressed: pushed look, the caption one pixel down and right.
    const QImage hot = button->grab().toImage();
    QTest::mousePress(window->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(window.get(), QPoint(20, 12)));
    QVERIFY(button->state().drawnPushed());
    const QImage pushed = button->grab().toImage();
    QVERIFY(pushed != hot);
    QCOMPARE(ring(10, 0), 0x733C00u);
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {},
                        button->mapTo(window.get(), QPoint(20, 12)));
    // The click searched for nothing and said so.
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, QStringLiteral("输入内容不能为空!"));

    // Away again: the hover poll notices and the ring goes back.
    QTest::mouseMove(window.get(), QPoint(3, 200));
    QTRY_VERIFY(!button->state().bHovering);
    QVERIFY(ring(2, 12) != 0x6BCBFFu);
}

DIALVANE_WEB_TEST_MAIN(tst_nctFrame)
#include "tst_nctframe.moc"
