#include "demo/directory.h"
#include "demo/keyword.h"
#include "demo/pages.h"
#include "demo/site.h"
#include "platform/codepage.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace demo;
using namespace Qt::StringLiterals;

namespace {

Directory fixture()
{
    return Directory({
        {u"张三"_s, u"0571-86201234"_s, u"澜州市明湖区青石路 1 号"_s, u"住宅"_s},
        {u"张三丰"_s, u"0571 8620 5678"_s, u"澜州市青石区文昌路 2 号"_s, u"住宅"_s},
        {u"王五"_s, u"0571-87021234"_s, u"澜州市柳岸区青石路 3 号"_s, u"政府机关"_s},
        {u"赵六"_s, u"85551234"_s, u"澜州市明湖区学士路 4 号"_s, u"商店"_s},
        {u"李&王律师事务所"_s, u"0571-87062202"_s, u"澜州市明湖区文昌路 5 号"_s, u"律师"_s},
        {u"A+眼镜店"_s, u"0571-88822844"_s, u"澜州市柳岸区梧桐巷 6 号"_s, u"商店"_s},
        {u"5#楼 100%便利店"_s, u"0571-88819957"_s, u"澜州市青石区学士路 7 号"_s, u"商店"_s},
    });
}

QStringList names(const QList<Entry> &entries)
{
    QStringList list;
    for (const Entry &entry : entries)
        list << entry.name;
    return list;
}

// What the lookup client cuts out of a page: from the begin marker up to the first end marker
// that starts at least 1500 characters after it. Empty when the client would find no section.
QString clientSection(const QString &page)
{
    const qsizetype begin = page.indexOf(beginMarker);
    if (begin < 0)
        return {};
    const qsizetype end = page.indexOf(endMarker, begin + 1500);
    if (end < 0)
        return {};
    return page.mid(begin, end - begin);
}

} // namespace

class tst_DemoSite : public QObject
{
    Q_OBJECT

private slots:
    void percentDecode_data();
    void percentDecode();
    void rawQueryValue_data();
    void rawQueryValue();
    void searchKeyword_data();
    void searchKeyword();
    void encodeKeyword_data();
    void encodeKeyword();

    void parse_data();
    void parse();
    void builtInDirectory();
    void findByNumber_data();
    void findByNumber();
    void findByName_data();
    void findByName();

    void searchPageSection_data();
    void searchPageSection();
    void searchPageEscapes_data();
    void searchPageEscapes();

    void answer_data();
    void answer();
};

void tst_DemoSite::percentDecode_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("gbk upper") << QByteArray("%D5%C5") << QByteArray("\xD5\xC5");
    QTest::newRow("gbk lower") << QByteArray("%d5%c5") << QByteArray("\xD5\xC5");
    QTest::newRow("ampersand") << QByteArray("%26") << QByteArray("&");
    QTest::newRow("hash") << QByteArray("%23") << QByteArray("#");
    QTest::newRow("percent") << QByteArray("%25") << QByteArray("%");
    QTest::newRow("blank") << QByteArray("%20") << QByteArray(" ");
    QTest::newRow("plus kept") << QByteArray("a+b") << QByteArray("a+b");
    QTest::newRow("encoded plus") << QByteArray("a%2Bb") << QByteArray("a+b");
    QTest::newRow("decoded once") << QByteArray("%252F") << QByteArray("%2F");
    QTest::newRow("not hex") << QByteArray("%G1") << QByteArray("%G1");
    QTest::newRow("second not hex") << QByteArray("%1G") << QByteArray("%1G");
    QTest::newRow("trailing percent") << QByteArray("ab%") << QByteArray("ab%");
    QTest::newRow("trailing one digit") << QByteArray("ab%4") << QByteArray("ab%4");
    QTest::newRow("percent then escape") << QByteArray("%%41") << QByteArray("%A");
    QTest::newRow("null byte") << QByteArray("a%00b") << QByteArray("a\0b", 3);
    QTest::newRow("plain") << QByteArray("0571-8620") << QByteArray("0571-8620");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void tst_DemoSite::percentDecode()
{
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, bytes);
    QCOMPARE(demo::percentDecode(raw), bytes);
}

