#include "editor/selectionformat.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

using pennote::SelectionFormat;

namespace {

// Two runs "abc" and "def" in one paragraph, then "ghi" in a second one; the second run gets
// `second` merged into its format.
void fill(QTextEdit &edit, const QTextCharFormat &second)
{
    edit.clear();
    edit.document()->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    QTextCursor cursor(edit.document());
    cursor.insertText(QStringLiteral("abc"));
    QTextCharFormat format;
    format.merge(second);
    cursor.insertText(QStringLiteral("def"), format);
    cursor.insertText(QStringLiteral("\nghi"), QTextCharFormat());
}

void select(QTextEdit &edit, int from, int to)
{
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
}

} // namespace

class tst_selectionformat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mixedAttributes_data();
    void mixedAttributes();
    void alignmentOfParagraphs_data();
    void alignmentOfParagraphs();
};

void tst_selectionformat::mixedAttributes_data()
{
    QTest::addColumn<QTextCharFormat>("second");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("mixed");

    QTextCharFormat face;
    face.setFontFamilies({QStringLiteral("DejaVu Serif")});
    QTextCharFormat size;
    size.setFontPointSize(14);
    QTextCharFormat sameSize;
    sameSize.setFontPointSize(10);
    QTextCharFormat colour;
    colour.setForeground(QColor(0xFF, 0, 0));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat normal;
    normal.setFontWeight(QFont::Normal);
    QTextCharFormat everything = face;
    everything.merge(size);
    everything.merge(colour);
    everything.setFontItalic(true);
    everything.setFontUnderline(true);

    QTest::newRow("face") << face << 1 << 5 << int(SelectionFormat::FontName);
    QTest::newRow("size") << size << 2 << 4 << int(SelectionFormat::FontSize);
    QTest::newRow("size equal to the default") << sameSize << 0 << 6 << 0;
    QTest::newRow("colour") << colour << 0 << 6 << int(SelectionFormat::Color);
    QTest::newRow("bold") << bold << 0 << 6 << int(SelectionFormat::Bold);
    QTest::newRow("explicitly normal") << normal << 0 << 6 << 0;
    QTest::newRow("inside the second run") << everything << 3 << 6 << 0;
    QTest::newRow("ending where the second starts") << everything << 0 << 3 << 0;
    QTest::newRow("over the paragraph end")
        << everything << 4 << 9
        << int(SelectionFormat::FontName | SelectionFormat::FontSize | SelectionFormat::Color |
               SelectionFormat::Italic | SelectionFormat::Underline);
}

void tst_selectionformat::mixedAttributes()
{
    QFETCH(QTextCharFormat, second);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, mixed);

    QTextEdit edit;
    fill(edit, second);
    select(edit, from, to);
    const SelectionFormat format = SelectionFormat::read(edit);
    QCOMPARE(int(format.mixed), mixed);
}

void tst_selectionformat::alignmentOfParagraphs_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("mixed");

    // Paragraphs: "left" (0..4), "right" (5..10), "centre" (11..17), "justified" (18..27).
    QTest::newRow("caret in left") << 2 << 2 << 0 << false;
    QTest::newRow("caret in right") << 7 << 7 << 1 << false;
    QTest::newRow("caret in centre") << 12 << 12 << 2 << false;
    QTest::newRow("caret in justified") << 20 << 20 << -1 << false;
    QTest::newRow("left and right") << 2 << 7 << 0 << true;
    QTest::newRow("to the start of the next") << 5 << 11 << 1 << true;
    QTest::newRow("right paragraph whole") << 5 << 10 << 1 << false;
}

void tst_selectionformat::alignmentOfParagraphs()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, alignment);
    QFETCH(bool, mixed);

    QTextEdit edit;
    edit.setPlainText(QStringLiteral("left\nright\ncentre\njustified"));
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                        Qt::AlignJustify};
    QTextBlock block = edit.document()->begin();
    for (Qt::Alignment value : alignments) {
        QTextBlockFormat format;
        format.setAlignment(value);
        QTextCursor(block).setBlockFormat(format);
        block = block.next();
    }
    select(edit, from, to);
    const SelectionFormat format = SelectionFormat::read(edit);
    QCOMPARE(format.alignment, alignment);
    QCOMPARE(format.isMixed(SelectionFormat::Alignment), mixed);
}

QTEST_MAIN(tst_selectionformat)
#include "tst_selectionformat.moc"
