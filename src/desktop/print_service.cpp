// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/print_service.h"

#include "files/io_errors.h"

#include <cerrno>
#include <cups/cups.h>
#include <future>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace vortan {

namespace {

using Kind = DefaultPrinterState::Kind;

// IPP printer-state: 3 idle, 4 processing, 5 stopped (paused).
constexpr int kPrinterStopped = 5;

// Ends a request that waits past the connection's timeout.
extern "C" int giveUp(http_t*, void*)
{
    return 0;
}

struct HttpConnection {
    explicit HttpConnection(http_t* connection)
        : http(connection)
    {
    }
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;
    ~HttpConnection()
    {
        if (http != nullptr)
            httpClose(http);
    }
    http_t* http;
};

std::string lastCupsError()
{
    const char* text = cupsLastErrorString();
    return text != nullptr ? text : "";
}

// Why nothing answers at the server. libcups keeps no reason when it cannot connect; for the
// local socket a connection of our own tells (no such file, refused); for a host its words do.
std::string connectionFailure(const std::string& server)
{
    if (!server.starts_with('/') || server.size() >= sizeof(sockaddr_un::sun_path))
        return lastCupsError();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    server.copy(address.sun_path, server.size());
    const bool connected =
        fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    return connected ? lastCupsError() : systemReason(error);
}

// A question the service took but left unanswered fails with one of these.
bool unanswered(ipp_status_t status)
{
    return status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL;
}

// The printer's acceptance, state and message, asked of the service itself: the options of a
// destination may come from the user's own files.
void askPrinter(http_t* http, DefaultPrinterState& state)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[1024];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", state.printer.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-is-accepting-jobs", "printer-state",
                                         "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr,
                  wanted);
    ipp_t* response = cupsDoRequest(http, request, "/");
    const std::unique_ptr<ipp_t, decltype(&ippDelete)> owned(response, ippDelete);
    if (response == nullptr || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
        const ipp_status_t status = cupsLastError();
        state.kind = status == IPP_STATUS_ERROR_NOT_FOUND ? Kind::NoDefault
                     : unanswered(status)                 ? Kind::NotAnswering
                                                          : Kind::Rejecting;
        state.reason = lastCupsError();
        return;
    }
    ipp_attribute_t* message = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
    if (message != nullptr && ippGetString(message, 0, nullptr) != nullptr)
        state.reason = ippGetString(message, 0, nullptr);
    ipp_attribute_t* accepting =
        ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    ipp_attribute_t* printerState = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
    if (accepting != nullptr && !ippGetBoolean(accepting, 0))
        state.kind = Kind::Rejecting;
    else if (printerState != nullptr && ippGetInteger(printerState, 0) == kPrinterStopped)
        state.kind = Kind::Paused;
    else
        state.kind = Kind::Ready;
}

DefaultPrinterState askService(const std::string& server, std::chrono::milliseconds timeout)
{
    DefaultPrinterState state;
    state.server = server;
    const HttpConnection connection(httpConnect2(server.c_str(), ippPort(), nullptr, AF_UNSPEC,
                                                 cupsEncryption(), 1,
                                                 static_cast<int>(timeout.count()), nullptr));
    if (connection.http == nullptr) {
        state.kind = Kind::ServiceDown;
        state.reason = connectionFailure(server);
        return state;
    }
    httpSetTimeout(connection.http, std::chrono::duration<double>(timeout).count(), giveUp,
                   nullptr);
    cups_dest_t* destination = cupsGetNamedDest(connection.http, nullptr, nullptr);
    if (destination == nullptr) {
        state.kind = unanswered(cupsLastError()) ? Kind::NotAnswering : Kind::NoDefault;
        state.reason = lastCupsError();
        return state;
    }
    state.printer = destination->name;
    cupsFreeDests(1, destination);
    askPrinter(connection.http, state);
    return state;
}

} // namespace

DefaultPrinterState askDefaultPrinterState(std::chrono::milliseconds patience)
{
    // The server is per thread in libcups: the asking thread's choice goes along.
    const std::string server = cupsServer();
    auto answer = std::make_shared<std::promise<DefaultPrinterState>>();
    std::future<DefaultPrinterState> future = answer->get_future();
    std::thread([answer, server, patience] {
        answer->set_value(askService(server, patience));
    }).detach();
    if (future.wait_for(patience) == std::future_status::ready)
        return future.get();
    DefaultPrinterState silent;
    silent.kind = Kind::NotAnswering;
    silent.server = server;
    silent.reason = "no answer within " + std::to_string(patience.count()) + " ms";
    return silent;
}

} // namespace vortan
