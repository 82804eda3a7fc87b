#include "pages.h"

#include "keyword.h"

namespace demo {

namespace {

const QString siteName = QStringLiteral("Marlowen 电话查询网");

const QString styleSheet = QStringLiteral(
    "body{margin:0;background:#eef3fa;font:12px/1.6 \"SimSun\",\"AR PL UMing CN\",serif;"
    "color:#333}\n"
    "a{color:#1a4f9c;text-decoration:none}a:hover{text-decoration:underline}\n"
    "#top{width:960px;margin:0 auto;height:64px;background:#1f5fbf;color:#fff}\n"
    "#top .logo{float:left;font:bold 26px/64px Arial,sans-serif;padding-left:18px}\n"
    "#top .logo span{font-size:18px;color:#ffe36e;padding-left:6px}\n"
    "#top .slogan{float:right;line-height:64px;padding-right:18px;color:#cfe3ff}\n"
    "#nav{width:960px;margin:0 auto;padding:0;list-style:none;height:30px;background:#184fa3}\n"
    "#nav li{float:left}#nav a{display:block;padding:0 18px;line-height:30px;color:#fff}\n"
    "#nav a:hover{background:#3f86e6;text-decoration:none}\n"
    "#search{width:936px;margin:0 auto;padding:10px 12px;background:#fff;"
    "border-bottom:1px solid #c9d8ee}\n"
    "#search form{display:inline;margin-right:30px}\n"
    "#wrap{width:960px;margin:0 auto;overflow:hidden;background:#fff}\n"
    "#side{float:left;width:200px;padding:10px;background:#f6f9fd;"
    "border-right:1px solid #dbe5f3}\n"
    "#side h4{margin:8px 0 4px;padding:2px 6px;background:#dde8f8;color:#184fa3}\n"
    "#side ul{margin:0;padding-left:18px}\n"
    "#main{float:left;width:715px;padding:10px 12px}\n"
    "#main .where{color:#888;border-bottom:1px dashed #ccc;margin-bottom:8px}\n"
    "#main form table td{padding:3px 6px}\n"
    "#foot{width:960px;margin:0 auto 12px;padding:10px 0;text-align:center;color:#666;"
    "background:#dde8f8;border-top:2px solid #1f5fbf}\n");

QString escaped(QStringView text)
{
    return text.toString().toHtmlEscaped();
}

QString searchUrl(SearchKind kind, QStringView keyword)
{
    const QString path = kind == SearchKind::Number ? QStringLiteral("/SSjkzcnum.asp")
                                                    : QStringLiteral("/SSjkzctel.asp");
    return path % u"?keyword=" % QString::fromLatin1(encodeKeyword(keyword));
}

QString searchForms(SearchKind kind, QStringView keyword)
{
    const QString byName = kind == SearchKind::Name ? escaped(keyword) : QString();
    const QString byNumber = kind == SearchKind::Number ? escaped(keyword) : QString();
    return u"<div id=\"search\">\n"
           u"<form action=\"/SSjkzctel.asp\" method=\"get\">按名称查询："
           u"<input type=\"text\" name=\"keyword\" size=\"24\" value=\"" %
           byName %
           u"\"> <input type=\"submit\" value=\"查名称\"></form>\n"
           u"<form action=\"/SSjkzcnum.asp\" method=\"get\">按号码查询："
           u"<input type=\"text\" name=\"keyword\" size=\"16\" value=\"" %
           byNumber %
           u"\"> <input type=\"submit\" value=\"查号码\"></form>\n"
           u"</div>\n";
}

QString sideColumn()
{
    static const char16_t *const popular[] = {u"人民政府", u"医院", u"派出所", u"街道",  u"华茂",
                                              u"面馆",     u"超市", u"律师",   u"青石路"};
    QString links;
    for (const char16_t *keyword : popular)
        links += u"<li><a href=\"" % searchUrl(SearchKind::Name, keyword) % u"\">" %
                 QStringView(keyword) % u"</a></li>\n";
    return u"<div id=\"side\">\n"
           u"<h4>常用电话</h4>\n<ul>\n"
           u"<li>匪警 110</li>\n<li>火警 119</li>\n<li>急救 120</li>\n<li>交通事故 122</li>\n"
           u"<li>查号台 114</li>\n<li>消费者投诉 12315</li>\n</ul>\n"
           u"<h4>热门查询</h4>\n<ul>\n" %
           links %
           u"</ul>\n"
           u"<h4>本站公告</h4>\n<ul>\n"
           u"<li>本站资料每月更新一次。</li>\n"
           u"<li>收录电话资料完全免费，凡以本站名义收费的均为冒充。</li>\n"
           u"</ul>\n</div>\n";
}

QString layout(const QString &title, SearchKind kind, QStringView keyword, const QString &where,
               const QString &main)
{
    return u"<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"gbk\">\n"
           u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\n<title>" %
           title % u"</title>\n<style>\n" % styleSheet %
           u"</style>\n</head>\n<body>\n"
           u"<div id=\"top\"><div class=\"logo\">Marlowen<span>电话查询网</span></div>"
           u"<div class=\"slogan\">查号码 · 查名称 · 本地电话资料尽在 Marlowen</div></div>\n"
           u"<ul id=\"nav\">\n"
           u"<li><a href=\"/\">首页</a></li>\n"
           u"<li><a href=\"/fbxx.html\">申请收录</a></li>\n"
           u"<li><a href=\"/dhcs.html\">申请改错和删除</a></li>\n"
           u"<li><a href=\"#foot\">联系我们</a></li>\n"
           u"</ul>\n" %
           searchForms(kind, keyword) % u"<div id=\"wrap\">\n" % sideColumn() %
           u"<div id=\"main\">\n<div class=\"where\">当前位置：<a href=\"/\">首页</a> &gt; " %
           where % u"</div>\n" % main %
           u"</div>\n</div>\n"
           u"<div id=\"foot\">\n"
           u"<a href=\"/\">首页</a> | <a href=\"/fbxx.html\">申请收录</a> | "
           u"<a href=\"/dhcs.html\">申请改错和删除</a><br>\n"
           u"客服电话：0571-86200000（工作日 8:30-17:30） 地址：澜州市明湖区文昌路 18 号<br>\n"
           u"Copyright &copy; 2003-2024 " %
           siteName %
           u" 版权所有\n"
           u"</div>\n</body>\n</html>\n";
}

// The standing block under every listing. Besides helping the reader it keeps the listing
// section longer than the lookup client's 1500-character skip distance, however few rows it has.
QString usageNotes()
{
    return QStringLiteral(
        "<div class=\"notes\">\n"
        "<p><b>查询说明</b></p>\n"
        "<ol>\n"
        "<li>号码查询：输入完整的电话号码或其中连续的几位数字，例如“86201234”或“8620”，"
        "可查出号码中含有这些数字的全部单位和个人。区号、横线和空格可以省略。</li>\n"
        "<li>名称查询：输入单位名称、店名、人名或地址中任意连续的文字，例如“华茂”或“青石路”，"
        "可查出名称或地址中含有这些文字的全部记录。</li>\n"
        "<li>关键字越详细，结果越准确。每次最多列出 200 条结果，超过时请增加关键字缩小范围。</li>\n"
        "<li>本站资料来自单位和个人的申请以及公开的电话簿，每月更新一次。如发现资料有误，"
        "请进入“申请改错和删除”页面告诉我们，核实后三个工作日内更正。</li>\n"
        "<li>单位和个人均可免费申请收录电话资料，请进入“申请收录”页面填写表格。"
        "住宅电话只在机主本人同意后收录，机主也可以随时申请删除。</li>\n"
        "<li>查询结果可以复制后粘贴到记事本、写字板或本站提供的小工具中保存和打印。</li>\n"
        "<li>本站不提供手机号码查询，也不公开任何单位和个人的证件号码等资料。</li>\n"
        "<li>如果长时间没有查询结果，请检查网络连接后重试，或拨打客服电话 0571-86200000"
        "（工作日 8:30-17:30）。</li>\n"
        "</ol>\n"
        "<p><b>常用公共服务电话</b></p>\n"
        "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
        "bordercolor=\"#9CB8E0\" style=\"border-collapse:collapse\">\n"
        "<tr bgcolor=\"#DDE8F8\"><td>匪警</td><td>110</td><td>火警</td><td>119</td>"
        "<td>急救中心</td><td>120</td></tr>\n"
        "<tr><td>交通事故</td><td>122</td><td>查号台</td><td>114</td>"
        "<td>天气预报</td><td>12121</td></tr>\n"
        "<tr bgcolor=\"#F3F7FC\"><td>消费者投诉</td><td>12315</td><td>市民热线</td>"
        "<td>12345</td><td>报时</td><td>12117</td></tr>\n"
        "</table>\n"
        "<p><b>常见问题</b></p>\n"
        "<dl>\n"
        "<dt>问：为什么查不到我要找的电话？</dt>\n"
        "<dd>答：可能是这个电话还没有收录，或者登记的名称和您输入的不一样。请试着只输入名称中"
        "最有特点的两三个字，或者只输入号码的后四位再查。</dd>\n"
        "<dt>问：查到的地址已经变了，怎么办？</dt>\n"
        "<dd>答：请进入“申请改错和删除”页面，填写原登记的名称、号码和新的地址，"
        "我们核实后会尽快更正。</dd>\n"
        "<dt>问：可以一次查询几个号码吗？</dt>\n"
        "<dd>答：每次只能查询一个关键字。需要查询几个号码时，请逐个输入查询。</dd>\n"
        "<dt>问：号码应该怎样输入？</dt>\n"
        "<dd>答：本地电话号码为八位数字，前面的区号 0571 可以不输入；号码中的横线和空格"
        "有没有都可以，例如“0571-8620 1234”和“86201234”查到的结果相同。</dd>\n"
        "<dt>问：查询和收录要收费吗？</dt>\n"
        "<dd>答：不收费。本站的查询服务和收录服务都是免费的。</dd>\n"
        "</dl>\n"
        "<p>提示：本站收录电话资料完全免费，凡以本站名义收取费用的均为冒充，请勿上当。</p>\n"
        "</div>\n");
}

QString tableHead()
{
    return QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                          "bordercolor=\"#9CB8E0\" style=\"border-collapse:collapse\">\n"
                          "<tr bgcolor=\"#DDE8F8\"><td><b>名称</b></td><td><b>电话号码</b></td>"
                          "<td><b>地址</b></td><td><b>类别</b></td></tr>\n");
}

QString listingSection(QStringView keyword, const QList<Entry> &matches)
{
    const QString shownKeyword = escaped(keyword);
    if (matches.isEmpty()) {
        return u"<p><b>没有找到与“" % shownKeyword %
               u"”相符的电话资料。</b></p>\n"
               u"<p>您可以：</p>\n<ul>\n"
               u"<li>检查关键字中有没有错别字或者多余的空格；</li>\n"
               u"<li>名称查询时只输入名称中最有特点的两三个字，例如“华茂”；</li>\n"
               u"<li>号码查询时只输入号码的后四位数字；</li>\n"
               u"<li>换用另一种查询方式，按名称查号码，或者按号码查名称；</li>\n"
               u"<li>进入<a href=\"/fbxx.html\">申请收录</a>页面，为这个电话申请收录。</li>\n"
               u"</ul>\n";
    }
    QString section = u"<p><b>查询“" % shownKeyword % u"”的结果：共 " %
                      QString::number(matches.size()) % u" 条</b></p>\n";
    if (matches.size() > maxRows)
        section += u"<p>结果太多，以下只列出前 " % QString::number(maxRows) %
                   u" 条，请输入更详细的关键字。</p>\n";
    section += tableHead();
    const qsizetype rows = std::min(matches.size(), maxRows);
    for (qsizetype i = 0; i < rows; ++i) {
        const Entry &entry = matches[i];
        section += (i % 2 ? QStringView(u"<tr bgcolor=\"#F3F7FC\">") : QStringView(u"<tr>")) %
                   u"<td>" % escaped(entry.name) % u"</td><td>" % escaped(entry.number) %
                   u"</td><td>" % escaped(entry.address) % u"</td><td>" % escaped(entry.category) %
                   u"</td></tr>\n";
    }
    section += u"</table>\n";
    return section;
}

} // namespace

