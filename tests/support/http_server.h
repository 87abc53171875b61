// A loopback HTTP server for tests: 127.0.0.1 on a free port, each connection
// answered by the next step of a script on a thread of its own; it logs every
// request head.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// One answer of the script.
struct HttpReply {
    int status = 200;  // 0 closes the connection without an answer
    std::string reason = "OK";
    std::vector<std::string> headers;  // further header lines, without the line end
    std::string body;
    // The Content-Length sent; the body's size unless set (a larger one gives a short body).
    std::optional<size_t> contentLength;
    // Waits this long after reading the request before answering (a stalled server).
    int holdMs = 0;
};

inline HttpReply OkReply(std::string body) {
    HttpReply reply;
    reply.body = std::move(body);
    return reply;
}

class HttpServer {
public:
    // Connection n gets script[n]; once the script is used up, its last step again.
    // Throws std::runtime_error when no socket can be had.
    explicit HttpServer(std::vector<HttpReply> script);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int Port() const noexcept { return port_; }
    // "127.0.0.1:port", the form ZARVO_WEATHER_HOST takes.
    std::string HostPort() const;

    // The head of every request so far (request line and headers, CRLF-separated).
    std::vector<std::string> Requests() const;
    size_t RequestCount() const;
    // True once at least `count` requests have arrived, waiting at most timeoutMs.
    bool WaitForRequests(size_t count, DWORD timeoutMs) const;

    // Ends every hold and closes the socket; returns within about 1 s. The
    // destructor calls it.
    void Stop();

private:
    void Serve() noexcept;
    void Converse(std::uintptr_t client, const HttpReply& reply) noexcept;
    void Answer(std::uintptr_t client, const HttpReply& reply);
    // Sleeps up to ms in short steps; false once Stop was called.
    bool Hold(int ms) const;

    std::vector<HttpReply> script_;
    std::uintptr_t listener_ = ~std::uintptr_t{0};  // INVALID_SOCKET
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace testing_support
