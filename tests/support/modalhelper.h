#pragma once
// Acts on a modal window from inside its own event loop: the action runs as
// soon as the window is up. A window that never comes up, or that no action
// closes, is closed after a minute, so a broken test fails instead of hanging;
// the bound is generous because a busy machine may take seconds to show one.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>

inline void WhenModal(std::function<void(QWidget*)> action)
{
    auto* poll = new QTimer;
    auto* deadline = new QTimer;
    poll->setInterval(5);
    deadline->setSingleShot(true);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->stop();
        deadline->stop();
        poll->deleteLater();
        deadline->deleteLater();
        action(modal);
    });
    QObject::connect(deadline, &QTimer::timeout, [poll, deadline] {
        poll->stop();
        poll->deleteLater();
        deadline->deleteLater();
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    poll->start();
    deadline->start(60000);
}
