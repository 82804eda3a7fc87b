// Loads the Qt Designer plugin the way Designer does and checks what it offers.
#include <QPluginLoader>
#include <QTest>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

class tst_DesignerPlugin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void offersXPButton();
    void widgetIsInDesignMode();
    void formXml();

private:
    QPluginLoader m_loader{QStringLiteral(XPBUTTON_PLUGIN_FILE)};
    QDesignerCustomWidgetInterface *m_plugin = nullptr;
};

void tst_DesignerPlugin::initTestCase()
{
    QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
    QCOMPARE(m_loader.metaData().value(u"IID").toString(),
             QStringLiteral("org.qt-project.Qt.QDesignerCustomWidgetInterface"));
    m_plugin = qobject_cast<QDesignerCustomWidgetInterface *>(m_loader.instance());
    QVERIFY(m_plugin);
    // Designer initialises every plugin once, without a form editor when it has none to give.
    QVERIFY(!m_plugin->isInitialized());
    m_plugin->initialize(nullptr);
    QVERIFY(m_plugin->isInitialized());
}

void tst_DesignerPlugin::offersXPButton()
{
    QCOMPARE(m_plugin->name(), QStringLiteral("xpbutton::XPButton"));
    QCOMPARE(m_plugin->includeFile(), QStringLiteral("xpbutton/xpbutton.h"));
    QVERIFY(!m_plugin->isContainer());
    QVERIFY(!m_plugin->group().isEmpty());
    QVERIFY(!m_plugin->icon().isNull());
    QCOMPARE(m_plugin->icon().availableSizes().value(0), QSize(22, 22));
}

void tst_DesignerPlugin::widgetIsInDesignMode()
{
    QWidget form;
    QWidget *widget = m_plugin->createWidget(&form);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), &form);
    // The name Designer checks against the plugin's.
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), m_plugin->name());
    bool userMode = true;
    QVERIFY(QMetaObject::invokeMethod(widget, "userMode", Q_RETURN_ARG(bool, userMode)));
    QVERIFY(!userMode);
    // Properties are edited through the meta-object, as Designer's property editor does.
    QVERIFY(widget->setProperty("ButtonStyle", 2));
    QCOMPARE(widget->property("ButtonStyle").toInt(), 2);
    QVERIFY(widget->setProperty("ButtonStyle", 9));
    QCOMPARE(widget->property("ButtonStyle").toInt(), 2);
    QVERIFY(widget->setProperty("caption", QStringLiteral("查看")));
    QCOMPARE(widget->property("caption").toString(), QStringLiteral("查看"));
    QCOMPARE(widget->property("Mode").toInt(), 0);
    QVERIFY(widget->property("Default").isValid());
    QVERIFY(widget->property("Cancel").isValid());
}

void tst_DesignerPlugin::formXml()
{
    const QString xml = m_plugin->domXml();
    QVERIFY(xml.contains(u"displayname=\"XPButton\""));
    QVERIFY(xml.contains(u"<widget class=\"xpbutton::XPButton\""));
    QVERIFY(xml.contains(u"<width>75</width><height>25</height>"));
}

QTEST_MAIN(tst_DesignerPlugin)
#include "tst_designerplugin.moc"
