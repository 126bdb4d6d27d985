// Sockets are ours, HTTP parsing is cpp-httplib's. The emulator must be able
// to send broken answers (nothing at all, headers without the blank line,
// half an answer and then RST), which cpp-httplib's own server cannot: so
// each accepted socket is read through a Stream of our own, cpp-httplib's
// request processing parses the request, routes it and writes the normal
// answer into that stream's buffer, and only then do we decide how the
// bytes leave (ShapeDelivery).
#include "emulator/server.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <linux/sockios.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <thread>

namespace emulator {

namespace {

constexpr int kReadTimeoutMs = 5000;
constexpr int kWriteTimeoutMs = 30000;
constexpr size_t kMaxLoggedLine = 16384;

// What a handler decided about its connection beyond the answer's text.
// Handlers run on the connection's own thread, inside ServeOne.
struct Exchange {
    Fault wire = Fault::None;
    bool control = false;
    Answer hold;  // only held and holdRound are used
};
thread_local Exchange* t_exchange = nullptr;

// Reads the request from the socket and keeps what cpp-httplib writes.
class SocketCapture final : public httplib::Stream {
public:
    explicit SocketCapture(int fd)
        : m_fd(fd)
    {
    }

    bool is_readable() const override { return m_pos < m_in.size() || WaitReadable(); }
    bool is_writable() const override { return true; }

