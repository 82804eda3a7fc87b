#include "frmplaninfo.h"

#include "customers/shared/toolbaricons.h"

#include "ui_frmplaninfo.h"

#include "customers/data/clsdatabase.h"
#include "customers/data/clsplan.h"
#include "customers/data/columns.h"
#include "platform/shortdate.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace kestrova {

namespace {

// The column an input is bound to by its tag, or -1 for the client box and untagged controls.
int columnOf(const QWidget *control)
{
    bool numeric = false;
    const int column = control->property("tag").toString().toInt(&numeric);
    return numeric && column >= 0 && column < PlanColumnCount ? column : -1;
}

} // namespace

frmPlanInfo::frmPlanInfo(const QString &dataPath, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmPlanInfo>())
    , m_dataPath(dataPath)
{
    ui->setupUi(this);
    setFixedSize(size());
    // The date pickers start at today's date, so a plan nobody dated is dated today.
    const QDate today = QDate::currentDate();
    for (QObject *child : children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || !widget->property("tag").isValid())
            continue;
        if (auto *picker = qobject_cast<QDateEdit *>(widget)) {
            // Every date the database holds must show unchanged: a picker that clamped an old
            // date would write the clamped one back when another field is edited.
            picker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
            picker->setDate(today);
        }
        if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            // The choice boxes start empty rather than claiming a choice nobody made.
            combo->setCurrentIndex(-1);
            // At their designed width the narrow boxes hold three characters only beside a
            // slim drop-down button. A styled button draws no arrow of its own, so it gets
            // a picture.
            if (combo->isEditable() && combo->width() < platform::twips(1000))
                combo->setStyleSheet(
                    QStringLiteral("QComboBox { padding-left: 1px; }"
                                   " QComboBox::drop-down { width: 13px; border: none; }"
                                   " QComboBox::down-arrow { image: url(%1);"
                                   " width: 7px; height: 4px; }")
                        .arg(comboArrowPicture()));
        }
        m_inputs.append(widget);
    }
    ui->cmdEdit->hide();
    connect(ui->cmdOk, &QPushButton::clicked, this, &frmPlanInfo::cmdOk_Click);
    connect(ui->cmdEdit, &QPushButton::clicked, this, &frmPlanInfo::cmdEdit_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmPlanInfo::cmdClose_Click);
}

frmPlanInfo::~frmPlanInfo() = default;

QString frmPlanInfo::clientTag()
{
    return QStringLiteral("工作计划名称");
}

void frmPlanInfo::setStyle(int style)
{
    m_style = style;
    ApplyStyle();
}

void frmPlanInfo::setTPlan(clsPlan *plan)
{
    m_plan = plan;
    ShowInfo();
}

void frmPlanInfo::ApplyStyle()
{
    switch (m_style) {
    case View:
        ui->cmdOk->hide();
        ui->cmdEdit->show();
        break;
    case Edit:
    case New:
        ui->cmdOk->show();
        ui->cmdEdit->hide();
        EnableInputs(true);
        break;
    default:
        break;
    }
}

void frmPlanInfo::EnableInputs(bool enabled)
{
    for (QWidget *input : std::as_const(m_inputs))
        input->setEnabled(enabled);
}

bool frmPlanInfo::ShowInfo()
{
    if (!m_plan)
        return false;
    for (QWidget *input : std::as_const(m_inputs)) {
        if (input->property("tag").toString() == clientTag()) {
            LoadClientCombo();
            continue;
        }
        const int column = columnOf(input);
        if (column < 0)
            continue;
        const QString value = m_plan->MyProperty(column);
        if (value.isEmpty())
            continue;
        if (auto *line = qobject_cast<QLineEdit *>(input)) {
            line->setText(value);
        } else if (auto *text = qobject_cast<QPlainTextEdit *>(input)) {
            text->setPlainText(value);
        } else if (auto *picker = qobject_cast<QDateEdit *>(input)) {
            // A stored text that is no date leaves the picker as it was.
            const QDate date = platform::parseShortDate(value);
            if (date.isValid())
                picker->setDate(date);
        } else if (auto *combo = qobject_cast<QComboBox *>(input)) {
            combo->setCurrentText(value);
        }
    }
    return true;
}

void frmPlanInfo::LoadClientCombo()
{
    QComboBox *box = ui->cmbField_2;
    box->clear();
    const QString client = m_plan ? m_plan->Client() : QString();
    int selected = -1;
    {
        auto clients = m_dataPath.isEmpty() ? std::make_unique<clsDataBase>()
                                            : std::make_unique<clsDataBase>(m_dataPath);
        if (clients->OpenDB(QString::fromUtf16(kClientTable))) {
            try {
                const int count = clients->GetRecordCount();
                const int nameColumn = clients->ColumnIndex(clientCaptions().at(ClientName));
                const int keyColumn = clients->ColumnIndex(clientCaptions().at(ClientID));
                const QList<QStringList> rows = clients->ReadRows(1, count);
                for (const QStringList &row : rows) {
                    const QString name = nameColumn >= 0 ? row.value(nameColumn) : QString();
                    const QString number = keyColumn >= 0 ? row.value(keyColumn) : QString();
                    bool numeric = false;
                    const int key = number.toInt(&numeric);
                    box->addItem(name, numeric ? QVariant(key) : QVariant());
                    if (numeric && number == client)
                        selected = box->count() - 1;
                }
            } catch (const DataError &) {
                // The entries read so far stay; the box simply offers fewer clients.
            }
            clients->CloseDB();
        }
    }
    box->setCurrentIndex(selected);
}

void frmPlanInfo::cmdOk_Click()
{
    if (m_plan) {
        for (QWidget *input : std::as_const(m_inputs)) {
            const int column = columnOf(input);
            if (column < 0)
                continue;
            if (auto *line = qobject_cast<QLineEdit *>(input))
                m_plan->setMyProperty(column, line->text());
            else if (auto *text = qobject_cast<QPlainTextEdit *>(input))
                m_plan->setMyProperty(column, text->toPlainText());
            else if (auto *picker = qobject_cast<QDateEdit *>(input))
                m_plan->setMyProperty(column, platform::shortDate(picker->date()));
            else if (auto *combo = qobject_cast<QComboBox *>(input))
                m_plan->setMyProperty(column, combo->currentText());
        }
        QComboBox *box = ui->cmbField_2;
        if (!box->currentText().isEmpty())
            m_plan->setClient(QString::number(box->currentData().toInt()));
        m_plan->setIsChangedDate(true);
    }
    accept();
}

void frmPlanInfo::cmdEdit_Click()
{
    setStyle(Edit);
}

void frmPlanInfo::cmdClose_Click()
{
    reject();
}

} // namespace kestrova
