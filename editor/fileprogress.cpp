#include "fileprogress.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>

namespace pennote {

namespace {

constexpr int kSteps = 1000;
// The window is redrawn and asked for 取消 this often while the work runs.
constexpr int kUpdateMs = 50;

} // namespace

FileProgress::FileProgress(QWidget *owner, const QString &label, int delayMs, QObject *paused)
    : m_owner(owner)
    , m_label(label)
    , m_delayMs(delayMs)
    , m_paused(paused)
{
    m_started.start();
    if (m_paused)
        m_paused->installEventFilter(this);
}

FileProgress::~FileProgress()
{
    if (m_paused)
        m_paused->removeEventFilter(this);
    delete m_dialog;
}

bool FileProgress::eventFilter(QObject *watched, QEvent *event)
{
    // A repeating timer fires again afterwards, so its work is put off, not lost.
    if (watched == m_paused && event->type() == QEvent::Timer)
        return true;
    return QObject::eventFilter(watched, event);
}

Progress FileProgress::hook()
{
    return [this](qint64 done, qint64 total) {
        return report(done, total);
    };
}

bool FileProgress::report(qint64 done, qint64 total)
{
    if (m_cancelled)
        return false;
    if (!m_dialog) {
        if (m_started.elapsed() < m_delayMs)
            return true;
        m_dialog = new QProgressDialog(m_label, QStringLiteral("取消"), 0, kSteps, m_owner);
        m_dialog->setObjectName(QStringLiteral("FileProgress"));
        m_dialog->setWindowTitle(QStringLiteral("pennote"));
        // Nothing else may touch the document while the work reads or fills it.
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    } else if (m_lastUpdate.isValid() && m_lastUpdate.elapsed() < kUpdateMs) {
        return true;
    }
    m_lastUpdate.start();
    const int step = total > 0 ? int(qBound<qint64>(0, done * kSteps / total, qint64(kSteps))) : 0;
    m_dialog->setValue(step);
    QCoreApplication::processEvents();
    m_cancelled = m_dialog->wasCanceled();
    return !m_cancelled;
}

} // namespace pennote
