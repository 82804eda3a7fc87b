// Shows every look of the button in every outline and state in one window, and a second page
// of pictures, gradients, caption effects and toggles. "--page 2" opens the second page,
// "--design" shows the buttons as a form designer would.

#include "platform/fonts.h"
#include "xpbutton/xpbutton.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using xpbutton::ButtonPicture;
using xpbutton::XPButton;

namespace {

enum class Look { Normal, Hot, Pushed, Disabled, Default };

const char *const kStateNames[] = {"Normal", "Hot", "Pushed", "Disabled", "Default"};

// A 16 x 16 bitmap on magenta, the colour that draws transparent.
QImage sampleBitmap()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setPen(QColor(0, 60, 140));
    p.setBrush(QColor(70, 140, 230));
    p.drawEllipse(1, 1, 13, 13);
    p.setPen(Qt::white);
    p.drawLine(5, 7, 10, 7);
    p.drawLine(7, 5, 7, 10);
    return image;
}

// A 32 x 32 icon with an alpha channel.
QImage sampleIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 80, 0), 2));
    p.setBrush(QColor(250, 200, 60));
    p.drawRoundedRect(3, 6, 26, 20, 4, 4);
    p.setBrush(QColor(255, 240, 180));
    p.drawRect(8, 11, 16, 10);
    return image;
}

void applyLook(XPButton *button, Look look)
{
    xpbutton::ButtonState &s = button->state();
    switch (look) {
    case Look::Hot:
        s.nStateBits |= xpbutton::MouseOver;
        s.bHovering = true;
        break;
    case Look::Pushed:
        s.nStateBits |= xpbutton::MouseOver | xpbutton::ButtonDown;
        s.bHovering = true;
        break;
    case Look::Disabled:
        button->setButtonEnabled(false);
        break;
    case Look::Default:
        s.nStateBits |= xpbutton::DefaultLook;
        break;
    case Look::Normal:
        break;
    }
    button->Refresh();
}

XPButton *makeButton(QWidget *parent, const QString &caption, int style, int shape,
                     QSize size = {74, 24})
{
    auto *button = new XPButton(parent);
    button->resize(size);
    button->setMinimumSize(size);
    button->InitProperties();
    button->setCaption(caption);
    button->setButtonStyle(style);
    button->setButtonShape(shape);
    return button;
}

QWidget *matrixPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("matrix"));
    auto *grid = new QGridLayout(page);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    // Looks in a 2 x 4 arrangement of blocks; each block has the shapes across and the states
    // down.
    for (int style = 0; style < 8; ++style) {
        const int blockRow = (style / 2) * 7;
        const int blockColumn = (style % 2) * 8;
        auto *title = new QLabel(QStringLiteral("ButtonStyle %1").arg(style), page);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        grid->addWidget(title, blockRow, blockColumn, 1, 8);
        for (int state = 0; state < 5; ++state) {
            for (int shape = 0; shape < 7; ++shape) {
                XPButton *button =
                    makeButton(page, QString::fromLatin1(kStateNames[state]), style, shape);
                button->setProperty("galleryLook", state);
                grid->addWidget(button, blockRow + 1 + state, blockColumn + shape);
            }
        }
        if (style % 2 == 0)
            grid->setColumnMinimumWidth(7, 18);
    }
    return page;
}

