#include "formfind.h"

#include "ui_formfind.h"

#include "platform/messagebox.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace pennote {

namespace {

constexpr QLatin1StringView kTitle("pennote");

} // namespace

int findText(int start, const QString &text, const QString &what, Qt::CaseSensitivity cs)
{
    if (text.isEmpty() || start < 1 || start > text.size())
        return 0;
    if (what.isEmpty())
        return start;
    return int(text.indexOf(what, start - 1, cs)) + 1;
}

Formfind::Formfind(QTextEdit *document, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Formfind>())
    , m_document(document)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->Command1, &QPushButton::clicked, this, &Formfind::find);
    connect(ui->Command2, &QPushButton::clicked, this, &Formfind::replace);
    connect(ui->Command3, &QPushButton::clicked, this, &QDialog::close);
}

Formfind::~Formfind() = default;

void Formfind::find()
{
    if (!m_document)
        return;
    // "区分大小写" set means the letters' case must match.
    const Qt::CaseSensitivity cs =
        ui->Check1->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QString what = ui->Text1->text();
    m_lastMatch = findText(m_lastMatch + 1, m_document->document()->toPlainText(), what, cs);
    if (m_lastMatch > 0) {
        ui->Command2->setEnabled(true);
        QTextCursor cursor = m_document->textCursor();
        const int last = m_document->document()->characterCount() - 1;
        cursor.setPosition(qMin(m_lastMatch - 1, last));
        cursor.setPosition(qMin(m_lastMatch - 1 + int(what.size()), last), QTextCursor::KeepAnchor);
        m_document->setTextCursor(cursor);
    } else {
        platform::messageBox(this, QStringLiteral("未找到指定字符串"), kTitle,
                             QMessageBox::Information, QMessageBox::Ok);
        ui->Command2->setEnabled(false);
    }
    activateWindow();
}

void Formfind::replace()
{
    if (!m_document)
        return;
    QTextCursor cursor = m_document->textCursor();
    cursor.insertText(ui->Text2->text());
    m_document->setTextCursor(cursor);
    activateWindow();
}

} // namespace pennote
