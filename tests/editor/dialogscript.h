#pragma once

#include "editor/commondialog.h"

#include <QList>

#include <deque>
#include <functional>

// Answers the editor's common dialogs in tests: each showing takes the next scripted answer (or
// cancels when none is left) and is recorded as it arrived.
class DialogScript
{
public:
    using Answer = std::function<bool(pennote::DialogRequest &)>;

    DialogScript()
    {
        m_previous = pennote::setDialogPresenter([this](pennote::DialogRequest &request) {
            m_shown.append(request);
            if (m_answers.empty())
                return false;
            Answer answer = std::move(m_answers.front());
            m_answers.pop_front();
            return answer(request);
        });
    }
    ~DialogScript() { pennote::setDialogPresenter(std::move(m_previous)); }

    DialogScript(const DialogScript &) = delete;
    DialogScript &operator=(const DialogScript &) = delete;

    void answer(Answer answer) { m_answers.push_back(std::move(answer)); }
    void cancel()
    {
        m_answers.push_back([](pennote::DialogRequest &) { return false; });
    }
    void chooseFile(const QString &path)
    {
        m_answers.push_back([path](pennote::DialogRequest &request) {
            request.fileName = path;
            return true;
        });
    }

    const QList<pennote::DialogRequest> &shown() const { return m_shown; }
    bool allAnswered() const { return m_answers.empty(); }

private:
    pennote::DialogPresenter m_previous;
    std::deque<Answer> m_answers;
    QList<pennote::DialogRequest> m_shown;
};
