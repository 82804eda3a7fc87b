#include "lookup/resultpage.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using lookup::ResultPage;

namespace {

const QString B = ResultPage::kBeginMarker.toString();
const QString E = ResultPage::kEndMarker.toString();

QString filler(qsizetype n, QChar c = u'x')
{
    return QString(n, c);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class tst_ResultPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void styleHeaderIsTheFixedText();
    void cut_data();
    void cut();
    void cutCountsUtf16Units_data();
    void cutCountsUtf16Units();
    void cutTenMegabytePage();
    void fileBytes_data();
    void fileBytes();
    void declarationNamesTheCodePage_data();
    void declarationNamesTheCodePage();
    void writeCreatesFoldersAndReplaces();
    void writeFailsWithoutTouchingWhatIsThere_data();
    void writeFailsWithoutTouchingWhatIsThere();
};

void tst_ResultPage::styleHeaderIsTheFixedText()
{
    QCOMPARE(ResultPage::kStyleHeader.size(), 93);
    QCOMPARE(ResultPage::kStyleHeader.toString(),
             QStringLiteral("<STYLE type=text/css>td,p,li,select,input,textarea "
                            "{font-size:12px;}BODY{COLOR: red;}</STYLE>"));
}

void tst_ResultPage::cut_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("expected");

    const QString listing = filler(1600, u'L');
    QTest::newRow("section between markers")
        << QString(u"AAA" + B + listing + E + u"ZZZ") << QString(B + listing);

    const QString whole200 = u"AAA" + B + filler(200) + E + u"ZZZ";
    QTest::newRow("end marker inside skip distance") << whole200 << whole200;

    const QString twoEnds =
        B + filler(200 - B.size()) + E + filler(2000 - 200 - E.size()) + E + u"tail";
    QTest::newRow("second end marker past skip distance")
        << twoEnds << twoEnds.left(twoEnds.lastIndexOf(E));

    const QString twoBegins = u"<p>" + B + filler(100) + B + filler(1600) + E;
    QTest::newRow("first begin marker starts the section")
        << twoBegins << twoBegins.mid(3, twoBegins.size() - 3 - E.size());

    const QString upper = u"AAA<!-- MARLOWEN BEGIN -->" + listing + E + u"ZZZ";
    QTest::newRow("begin marker in other letter case") << upper << upper;

    const QString upperEnd = u"AAA" + B + listing + u"<!-- Marlowen END -->ZZZ";
    QTest::newRow("end marker in other letter case") << upperEnd << upperEnd;

    const QString noMarkers = QStringLiteral("<head></head><body>no listing</body>");
    QTest::newRow("no markers") << noMarkers << noMarkers;

    const QString onlyEnd = filler(2000) + E + u"rest";
    QTest::newRow("end marker without begin marker") << onlyEnd << onlyEnd;

    const QString atDistance = B + filler(ResultPage::kSkipDistance - B.size()) + E;
    QTest::newRow("end marker exactly at skip distance")
        << atDistance << atDistance.left(ResultPage::kSkipDistance);

    const QString oneShort = B + filler(ResultPage::kSkipDistance - 1 - B.size()) + E;
    QTest::newRow("end marker one short of skip distance") << oneShort << oneShort;

    const QString chinese = u"<title>查询</title>" + B + u"<td>张三</td>" + filler(1600, u'号') + E;
    QTest::newRow("chinese listing")
        << chinese << QString(B + u"<td>张三</td>" + filler(1600, u'号'));

    // A frame's document is not part of the page's markup; markers that only appear escaped
    // in an inline frame's source are plain text, not markers.
    const QString framed = u"<iframe srcdoc=\"&lt;!-- Marlowen begin --&gt;" + listing +
                           u"&lt;!-- Marlowen end --&gt;\"></iframe>";
    QTest::newRow("escaped markers in a frame source") << framed << framed;

    const QString inNoframes =
        u"<frameset><frame src=\"a.htm\"></frameset><noframes>" + B + listing + E + u"</noframes>";
    QTest::newRow("markers in the no-frames comment block") << inNoframes << QString(B + listing);

    QTest::newRow("empty page") << QString() << QString();
}

void tst_ResultPage::cut()
{
    QFETCH(QString, markup);
    QFETCH(QString, expected);
    QCOMPARE(ResultPage::cut(markup), expected);
}

void tst_ResultPage::cutCountsUtf16Units_data()
{
    QTest::addColumn<int>("pairs");
    QTest::addColumn<bool>("cut");
    // Each character outside the basic plane counts two units; the begin marker is 23 units.
    QTest::newRow("end at 1499 units") << 738 << false;
    QTest::newRow("end at 1501 units") << 739 << true;
}

void tst_ResultPage::cutCountsUtf16Units()
{
    QFETCH(int, pairs);
    QFETCH(bool, cut);
    QString emoji;
    for (int i = 0; i < pairs; ++i)
        emoji += QStringView(u"😀");
    const QString page = B + emoji + E;
    QCOMPARE(ResultPage::cut(page) != page, cut);
}

