#include "messagebox.h"

#include <utility>

namespace platform {

namespace {

QMessageBox::StandardButton showRealBox(const MessageRequest &request)
{
    QMessageBox box(request.icon, request.title, request.text, request.buttons, request.parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

MessagePresenter &presenter()
{
    static MessagePresenter current;
    return current;
}

} // namespace

QMessageBox::StandardButton messageBox(const MessageRequest &request)
{
    if (const MessagePresenter &p = presenter())
        return p(request);
    return showRealBox(request);
}

QMessageBox::StandardButton messageBox(QWidget *parent, const QString &text, const QString &title,
                                       QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)
{
    return messageBox(MessageRequest{parent, text, title, icon, buttons, QMessageBox::NoButton});
}

MessagePresenter setMessagePresenter(MessagePresenter next)
{
    return std::exchange(presenter(), std::move(next));
}

} // namespace platform
