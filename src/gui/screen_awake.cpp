#include "gui/screen_awake.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");
// Never long: the window waits for it only when the program ends.
constexpr int kTimeoutMs = 2000;

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

} // namespace

ScreenAwake::ScreenAwake(BusFactory bus, QObject *parent)
    : QObject(parent), m_factory(std::move(bus))
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMilliseconds);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        m_refused = false;
        sync();
    });
}

ScreenAwake::~ScreenAwake()
{
    // The program may end right after: every answer is waited for here, so
    // that no request outlives it.
    if (m_asked) {
        m_asked->waitForFinished();
        const QDBusPendingReply<uint> reply = *m_asked;
        if (reply.isValid())
            m_cookie = reply.value();
    }
    if (m_cookie) {
        QDBusMessage release = call(QStringLiteral("UnInhibit"));
        release << *m_cookie;
        bus().call(release, QDBus::Block, kTimeoutMs);
    }
    if (m_released)
        m_released->waitForFinished();
}

QDBusConnection &ScreenAwake::bus()
{
    if (!m_bus)
        m_bus = m_factory ? m_factory() : QDBusConnection::sessionBus();
    return *m_bus;
}

void ScreenAwake::keepAwake(bool wanted)
{
    if (wanted == m_wanted)
        return;
    m_wanted = wanted;
    if (!wanted) {
        m_refused = false;
        m_retry.stop();
    }
    sync();
}

void ScreenAwake::sync()
{
    // One request at a time: the answer to an Inhibit call brings the cookie
    // that a release needs.
    if (m_asked)
        return;
    if (m_wanted && !m_cookie && !m_refused) {
        if (!bus().isConnected())
            return;
        QDBusMessage inhibit = call(QStringLiteral("Inhibit"));
        inhibit << QStringLiteral("Noctarel") << QStringLiteral("Traitement en cours");
        m_asked = bus().asyncCall(inhibit, kTimeoutMs);
        auto *watcher = new QDBusPendingCallWatcher(*m_asked, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher *w) {
                    w->deleteLater();
                    m_asked.reset();
                    const QDBusPendingReply<uint> reply = *w;
                    // No service, or no answer: nothing is held, nothing is
                    // said, and the desktop is asked again a little later.
                    if (reply.isValid()) {
                        m_cookie = reply.value();
                    } else {
                        m_refused = true;
                        if (m_wanted)
                            m_retry.start();
                    }
                    sync();
                });
    } else if (!m_wanted && m_cookie) {
        QDBusMessage release = call(QStringLiteral("UnInhibit"));
        release << *m_cookie;
        m_cookie.reset();
        m_released = bus().asyncCall(release, kTimeoutMs);
    }
}