void tst_ResultPage::cutTenMegabytePage()
{
    const QString head = u"<head><title>电话</title></head><body>" + filler(5 * 1024 * 1024, u'a');
    const QString listing = filler(4 * 1024 * 1024, u'中');
    const QString page = head + B + listing + E + filler(1024 * 1024, u'z') + u"</body>";
    const QString section = ResultPage::cut(page);
    QCOMPARE(section.size(), B.size() + listing.size());
    QVERIFY(section.startsWith(B));
    QVERIFY(section.endsWith(u'中'));

    const QByteArray bytes = ResultPage::fileBytes(ResultPage::withHeader(section));
    // 93 header bytes, the ASCII marker, two bytes per Chinese character, CR LF.
    QCOMPARE(bytes.size(), 93 + B.size() + 2 * listing.size() + 2);
}

void tst_ResultPage::fileBytes_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QByteArray>("tail");

    QTest::newRow("ascii") << QStringLiteral("<td>1</td>") << QByteArray("<td>1</td>\r\n");
    QTest::newRow("chinese in GBK")
        << QStringLiteral("张三 中文") << QByteArray("\xD5\xC5\xC8\xFD \xD6\xD0\xCE\xC4\r\n");
    QTest::newRow("outside GBK becomes ?")
        << QStringLiteral("a😀b\u0E01c") << QByteArray("a?b?c\r\n");
    QTest::newRow("line breaks kept as they are")
        << QStringLiteral("a\nb\r\nc") << QByteArray("a\nb\r\nc\r\n");
    QTest::newRow("empty section") << QString() << QByteArray("\r\n");
}

void tst_ResultPage::fileBytes()
{
    QFETCH(QString, section);
    QFETCH(QByteArray, tail);
    const QByteArray bytes = ResultPage::fileBytes(ResultPage::withHeader(section));
    QCOMPARE(bytes, ResultPage::kStyleHeader.toString().toLatin1() + tail);
}

void tst_ResultPage::declarationNamesTheCodePage_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("expected");
    QTest::newRow("meta charset quoted")
        << QStringLiteral("<head><meta charset=\"utf-8\"><title>无法访问</title>")
        << QStringLiteral("<head><meta charset=\"gbk\"><title>无法访问</title>");
    QTest::newRow("meta charset bare, upper case")
        << QStringLiteral("<META CHARSET=UTF-8>") << QStringLiteral("<META CHARSET=gbk>");
    QTest::newRow("http-equiv content type")
        << QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">")
        << QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">");
    QTest::newRow("several, text between kept")
        << QStringLiteral("<meta charset='utf-8'>charset=utf-8<meta charset=x-user-defined/>")
        << QStringLiteral("<meta charset='gbk'>charset=utf-8<meta charset=gbk/>");
    QTest::newRow("no declaration")
        << QStringLiteral("<td>charset=utf-8</td>") << QStringLiteral("<td>charset=utf-8</td>");
}

void tst_ResultPage::declarationNamesTheCodePage()
{
    QFETCH(QString, markup);
    QFETCH(QString, expected);
    QCOMPARE(ResultPage::declaringCharset(markup, u"gbk"), expected);
    // The file carries the declaration that matches its bytes.
    QCOMPARE(ResultPage::fileBytes(markup), platform::toAnsi(expected) + "\r\n");
}

void tst_ResultPage::writeCreatesFoldersAndReplaces()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("windows/system32/windows.htm"));

    QVERIFY(ResultPage::write(path, QByteArray(5000, 'x')));
    QCOMPARE(readAll(path), QByteArray(5000, 'x'));

    // A shorter result replaces the file whole; nothing of the longer one is left behind.
    QVERIFY(ResultPage::write(path, QByteArray("short\r\n")));
    QCOMPARE(readAll(path), QByteArray("short\r\n"));
    // No temporary files remain beside it.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("windows/system32"))).entryList(QDir::Files),
             QStringList{QStringLiteral("windows.htm")});
}

void tst_ResultPage::writeFailsWithoutTouchingWhatIsThere_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::newRow("folder where the file should be") << QStringLiteral("windows.htm/");
    QTest::newRow("file where the folder should be") << QStringLiteral("sub");
}

void tst_ResultPage::writeFailsWithoutTouchingWhatIsThere()
{
    QFETCH(QString, blocker);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path;
    if (blocker.endsWith(u'/')) {
        QVERIFY(QDir(dir.path()).mkpath(blocker));
        QFile inside(dir.filePath(blocker + u"keep.txt"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
        inside.write("keep");
        inside.close();
        path = dir.filePath(blocker.chopped(1));
    } else {
        QFile file(dir.filePath(blocker));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
        file.close();
        path = dir.filePath(blocker + u"/windows.htm");
    }
    QString error;
    QVERIFY(!ResultPage::write(path, QByteArray("new"), &error));
    QVERIFY(!error.isEmpty());
    if (blocker.endsWith(u'/'))
        QCOMPARE(readAll(dir.filePath(blocker + u"keep.txt")), QByteArray("keep"));
    else
        QCOMPARE(readAll(dir.filePath(blocker)), QByteArray("keep"));
}

QTEST_GUILESS_MAIN(tst_ResultPage)
#include "tst_resultpage.moc"
