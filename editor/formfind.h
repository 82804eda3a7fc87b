#pragma once

#include <QDialog>
#include <QPointer>

#include <memory>

class QTextEdit;

namespace Ui {
class Formfind;
}

namespace pennote {

// Position of the first occurrence of `what` in `text` at or after the 1-based position `start`,
// 1-based, or 0 when there is none. An empty `what` is found right at `start`; nothing is found
// in an empty text or beyond its end.
int findText(int start, const QString &text, const QString &what, Qt::CaseSensitivity cs);

// The editor's find/replace dialog. It searches the document from one past its last match, selects
// what it finds and replaces the current selection. Closing it discards its fields and the last
// match, so it is created afresh for the next find command.
class Formfind : public QDialog
{
    Q_OBJECT
public:
    explicit Formfind(QTextEdit *document, QWidget *parent = nullptr);
    ~Formfind() override;

    // 1-based position of the last match; 0 when the dialog opens and after a failed search.
    int lastMatch() const { return m_lastMatch; }

private:
    void find();
    void replace();

    std::unique_ptr<Ui::Formfind> ui;
    QPointer<QTextEdit> m_document;
    int m_lastMatch = 0;
};

} // namespace pennote
