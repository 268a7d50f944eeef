// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct pa_context;
struct pa_mainloop_api;
struct pa_threaded_mainloop;
struct pa_time_event;

namespace vortan {

// One connection to the sound server (PulseAudio, or PipeWire's PulseAudio service), run on
// libpulse's own thread, so that nothing waits for the server unless it asks to. Without a
// server the connection is retried every second, so a server that starts later (or restarts)
// is picked up by itself; the player and the volume are its clients.
//
// Everything of libpulse (and every member of a client called from here) is used under the loop's
// lock, which libpulse holds in its callbacks; other threads take it with Lock.
class PulseConnection {
public:
    explicit PulseConnection(std::string applicationName = "Vortan");
    ~PulseConnection(); // the clients must be gone

    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    class Lock {
    public:
        explicit Lock(PulseConnection& connection);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_loop;
    };

    // Told of the connection's changes, on the pulse thread with the lock held.
    class Client {
    public:
        virtual void connected(pa_context* context) = 0;
        // The context is about to go; drop everything made with it.
        virtual void disconnected() = 0;
        // A subscribed event of the server (pa_subscription_event_type_t) about object `index`.
        virtual void serverEvent(unsigned eventType, std::uint32_t index) = 0;

    protected:
        ~Client() = default;
    };

    // With the lock held. A client added while connected is told so at once.
    void addClient(Client* client);
    void removeClient(Client* client);

    // With the lock held: the ready context, or null.
    pa_context* context() const;
    pa_mainloop_api* api() const { return m_api; }
    bool running() const { return m_api != nullptr && !m_closing; }

    // With the lock held, from any thread but the pulse thread. Connects at once unless connected
    // or connecting, rather than waiting for the next retry, and waits up to `limit` for the
    // outcome. Returns the ready context, or null.
    pa_context* connectNow(std::chrono::milliseconds limit);

    // With the lock held, from any thread but the pulse thread: waits (the lock released
    // meanwhile) until done() holds or `limit` has passed; returns done(). Whatever makes done()
    // true must call wakeWaiters().
    template <typename Done> bool waitUntil(Done done, std::chrono::milliseconds limit)
    {
        const Deadline deadline(*this, limit);
        while (!done() && !deadline.passed())
            waitForSignal();
        return done();
    }

    // With the lock held: wakes whoever waits in waitUntil.
    void wakeWaiters();

private:
    struct Callbacks; // libpulse's callbacks, in the source
    friend Callbacks;

    // A timer that wakes the waiters once `limit` has passed.
    class Deadline {
    public:
        Deadline(PulseConnection& connection, std::chrono::milliseconds limit);
        ~Deadline();
        Deadline(const Deadline&) = delete;
        Deadline& operator=(const Deadline&) = delete;
        bool passed() const { return m_passed; }

    private:
        friend Callbacks;
        PulseConnection& m_connection;
        pa_time_event* m_timer = nullptr;
        bool m_passed = false;
    };

    void waitForSignal();
    void scheduleConnect(std::uint64_t delayMicroseconds);
    void connect();
    void dropContext();

    std::string m_applicationName;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_mainloop_api* m_api = nullptr;
    pa_context* m_context = nullptr;
    pa_time_event* m_retry = nullptr;
    bool m_closing = false;
    std::vector<Client*> m_clients;
};

} // namespace vortan
