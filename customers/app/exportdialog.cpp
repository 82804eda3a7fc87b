#include "exportdialog.h"

#include "customers/data/columns.h"
#include "customers/interchange/exporter.h"
#include "platform/messagebox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kestrova {

using interchange::ExportFormat;
using interchange::Target;

ExportDialog::ExportDialog(const QString &dbPath, Target target, const QString &filter,
                           QWidget *parent)
    : QDialog(parent)
    , m_dbPath(dbPath)
    , m_filter(filter)
    , m_filterTarget(target)
{
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral("导出"));
    auto *form = new QFormLayout(this);

    m_table = new QComboBox(this);
    m_table->setObjectName(QStringLiteral("cboTable"));
    m_table->addItem(QStringLiteral("客户"), int(Target::Clients));
    m_table->addItem(QStringLiteral("工作计划"), int(Target::Plans));
    m_table->setCurrentIndex(target == Target::Clients ? 0 : 1);
    form->addRow(QStringLiteral("表："), m_table);

    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("cboFormat"));
    form->addRow(QStringLiteral("格式："), m_format);

    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("cboEncoding"));
    m_encoding->addItem(QStringLiteral("UTF-8（带 BOM，Excel、WPS、LibreOffice 都能打开）"),
                        int(interchange::TextEncoding::Utf8));
    m_encoding->addItem(QStringLiteral("GBK（旧版软件）"), int(interchange::TextEncoding::Gbk));
    form->addRow(QStringLiteral("编码："), m_encoding);

    m_filtered = new QRadioButton(QStringLiteral("窗口中筛选出的行"), this);
    m_filtered->setObjectName(QStringLiteral("optFiltered"));
    m_all = new QRadioButton(QStringLiteral("整张表"), this);
    m_all->setObjectName(QStringLiteral("optAll"));
    m_filtered->setEnabled(!filter.isEmpty());
    (filter.isEmpty() ? m_all : m_filtered)->setChecked(true);
    auto *scope = new QHBoxLayout;
    scope->addWidget(m_filtered);
    scope->addWidget(m_all);
    form->addRow(QStringLiteral("范围："), scope);

    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("txtFile"));
    auto *browseButton = new QPushButton(QStringLiteral("浏览…"), this);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browseButton);
    form->addRow(QStringLiteral("文件："), fileRow);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("导出"));
    form->addRow(buttons);

    connect(m_table, &QComboBox::currentIndexChanged, this, &ExportDialog::updateChoices);
    connect(m_format, &QComboBox::currentIndexChanged, this, &ExportDialog::updateChoices);
    connect(browseButton, &QPushButton::clicked, this, &ExportDialog::browse);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (exportNow())
            accept();
    });
    updateChoices();
    resize(520, sizeHint().height());
}

void ExportDialog::updateChoices()
{
    const auto target = Target(m_table->currentData().toInt());
    const QVariant previous = m_format->currentData();
    {
        const QSignalBlocker blocker(m_format);
        m_format->clear();
        m_format->addItem(QStringLiteral("CSV 表格（.csv）"), int(ExportFormat::Csv));
        if (target == Target::Plans)
            m_format->addItem(QStringLiteral("iCalendar 日历（.ics）"),
                              int(ExportFormat::ICalendar));
        else
            m_format->addItem(QStringLiteral("vCard 名片（.vcf）"), int(ExportFormat::VCard));
        const int again = m_format->findData(previous);
        m_format->setCurrentIndex(again < 0 ? 0 : again);
    }
    const auto format = ExportFormat(m_format->currentData().toInt());
    m_encoding->setEnabled(format == ExportFormat::Csv);
    // The window's filter belongs to the table it shows.
    m_filtered->setEnabled(!m_filter.isEmpty() && target == m_filterTarget);
    if (!m_filtered->isEnabled())
        m_all->setChecked(true);
    const QString suffix = format == ExportFormat::Csv         ? QStringLiteral("csv")
                           : format == ExportFormat::ICalendar ? QStringLiteral("ics")
                                                               : QStringLiteral("vcf");
    const QString base =
        target == Target::Clients ? QStringLiteral("客户") : QStringLiteral("工作计划");
    QFileInfo current(m_file->text());
    const QString folder = m_file->text().isEmpty() ? QDir::homePath() : current.path();
    m_file->setText(QDir(folder).filePath(base + u'.' + suffix));
}

void ExportDialog::browse()
{
    const QString chosen =
        QFileDialog::getSaveFileName(this, QStringLiteral("导出到"), m_file->text());
    if (!chosen.isEmpty())
        m_file->setText(chosen);
}

bool ExportDialog::exportNow()
{
    const auto target = Target(m_table->currentData().toInt());
    const auto format = ExportFormat(m_format->currentData().toInt());
    interchange::CsvWriteOptions csv;
    csv.encoding = interchange::TextEncoding(m_encoding->currentData().toInt());
    csv.byteOrderMark = csv.encoding == interchange::TextEncoding::Utf8;
    const QString criteria =
        m_filtered->isChecked() && target == m_filterTarget ? m_filter : QString();
    int written = 0;
    QString error;
    const QString title = QString::fromUtf16(kProgramTitle);
    if (!interchange::exportTable(m_dbPath, target, format, criteria, csv, m_file->text(), &written,
                                  &error)) {
        platform::messageBox(this, QStringLiteral("导出失败：") + error, title,
                             QMessageBox::Warning);
        return false;
    }
    platform::messageBox(
        this, QStringLiteral("已导出 %1 行到 %2。").arg(written).arg(m_file->text()), title);
    return true;
}

} // namespace kestrova
