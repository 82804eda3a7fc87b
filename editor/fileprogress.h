#pragma once

#include "editor/rtf/rtfreader.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace pennote {

// Told now and then how far a long load or save has come; returning false cancels it.
using Progress = rtf::Progress;

// The progress window of a long load or save: it appears only once the work has taken longer
// than a moment, keeps the rest of the program from acting on the document meanwhile, and offers
// 取消. The work runs in the caller's thread and drives it through hook().
class FileProgress : public QObject
{
    Q_OBJECT
public:
    // How long work runs before its progress window shows, in milliseconds.
    static constexpr int kDefaultDelayMs = 600;

    // `paused` (may be null) gets no timer events while the work runs: the editor's layout of a
    // large document would otherwise take its background steps inside every progress update.
    FileProgress(QWidget *owner, const QString &label, int delayMs = kDefaultDelayMs,
                 QObject *paused = nullptr);
    ~FileProgress() override;

    FileProgress(const FileProgress &) = delete;
    FileProgress &operator=(const FileProgress &) = delete;

    // False once the user pressed 取消.
    Progress hook();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool report(qint64 done, qint64 total);

    QWidget *m_owner = nullptr;
    QString m_label;
    int m_delayMs = kDefaultDelayMs;
    QElapsedTimer m_started;
    QElapsedTimer m_lastUpdate;
    QPointer<QProgressDialog> m_dialog;
    QPointer<QObject> m_paused;
    bool m_cancelled = false;
};

} // namespace pennote