QString searchPage(SearchKind kind, QStringView keyword, const QList<Entry> &matches)
{
    const QString what =
        kind == SearchKind::Number ? QStringLiteral("号码查询") : QStringLiteral("名称查询");
    const QString main =
        beginMarker % u"\n" % listingSection(keyword, matches) % usageNotes() % endMarker % u"\n";
    return layout(what % u"：" % escaped(keyword) % u" - " % siteName, kind, keyword, what, main);
}

QString homePage()
{
    const QString main = QStringLiteral(
        "<h3>欢迎使用 Marlowen 电话查询网</h3>\n"
        "<p>本站收录澜州市各区的机关、医院、学校、企业、商店和住宅电话资料，"
        "可以按名称查号码，也可以按号码查名称。请在上方的查询框中输入关键字。</p>\n");
    return layout(siteName, SearchKind::Name, {}, QStringLiteral("欢迎"), main + usageNotes());
}

QString applyPage()
{
    const QString main = QStringLiteral(
        "<h3>电话资料申请收录</h3>\n"
        "<p>单位和个人均可免费申请收录。请如实填写下表，带 * 的项目必须填写。"
        "我们核实后将在三个工作日内收录，并电话通知您。</p>\n"
        "<form action=\"/fbxx.html\" method=\"post\">\n<table>\n"
        "<tr><td>* 单位或个人名称：</td><td><input type=\"text\" name=\"name\" size=\"40\">"
        "</td></tr>\n"
        "<tr><td>* 电话号码：</td><td><input type=\"text\" name=\"number\" size=\"20\"></td></tr>\n"
        "<tr><td>* 地址：</td><td><input type=\"text\" name=\"address\" size=\"50\"></td></tr>\n"
        "<tr><td>类别：</td><td><select name=\"category\">"
        "<option>企业</option><option>商店</option><option>餐饮</option><option>生活服务</option>"
        "<option>医疗卫生</option><option>教育</option><option>政府机关</option>"
        "<option>公共服务</option><option>住宅</option></select></td></tr>\n"
        "<tr><td>* 联系人：</td><td><input type=\"text\" name=\"contact\" size=\"20\"></td></tr>\n"
        "<tr><td>* 联系电话：</td><td><input type=\"text\" name=\"contactNumber\" size=\"20\">"
        "</td></tr>\n"
        "<tr><td>备注：</td><td><textarea name=\"remark\" rows=\"4\" cols=\"48\"></textarea>"
        "</td></tr>\n"
        "<tr><td></td><td><input type=\"submit\" value=\"提交申请\"> "
        "<input type=\"reset\" value=\"重新填写\"></td></tr>\n"
        "</table>\n</form>\n"
        "<p>住宅电话只在机主本人同意后收录。收录后如需修改或删除，请使用"
        "<a href=\"/dhcs.html\">申请改错和删除</a>页面。</p>\n");
    return layout(u"电话资料申请收录 - " % siteName, SearchKind::Name, {},
                  QStringLiteral("申请收录"), main);
}