void tst_DemoSite::rawQueryValue_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("number") << QByteArray("/SSjkzcnum.asp?keyword=8620") << QByteArray("8620");
    QTest::newRow("encoded ampersand kept raw")
        << QByteArray("/SSjkzctel.asp?keyword=%C0%EE%26%CD%F5") << QByteArray("%C0%EE%26%CD%F5");
    QTest::newRow("literal ampersand ends it")
        << QByteArray("/SSjkzctel.asp?keyword=a&b") << QByteArray("a");
    QTest::newRow("among others") << QByteArray("/x.asp?from=1&keyword=%D5%C5&page=2")
                                  << QByteArray("%D5%C5");
    QTest::newRow("name in capitals") << QByteArray("/x.asp?KEYWORD=abc") << QByteArray("abc");
    QTest::newRow("longer name") << QByteArray("/x.asp?keywords=abc") << QByteArray();
    QTest::newRow("name inside a value") << QByteArray("/x.asp?q=keyword=abc") << QByteArray();
    QTest::newRow("equals in value") << QByteArray("/x.asp?keyword=a=b") << QByteArray("a=b");
    QTest::newRow("first of two") << QByteArray("/x.asp?keyword=1&keyword=2") << QByteArray("1");
    QTest::newRow("no equals") << QByteArray("/x.asp?keyword") << QByteArray();
    QTest::newRow("empty value") << QByteArray("/x.asp?keyword=") << QByteArray();
    QTest::newRow("no query") << QByteArray("/x.asp") << QByteArray();
    QTest::newRow("plus and blank") << QByteArray("/x.asp?keyword=a+%20b") << QByteArray("a+%20b");
}

void tst_DemoSite::rawQueryValue()
{
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, value);
    QCOMPARE(demo::rawQueryValue(target, "keyword"), value);
}

void tst_DemoSite::searchKeyword_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QString>("keyword");

    QTest::newRow("chinese") << QByteArray("/SSjkzctel.asp?keyword=%D5%C5") << u"张"_s;
    QTest::newRow("ampersand") << QByteArray("/SSjkzctel.asp?keyword=%C0%EE%26%CD%F5%C2%C9%CA%A6")
                               << u"李&王律师"_s;
    QTest::newRow("hash blank percent")
        << QByteArray("/SSjkzctel.asp?keyword=5%23%C2%A5%20100%25") << u"5#楼 100%"_s;
    QTest::newRow("plus kept") << QByteArray("/SSjkzctel.asp?keyword=A+%D1%DB") << u"A+眼"_s;
    QTest::newRow("malformed escape") << QByteArray("/SSjkzctel.asp?keyword=%G1") << u"%G1"_s;
    QTest::newRow("trailing percent") << QByteArray("/SSjkzctel.asp?keyword=%D5%C5%") << u"张%"_s;
    QTest::newRow("one blank") << QByteArray("/SSjkzcnum.asp?keyword=%20") << u" "_s;
    QTest::newRow("plain number") << QByteArray("/SSjkzcnum.asp?keyword=0571-8620")
                                  << u"0571-8620"_s;
    QTest::newRow("missing") << QByteArray("/SSjkzcnum.asp") << QString();
}

void tst_DemoSite::searchKeyword()
{
    QFETCH(QByteArray, target);
    QFETCH(QString, keyword);
    QCOMPARE(demo::searchKeyword(target), keyword);
}

void tst_DemoSite::encodeKeyword_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("chinese") << u"张"_s << QByteArray("%D5%C5");
    QTest::newRow("ampersand") << u"李&王"_s << QByteArray("%C0%EE%26%CD%F5");
    QTest::newRow("hash blank percent") << u"5#楼 100%"_s << QByteArray("5%23%C2%A5%20100%25");
    QTest::newRow("plus") << u"A+"_s << QByteArray("A%2B");
    QTest::newRow("unreserved") << u"Az09-._~"_s << QByteArray("Az09-._~");
    QTest::newRow("reserved") << u"/?=:"_s << QByteArray("%2F%3F%3D%3A");
}

void tst_DemoSite::encodeKeyword()
{
    QFETCH(QString, keyword);
    QFETCH(QByteArray, encoded);
    QCOMPARE(demo::encodeKeyword(keyword), encoded);
    // What the site sends out in its links it reads back unchanged.
    QCOMPARE(demo::searchKeyword(QByteArray("/SSjkzctel.asp?keyword=" + encoded)), keyword);
}

