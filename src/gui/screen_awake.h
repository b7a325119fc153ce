#pragma once

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <functional>
#include <optional>

// Asks the desktop not to blank the screen or suspend while it is wanted, by
// the org.freedesktop.ScreenSaver Inhibit call, and releases the request when
// it is no longer wanted and when it is destroyed. Without a session bus, or
// without the service, it does nothing and says nothing. The bus is opened at
// the first need, so a start-up pays nothing for it.
class ScreenAwake : public QObject
{
    Q_OBJECT
public:
    using BusFactory = std::function<QDBusConnection()>;
    // The session bus unless another is given (the tests' private bus).
    explicit ScreenAwake(BusFactory bus = {}, QObject *parent = nullptr);
    ~ScreenAwake() override;

    void keepAwake(bool wanted);
    // The desktop has granted the request and it is not released yet.
    bool held() const { return m_cookie.has_value(); }

private:
    void sync();
    QDBusConnection &bus();

    BusFactory m_factory;
    std::optional<QDBusConnection> m_bus;
    bool m_wanted = false;
    // The desktop said no (no such service): not asked again until wanted anew.
    bool m_refused = false;
    std::optional<uint> m_cookie;
    std::optional<QDBusPendingCall> m_asked;    // while an Inhibit call awaits its answer
    std::optional<QDBusPendingCall> m_released; // the last UnInhibit call
};