QString correctionPage()
{
    const QString main = QStringLiteral(
        "<h3>电话资料申请改错和删除</h3>\n"
        "<p>如发现本站资料有误，或不愿意再被查到，请填写下表。我们核实机主身份后，"
        "将在三个工作日内更正或删除。</p>\n"
        "<form action=\"/dhcs.html\" method=\"post\">\n<table>\n"
        "<tr><td>* 申请类别：</td><td>"
        "<label><input type=\"radio\" name=\"kind\" value=\"correct\" checked> 改正资料</label> "
        "<label><input type=\"radio\" name=\"kind\" value=\"delete\"> 删除资料</label>"
        "</td></tr>\n"
        "<tr><td>* 原登记名称：</td><td><input type=\"text\" name=\"oldName\" size=\"40\">"
        "</td></tr>\n"
        "<tr><td>* 原登记号码：</td><td><input type=\"text\" name=\"oldNumber\" size=\"20\">"
        "</td></tr>\n"
        "<tr><td>正确的名称：</td><td><input type=\"text\" name=\"name\" size=\"40\"></td></tr>\n"
        "<tr><td>正确的号码：</td><td><input type=\"text\" name=\"number\" size=\"20\"></td></tr>\n"
        "<tr><td>正确的地址：</td><td><input type=\"text\" name=\"address\" size=\"50\">"
        "</td></tr>\n"
        "<tr><td>* 申请人：</td><td><input type=\"text\" name=\"contact\" size=\"20\"></td></tr>\n"
        "<tr><td>* 联系电话：</td><td><input type=\"text\" name=\"contactNumber\" size=\"20\">"
        "</td></tr>\n"
        "<tr><td>说明：</td><td><textarea name=\"remark\" rows=\"4\" cols=\"48\"></textarea>"
        "</td></tr>\n"
        "<tr><td></td><td><input type=\"submit\" value=\"提交申请\"> "
        "<input type=\"reset\" value=\"重新填写\"></td></tr>\n"
        "</table>\n</form>\n");
    return layout(u"电话资料申请改错和删除 - " % siteName, SearchKind::Name, {},
                  QStringLiteral("申请改错和删除"), main);
}