void tst_DemoSite::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("names");

    const QByteArray header = "name\tnumber\taddress\tcategory\n";
    QTest::newRow("two entries") << header + "张三\t0571-86201234\t青石路 1 号\t住宅\n"
                                             "华茂公司\t0571-86209999\t文昌路 2 号\t企业\n"
                                 << true << QString() << QStringList{u"张三"_s, u"华茂公司"_s};
    QTest::newRow("crlf, blank lines, no last line end")
        << QByteArray("name\tnumber\taddress\tcategory\r\n\r\n"
                      "张三\t0571-86201234\t青石路 1 号\t住宅\r\n\n"
                      "李四\t0571-86205678\t\t")
        << true << QString() << QStringList{u"张三"_s, u"李四"_s};
    QTest::newRow("header only") << header << true << QString() << QStringList();
    QTest::newRow("empty text") << QByteArray() << false << u"line 1: the header line is missing"_s
                                << QStringList();
    QTest::newRow("wrong header") << QByteArray("名称\t号码\t地址\t类别\n") << false
                                  << u"line 1: the header must be \"name, number, address, "
                                     u"category\" separated by tabs"_s
                                  << QStringList();
    QTest::newRow("three columns")
        << header + "张三\t0571-86201234\t住宅\n"
        << false << u"line 2: expected 4 tab-separated columns, found 3"_s << QStringList();
    QTest::newRow("five columns") << header + "\n张三\t0571-86201234\t青石路\t住宅\t多余\n"
                                  << false << u"line 3: expected 4 tab-separated columns, found 5"_s
                                  << QStringList();
    QTest::newRow("no number") << header + "张三\t \t青石路\t住宅\n"
                               << false << u"line 2: an entry needs a name and a number"_s
                               << QStringList();
}

void tst_DemoSite::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    QFETCH(QStringList, names);

    Directory directory = fixture();
    QString message;
    QCOMPARE(directory.parse(text, &message), ok);
    QCOMPARE(message, error);
    // A failed parse keeps what was there.
    QCOMPARE(::names(directory.entries()), ok ? names : ::names(fixture().entries()));
}

void tst_DemoSite::builtInDirectory()
{
    Directory directory;
    QString error;
    QVERIFY2(directory.load(demo::builtInDirectory.toString(), &error), qPrintable(error));
    QVERIFY(directory.entries().size() >= 300);

    // The compiled-in copy is the committed file.
    Directory committed;
    QVERIFY2(committed.load(
                 qEnvironmentVariable("DIALVANE_SOURCE_DIR") + u"/demo/data/directory.tsv", &error),
             qPrintable(error));
    QCOMPARE(committed.entries(), directory.entries());

    static const QRegularExpression format(u"^0571-8\\d{7}$"_s);
    QSet<QString> numbers;
    for (const Entry &entry : directory.entries()) {
        QVERIFY2(format.match(entry.number).hasMatch(), qPrintable(entry.number));
        QVERIFY2(!numbers.contains(entry.number), qPrintable(entry.number));
        numbers.insert(entry.number);
        // Every entry survives the trip to the site's code page.
        const QString line = entry.name + entry.address + entry.category;
        QCOMPARE(platform::fromAnsi(platform::toAnsi(line)), line);
    }
    QCOMPARE(names(directory.findByName(u"李&王")), QStringList{u"李&王律师事务所"_s});
    QCOMPARE(names(directory.findByName(u"5#楼 100%")), QStringList{u"5#楼 100%便利店"_s});
    QCOMPARE(names(directory.findByName(u"A+")), QStringList{u"A+眼镜店"_s});
    QVERIFY(directory.findByName(u"张").size() >= 5);
}

void tst_DemoSite::findByNumber_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("whole local number") << u"86201234"_s << QStringList{u"张三"_s};
    QTest::newRow("part, two entries") << u"8620"_s << QStringList{u"张三"_s, u"张三丰"_s};
    QTest::newRow("across the dash") << u"718620"_s << QStringList{u"张三"_s, u"张三丰"_s};
    QTest::newRow("across a blank") << u"86205678"_s << QStringList{u"张三丰"_s};
    QTest::newRow("keyword with dashes") << u"0571-8620-1234"_s << QStringList{u"张三"_s};
    QTest::newRow("keyword with blanks") << u" 8620 56 78 "_s << QStringList{u"张三丰"_s};
    QTest::newRow("common tail") << u"1234"_s << QStringList{u"张三"_s, u"王五"_s, u"赵六"_s};
    QTest::newRow("no such number") << u"99999"_s << QStringList();
    QTest::newRow("only a dash") << u"-"_s << QStringList();
    QTest::newRow("one blank") << u" "_s << QStringList();
    QTest::newRow("empty") << QString() << QStringList();
}

void tst_DemoSite::findByNumber()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, names);
    QCOMPARE(::names(fixture().findByNumber(keyword)), names);
}

