// The loopback HTTP server. Every blocking call is bounded by a select() of at most
// kStepMs, so Stop is seen within one step wherever the thread is.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/http_server.h"

#include <algorithm>
#include <stdexcept>

namespace testing_support {
namespace {

constexpr int kStepMs = 50;
constexpr size_t kMaxHead = 64 * 1024;
// A client that sends no complete head within this time gets no answer.
constexpr ULONGLONG kHeadTimeoutMs = 3000;
constexpr ULONGLONG kSendTimeoutMs = 3000;

SOCKET AsSocket(std::uintptr_t s) { return static_cast<SOCKET>(s); }

// True when the socket is readable (or writable) within ms.
bool Ready(SOCKET s, bool write, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait{ms / 1000, (ms % 1000) * 1000};
    return select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &wait) == 1;
}

class WinsockSession {
public:
    WinsockSession() {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
    }
    ~WinsockSession() { WSACleanup(); }
};

WinsockSession& Winsock() {
    static WinsockSession session;
    return session;
}

}  // namespace

HttpServer::HttpServer(std::vector<HttpReply> script) : script_(std::move(script)) {
    if (script_.empty()) script_.push_back(HttpReply{});
    Winsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof(address);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(s);
        throw std::runtime_error("the loopback server could not listen");
    }
    listener_ = static_cast<std::uintptr_t>(s);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

HttpServer::~HttpServer() { Stop(); }

void HttpServer::Stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != static_cast<std::uintptr_t>(INVALID_SOCKET)) {
        closesocket(AsSocket(listener_));
        listener_ = static_cast<std::uintptr_t>(INVALID_SOCKET);
    }
}

std::string HttpServer::HostPort() const { return "127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> HttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

size_t HttpServer::RequestCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_.size();
}

bool HttpServer::WaitForRequests(size_t count, DWORD timeoutMs) const {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (RequestCount() < count) {
        if (GetTickCount64() >= end) return false;
        Sleep(10);
    }
    return true;
}

bool HttpServer::Hold(int ms) const {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(std::max(ms, 0));
    while (!stopping_ && GetTickCount64() < end) Sleep(10);
    return !stopping_;
}

void HttpServer::Serve() noexcept {
    size_t accepted = 0;
    std::vector<std::thread> connections;
    while (!stopping_) {
        if (!Ready(AsSocket(listener_), false, kStepMs)) continue;
        SOCKET client = accept(AsSocket(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        const HttpReply& reply = script_[std::min(accepted++, script_.size() - 1)];
        // Each connection on its own thread, so that a stalled answer does not hide
        // a second request behind it.
        try {
            connections.emplace_back([this, client, &reply] { Converse(static_cast<std::uintptr_t>(client), reply); });
        } catch (...) {
            closesocket(client);
        }
    }
    for (std::thread& connection : connections) connection.join();
}

void HttpServer::Converse(std::uintptr_t socket, const HttpReply& reply) noexcept {
    const SOCKET client = AsSocket(socket);
    std::string head;
    const ULONGLONG end = GetTickCount64() + kHeadTimeoutMs;
    bool complete = false;
    while (!stopping_ && !complete && head.size() < kMaxHead && GetTickCount64() < end) {
        if (!Ready(client, false, kStepMs)) continue;
        char buffer[4096];
        const int got = recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0) break;
        head.append(buffer, static_cast<size_t>(got));
        complete = head.find("\r\n\r\n") != std::string::npos;
    }
    if (complete) {
        head.resize(head.find("\r\n\r\n"));
        try {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(head);
            }
            Answer(socket, reply);
        } catch (...) {
        }
    }
    closesocket(client);
}

void HttpServer::Answer(std::uintptr_t client, const HttpReply& reply) {
    if (!Hold(reply.holdMs) || reply.status == 0) return;
    std::string message = "HTTP/1.1 " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
    message += "Content-Length: " + std::to_string(reply.contentLength.value_or(reply.body.size())) + "\r\n";
    message += "Connection: close\r\n";
    for (const std::string& header : reply.headers) message += header + "\r\n";
    message += "\r\n" + reply.body;
    const SOCKET s = AsSocket(client);
    size_t sent = 0;
    const ULONGLONG end = GetTickCount64() + kSendTimeoutMs;
    while (!stopping_ && sent < message.size() && GetTickCount64() < end) {
        if (!Ready(s, true, kStepMs)) continue;
        const int chunk = static_cast<int>(std::min<size_t>(message.size() - sent, 64 * 1024));
        const int put = send(s, message.data() + sent, chunk, 0);
        if (put <= 0) return;  // the client gave up, as it may on a long body
        sent += static_cast<size_t>(put);
    }
    shutdown(s, SD_SEND);
}

}  // namespace testing_support
