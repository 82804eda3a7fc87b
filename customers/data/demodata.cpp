#include "demodata.h"

#include "columns.h"
#include "schema.h"
#include "sqlconnection.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVector>

#include <array>
#include <functional>

namespace kestrova {

namespace {

struct City
{
    const char16_t *name;
    const char16_t *province;
    const char16_t *areaCode;
    const char16_t *postalCode;
    const char16_t *region;
};

constexpr std::array kCities = {
    City{u"北京", u"北京", u"010", u"100020", u"华北"},
    City{u"上海", u"上海", u"021", u"200120", u"华东"},
    City{u"广州", u"广东", u"020", u"510620", u"华南"},
    City{u"深圳", u"广东", u"0755", u"518057", u"华南"},
    City{u"杭州", u"浙江", u"0571", u"310012", u"华东"},
    City{u"南京", u"江苏", u"025", u"210018", u"华东"},
    City{u"苏州", u"江苏", u"0512", u"215021", u"华东"},
    City{u"武汉", u"湖北", u"027", u"430071", u"华中"},
    City{u"长沙", u"湖南", u"0731", u"410005", u"华中"},
    City{u"成都", u"四川", u"028", u"610041", u"西南"},
    City{u"重庆", u"重庆", u"023", u"400010", u"西南"},
    City{u"西安", u"陕西", u"029", u"710065", u"西北"},
    City{u"天津", u"天津", u"022", u"300051", u"华北"},
    City{u"沈阳", u"辽宁", u"024", u"110013", u"东北"},
    City{u"青岛", u"山东", u"0532", u"266071", u"华东"},
    City{u"厦门", u"福建", u"0592", u"361004", u"华东"},
};

struct Brand
{
    const char16_t *name;
    const char *pinyin;
};

constexpr std::array kBrands = {
    Brand{u"华信", "huaxin"},     Brand{u"宏达", "hongda"},     Brand{u"鑫源", "xinyuan"},
    Brand{u"恒通", "hengtong"},   Brand{u"东方", "dongfang"},   Brand{u"金桥", "jinqiao"},
    Brand{u"远大", "yuanda"},     Brand{u"新华", "xinhua"},     Brand{u"天成", "tiancheng"},
    Brand{u"中盛", "zhongsheng"}, Brand{u"瑞丰", "ruifeng"},    Brand{u"同创", "tongchuang"},
    Brand{u"博远", "boyuan"},     Brand{u"嘉禾", "jiahe"},      Brand{u"华泰", "huatai"},
    Brand{u"海纳", "haina"},      Brand{u"长城", "changcheng"}, Brand{u"永兴", "yongxing"},
    Brand{u"盛世", "shengshi"},   Brand{u"万象", "wanxiang"},
};

struct Industry
{
    const char16_t *name;    // the dialog's choice
    const char16_t *trade;   // as it appears in a company name
    const char16_t *product; // for the survey text
    const char *domain;
};

constexpr std::array kIndustries = {
    Industry{u"出版", u"文化传媒", u"图书与期刊", "media"},
    Industry{u"电子", u"电子科技", u"电子元器件", "tech"},
    Industry{u"广告", u"广告", u"广告策划与制作", "ad"},
    Industry{u"化工", u"化工", u"精细化工原料", "chem"},
    Industry{u"机械", u"机械制造", u"数控机床与配件", "mach"},
    Industry{u"教育", u"教育咨询", u"职业培训", "edu"},
    Industry{u"能源", u"新能源", u"光伏组件", "energy"},
    Industry{u"计算机", u"信息技术", u"软件开发与系统集成", "it"},
    Industry{u"其它", u"商贸", u"日用百货批发", "trade"},
};

constexpr std::array kSurnames = {u"王", u"李", u"张", u"刘", u"陈", u"杨", u"黄",
                                  u"赵", u"吴", u"周", u"徐", u"孙", u"马", u"朱",
                                  u"胡", u"郭", u"何", u"高", u"林", u"罗"};
constexpr std::array kGivenNames = {u"伟",   u"芳",   u"娜",   u"敏",   u"静",   u"丽",
                                    u"强",   u"磊",   u"军",   u"洋",   u"勇",   u"艳",
                                    u"杰",   u"娟",   u"涛",   u"明",   u"超",   u"秀英",
                                    u"建华", u"志强", u"海燕", u"晓东", u"国庆", u"丽华"};
constexpr std::array kStaff = {u"王明", u"李娜", u"张伟", u"陈静", u"刘洋", u"赵磊"};
constexpr std::array kProperties = {u"丢失的客户", u"老客户", u"潜在客户", u"新客户", u"新经销商"};
constexpr std::array kKinds = {u"国有企业", u"集体企业", u"私营企业", u"研究机构", u"政府机关"};
constexpr std::array kSources = {u"展会", u"朋友介绍", u"广告"};
constexpr std::array kCredits = {u"A", u"B", u"C"};
constexpr std::array kImportance = {u"不重要", u"普通", u"重要", u"很重要"};
constexpr std::array kBanks = {u"中国工商银行", u"中国建设银行", u"中国银行",
                               u"中国农业银行", u"招商银行",     u"交通银行"};
constexpr std::array kRoads = {u"人民路", u"解放路", u"中山路", u"建设路", u"和平路",
                               u"长江路", u"延安路", u"科技路", u"文三路", u"滨江大道"};
constexpr std::array kRemarks = {
    u"", u"", u"", u"需定期回访", u"年底前确认续约", u"联系人已更换，注意核对"};
constexpr std::array kPlanItems = {u"电话回访",     u"上门拜访", u"产品演示", u"签订合同",
                                   u"催收货款",     u"寄送样品", u"报价跟进", u"售后服务",
                                   u"续签年度合同", u"技术交流"};
constexpr std::array kProjects = {u"电话沟通需求，确认下一步安排", u"携带样品上门演示",
                                  u"准备报价单并发送给对方采购",   u"与技术部一同拜访，解答疑问",
                                  u"核对往来账目，协商付款时间",   u"整理合同条款，报领导审批"};

class Dice
{
public:
    explicit Dice(quint32 seed)
        : m_random(seed)
    {}

