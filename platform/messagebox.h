#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace platform {

// The one place the programs show a message box. Tests replace the presenter to record every
// message and answer it, instead of clicking boxes away.
struct MessageRequest
{
    QWidget *parent = nullptr;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

using MessagePresenter = std::function<QMessageBox::StandardButton(const MessageRequest &)>;

QMessageBox::StandardButton messageBox(const MessageRequest &request);

// Convenience for the common information box with one OK button.
QMessageBox::StandardButton messageBox(QWidget *parent, const QString &text, const QString &title,
                                       QMessageBox::Icon icon = QMessageBox::Information,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Installs a presenter; returns the previous one. An empty presenter restores the real box.
MessagePresenter setMessagePresenter(MessagePresenter presenter);

} // namespace platform
