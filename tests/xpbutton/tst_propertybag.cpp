#include "xpbutton/buttonpicture.h"
#include "xpbutton/propertybag.h"

#include <QFont>
#include <QTest>

using namespace xpbutton;

class tst_PropertyBag : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keysIgnoreCase();
    void writeDefaults_data();
    void writeDefaults();
    void jsonRoundTrip();
    void jsonForm();
    void badJson_data();
    void badJson();
    void storedFormsReadBackTheSame_data();
    void storedFormsReadBackTheSame();
};

void tst_PropertyBag::keysIgnoreCase()
{
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("查看"));
    bag.write(QStringLiteral("cBHover"), 5);
    bag.write(QStringLiteral("Mode"), 0);
    QCOMPARE(bag.read(u"CAPTION").toString(), QStringLiteral("查看"));
    QCOMPARE(bag.read(u"cbhover").toInt(), 5);
    QVERIFY(!bag.contains(u"Captions"));
    QCOMPARE(bag.read(u"Missing", 42).toInt(), 42);
    // Writing under another spelling replaces the value in place, keeping the order.
    bag.write(QStringLiteral("cBhover"), 7);
    QCOMPARE(bag.keys(), (QStringList{QStringLiteral("Caption"), QStringLiteral("cBhover"),
                                      QStringLiteral("Mode")}));
    QCOMPARE(bag.read(u"CBHOVER").toInt(), 7);
    bag.remove(u"caption");
    QCOMPARE(bag.size(), 2);
}

void tst_PropertyBag::writeDefaults_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("writeDefault");
    QTest::addColumn<bool>("kept");
    QTest::newRow("equal integer") << QVariant(2) << QVariant(2) << false;
    QTest::newRow("other integer") << QVariant(0) << QVariant(2) << true;
    QTest::newRow("integer types mix")
        << QVariant(qint64(0x8000000F)) << QVariant(0x8000000Fu) << false;
    QTest::newRow("always written") << QVariant(0) << QVariant() << true;
    QTest::newRow("empty text") << QVariant(QString()) << QVariant(QString()) << false;
    QTest::newRow("true default") << QVariant(true) << QVariant(true) << false;
    QTest::newRow("false against true") << QVariant(false) << QVariant(true) << true;
    QTest::newRow("no picture") << QVariant::fromValue(ButtonPicture())
                                << QVariant::fromValue(ButtonPicture()) << false;
}

void tst_PropertyBag::writeDefaults()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, writeDefault);
    PropertyBag bag;
    bag.write(QStringLiteral("Key"), QStringLiteral("old"));
    bag.write(QStringLiteral("Key"), value, writeDefault);
    QTEST(bag.contains(u"key"), "kept");
}

void tst_PropertyBag::jsonRoundTrip()
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(qRgba(10, 20, 30, 255));
    image.setPixel(1, 1, qRgba(255, 0, 255, 255));
    QFont font(QString::fromUtf8("宋体"));
    font.setPointSize(9);
    font.setBold(true);

    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("查看 & \"quotes\""));
    bag.write(QStringLiteral("Font"), QVariant::fromValue(font));
    bag.write(QStringLiteral("cBack"), qint64(0x8000000F));
    bag.write(QStringLiteral("Value"), false);
    bag.write(QStringLiteral("Image"), QVariant::fromValue(ButtonPicture(image)));
    bag.write(QStringLiteral("mIcon"),
              QVariant::fromValue(ButtonPicture(image, ButtonPicture::Kind::Cursor, QPoint(2, 1))));

    QString error;
    const std::optional<PropertyBag> back = PropertyBag::fromJson(bag.toJson(), &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(back->keys(), bag.keys());
    QCOMPARE(back->read(u"Caption").toString(), QStringLiteral("查看 & \"quotes\""));
    const QFont f = back->read(u"Font").value<QFont>();
    QCOMPARE(f.family(), QString::fromUtf8("宋体"));
    QCOMPARE(f.pointSize(), 9);
    QVERIFY(f.bold());
    QVERIFY(!f.italic());
    QCOMPARE(back->read(u"cBack").toLongLong(), qint64(0x8000000F));
    QCOMPARE(back->read(u"Value").metaType().id(), QMetaType::Bool);
    QVERIFY(!back->read(u"Value").toBool());
    const ButtonPicture picture = back->read(u"Image").value<ButtonPicture>();
    QCOMPARE(picture.kind(), ButtonPicture::Kind::Bitmap);
    QCOMPARE(picture.image().convertToFormat(QImage::Format_ARGB32), image);
    const ButtonPicture cursor = back->read(u"mIcon").value<ButtonPicture>();
    QCOMPARE(cursor.kind(), ButtonPicture::Kind::Cursor);
    QCOMPARE(cursor.hotSpot(), QPoint(2, 1));
}

