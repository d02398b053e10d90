// Reads never wait on a client: the door hands over only requests that are all there,
// so an answering thread reading past one finds its end. Writes wait for the client,
// within the answer's deadlines, and stop() cuts them short.
#include "host/view/http_front.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace aikhost {

using FrontClock = std::chrono::steady_clock;

struct HttpFront::Connection {
    int socket = -1;
    std::string received;         // bytes of the next request or requests, not yet answered
    std::size_t requestBytes = 0; // of the complete request; 0: one whose body is not to be read
    FrontClock::time_point deadline{};
    int answered = 0;
    bool continued = false; // 100 Continue sent for the request being read
};

namespace {

constexpr std::size_t kReadChunk = 16 * 1024;
constexpr int kListenBacklog = 128;
constexpr int kMostAcceptsPerTurn = 64;
// The longest poll of the door when no deadline is nearer.
constexpr int kLongestPollMs = 1000;
constexpr char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
constexpr char kHeadEnd[] = "\r\n\r\n";

bool prepareSocket(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 && fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

int millisecondsUntil(FrontClock::time_point when, int longest) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - FrontClock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, longest));
}

void addressText(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    } else {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    }
    ip = text;
}

// Whether a header's name is `name`, in any case, all of it.
bool isHeader(const std::string& header, const char* name) {
    return header.size() == std::strlen(name) && strncasecmp(header.c_str(), name, header.size()) == 0;
}

// What a request's head says of its body.
struct BodyShape {
    std::size_t length = 0;
    bool unreadable = false; // chunked, or a length that is not one number: refused unread
    bool expectsContinue = false;
};

// head: the request line and header lines, each ending in CRLF, as httplib reads them.
BodyShape bodyShape(const std::string& head) {
    BodyShape shape;
    int lengths = 0;
    for (std::size_t line = head.find("\r\n") + 2; line < head.size();) {
        const std::size_t end = head.find("\r\n", line);
        const std::size_t colon = head.find(':', line);
        if (colon < end) {
            const std::string name = head.substr(line, colon - line);
            const std::size_t first = head.find_first_not_of(" \t", colon + 1);
            const std::size_t last = head.find_last_not_of(" \t", end - 1);
            const std::string value =
                first < end && last >= first ? head.substr(first, last - first + 1) : "";
            if (isHeader(name, "Content-Length")) {
                ++lengths;
                const bool digits = !value.empty() && value.size() <= 18 &&
                                    value.find_first_not_of("0123456789") == std::string::npos;
                shape.unreadable = shape.unreadable || !digits;
                shape.length = digits ? std::stoull(value) : 0;
            } else if (isHeader(name, "Transfer-Encoding")) {
                shape.unreadable = true;
            } else if (isHeader(name, "Expect")) {
                shape.expectsContinue = value == "100-continue";
            }
        }
        line = end + 2;
    }
    shape.unreadable = shape.unreadable || lengths > 1;
    return shape;
}

// A request buffered whole, then the socket for the answer.
class AnsweringStream final : public httplib::Stream {
public:
    AnsweringStream(const std::string& received, int socket, const FrontLimits& limits)
        : m_received(received), m_socket(socket), m_limits(limits) {}

    std::size_t consumed() const { return m_read; }
    bool failed() const { return m_failed; }