void tst_DemoSite::findByName_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("surname") << u"张"_s << QStringList{u"张三"_s, u"张三丰"_s};
    QTest::newRow("given name") << u"三丰"_s << QStringList{u"张三丰"_s};
    QTest::newRow("trimmed") << u" 张三 "_s << QStringList{u"张三"_s, u"张三丰"_s};
    QTest::newRow("address") << u"青石路"_s << QStringList{u"张三"_s, u"王五"_s};
    QTest::newRow("name or address") << u"王"_s << QStringList{u"王五"_s, u"李&王律师事务所"_s};
    QTest::newRow("ampersand") << u"李&王"_s << QStringList{u"李&王律师事务所"_s};
    QTest::newRow("plus, either case") << u"a+"_s << QStringList{u"A+眼镜店"_s};
    QTest::newRow("hash blank percent") << u"5#楼 100%"_s << QStringList{u"5#楼 100%便利店"_s};
    QTest::newRow("not there") << u"华茂"_s << QStringList();
    QTest::newRow("blanks only") << u"  "_s << QStringList();
    QTest::newRow("empty") << QString() << QStringList();
}

void tst_DemoSite::findByName()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, names);
    QCOMPARE(::names(fixture().findByName(keyword)), names);
}

void tst_DemoSite::searchPageSection_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("matchCount");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<int>("rows");

    QTest::newRow("one match") << int(SearchKind::Number) << u"86201234"_s << 1
                               << u"<p><b>查询“86201234”的结果：共 1 条</b></p>"_s << 1;
    QTest::newRow("some matches") << int(SearchKind::Name) << u"张"_s << 7
                                  << u"<p><b>查询“张”的结果：共 7 条</b></p>"_s << 7;
    QTest::newRow("more than listed") << int(SearchKind::Name) << u"公司"_s << 250
                                      << u"<p><b>查询“公司”的结果：共 250 条</b></p>"_s << 200;
    QTest::newRow("no match") << int(SearchKind::Number) << u"99999"_s << 0
                              << u"<p><b>没有找到与“99999”相符的电话资料。</b></p>"_s << 0;
    QTest::newRow("empty keyword") << int(SearchKind::Name) << QString() << 0
                                   << u"<p><b>没有找到与“”相符的电话资料。</b></p>"_s << 0;
}

void tst_DemoSite::searchPageSection()
{
    QFETCH(int, kind);
    QFETCH(QString, keyword);
    QFETCH(int, matchCount);
    QFETCH(QString, heading);
    QFETCH(int, rows);

    QList<Entry> matches;
    for (int i = 0; i < matchCount; ++i)
        matches.append({u"名称%1"_s.arg(i), u"0571-8620%1"_s.arg(i, 4, 10, QChar(u'0')),
                        u"地址%1"_s.arg(i), u"企业"_s});
    const QString page = searchPage(SearchKind(kind), keyword, matches);

    QCOMPARE(page.count(beginMarker), 1);
    QCOMPARE(page.count(endMarker), 1);
    const qsizetype begin = page.indexOf(beginMarker);
    const qsizetype end = page.indexOf(endMarker);
    QVERIFY2(end - begin >= 1500, qPrintable(QString::number(end - begin)));

    // The client sees the whole section, and the page frame stays outside it.
    const QString section = clientSection(page);
    QCOMPARE(section, page.mid(begin, end - begin));
    QVERIFY(section.contains(heading));
    QVERIFY(section.contains(u"<p><b>查询说明</b></p>"));
    QVERIFY(!section.contains(u"<form"));
    QVERIFY(!section.contains(u"版权所有"));
    QVERIFY(page.indexOf(u"<form") < begin);
    QVERIFY(page.indexOf(u"版权所有") > end);

    // One table row per listed entry, in order, after the table's own header row.
    const qsizetype listed = section.count(u"<td>名称");
    QCOMPARE(listed, qsizetype(rows));
    for (int i = 0; i < rows; ++i) {
        const QString row =
            u"<td>名称%1</td><td>0571-8620%2</td><td>地址%1</td><td>企业</td>"_s.arg(i).arg(
                i, 4, 10, QChar(u'0'));
        QVERIFY2(section.contains(row), qPrintable(row));
    }
    QCOMPARE(section.contains(u"<td><b>电话号码</b></td>"), rows > 0);
    QCOMPARE(section.contains(u"以下只列出前 200 条"), matchCount > rows);
}