void tst_PropertyBag::jsonForm()
{
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("OK"));
    bag.write(QStringLiteral("cBack"), qint64(0x8000000F));
    bag.write(QStringLiteral("Value"), false);
    QCOMPARE(bag.toJson(QJsonDocument::Compact),
             QByteArray(R"({"properties":[{"name":"Caption","value":"OK"},)"
                        R"({"name":"cBack","value":2147483663},)"
                        R"({"name":"Value","value":false}]})"));
}

void tst_PropertyBag::badJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("not json") << QByteArray("{\"properties\": [");
    QTest::newRow("no list") << QByteArray("{\"props\": []}");
    QTest::newRow("entry without name") << QByteArray(R"({"properties":[{"value":1}]})");
    QTest::newRow("entry without value") << QByteArray(R"({"properties":[{"name":"a"}]})");
    QTest::newRow("array value") << QByteArray(R"({"properties":[{"name":"a","value":[1]}]})");
    QTest::newRow("broken picture")
        << QByteArray(R"({"properties":[{"name":"Image","value":{"picture":{"png":"QUJD"}}}]})");
}

void tst_PropertyBag::badJson()
{
    QFETCH(QByteArray, json);
    QString error;
    QVERIFY(!PropertyBag::fromJson(json, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!PropertyBag::fromJson(json)); // no error text wanted
}

void tst_PropertyBag::storedFormsReadBackTheSame_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("fontName");
    QTest::addColumn<QPoint>("hotSpot");
    const QByteArray png = "\"iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAE"
                           "hQGAhKmMIQAAAABJRU5ErkJggg==\"";
    // A font name is one family, even with a comma in it.
    QTest::newRow("font name with a comma")
        << QByteArray(
               R"({"properties":[{"name":"Font","value":{"font":{"name":"宋体,Serif","size":9}}}]})")
        << QString::fromUtf8("宋体,Serif") << QPoint();
    // Only cursors have hot spots; one stored with a bitmap is not read.
    QTest::newRow("hot spot of a bitmap")
        << QByteArray(R"({"properties":[{"name":"mIcon","value":{"picture":{"png":)" + png +
                      R"(,"hotSpot":[6,0]}}}]})")
        << QString() << QPoint();
    QTest::newRow("hot spot of a cursor")
        << QByteArray(
               R"({"properties":[{"name":"mIcon","value":{"picture":{"kind":"cursor","png":)" +
               png + R"(,"hotSpot":[6,0]}}}]})")
        << QString() << QPoint(6, 0);
}

void tst_PropertyBag::storedFormsReadBackTheSame()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, fontName);
    QFETCH(QPoint, hotSpot);
    QString error;
    const std::optional<PropertyBag> bag = PropertyBag::fromJson(json, &error);
    QVERIFY2(bag, qPrintable(error));
    const QVariant value = bag->read(bag->keys().first());
    if (!fontName.isEmpty())
        QCOMPARE(value.value<QFont>().family(), fontName);
    else
        QCOMPARE(value.value<ButtonPicture>().hotSpot(), hotSpot);
    const std::optional<PropertyBag> again = PropertyBag::fromJson(bag->toJson());
    QVERIFY(again);
    QVERIFY(*again == *bag);
    QCOMPARE(again->toJson(), bag->toJson());
}

QTEST_MAIN(tst_PropertyBag)
#include "tst_propertybag.moc"