    int below(int n) { return static_cast<int>(m_random.bounded(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    template<typename Array> QString pick(const Array &array)
    {
        return QString::fromUtf16(array[below(int(array.size()))]);
    }
    QString digits(int count)
    {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QChar(u'0' + below(10));
        return text;
    }

private:
    QRandomGenerator m_random;
};

QString iso(QDate date)
{
    return date.toString(Qt::ISODate);
}

QString personName(Dice &dice)
{
    return dice.pick(kSurnames) + dice.pick(kGivenNames);
}

QVariantList clientRow(Dice &dice, QDate today)
{
    const City &city = kCities[dice.below(int(kCities.size()))];
    const Brand &brand = kBrands[dice.below(int(kBrands.size()))];
    const Industry &industry = kIndustries[dice.below(int(kIndustries.size()))];
    const QString cityName = QString::fromUtf16(city.name);
    const QString area = QString::fromUtf16(city.areaCode);
    const int localDigits = area.size() == 3 ? 8 : 7;
    const QString domain = QString::fromLatin1(brand.pinyin) +
                           QString::fromLatin1(industry.domain) + QStringLiteral(".com.cn");
    const auto localNumber = [&] {
        return QString(area + u'-' + QString::number(dice.between(5, 8)) +
                       dice.digits(localDigits - 1));
    };
    QVariantList row;
    row << QString(cityName + QString::fromUtf16(brand.name) + QString::fromUtf16(industry.trade) +
                   QStringLiteral("有限公司"))
        << personName(dice) << dice.pick(kProperties) << dice.pick(kKinds) << dice.pick(kSources)
        << localNumber() << localNumber() << QString(QStringLiteral("sales@") + domain)
        << QString(QStringLiteral("www.") + domain) << QString::fromUtf16(industry.name)
        << dice.pick(kCredits)
        << QString(dice.pick(kBanks) + cityName +
                   (dice.below(2) ? QStringLiteral("分行") : QStringLiteral("支行")))
        << QString(QStringLiteral("6222") + dice.digits(15))
        << QString(QStringLiteral("91") + dice.digits(6) + u'M' + QChar(u'A' + dice.below(26)) +
                   dice.digits(8))
        << dice.pick(kImportance) << QString::fromUtf16(city.region) << QStringLiteral("中国")
        << QString::fromUtf16(city.province) << cityName
        << QString(cityName + QStringLiteral("市") + dice.pick(kRoads) +
                   QString::number(dice.between(1, 999)) + QStringLiteral("号"))
        << QString::fromUtf16(city.postalCode)
        << QStringLiteral("主营%1，员工约%2人，%3年起与我公司合作。")
               .arg(QString::fromUtf16(industry.product))
               .arg(dice.between(2, 80) * 10)
               .arg(today.year() - dice.between(0, 12))
        << dice.pick(kStaff) << iso(today.addDays(-dice.between(0, 1200))) << dice.pick(kRemarks)
        << (dice.below(3) ? 1 : 0);
    return row;
}

QVariantList planRow(Dice &dice, QDate today, const QString &clientKey, const QString &clientName)
{
    const QDate start = today.addDays(dice.between(-20, 20));
    const QDate finish = start.addDays(dice.between(0, 14));
    const QDate remindStart = today.addDays(dice.between(-7, 7));
    const QDate remindEnd = remindStart.addDays(dice.between(0, 5));
    const bool done = finish < today && dice.below(3) != 0;
    static constexpr std::array audits = {u"已审核", u"未审核", u"False"};
    QVariantList row;
    row << QString(dice.pick(kPlanItems) +
                   (clientName.isEmpty() ? QString() : QString(u'：' + clientName)))
        << clientKey << iso(start) << iso(finish)
        << (dice.below(4) ? QStringLiteral("是") : QStringLiteral("否")) << iso(remindStart)
        << iso(remindEnd) << dice.pick(kStaff) << dice.pick(kProjects)
        << (done ? QStringLiteral("完成") : QStringLiteral("未完成")) << dice.pick(kImportance)
        << dice.pick(kStaff) << iso(today.addDays(-dice.between(0, 30))) << dice.pick(kRemarks)
        << dice.pick(audits);
    return row;
}

bool insertRows(QSqlDatabase &database, const QString &table, const QStringList &captions,
                int count, const std::function<QVariantList()> &row, QString *error)
{
    QStringList names;
    for (int c = 1; c < captions.size(); ++c)
        names.append(quoteIdentifier(captions[c]));
    QSqlQuery query(database);
    const QString marks = QStringList(names.size(), QStringLiteral("?")).join(u", ");
    if (!query.prepare(u"INSERT INTO " + quoteIdentifier(table) + u" (" + names.join(u", ") +
                       u") VALUES (" + marks + u')')) {
        *error = query.lastError().text();
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const QVariantList values = row();
        for (int c = 0; c < values.size(); ++c)
            query.bindValue(c, values[c]);
        if (!query.exec()) {
            *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace

bool seedDemoData(const QString &path, const DemoOptions &options, QString *error, int *added)
{
    if (added)
        *added = 0;
    QString ignored;
    QString &why = error ? *error : ignored;
    if (!createDatabaseFile(path, &why))
        return false;
    SqlConnection connection(path);
    if (!connection.isOpen()) {
        why = connection.errorText();
        return false;
    }
    QSqlDatabase database = connection.database();
    Dice dice(options.seed);
    if (options.onlyIntoEmptyTables) {
        QSqlQuery query(database);
        if (!query.exec(u"SELECT (SELECT count(*) FROM " +
                        quoteIdentifier(QString::fromUtf16(kClientTable)) +
                        u") + (SELECT count(*) FROM " +
                        quoteIdentifier(QString::fromUtf16(kPlanTable)) + u')') ||
            !query.next()) {
            why = query.lastError().text();
            return false;
        }
        if (query.value(0).toLongLong() > 0)
            return true;
    }
    if (!database.transaction()) {
        why = database.lastError().text();
        return false;
    }
    bool ok = insertRows(
        database, QString::fromUtf16(kClientTable), clientCaptions(), options.clients,
        [&] { return clientRow(dice, options.today); }, &why);
    QVector<qint64> keys;
    QStringList names;
    if (ok) {
        QSqlQuery query(database);
        query.setForwardOnly(true);
        ok = query.exec(u"SELECT \"编号\", \"客户名称\" FROM " +
                        quoteIdentifier(QString::fromUtf16(kClientTable)) +
                        u" ORDER BY \"编号\" DESC LIMIT 5000");
        while (ok && query.next()) {
            keys.append(query.value(0).toLongLong());
            names.append(query.value(1).toString());
        }
        if (!ok)
            why = query.lastError().text();
    }
    if (ok) {
        ok = insertRows(
            database, QString::fromUtf16(kPlanTable), planCaptions(), options.plans,
            [&] {
                if (keys.isEmpty())
                    return planRow(dice, options.today, QString(), QString());
                const int i = dice.below(int(keys.size()));
                return planRow(dice, options.today, QString::number(keys[i]), names[i]);
            },
            &why);
    }
    if (!ok) {
        database.rollback();
        return false;
    }
    if (!database.commit()) {
        why = database.lastError().text();
        return false;
    }
    if (added)
        *added = 1;
    return true;
}

} // namespace kestrova
