#include "tests/sources/RequestStartRecorder.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace vetorlan::test {

namespace {

// The kernel's arrival time of the data read, from the control message SO_TIMESTAMPNS adds.
bool ReadStamped(int connection, std::chrono::nanoseconds& at) {
    char data[4096];
    char control[CMSG_SPACE(sizeof(timespec))];
    iovec part{data, sizeof data};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    if (recvmsg(connection, &message, 0) <= 0)
        return false;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_TIMESTAMPNS) {
            timespec stamp{};
            std::copy_n(reinterpret_cast<const char*>(CMSG_DATA(c)), sizeof stamp, reinterpret_cast<char*>(&stamp));
            at = std::chrono::seconds(stamp.tv_sec) + std::chrono::nanoseconds(stamp.tv_nsec);
            return true;
        }
    }
    return false;
}

} // namespace

RequestStartRecorder::RequestStartRecorder() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on); // accepted sockets inherit it
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(listener_, 64) == 0 &&
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port_ = ntohs(address.sin_port);
    accepting_ = std::thread([this] { Accept(); });
}

RequestStartRecorder::~RequestStartRecorder() {
    stopping_ = true;
    accepting_.join();
    for (std::thread& thread : answering_)
        thread.join();
    close(listener_);
}

std::string RequestStartRecorder::url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::chrono::nanoseconds> RequestStartRecorder::starts() const {
    const std::lock_guard lock(mutex_);
    return starts_;
}

void RequestStartRecorder::Accept() {
    pollfd waiting{listener_, POLLIN, 0};
    while (!stopping_) {
        if (poll(&waiting, 1, 50) <= 0)
            continue;
        const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        const timeval patience{5, 0}; // a client that never sends is given up
        if (connection >= 0 && setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience) == 0)
            answering_.emplace_back([this, connection] { Answer(connection); });
    }
}

void RequestStartRecorder::Answer(int connection) {
    std::chrono::nanoseconds at{};
    if (ReadStamped(connection, at)) {
        {
            const std::lock_guard lock(mutex_);
            starts_.push_back(at);
        }
        static const char kAnswer[] =
            "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        send(connection, kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL);
    }
    close(connection);
}

} // namespace vetorlan::test
