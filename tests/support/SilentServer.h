// Print servers that do not answer, on this machine's loopback address only: a socket that
// takes connections and never says a word, one that listens but never takes them (the kernel
// completes the handshake into its backlog), and a closed port. Point CUPS_SERVER at
// address(). The accepting one counts the connections it took, so a test can tell whether a
// program asked the service at all.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QString>

#include <fcntl.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace bbtest {

class SilentServer {
public:
    enum Mode { AcceptAndStaySilent, NeverAccept, ClosedPort };

    explicit SilentServer(Mode mode) : mode_(mode) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // 127.0.0.1
        a.sin_port = 0;
        socklen_t len = sizeof a;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port_ = ntohs(a.sin_port);
        if (mode_ == ClosedPort) {
            // Bound, never listening: a connection to the port is refused.
            return;
        }
        if (::listen(listener_, 16) != 0) return;
        ::fcntl(listener_, F_SETFL, ::fcntl(listener_, F_GETFL) | O_NONBLOCK);
        if (mode_ == AcceptAndStaySilent) thread_ = std::thread([this] { acceptLoop(); });
    }
    ~SilentServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        for (int fd : accepted_) ::close(fd);
        if (listener_ >= 0) ::close(listener_);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    bool ok() const { return port_ != 0; }
    // For CUPS_SERVER.
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    // Connections made so far (AcceptAndStaySilent only), those still waiting in the backlog
    // included: they are taken first, so the count does not depend on the accepting thread.
    int connections() {
        if (mode_ == AcceptAndStaySilent) takeWaiting();
        return count_.load();
    }

private:
    void acceptLoop() {
        // Polls in short steps so that the destructor ends it.
        while (!stop_) {
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) takeWaiting();
        }
    }
    void takeWaiting() {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (;;) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) return;
            accepted_.push_back(fd);  // held open, never read, never answered
            ++count_;
        }
    }

    Mode mode_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> count_{0};
    std::mutex mutex_;
    std::vector<int> accepted_;
};

}  // namespace bbtest
