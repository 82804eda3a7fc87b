#include "importdialog.h"

#include "customers/data/columns.h"
#include "platform/messagebox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kestrova {

using interchange::Target;

namespace {

constexpr int kPreviewRows = 10;

bool askToSkip(QWidget *parent, const QList<interchange::Problem> &problems, int goodRows)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ImportProblems"));
    dialog.setWindowTitle(QStringLiteral("有些行不能导入"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(
        new QLabel(QStringLiteral("下面的值不能转换。还没有写入任何行。\n"
                                  "可以跳过这些行、只导入其余 %1 行，或者取消，改好文件后再导入。")
                       .arg(goodRows),
                   &dialog));
    auto *table = new QTableWidget(static_cast<int>(problems.size()), 4, &dialog);
    table->setHorizontalHeaderLabels(
        {QStringLiteral("行"), QStringLiteral("列"), QStringLiteral("值"), QStringLiteral("原因")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < problems.size(); ++r) {
        const interchange::Problem &p = problems[r];
        table->setItem(r, 0, new QTableWidgetItem(QString::number(p.row)));
        table->setItem(r, 1, new QTableWidgetItem(p.column));
        table->setItem(r, 2, new QTableWidgetItem(p.value));
        table->setItem(r, 3, new QTableWidgetItem(p.reason));
    }
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeColumnsToContents();
    layout->addWidget(table);
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *skip = buttons->addButton(
        QStringLiteral("跳过这些行，导入其余 %1 行").arg(goodRows), QDialogButtonBox::AcceptRole);
    skip->setEnabled(goodRows > 0);
    buttons->addButton(QDialogButtonBox::Cancel)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 360);
    return dialog.exec() == QDialog::Accepted;
}

ImportDialog::ProblemDecider &decider()
{
    static ImportDialog::ProblemDecider current;
    return current;
}

} // namespace

ImportDialog::ProblemDecider ImportDialog::setProblemDecider(ProblemDecider next)
{
    return std::exchange(decider(), std::move(next));
}

ImportDialog::ImportDialog(const QString &dbPath, Target initialTarget, QWidget *parent)
    : QDialog(parent)
    , m_dbPath(dbPath)
{
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(QStringLiteral("导入"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("txtFile"));
    m_file->setPlaceholderText(QStringLiteral("CSV 文件或 Access 数据库（.mdb、.accdb）"));
    auto *browseButton = new QPushButton(QStringLiteral("浏览…"), this);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browseButton);
    form->addRow(QStringLiteral("文件："), fileRow);

    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("cboEncoding"));
    m_encoding->addItem(QStringLiteral("自动"), -1);
    m_encoding->addItem(QStringLiteral("UTF-8"), int(interchange::TextEncoding::Utf8));
    m_encoding->addItem(QStringLiteral("GBK"), int(interchange::TextEncoding::Gbk));
    m_separator = new QComboBox(this);
    m_separator->setObjectName(QStringLiteral("cboSeparator"));
    m_separator->addItem(QStringLiteral("自动"), QString());
    m_separator->addItem(QStringLiteral("逗号"), QStringLiteral(","));
    m_separator->addItem(QStringLiteral("分号"), QStringLiteral(";"));
    m_separator->addItem(QStringLiteral("制表符"), QStringLiteral("\t"));
    m_separator->addItem(QStringLiteral("竖线"), QStringLiteral("|"));
    m_header = new QCheckBox(QStringLiteral("第一行是列名"), this);
    m_header->setObjectName(QStringLiteral("chkHeader"));
    auto *csvRow = new QHBoxLayout;
    csvRow->addWidget(new QLabel(QStringLiteral("编码"), this));
    csvRow->addWidget(m_encoding);
    csvRow->addWidget(new QLabel(QStringLiteral("分隔符"), this));
    csvRow->addWidget(m_separator);
    csvRow->addWidget(m_header);
    csvRow->addStretch();
    form->addRow(QStringLiteral("CSV："), csvRow);

    m_jetTable = new QComboBox(this);
    m_jetTable->setObjectName(QStringLiteral("cboJetTable"));
    m_jetTable->setEnabled(false);
    form->addRow(QStringLiteral("Access 表："), m_jetTable);

    m_target = new QComboBox(this);
    m_target->setObjectName(QStringLiteral("cboTarget"));
    m_target->addItem(QStringLiteral("客户"), int(Target::Clients));
    m_target->addItem(QStringLiteral("工作计划"), int(Target::Plans));
    m_target->setCurrentIndex(initialTarget == Target::Clients ? 0 : 1);
    form->addRow(QStringLiteral("导入到："), m_target);

