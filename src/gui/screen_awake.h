#pragma once

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <QTimer>
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

    // A request refused or left unanswered is made again after this long, as
    // long as it is wanted: a desktop slow to start its screen saver, or busy
    // for a moment, must not leave a development to a blanking screen.
    static constexpr int RetryMilliseconds = 30000;
    void setRetryInterval(int ms) { m_retry.setInterval(ms); }

private:
    void sync();
    QDBusConnection &bus();

    BusFactory m_factory;
    std::optional<QDBusConnection> m_bus;
    bool m_wanted = false;
    // The desktop said no, or did not answer: asked again when m_retry fires.
    bool m_refused = false;
    QTimer m_retry;
    std::optional<uint> m_cookie;
    std::optional<QDBusPendingCall> m_asked;    // while an Inhibit call awaits its answer
    std::optional<QDBusPendingCall> m_released; // the last UnInhibit call
};