    ssize_t read(char* ptr, size_t size) override
    {
        if (m_pos == m_in.size()) {
            if (!WaitReadable())
                return -1;
            char buf[4096];
            const ssize_t n = recv(m_fd, buf, sizeof buf, 0);
            if (n <= 0)
                return n;
            m_in.assign(buf, static_cast<size_t>(n));
            m_pos = 0;
            NoteFirstLine(buf, static_cast<size_t>(n));
        }
        const size_t n = std::min(size, m_in.size() - m_pos);
        std::memcpy(ptr, m_in.data() + m_pos, n);
        m_pos += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override
    {
        m_out.append(ptr, size);
        return static_cast<ssize_t>(size);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(getpeername, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { Address(getsockname, ip, port); }
    socket_t socket() const override { return m_fd; }

    // The request line as received, without its line end.
    std::string FirstLine() const
    {
        std::string line = m_line;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }
    std::string TakeOutput() { return std::move(m_out); }

private:
    bool WaitReadable() const
    {
        pollfd p {m_fd, POLLIN, 0};
        return poll(&p, 1, kReadTimeoutMs) > 0;
    }

    void NoteFirstLine(const char* data, size_t n)
    {
        if (m_lineDone)
            return;
        const char* nl = static_cast<const char*>(std::memchr(data, '\n', n));
        const size_t take = nl ? static_cast<size_t>(nl - data) : n;
        m_line.append(data, std::min(take, kMaxLoggedLine - std::min(kMaxLoggedLine, m_line.size())));
        m_lineDone = nl != nullptr;
    }

    using NameFn = int (*)(int, sockaddr*, socklen_t*);
    void Address(NameFn fn, std::string& ip, int& port) const
    {
        sockaddr_in addr {};
        socklen_t len = sizeof addr;
        ip.clear();
        port = -1;
        if (fn(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            return;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
        ip = text;
        port = ntohs(addr.sin_port);
    }

    int m_fd;
    std::string m_in;
    size_t m_pos = 0;
    std::string m_out;
    std::string m_line;
    bool m_lineDone = false;
};

// cpp-httplib's request processing on a stream we hand it.
class HostServer : public httplib::Server {
public:
    void ServeOne(httplib::Stream& stream)
    {
        bool closed = false;
        process_request(stream, true, closed, nullptr);
    }
};

void Reply(httplib::Response& res, Answer answer, bool control)
{
    res.status = answer.status;
    for (const auto& h : answer.headers)
        res.set_header(h.first.c_str(), h.second);
    if (!answer.contentType.empty())
        res.set_header("Content-Type", answer.contentType);
    res.body = std::move(answer.body);
    if (t_exchange) {
        t_exchange->wire = answer.wire;
        t_exchange->control = control;
        t_exchange->hold.held = answer.held;
        t_exchange->hold.holdRound = answer.holdRound;
    }
}

bool SendAll(int fd, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        pollfd p {fd, POLLOUT, 0};
        if (poll(&p, 1, kWriteTimeoutMs) <= 0)
            return false;
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// Closes so that the peer sees RST: what it has not read yet is lost.
void Abort(int fd)
{
    // Let the part already sent reach the peer before the RST overtakes it.
    for (int i = 0; i < 100; ++i) {
        int queued = 0;
        if (ioctl(fd, SIOCOUTQ, &queued) != 0 || queued == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    linger l {1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    close(fd);
}

// An orderly close: FIN after the answer, and no RST for unread bytes.
void Finish(int fd)
{
    shutdown(fd, SHUT_WR);
    char buf[4096];
    while (recv(fd, buf, sizeof buf, MSG_DONTWAIT) > 0) { }
    close(fd);
}

int Listen(const std::string& address, int port)
{
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
        std::fprintf(stderr, "sorvinta-emulator: not an IPv4 address: %s\n", address.c_str());
        return -1;
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0
        || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 128) != 0) {
        std::fprintf(stderr, "sorvinta-emulator: cannot listen on %s:%d: %s\n", address.c_str(), port,
            std::strerror(errno));
        if (fd >= 0)
            close(fd);
        return -1;
    }
    return fd;
}

class Emulator {
public:
    Emulator(Service& service, RequestLog& log)
        : m_service(service)
        , m_log(log)
    {
        Route(m_login, Host::Login);
        Route(m_api, Host::Api);
    }

    int Run(const ServerOptions& options);

private:
    void Route(HostServer& server, Host host);
    void Accept(int listener, Host host);
    void HandleConnection(int fd, Host host);
    bool Pause(int ms);  // false when the emulator is stopping

    Service& m_service;
    RequestLog& m_log;
    HostServer m_login, m_api;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_active = 0;
    bool m_stopping = false;
};

void Emulator::Route(HostServer& server, Host host)
{
    if (host == Host::Login) {
        server.Get("/auth", [this](const httplib::Request& req, httplib::Response& res) {
            Reply(res, m_service.Auth(ParseQuery(QueryOf(req.target))), false);
        });
    } else {
        server.Get("/data", [this](const httplib::Request& req, httplib::Response& res) {
            Reply(res, m_service.Data(ParseQuery(QueryOf(req.target))), false);
        });
    }
    server.Get("/_emulator/.*", [this, host](const httplib::Request& req, httplib::Response& res) {
        Reply(res, m_service.Control(host, req.path, ParseQuery(QueryOf(req.target))), true);
    });
    server.Get(".*", [this, host](const httplib::Request&, httplib::Response& res) {
        Reply(res, m_service.Other(host), false);
    });
}

void Emulator::HandleConnection(int fd, Host host)
{
    SocketCapture stream(fd);
    Exchange exchange;
    t_exchange = &exchange;
    (host == Host::Login ? m_login : m_api).ServeOne(stream);
    t_exchange = nullptr;

    const std::string line = stream.FirstLine();
    if (!line.empty() && !exchange.control)
        m_log.Write(line);

    const Delivery d = ShapeDelivery(stream.TakeOutput(), exchange.wire);
    m_service.AwaitRelease(exchange.hold, kHoldLimitMs);
    if (d.delayMs > 0 && !Pause(d.delayMs)) {
        close(fd);
        return;
    }
    SendAll(fd, d.bytes);
    if (d.reset)
        Abort(fd);
    else
        Finish(fd);
}

bool Emulator::Pause(int ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopping; });
}

void Emulator::Accept(int listener, Host host)
{
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_active;
    }
    std::thread([this, fd, host] {
        HandleConnection(fd, host);
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_active;
        m_changed.notify_all();
    }).detach();
}

int Emulator::Run(const ServerOptions& options)
{
    const int login = Listen(options.loginAddr, options.port);
    const int api = login < 0 ? -1 : Listen(options.apiAddr, options.port);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    const int signals = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (login < 0 || api < 0 || signals < 0) {
        if (login >= 0)
            close(login);
        if (api >= 0)
            close(api);
        if (signals < 0)
            std::fprintf(stderr, "sorvinta-emulator: signalfd: %s\n", std::strerror(errno));
        return 1;
    }
    std::fprintf(stderr, "sorvinta-emulator: login host %s:%d, data API host %s:%d\n",
        options.loginAddr.c_str(), options.port, options.apiAddr.c_str(), options.port);

    for (;;) {
        pollfd fds[3] = {{login, POLLIN, 0}, {api, POLLIN, 0}, {signals, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[2].revents)
            break;
        if (fds[0].revents & POLLIN)
            Accept(login, Host::Login);
        if (fds[1].revents & POLLIN)
            Accept(api, Host::Api);
    }

    close(login);
    close(api);
    close(signals);
    m_service.ReleaseAll();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_stopping = true;
    m_changed.notify_all();
    // Connections still reading a request end within the read timeout.
    if (!m_changed.wait_for(
            lock, std::chrono::milliseconds(kReadTimeoutMs + 1000), [this] { return m_active == 0; })) {
        // A peer that neither reads nor closes: leave without tearing down
        // what its thread still uses.
        std::fflush(nullptr);
        _exit(0);
    }
    return 0;
}

}  // namespace

void RequestLog::Write(std::string_view line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fputc('\n', m_file);
    std::fflush(m_file);
}

int RunServer(Service& service, const ServerOptions& options, RequestLog& log)
{
    Emulator emulator(service, log);
    return emulator.Run(options);
}

}  // namespace emulator