    m_mapping = new QTableWidget(0, 2, this);
    m_mapping->setObjectName(QStringLiteral("tblMapping"));
    m_mapping->setHorizontalHeaderLabels(
        {QStringLiteral("表中的列"), QStringLiteral("文件中的列")});
    m_mapping->horizontalHeader()->setStretchLastSection(true);
    m_mapping->verticalHeader()->hide();
    m_preview = new QTableWidget(0, 0, this);
    m_preview->setObjectName(QStringLiteral("tblPreview"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *tables = new QHBoxLayout;
    auto *mappingColumn = new QVBoxLayout;
    mappingColumn->addWidget(new QLabel(QStringLiteral("列的对应"), this));
    mappingColumn->addWidget(m_mapping);
    auto *previewColumn = new QVBoxLayout;
    previewColumn->addWidget(
        new QLabel(QStringLiteral("预览（前 %1 行）").arg(kPreviewRows), this));
    previewColumn->addWidget(m_preview);
    tables->addLayout(mappingColumn, 2);
    tables->addLayout(previewColumn, 3);
    layout->addLayout(tables, 1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("导入"));
    layout->addWidget(buttons);

    connect(browseButton, &QPushButton::clicked, this, &ImportDialog::browse);
    connect(m_file, &QLineEdit::returnPressed, this, [this] {
        if (m_file->text() != m_path)
            setFile(m_file->text());
    });
    connect(m_encoding, &QComboBox::currentIndexChanged, this, [this] { reload(true); });
    connect(m_separator, &QComboBox::currentIndexChanged, this, [this] { reload(true); });
    connect(m_header, &QCheckBox::toggled, this, [this] { reload(true); });
    connect(m_jetTable, &QComboBox::currentIndexChanged, this, [this] { reload(true); });
    connect(m_target, &QComboBox::currentIndexChanged, this, &ImportDialog::fillMapping);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        // Enter in the file box reads the file; it does not import it as well.
        if (focusWidget() == m_file)
            return;
        if (importNow())
            accept();
    });
    resize(900, 560);
}

Target ImportDialog::target() const
{
    return Target(m_target->currentData().toInt());
}

void ImportDialog::browse()
{
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("导入"), m_path,
        QStringLiteral("表格和数据库 (*.csv *.txt *.mdb *.accdb);;所有文件 (*)"));
    if (!chosen.isEmpty())
        setFile(chosen);
}

void ImportDialog::setFile(const QString &path)
{
    m_path = path;
    m_file->setText(path);
    {
        const QSignalBlocker block(m_jetTable);
        m_jetTable->clear();
    }
    reload(false);
}

void ImportDialog::reload(bool keepHeaderChoice)
{
    if (m_path.isEmpty())
        return;
    interchange::SourceRequest request;
    request.file = m_path;
    request.jetTable = m_jetTable->currentText();
    request.into = target();
    if (m_encoding->currentData().toInt() >= 0)
        request.csv.encoding = interchange::TextEncoding(m_encoding->currentData().toInt());
    if (!m_separator->currentData().toString().isEmpty())
        request.csv.separator = m_separator->currentData().toString().at(0);
    if (keepHeaderChoice)
        request.csv.header = m_header->isChecked();
    m_source = interchange::readSource(request);
    m_jetTable->setEnabled(m_source.isJet);
    m_encoding->setEnabled(!m_source.isJet);
    m_separator->setEnabled(!m_source.isJet);
    m_header->setEnabled(!m_source.isJet);
    if (m_source.isJet && m_jetTable->count() == 0) {
        const QSignalBlocker block(m_jetTable);
        m_jetTable->addItems(m_source.jetTables);
        m_jetTable->setCurrentText(m_source.chosenTable);
    }
    if (!m_source.isJet && !keepHeaderChoice) {
        const QSignalBlocker block(m_header);
        // What the reader decided, for the user to change.
        m_header->setChecked(m_source.csvHeader);
    }
    if (m_source.error.isEmpty()) {
        if (auto t = interchange::targetFromName(m_source.chosenTable)) {
            const QSignalBlocker block(m_target);
            m_target->setCurrentIndex(*t == Target::Clients ? 0 : 1);
        }
        m_status->setText(QStringLiteral("读出 %1 行%2。")
                              .arg(m_source.table.rows.size())
                              .arg(m_source.isJet
                                       ? QStringLiteral("（%1 数据库）").arg(m_source.jetVersion)
                                       : QString()));
    } else {
        m_status->setText(m_source.error);
    }
    fillMapping();
    fillPreview();
}