    bool is_readable() const override { return m_read < m_received.size(); }
    bool is_writable() const override { return waitWritable(); }
    ssize_t read(char* ptr, size_t size) override {
        const std::size_t count = std::min(size, m_received.size() - m_read);
        std::memcpy(ptr, m_received.data() + m_read, count);
        m_read += count;
        return static_cast<ssize_t>(count);
    }
    // All of it or nothing: httplib writes a body in one call and takes a short count
    // for the whole.
    ssize_t write(const char* ptr, size_t size) override {
        std::size_t written = 0;
        while (written < size) {
            const ssize_t sent = ::send(m_socket, ptr + written, size - written, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent > 0) {
                written += static_cast<std::size_t>(sent);
                continue;
            }
            if ((sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) || !waitWritable()) {
                m_failed = true;
                return -1;
            }
        }
        return static_cast<ssize_t>(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        getpeername(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        addressText(address, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        addressText(address, ip, port);
    }
    int socket() const override { return m_socket; }

private:
    // The answer's deadline runs from its first byte: the handler may have waited
    // for an image before it.
    bool waitWritable() const {
        const FrontClock::time_point now = FrontClock::now();
        if (m_answerDeadline == FrontClock::time_point{})
            m_answerDeadline = now + m_limits.answerDeadline;
        const FrontClock::time_point until = std::min(now + m_limits.stallLimit, m_answerDeadline);
        pollfd writable{m_socket, POLLOUT, 0};
        const int longest = static_cast<int>(m_limits.answerDeadline.count());
        return ::poll(&writable, 1, millisecondsUntil(until, longest)) > 0 &&
               (writable.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
    }

    const std::string& m_received;
    const int m_socket;
    const FrontLimits& m_limits;
    std::size_t m_read = 0;
    bool m_failed = false;
    mutable FrontClock::time_point m_answerDeadline{};
};

} // namespace

HttpFront::HttpFront(AnswerRequest answer, FrontLimits limits)
    : m_answer(std::move(answer)), m_limits(limits) {}

HttpFront::~HttpFront() {
    stop();
    if (m_listener >= 0)
        ::close(m_listener);
}

BindOutcome HttpFront::bind(const HttpAddress& address) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (const int failed =
            getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found);
        failed != 0)
        return {false, 0, gai_strerror(failed)};
    BindOutcome outcome;
    for (const addrinfo* candidate = found; candidate != nullptr && m_listener < 0;
         candidate = candidate->ai_next) {
        const int fd = ::socket(candidate->ai_family, candidate->ai_socktype, candidate->ai_protocol);
        if (fd < 0) {
            outcome.error = errno;
            continue;
        }
        // Lets a restarted view bind while its closed connections linger; unlike
        // SO_REUSEPORT it never lets a second socket listen on the port.
        const int yes = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, candidate->ai_addr, candidate->ai_addrlen) == 0 && ::listen(fd, kListenBacklog) == 0 &&
            prepareSocket(fd)) {
            m_listener = fd;
        } else {
            outcome.error = errno;
            ::close(fd);
        }
    }
    freeaddrinfo(found);
    if (m_listener < 0) {
        outcome.reason = std::strerror(outcome.error);
        return outcome;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&bound), &length);
    std::string ip;
    addressText(bound, ip, m_port);
    outcome.bound = true;
    return outcome;
}

void HttpFront::start() {
    if (::pipe(m_wake) != 0 || !prepareSocket(m_wake[0]) || !prepareSocket(m_wake[1]))
        throw std::runtime_error(std::string("cannot make the live view's wake-up pipe: ") +
                                 std::strerror(errno));
    m_door = std::thread([this] { door(); });
    for (std::size_t i = 0; i < m_limits.answering; ++i)
        m_answerers.emplace_back([this] { answering(); });
}

void HttpFront::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping || !m_door.joinable())
            return;
        m_stopping = true;
        for (const int socket : m_answeringSockets)
            ::shutdown(socket, SHUT_RDWR);
    }
    m_readyPosted.notify_all();
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &wake, 1);
    m_door.join();
    for (std::thread& answerer : m_answerers)
        answerer.join();
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

bool HttpFront::receive(Connection& connection) {
    const std::size_t most = m_limits.headBytes + m_limits.bodyBytes;
    if (connection.received.size() >= most)
        return false;
    char chunk[kReadChunk];
    const ssize_t count =
        ::recv(connection.socket, chunk, std::min(sizeof chunk, most - connection.received.size()), 0);
    if (count == 0)
        return false;
    if (count < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    connection.received.append(chunk, static_cast<std::size_t>(count));
    return connection.received.find(kHeadEnd) != std::string::npos ||
           connection.received.size() <= m_limits.headBytes;
}

bool HttpFront::requestReady(Connection& connection) const {
    const std::size_t headEnd = connection.received.find(kHeadEnd);
    if (headEnd == std::string::npos)
        return false;
    const BodyShape shape = bodyShape(connection.received.substr(0, headEnd + 2));
    if (shape.unreadable || shape.length > m_limits.bodyBytes) {
        connection.requestBytes = 0;
        return true;
    }
    connection.requestBytes = headEnd + std::strlen(kHeadEnd) + shape.length;
    if (connection.received.size() >= connection.requestBytes)
        return true;
    if (shape.expectsContinue && !connection.continued) {
        ::send(connection.socket, kContinue, std::strlen(kContinue), MSG_NOSIGNAL | MSG_DONTWAIT);
        connection.continued = true;
    }
    return false;
}

void HttpFront::acceptAll(std::vector<std::unique_ptr<Connection>>& waiting) {
    for (int i = 0; i < kMostAcceptsPerTurn; ++i) {
        const int fd = ::accept(m_listener, nullptr, nullptr);
        if (fd < 0)
            return;
        const int yes = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        bool full = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            full = m_open >= m_limits.connections;
            m_open += full ? 0 : 1;
        }
        if (full) {
            // The connection that has waited longest for its request makes room; one
            // goes, one comes, so the count stays.
            const auto oldest =
                std::min_element(waiting.begin(), waiting.end(),
                                 [](const auto& a, const auto& b) { return a->deadline < b->deadline; });
            if (oldest == waiting.end() || !prepareSocket(fd)) {
                ::close(fd);
                continue;
            }
            ::close((*oldest)->socket);
            waiting.erase(oldest);
        } else if (!prepareSocket(fd)) {
            ::close(fd);
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_open;
            continue;
        }
        auto connection = std::make_unique<Connection>();
        connection->socket = fd;
        connection->deadline = FrontClock::now() + m_limits.requestDeadline;
        waiting.push_back(std::move(connection));
    }
}

