// Loads the Qt Designer plugin the way Designer does and checks what it offers.
#include <QHash>
#include <QPluginLoader>
#include <QTest>
#include <QWidget>
#include <QXmlStreamReader>
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
    void propertyHelp_data();
    void propertyHelp();

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

namespace {

// The tool tips Designer shows for the properties of the custom widget, by property name.
QHash<QString, QString> propertyToolTips(const QString &xml)
{
    QHash<QString, QString> tips;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"tooltip") {
            const QString name = reader.attributes().value(QStringLiteral("name")).toString();
            tips.insert(name, reader.readElementText());
        }
    }
    return reader.hasError() ? QHash<QString, QString>() : tips;
}

} // namespace

void tst_DesignerPlugin::propertyHelp_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("help");
    const char *const rows[][2] = {
        {"ButtonStyle", "Various operating system button styles"},
        {"Mode", "Command button, check box or option button mode"},
        {"value", "Applicable to only check box or option button modes: True or False"},
        {"caption", "The caption of the button. Double pipe (||) is a line break."},
        {"CaptionAlign", "Horizontal alignment of caption on the button."},
        {"CaptionStyle", "Flat, Embossed or Engraved effects"},
        {"ButtonShape", "Rectangular or various diagonal shapes"},
        {"Picture", "The image used to display on the button."},
        {"PictureAlign", "Alignment of the button image in relation to the caption and/or button."},
        {"Enabled", "Determines if events are fired for this button."},
        {"ShowFocusRect", "Allows or prevents a focus rectangle from being displayed. In design "
                          "mode, this may always be displayed for button set as Default."},
        {"PictureSize", "Size of button image. Last two options automatically center image."},
        {"MousePointer", "Various optional mouse pointers to use when mouse is over the button"},
        {"MouseIcon", "Icon or cursor used to display when mouse is over the button. "
                      "MousePointer must be set to Custom."},
        {"Font", "Font used to display the caption."},
        {"FontStyle", "Various font attributes that can be changed directly."},
        {"ForeColor", "The color of the caption's font ."},
        {"BackColor", "Button back color. See also ResetDefaultColors"},
        {"GradientColor",
         "Secondary color used for gradient shades. The BackColor property is the primary color."},
        {"GradientMode", "Various directions to draw the gradient shading."},
        {"ResetDefaultColors", "Resets button's back color and text color to Window's standard. "
                               "The hover properties are also reset."},
        {"HoverColorLocks",
         "Can ensure the hover colors match the caption and back colors. Click for more options."},
        {"HoverForeColor", "Color of button caption's text when mouse is hovering over it. "
                           "Affects the HoverLockColors property."},
        {"HoverBackColor", "Color of button background when mouse is hovering over it. Affects "
                           "the HoverLockColors property."},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
}

void tst_DesignerPlugin::propertyHelp()
{
    QFETCH(QString, property);
    QFETCH(QString, help);
    const QHash<QString, QString> tips = propertyToolTips(m_plugin->domXml());
    QCOMPARE(tips.size(), 24);
    QCOMPARE(tips.value(property), help);
    // The help belongs to a property the property browser lists.
    QWidget form;
    QWidget *widget = m_plugin->createWidget(&form);
    QVERIFY(widget->metaObject()->indexOfProperty(property.toLatin1().constData()) >= 0);
}

QTEST_MAIN(tst_DesignerPlugin)
#include "tst_designerplugin.moc"