void tst_DemoSite::searchPageEscapes_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("rawCount"); // how often the keyword occurs unescaped: as the marker

    QTest::newRow("markup") << u"<b>\"x\"&</b>"_s << u"&lt;b&gt;&quot;x&quot;&amp;&lt;/b&gt;"_s
                            << 0;
    QTest::newRow("end marker") << u"<!-- Marlowen end -->"_s << u"&lt;!-- Marlowen end --&gt;"_s
                                << 1;
    QTest::newRow("begin marker") << u"<!-- Marlowen begin -->"_s
                                  << u"&lt;!-- Marlowen begin --&gt;"_s << 1;
}

void tst_DemoSite::searchPageEscapes()
{
    QFETCH(QString, keyword);
    QFETCH(QString, shown);
    QFETCH(int, rawCount);

    const QList<Entry> one{{u"李&王律师事务所"_s, u"0571-87062202"_s, u"<青石路>"_s, u"律师"_s}};
    for (const QList<Entry> &matches : {QList<Entry>(), one}) {
        const QString page = searchPage(SearchKind::Name, keyword, matches);
        QCOMPARE(page.count(keyword), qsizetype(rawCount));
        QCOMPARE(page.count(beginMarker), 1);
        QCOMPARE(page.count(endMarker), 1);
        const QString section = clientSection(page);
        QVERIFY(section.contains(u"“" % shown % u"”"));
        // The keyword is also put back into the search box, as an attribute value.
        QVERIFY(page.contains(u"value=\"" % shown % u"\""));
        if (!matches.isEmpty())
            QVERIFY(section.contains(
                u"<td>李&amp;王律师事务所</td><td>0571-87062202</td><td>&lt;青石路&gt;</td>"));
    }
}

void tst_DemoSite::answer_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");

    // Routing in-process; the end-to-end suite fetches the forms and the special-character
    // searches over HTTP.
    QTest::newRow("number") << QByteArray("GET") << QByteArray("/SSjkzcnum.asp?keyword=86201234")
                            << 200 << u"<td>张三</td><td>0571-86201234</td>"_s;
    QTest::newRow("number, path in other case")
        << QByteArray("GET") << QByteArray("/ssjkzcNUM.ASP?keyword=87062202") << 200
        << u"<td>李&amp;王律师事务所</td>"_s;
    QTest::newRow("name in gbk") << QByteArray("GET") << QByteArray("/SSjkzctel.asp?keyword=%D5%C5")
                                 << 200 << u"<p><b>查询“张”的结果：共 2 条</b></p>"_s;
    QTest::newRow("name searched by number")
        << QByteArray("GET") << QByteArray("/SSjkzctel.asp?keyword=86201234") << 200
        << u"没有找到与“86201234”相符的电话资料"_s;
    QTest::newRow("apply sent") << QByteArray("POST") << QByteArray("/fbxx.html") << 200
                                << u"<h3>申请已提交</h3>"_s;
    QTest::newRow("home") << QByteArray("GET") << QByteArray("/") << 200
                          << u"<h3>欢迎使用 Marlowen 电话查询网</h3>"_s;
    QTest::newRow("unknown page") << QByteArray("GET") << QByteArray("/SSjkzc.asp?keyword=1") << 404
                                  << u"<p>本站没有“/SSjkzc.asp”这个网页。</p>"_s;
    QTest::newRow("unknown page in gbk")
        << QByteArray("GET") << QByteArray("/%D5%C5%3Cb%3E.html") << 404
        << u"<p>本站没有“/张&lt;b&gt;.html”这个网页。</p>"_s;
    QTest::newRow("search posted")
        << QByteArray("POST") << QByteArray("/SSjkzcnum.asp?keyword=8620") << 404
        << u"<h2>404 找不到网页</h2>"_s;
}

void tst_DemoSite::answer()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, target);
    QFETCH(int, status);
    QFETCH(QString, expected);

    const Reply reply = demo::answer(fixture(), method, target);
    QCOMPARE(reply.status, status);
    QVERIFY(reply.body.startsWith("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n"
                                  "<meta charset=\"gbk\">\n"));
    // The body is GBK: it decodes without loss and holds no UTF-8 form of the text.
    const QString text = platform::fromAnsi(reply.body);
    QCOMPARE(platform::toAnsi(text), reply.body);
    QVERIFY2(text.contains(expected), qPrintable(expected));
    QVERIFY(reply.body.contains(platform::toAnsi(expected)));
    QVERIFY(!reply.body.contains(expected.toUtf8()));
}

QTEST_GUILESS_MAIN(tst_DemoSite)
#include "tst_demosite.moc"