void HttpFront::door() {
    std::vector<std::unique_ptr<Connection>> waiting;
    const auto drop = [this](Connection& connection) {
        ::close(connection.socket);
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_open;
    };
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopping)
                break;
            for (; !m_returned.empty(); m_returned.pop_front()) {
                m_returned.front()->deadline = FrontClock::now() + m_limits.requestDeadline;
                waiting.push_back(std::move(m_returned.front()));
            }
        }
        // Requests that are all there go on, pipelined ones included.
        std::vector<std::unique_ptr<Connection>> still;
        for (auto& connection : waiting) {
            if (!requestReady(*connection)) {
                still.push_back(std::move(connection));
                continue;
            }
            std::lock_guard<std::mutex> lock(m_mutex);
            m_ready.push_back(std::move(connection));
            m_readyPosted.notify_one();
        }
        waiting.swap(still);

        std::vector<pollfd> polled{{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        FrontClock::time_point nearest = FrontClock::now() + std::chrono::milliseconds(kLongestPollMs);
        for (const auto& connection : waiting) {
            polled.push_back({connection->socket, POLLIN, 0});
            nearest = std::min(nearest, connection->deadline);
        }
        ::poll(polled.data(), polled.size(), millisecondsUntil(nearest, kLongestPollMs));
        if (polled[0].revents != 0) {
            char drained[64];
            while (::read(m_wake[0], drained, sizeof drained) > 0) {
            }
        }
        const FrontClock::time_point now = FrontClock::now();
        still.clear();
        for (std::size_t i = 0; i < waiting.size(); ++i) {
            Connection& connection = *waiting[i];
            const bool readable = polled[i + 2].revents != 0;
            if ((readable && !receive(connection)) ||
                (now >= connection.deadline && !requestReady(connection)))
                drop(connection);
            else
                still.push_back(std::move(waiting[i]));
        }
        waiting.swap(still);
        if (polled[1].revents != 0)
            acceptAll(waiting);
    }
    ::close(m_listener);
    m_listener = -1;
    for (auto& connection : waiting)
        drop(*connection);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto* queue : {&m_ready, &m_returned}) {
        for (auto& connection : *queue)
            ::close(connection->socket);
        queue->clear();
    }
}

void HttpFront::handBack(std::unique_ptr<Connection> connection) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_stopping) {
            m_returned.push_back(std::move(connection));
        } else {
            ::close(connection->socket);
            --m_open;
            return;
        }
    }
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &wake, 1);
}

void HttpFront::answering() {
    for (;;) {
        std::unique_ptr<Connection> connection;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_readyPosted.wait(lock, [this] { return m_stopping || !m_ready.empty(); });
            if (m_stopping)
                return;
            connection = std::move(m_ready.front());
            m_ready.pop_front();
            m_answeringSockets.insert(connection->socket);
        }
        AnsweringStream stream(connection->received, connection->socket, m_limits);
        // A request whose body stays unread ends its connection: the rest of it is
        // no next request.
        const bool last =
            ++connection->answered >= m_limits.requestsPerConnection || connection->requestBytes == 0;
        bool closed = false;
        bool answered = false;
        try {
            answered = m_answer(stream, last, closed);
        } catch (...) {
            answered =
                false; // httplib answers a handler's exception itself; anything else ends the connection
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_answeringSockets.erase(connection->socket);
        }
        if (!answered || closed || last || stream.failed() || stream.consumed() != connection->requestBytes) {
            ::close(connection->socket);
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_open;
            continue;
        }
        connection->received.erase(0, connection->requestBytes);
        connection->continued = false;
        handBack(std::move(connection));
    }
}

} // namespace aikhost