QWidget *featuresPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("features"));
    auto *grid = new QGridLayout(page);
    grid->setSpacing(6);
    const ButtonPicture bitmap(sampleBitmap());
    const ButtonPicture icon(sampleIcon(), ButtonPicture::Kind::Icon);
    int row = 0;

    auto label = [&](const QString &text) {
        grid->addWidget(new QLabel(text, page), row, 0);
    };

    label(QStringLiteral("PictureAlign 0-5"));
    for (int align = 0; align < 6; ++align) {
        const bool stacked = align >= 4;
        XPButton *b = makeButton(page, QString::fromUtf8("查看"), 2, 0,
                                 stacked ? QSize(90, 44) : QSize(90, 28));
        b->setPicture(bitmap);
        b->setPictureAlign(align);
        grid->addWidget(b, row, 1 + align);
    }
    ++row;

    label(QStringLiteral("Picture disabled"));
    for (int style = 0; style < 8; ++style) {
        XPButton *b = makeButton(page, QStringLiteral("Open"), style, 0, QSize(90, 28));
        b->setPicture(style % 2 ? icon : bitmap);
        b->setButtonEnabled(false);
        grid->addWidget(b, row, 1 + style);
    }
    ++row;

    label(QStringLiteral("PictureSize 3, 4"));
    for (int size = 3; size <= 4; ++size) {
        for (int pic = 0; pic < 2; ++pic) {
            XPButton *b = makeButton(page, QString(), 2, 0, QSize(90, 44));
            b->setPicture(pic ? icon : bitmap);
            b->setPictureSize(size);
            grid->addWidget(b, row, 1 + (size - 3) * 2 + pic);
        }
    }
    ++row;

    label(QStringLiteral("GradientMode 1-4"));
    for (int style = 0; style < 8; ++style) {
        XPButton *b =
            makeButton(page, QStringLiteral("Mode %1").arg(style % 4 + 1), style, 0, QSize(90, 28));
        b->setBackColor(0xFFE0C0);
        b->setGradientColor(0x804000);
        b->setGradientMode(style % 4 + 1);
        grid->addWidget(b, row, 1 + style);
    }
    ++row;

    label(QStringLiteral("CaptionStyle 0-2"));
    for (int style = 0; style < 3; ++style) {
        XPButton *b = makeButton(page, QStringLiteral("Caption"), 0, 0, QSize(90, 28));
        b->setBackColor(0xA0A0A0);
        b->setCaptionStyle(style);
        grid->addWidget(b, row, 1 + style);
    }
    {
        XPButton *b = makeButton(page, QStringLiteral("Two||lines"), 2, 0, QSize(90, 44));
        grid->addWidget(b, row, 4);
        XPButton *left = makeButton(page, QStringLiteral("&Left"), 0, 0, QSize(90, 28));
        left->setCaptionAlign(0);
        grid->addWidget(left, row, 5);
        XPButton *right = makeButton(page, QStringLiteral("&Right"), 0, 0, QSize(90, 28));
        right->setCaptionAlign(1);
        grid->addWidget(right, row, 6);
    }
    ++row;

    label(QStringLiteral("Check box on / off"));
    for (int style = 0; style < 8; ++style) {
        XPButton *b = makeButton(page, QStringLiteral("Check"), style, 0, QSize(90, 28));
        b->setMode(1);
        b->setValue(style % 2 == 0);
        grid->addWidget(b, row, 1 + style);
    }
    ++row;

    label(QStringLiteral("Option, disabled on"));
    for (int style = 0; style < 8; ++style) {
        XPButton *b = makeButton(page, QStringLiteral("Option"), style, 0, QSize(90, 28));
        b->setMode(1);
        b->setValue(true);
        b->setButtonEnabled(false);
        grid->addWidget(b, row, 1 + style);
    }
    ++row;

    label(QStringLiteral("Hover colours"));
    for (int style = 0; style < 8; ++style) {
        XPButton *b = makeButton(page, QStringLiteral("Hover"), style, 0, QSize(90, 28));
        b->setHoverBackColor(0xC0FFC0);
        b->setHoverForeColor(0x0000C0);
        xpbutton::ButtonState &s = b->state();
        s.nStateBits |= xpbutton::MouseOver;
        s.bHovering = true;
        b->Refresh();
        grid->addWidget(b, row, 1 + style);
    }
    ++row;
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(9, 1);
    return page;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    platform::installFontSubstitutions();
    const QStringList args = app.arguments();

    QWidget window;
    window.setWindowTitle(QStringLiteral("XPButton gallery"));
    window.setFont(QFont(QString::fromUtf8("宋体"), 9));
    if (args.contains(QStringLiteral("--design")))
        window.setProperty(xpbutton::kAmbientUserMode, false);
    auto *layout = new QVBoxLayout(&window);
    auto *tabs = new QTabWidget(&window);
    tabs->addTab(matrixPage(), QStringLiteral("Looks x shapes x states"));
    tabs->addTab(featuresPage(), QStringLiteral("Pictures, gradients, captions, toggles"));
    if (args.contains(QStringLiteral("--page")) &&
        args.value(args.indexOf(QStringLiteral("--page")) + 1) == u"2")
        tabs->setCurrentIndex(1);
    layout->addWidget(tabs);
    window.resize(window.sizeHint());
    window.show();
    // States are applied once the layout has given every button its final size, so the
    // buttons have been drawn idle before, as they would have been on a running form.
    QTimer::singleShot(0, &window, [&window] {
        for (XPButton *button : window.findChildren<XPButton *>()) {
            const QVariant look = button->property("galleryLook");
            if (look.isValid())
                applyLook(button, Look(look.toInt()));
        }
    });
    return app.exec();
}