QString thanksPage()
{
    const QString main = QStringLiteral(
        "<h3>申请已提交</h3>\n"
        "<p>谢谢！我们已经收到您的申请，核实后将在三个工作日内处理，并按您留下的联系电话通知您。"
        "</p>\n<p><a href=\"/\">返回首页</a></p>\n");
    return layout(u"申请已提交 - " % siteName, SearchKind::Name, {}, QStringLiteral("申请已提交"),
                  main);
}

QString notFoundPage(QStringView path)
{
    return u"<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"gbk\">\n"
           u"<title>404 找不到网页 - " %
           siteName % u"</title>\n</head>\n<body>\n<h2>404 找不到网页</h2>\n<p>本站没有“" %
           escaped(path) % u"”这个网页。</p>\n<p><a href=\"/\">返回 " % siteName %
           u" 首页</a></p>\n</body>\n</html>\n";
}

QString errorPage(int status)
{
    QString reason;
    switch (status) {
    case 400:
        reason = QStringLiteral("错误的请求");
        break;
    case 404:
        reason = QStringLiteral("找不到网页");
        break;
    case 405:
        reason = QStringLiteral("不支持这种请求方式");
        break;
    case 413:
    case 414:
        reason = QStringLiteral("请求太长");
        break;
    default:
        reason = QStringLiteral("服务器不能处理这个请求");
        break;
    }
    const QString heading = QString::number(status) % u" " % reason;
    return u"<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"gbk\">\n<title>" %
           heading % u" - " % siteName % u"</title>\n</head>\n<body>\n<h2>" % heading %
           u"</h2>\n<p><a href=\"/\">返回 " % siteName % u" 首页</a></p>\n</body>\n</html>\n";
}

} // namespace demo
