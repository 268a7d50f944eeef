// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulse_connection.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace vortan {
namespace {

constexpr pa_usec_t reconnectDelay = 1000 * 1000; // 1 s

} // namespace

struct PulseConnection::Callbacks {
    static void onRetry(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* self)
    {
        auto* c = static_cast<PulseConnection*>(self);
        api->time_free(event);
        c->m_retry = nullptr;
        c->connect();
    }

    static void onContextState(pa_context* context, void* self)
    {
        auto* c = static_cast<PulseConnection*>(self);
        if (context != c->m_context)
            return;
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            for (Client* client : std::vector(c->m_clients))
                client->connected(context);
            c->wakeWaiters();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            // The server went away (or never was): forget it and look again later.
            c->dropContext();
            c->scheduleConnect(reconnectDelay);
            c->wakeWaiters();
            break;
        default:
            break;
        }
    }

    static void onSubscription(pa_context* context, pa_subscription_event_type_t type,
                               std::uint32_t index, void* self)
    {
        auto* c = static_cast<PulseConnection*>(self);
        if (context != c->m_context)
            return;
        for (Client* client : std::vector(c->m_clients))
            client->serverEvent(type, index);
    }

    static void onDeadline(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* self)
    {
        auto* d = static_cast<Deadline*>(self);
        api->time_free(event);
        d->m_timer = nullptr;
        d->m_passed = true;
        d->m_connection.wakeWaiters();
    }
};

PulseConnection::PulseConnection(std::string applicationName)
    : m_applicationName(std::move(applicationName))
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop)
        return; // out of memory: behave as without a server
    m_api = pa_threaded_mainloop_get_api(m_loop);
    pa_threaded_mainloop_set_name(m_loop, "vortan-sound");
    Lock lock(*this);
    // The first attempt also runs on the pulse thread, so a slow server never holds us up.
    scheduleConnect(0);
    if (pa_threaded_mainloop_start(m_loop) < 0)
        m_closing = true;
}

PulseConnection::~PulseConnection()
{
    if (!m_loop)
        return;
    {
        Lock lock(*this);
        m_closing = true;
        if (m_retry) {
            m_api->time_free(m_retry);
            m_retry = nullptr;
        }
        dropContext();
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

PulseConnection::Lock::Lock(PulseConnection& connection)
    : m_loop(connection.m_loop)
{
    if (m_loop)
        pa_threaded_mainloop_lock(m_loop);
}

PulseConnection::Lock::~Lock()
{
    if (m_loop)
        pa_threaded_mainloop_unlock(m_loop);
}

void PulseConnection::addClient(Client* client)
{
    m_clients.push_back(client);
    if (pa_context* ready = context())
        client->connected(ready);
}

void PulseConnection::removeClient(Client* client)
{
    std::erase(m_clients, client);
}

pa_context* PulseConnection::context() const
{
    return m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY ? m_context : nullptr;
}

void PulseConnection::scheduleConnect(std::uint64_t delayMicroseconds)
{
    if (m_closing || m_retry)
        return;
    timeval when;
    pa_timeval_add(pa_gettimeofday(&when), delayMicroseconds);
    m_retry = m_api->time_new(m_api, &when, &Callbacks::onRetry, this);
}

void PulseConnection::connect()
{
    if (m_closing || m_context)
        return;
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, m_applicationName.c_str());
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "game");
    pa_context* fresh = pa_context_new_with_proplist(m_api, m_applicationName.c_str(), properties);
    pa_proplist_free(properties);
    if (!fresh) {
        scheduleConnect(reconnectDelay);
        return;
    }
    m_context = fresh;
    pa_context_set_state_callback(m_context, &Callbacks::onContextState, this);
    pa_context_set_subscribe_callback(m_context, &Callbacks::onSubscription, this);
    // No autospawn: starting a server is the desktop's business, not ours.
    if (pa_context_connect(fresh, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 &&
        m_context == fresh) {
        dropContext();
        scheduleConnect(reconnectDelay);
    }
}

void PulseConnection::dropContext()
{
    if (!m_context)
        return;
    for (Client* client : std::vector(m_clients))
        client->disconnected();
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

pa_context* PulseConnection::connectNow(std::chrono::milliseconds limit)
{
    if (!running())
        return nullptr;
    if (!m_context) {
        if (m_retry) {
            m_api->time_free(m_retry);
            m_retry = nullptr;
        }
        connect();
    }
    // A failed attempt drops the context and schedules the next one.
    waitUntil([this] { return !m_context || context(); }, limit);
    return context();
}

void PulseConnection::wakeWaiters()
{
    pa_threaded_mainloop_signal(m_loop, 0);
}

void PulseConnection::waitForSignal()
{
    pa_threaded_mainloop_wait(m_loop);
}

PulseConnection::Deadline::Deadline(PulseConnection& connection, std::chrono::milliseconds limit)
    : m_connection(connection)
{
    timeval when;
    pa_timeval_add(pa_gettimeofday(&when),
                   static_cast<pa_usec_t>(std::chrono::microseconds(limit).count()));
    m_timer = connection.m_api->time_new(connection.m_api, &when, &Callbacks::onDeadline, this);
    m_passed = m_timer == nullptr;
}

PulseConnection::Deadline::~Deadline()
{
    if (m_timer)
        m_connection.m_api->time_free(m_timer);
}

} // namespace vortan
