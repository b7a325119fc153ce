#pragma once

#include "core/base/runtime_error.h"
#include "gui/dialogs.h"

#include <QAbstractButton>

#include <exception>
#include <functional>
#include <utility>

// Runs an event handler; an error that escapes it goes to the standard error
// box and the event loop carries on. Nothing may reach Qt's loop unhandled.
// Returns false when the handler ended with an error.
template <class Handler> bool guarded(Dialogs &dialogs, Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const RuntimeError &e) {
        dialogs.showError(e.message());
    } catch (const std::exception &e) {
        dialogs.showError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        dialogs.showError(QStringLiteral("Unknown error"));
    }
    return false;
}

// Runs handler inside the guard on every click of button.
inline void onClick(QAbstractButton *button, Dialogs &dialogs, std::function<void()> handler)
{
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [&dialogs, handler = std::move(handler)] { guarded(dialogs, handler); });
}
