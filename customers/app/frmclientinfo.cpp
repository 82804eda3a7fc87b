#include "frmclientinfo.h"

#include "appstate.h"
#include "frmclient.h"
#include "ui_frmclientinfo.h"

#include "customers/data/clsclient.h"
#include "platform/messagebox.h"
#include "platform/shortdate.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace kestrova {

frmClientInfo::frmClientInfo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , ui(std::make_unique<Ui::frmClientInfo>())
{
    ui->setupUi(this);
    // "编号" is the database's and stays read-only, on the button face colour.
    QPalette face = ui->txtField_0->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    ui->txtField_0->setPalette(face);
    // Tabbing and the dialog's first focus skip it; a click still selects its text to copy.
    ui->txtField_0->setFocusPolicy(Qt::ClickFocus);
    // Any date the database holds, from 100-1-1 on, must show unchanged: a picker that clamped
    // an old date would write the clamped one back when other fields are edited.
    ui->DTPField->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    ui->DTPField->setDate(QDate::currentDate());
    for (QComboBox *combo : findChildren<QComboBox *>())
        combo->setCurrentIndex(-1);
    m_fieldsEnabled = false;
    setFixedSize(sizeHint());
    connect(ui->cmdOk, &QPushButton::clicked, this, &frmClientInfo::cmdOk_Click);
    connect(ui->cmdEdit, &QPushButton::clicked, this, &frmClientInfo::cmdEdit_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmClientInfo::cmdClose_Click);
}

frmClientInfo::~frmClientInfo() = default;

void frmClientInfo::setStyle(int nStyle)
{
    m_style = nStyle;
    switch (nStyle) {
    case StyleView:
        if (m_fieldsEnabled)
            EnableFields(false);
        ui->cmdOk->setVisible(false);
        ui->cmdEdit->setVisible(true);
        break;
    case StyleEdit:
    case StyleNew:
        ui->cmdOk->setVisible(true);
        ui->cmdEdit->setVisible(false);
        if (!m_fieldsEnabled)
            EnableFields(true);
        break;
    default:
        break;
    }
}

void frmClientInfo::EnableFields(bool enabled)
{
    m_fieldsEnabled = enabled;
    for (QWidget *control : boundControls())
        control->setEnabled(enabled);
    ui->txtField_0->setReadOnly(true);
}

void frmClientInfo::setTClient(clsClient *TMyClient)
{
    m_client = TMyClient;
    ShowInfo();
}

int frmClientInfo::controlTag(const QWidget *control)
{
    const QVariant tag = control->property("tag");
    if (!tag.isValid())
        return -1;
    bool ok = false;
    const int index = tag.toString().trimmed().toInt(&ok);
    return ok && index >= 0 && index < ClientColumnCount ? index : -1;
}

QString frmClientInfo::controlKind(const QWidget *control)
{
    if (qobject_cast<const QLineEdit *>(control) || qobject_cast<const QPlainTextEdit *>(control))
        return QStringLiteral("TEXTBOX");
    if (qobject_cast<const QDateEdit *>(control))
        return QStringLiteral("DTPICKER");
    if (qobject_cast<const QComboBox *>(control))
        return QStringLiteral("COMBOBOX");
    return {};
}

QList<QWidget *> frmClientInfo::boundControls() const
{
    QList<QWidget *> controls;
    for (QWidget *control : findChildren<QWidget *>()) {
        if (controlTag(control) >= 0 && !controlKind(control).isEmpty())
            controls.append(control);
    }
    return controls;
}

QString frmClientInfo::controlValue(const QWidget *control)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(control))
        return line->text();
    if (const auto *memo = qobject_cast<const QPlainTextEdit *>(control))
        return memo->toPlainText();
    if (const auto *date = qobject_cast<const QDateEdit *>(control))
        return platform::shortDate(date->date());
    if (const auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    return {};
}

void frmClientInfo::setControlValue(QWidget *control, const QString &value)
{
    if (auto *line = qobject_cast<QLineEdit *>(control)) {
        line->setText(value);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(control)) {
        memo->setPlainText(value);
    } else if (auto *date = qobject_cast<QDateEdit *>(control)) {
        // A text that is no date cannot be shown; the picker keeps its date.
        const QDate parsed = platform::parseShortDate(value);
        if (parsed.isValid())
            date->setDate(parsed);
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        combo->setEditText(value);
    }
}

bool frmClientInfo::ShowInfo()
{
    if (!m_client)
        return false;
    for (QWidget *control : boundControls()) {
        const QString value = m_client->MyProperty(controlTag(control));
        if (!value.isEmpty())
            setControlValue(control, value);
    }
    return true;
}

void frmClientInfo::cmdOk_Click()
{
    if (m_client) {
        const QList<QWidget *> controls = boundControls();
        // The record takes only boolean words and numbers as the audit flag; anything else
        // stays in the box for the user to correct, and nothing is written.
        for (QWidget *control : controls) {
            if (controlTag(control) != ClientAuditing)
                continue;
            const QString text = controlValue(control);
            if (!text.isEmpty() && !parseBoolean(text)) {
                platform::messageBox(this,
                                     QStringLiteral("“审核标志”只能填写 true（已审核）或 "
                                                    "false（未审核），请改正后再按“确定”。"),
                                     windowTitle(), QMessageBox::Warning);
                control->setFocus();
                return;
            }
        }
        for (QWidget *control : controls)
            m_client->setMyProperty(controlTag(control), controlValue(control));
        m_client->setIsChangedDate(true);
    }
    accept();
}

void frmClientInfo::cmdEdit_Click()
{
    setStyle(StyleEdit);
}

void frmClientInfo::cmdClose_Click()
{
    if (gfrmClient)
        gfrmClient->setDataChanged(false);
    reject();
}

} // namespace kestrova