void ImportDialog::fillMapping()
{
    const QStringList &captions = interchange::targetCaptions(target());
    const interchange::Mapping mapping =
        interchange::automaticMapping(m_source.table.headers, target());
    m_mapping->setRowCount(static_cast<int>(captions.size()));
    for (int t = 0; t < captions.size(); ++t) {
        auto *name = new QTableWidgetItem(captions[t]);
        name->setFlags(Qt::ItemIsEnabled);
        m_mapping->setItem(t, 0, name);
        auto *source = new QComboBox(m_mapping);
        source->addItem(QStringLiteral("（不导入）"), -1);
        for (int s = 0; s < m_source.table.headers.size(); ++s)
            source->addItem(m_source.table.headers[s], s);
        source->setCurrentIndex(source->findData(mapping.sourceOfTarget.value(t, -1)));
        m_mapping->setCellWidget(t, 1, source);
    }
    m_mapping->resizeColumnToContents(0);
}

void ImportDialog::fillPreview()
{
    const interchange::SourceTable &table = m_source.table;
    const int rows = static_cast<int>(std::min<qsizetype>(kPreviewRows, table.rows.size()));
    m_preview->clear();
    m_preview->setColumnCount(static_cast<int>(table.headers.size()));
    m_preview->setRowCount(rows);
    m_preview->setHorizontalHeaderLabels(table.headers);
    QStringList numbers;
    for (int r = 0; r < rows; ++r) {
        numbers.append(QString::number(table.rowNumbers.value(r, r + 1)));
        for (int c = 0; c < table.headers.size(); ++c)
            m_preview->setItem(r, c, new QTableWidgetItem(table.rows[r].value(c)));
    }
    m_preview->setVerticalHeaderLabels(numbers);
}

void ImportDialog::mapColumn(const QString &targetColumn, const QString &source)
{
    const int row = static_cast<int>(interchange::targetCaptions(target()).indexOf(targetColumn));
    if (auto *box = qobject_cast<QComboBox *>(m_mapping->cellWidget(row, 1)))
        box->setCurrentIndex(source.isEmpty() ? 0 : std::max(0, box->findText(source)));
}

interchange::Mapping ImportDialog::currentMapping() const
{
    interchange::Mapping mapping;
    for (int t = 0; t < m_mapping->rowCount(); ++t) {
        const auto *box = qobject_cast<QComboBox *>(m_mapping->cellWidget(t, 1));
        mapping.sourceOfTarget.append(box ? box->currentData().toInt() : -1);
    }
    return mapping;
}

bool ImportDialog::importNow()
{
    m_written = 0;
    const QString title = QString::fromUtf16(kProgramTitle);
    auto refuse = [&](const QString &why) {
        platform::messageBox(this, why + QStringLiteral("\n没有导入任何行。"), title,
                             QMessageBox::Warning);
        return false;
    };
    if (m_path.isEmpty())
        return refuse(QStringLiteral("请先选择要导入的文件。"));
    if (!m_source.error.isEmpty())
        return refuse(m_source.error);
    QList<ColumnInfo> types;
    QSet<qint64> keys;
    QString error;
    if (!interchange::readTargetInfo(m_dbPath, target(), &types, &keys, &error))
        return refuse(error);
    const interchange::Conversion conversion =
        interchange::convertRows(m_source.table, currentMapping(), target(), types, keys);
    if (!conversion.error.isEmpty())
        return refuse(conversion.error);
    if (!conversion.problems.isEmpty()) {
        const ProblemDecider &ask = decider();
        const int good = static_cast<int>(conversion.rows.size());
        if (!(ask ? ask(this, conversion.problems, good)
                  : askToSkip(this, conversion.problems, good)))
            return false;
    }
    if (conversion.rows.isEmpty())
        return refuse(QStringLiteral("文件里没有可以导入的行。"));

    QProgressDialog progress(QStringLiteral("正在导入…"), QStringLiteral("取消"), 0,
                             static_cast<int>(conversion.rows.size()), this);
    progress.setObjectName(QStringLiteral("ImportProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const bool ok = interchange::writeRows(
        m_dbPath, {interchange::tableRows(target(), conversion)},
        [&progress](int done, int) {
            progress.setValue(done);
            return !progress.wasCanceled();
        },
        &error);
    progress.reset();
    if (!ok)
        return refuse(error);
    m_written = static_cast<int>(conversion.rows.size());
    QString text =
        QStringLiteral("已导入 %1 行到 %2。").arg(m_written).arg(interchange::tableName(target()));
    if (conversion.failedRows > 0)
        text += QStringLiteral("跳过了 %1 行不能转换的行。").arg(conversion.failedRows);
    platform::messageBox(this, text, title);
    return true;
}

} // namespace kestrova
