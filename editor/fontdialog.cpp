#include "fontdialog.h"

#include "ui_fontdialog.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace pennote {

namespace {

struct NamedColor
{
    const char *name;
    QRgb rgb;
};

// The text colours of the platform's font dialog, in its order.
constexpr NamedColor kColors[] = {
    {"黑色", 0x000000},   {"褐红色", 0x800000}, {"绿色", 0x008000},   {"橄榄色", 0x808000},
    {"藏青色", 0x000080}, {"紫色", 0x800080},   {"水鸭色", 0x008080}, {"灰色", 0x808080},
    {"银色", 0xC0C0C0},   {"红色", 0xFF0000},   {"鲜绿色", 0x00FF00}, {"黄色", 0xFFFF00},
    {"蓝色", 0x0000FF},   {"紫红色", 0xFF00FF}, {"水绿色", 0x00FFFF}, {"白色", 0xFFFFFF},
};

struct NamedSize
{
    const char *name;
    qreal points;
};

// Chinese type sizes, largest first.
constexpr NamedSize kNamedSizes[] = {
    {"初号", 42},  {"小初", 36},  {"一号", 26},  {"小一", 24}, {"二号", 22},   {"小二", 18},
    {"三号", 16},  {"小三", 15},  {"四号", 14},  {"小四", 12}, {"五号", 10.5}, {"小五", 9},
    {"六号", 7.5}, {"小六", 6.5}, {"七号", 5.5}, {"八号", 5},
};

constexpr int kPointSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

// Names the documents of the target systems use, offered even where another font stands in.
constexpr const char *kChineseFaces[] = {"宋体", "新宋体", "黑体", "楷体", "仿宋", "微软雅黑"};

enum Style { Regular, Italic, Bold, BoldItalic };

QIcon swatch(const QColor &color)
{
    QPixmap pixmap(24, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

QString sizeText(qreal points)
{
    return QString::number(points, 'g', 4);
}

} // namespace

std::optional<qreal> parseFontSize(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const NamedSize &size : kNamedSizes) {
        if (trimmed == QString::fromUtf8(size.name))
            return size.points;
    }
    bool ok = false;
    const qreal points = trimmed.toDouble(&ok);
    if (!ok || !(points >= 1 && points <= 1638))
        return std::nullopt;
    return points;
}

FontDialog::FontDialog(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::FontDialog>())
{
    ui->setupUi(this);
    ui->buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    ui->buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));

    QStringList faces;
    for (const char *face : kChineseFaces)
        faces << QString::fromUtf8(face);
    for (const QString &family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family) && !faces.contains(family))
            faces << family;
    }
    ui->fontName->addItems(faces);

    ui->fontStyle->addItems({QStringLiteral("常规"), QStringLiteral("倾斜"), QStringLiteral("粗体"),
                             QStringLiteral("粗偏斜体")});

    for (const NamedSize &size : kNamedSizes)
        ui->fontSize->addItem(QString::fromUtf8(size.name));
    for (int points : kPointSizes)
        ui->fontSize->addItem(QString::number(points));

    for (const NamedColor &entry : kColors) {
        const QColor color = QColor::fromRgb(entry.rgb);
        ui->colorList->addItem(swatch(color), QString::fromUtf8(entry.name), color);
    }

    connect(ui->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui->fontName, &QComboBox::currentTextChanged, this, &FontDialog::updateSample);
    connect(ui->fontStyle, &QComboBox::currentIndexChanged, this, &FontDialog::updateSample);
    connect(ui->fontSize, &QComboBox::currentTextChanged, this, &FontDialog::updateSample);
    connect(ui->fontUnderline, &QCheckBox::toggled, this, &FontDialog::updateSample);
    connect(ui->colorList, &QComboBox::currentIndexChanged, this, &FontDialog::updateSample);
    updateSample();
}

FontDialog::~FontDialog() = default;

void FontDialog::setValues(const CharValues &values)
{
    ui->fontName->setCurrentText(values.fontName);
    ui->fontStyle->setCurrentIndex(values.bold ? (values.italic ? BoldItalic : Bold)
                                               : (values.italic ? Italic : Regular));
    // A size with a Chinese name shows that name, as the platform's chooser did.
    QString size = sizeText(values.fontSize);
    for (const NamedSize &named : kNamedSizes) {
        if (qFuzzyCompare(named.points, values.fontSize) &&
            ui->fontSize->findText(sizeText(values.fontSize)) < 0) {
            size = QString::fromUtf8(named.name);
            break;
        }
    }
    ui->fontSize->setCurrentText(size);
    ui->fontUnderline->setChecked(values.underline);
    const QColor color = values.color.isValid() ? values.color : QColor(Qt::black);
    int index = ui->colorList->findData(color);
    if (index < 0) {
        ui->colorList->addItem(swatch(color), QStringLiteral("自定义"), color);
        index = ui->colorList->count() - 1;
    }
    ui->colorList->setCurrentIndex(index);
    updateSample();
}

CharValues FontDialog::values() const
{
    CharValues values;
    values.fontName = ui->fontName->currentText().trimmed();
    values.fontSize = parseFontSize(ui->fontSize->currentText()).value_or(0);
    const int style = ui->fontStyle->currentIndex();
    values.bold = style == Bold || style == BoldItalic;
    values.italic = style == Italic || style == BoldItalic;
    values.underline = ui->fontUnderline->isChecked();
    values.color = ui->colorList->currentData().value<QColor>();
    return values;
}

void FontDialog::updateSample()
{
    const CharValues chosen = values();
    const bool usable = !chosen.fontName.isEmpty() && chosen.fontSize > 0;
    ui->buttons->button(QDialogButtonBox::Ok)->setEnabled(usable);
    if (!usable)
        return;
    QFont font(chosen.fontName);
    font.setPointSizeF(qMin(chosen.fontSize, 36.0));
    font.setBold(chosen.bold);
    font.setItalic(chosen.italic);
    font.setUnderline(chosen.underline);
    ui->sample->setFont(font);
    QPalette palette = ui->sample->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, chosen.color);
    ui->sample->setPalette(palette);
}

} // namespace pennote
