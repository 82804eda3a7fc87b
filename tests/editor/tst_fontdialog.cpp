#include "editor/fontdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

using pennote::CharValues;
using pennote::FontDialog;

class tst_fontdialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parseFontSize_data();
    void parseFontSize();
    void presetComesBack_data();
    void presetComesBack();
    void presetShown();
    void userChoices();
    void unusableSizeBlocksOk_data();
    void unusableSizeBlocksOk();
};

void tst_fontdialog::parseFontSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("points"); // 0: not a size

    QTest::newRow("whole") << "12" << qreal(12);
    QTest::newRow("half point") << "10.5" << qreal(10.5);
    QTest::newRow("blanks") << " 14 " << qreal(14);
    QTest::newRow("五号") << "五号" << qreal(10.5);
    QTest::newRow("小四") << "小四" << qreal(12);
    QTest::newRow("初号") << "初号" << qreal(42);
    QTest::newRow("八号") << "八号" << qreal(5);
    QTest::newRow("smallest") << "1" << qreal(1);
    QTest::newRow("largest") << "1638" << qreal(1638);
    QTest::newRow("too small") << "0.5" << qreal(0);
    QTest::newRow("too large") << "1639" << qreal(0);
    QTest::newRow("negative") << "-3" << qreal(0);
    QTest::newRow("empty") << "" << qreal(0);
    QTest::newRow("word") << "big" << qreal(0);
    QTest::newRow("not a number") << "nan" << qreal(0);
    QTest::newRow("unit") << "12pt" << qreal(0);
}

void tst_fontdialog::parseFontSize()
{
    QFETCH(QString, text);
    QFETCH(qreal, points);
    QCOMPARE(pennote::parseFontSize(text).value_or(0), points);
}

void tst_fontdialog::presetComesBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QColor>("color");

    QTest::newRow("宋体 五号") << "宋体" << qreal(10.5) << false << false << false
                               << QColor(Qt::black);
    QTest::newRow("bold italic") << "黑体" << qreal(16) << true << true << false
                                 << QColor(0x80, 0, 0);
    QTest::newRow("underlined, odd size")
        << "DejaVu Sans" << qreal(13.5) << false << true << true << QColor(0, 0, 0xFF);
    QTest::newRow("font not installed")
        << "Tahoma" << qreal(9) << true << false << true << QColor(0x12, 0x34, 0x56);
}

void tst_fontdialog::presetComesBack()
{
    QFETCH(QString, name);
    QFETCH(qreal, size);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(QColor, color);

    const CharValues preset{name, size, bold, italic, underline, color};
    FontDialog dialog;
    dialog.setValues(preset);
    QCOMPARE(dialog.values(), preset);
    QVERIFY(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled());
}

void tst_fontdialog::presetShown()
{
    FontDialog dialog;
    dialog.setValues({QStringLiteral("宋体"), 10.5, true, false, true, QColor(0x12, 0x34, 0x56)});
    QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("fontName"))->currentText(),
             QStringLiteral("宋体"));
    QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("fontSize"))->currentText(),
             QStringLiteral("五号"));
    QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("fontStyle"))->currentText(),
             QStringLiteral("粗体"));
    QVERIFY(dialog.findChild<QCheckBox *>(QStringLiteral("fontUnderline"))->isChecked());
    auto *colors = dialog.findChild<QComboBox *>(QStringLiteral("colorList"));
    QCOMPARE(colors->count(), 17);
    QCOMPARE(colors->currentText(), QStringLiteral("自定义"));
    QCOMPARE(colors->itemText(0), QStringLiteral("黑色"));
    QCOMPARE(colors->itemText(15), QStringLiteral("白色"));

    dialog.setValues({QStringLiteral("宋体"), 12, false, false, false, QColor(0xFF, 0, 0)});
    QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("fontSize"))->currentText(),
             QStringLiteral("12"));
    QCOMPARE(colors->currentText(), QStringLiteral("红色"));
}

void tst_fontdialog::userChoices()
{
    FontDialog dialog;
    dialog.setValues({QStringLiteral("宋体"), 12, false, false, false, QColor(Qt::black)});
    dialog.findChild<QComboBox *>(QStringLiteral("fontName"))
        ->setCurrentText(QStringLiteral("楷体"));
    dialog.findChild<QComboBox *>(QStringLiteral("fontStyle"))->setCurrentIndex(3);
    auto *size = dialog.findChild<QComboBox *>(QStringLiteral("fontSize"));
    size->setCurrentIndex(size->findText(QStringLiteral("小二")));
    dialog.findChild<QCheckBox *>(QStringLiteral("fontUnderline"))->setChecked(true);
    auto *colors = dialog.findChild<QComboBox *>(QStringLiteral("colorList"));
    colors->setCurrentIndex(colors->findText(QStringLiteral("水鸭色")));
    QCOMPARE(dialog.values(),
             (CharValues{QStringLiteral("楷体"), 18, true, true, true, QColor(0, 0x80, 0x80)}));
}

void tst_fontdialog::unusableSizeBlocksOk_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("usable");
    QTest::newRow("fine") << "宋体"
                          << "11" << true;
    QTest::newRow("size is a word") << "宋体"
                                    << "big" << false;
    QTest::newRow("size empty") << "宋体"
                                << "" << false;
    QTest::newRow("size zero") << "宋体"
                               << "0" << false;
    QTest::newRow("no face") << "  "
                             << "11" << false;
}

void tst_fontdialog::unusableSizeBlocksOk()
{
    QFETCH(QString, name);
    QFETCH(QString, size);
    QFETCH(bool, usable);

    FontDialog dialog;
    dialog.findChild<QComboBox *>(QStringLiteral("fontName"))->setCurrentText(name);
    dialog.findChild<QComboBox *>(QStringLiteral("fontSize"))->setCurrentText(size);
    QCOMPARE(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled(),
             usable);
}

QTEST_MAIN(tst_fontdialog)
#include "tst_fontdialog.moc"
