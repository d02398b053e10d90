// The live view's connections: one thread takes every connection in and reads each
// request whole (head and body) under one deadline, and only a complete request goes
// to one of a few answering threads. A client that sends slowly or not at all holds
// no thread, only its place among a bounded number of connections; when they are all
// taken, the one that has waited longest without a complete request makes room.
#ifndef AIKHOST_HTTP_FRONT_H
#define AIKHOST_HTTP_FRONT_H

#include "host/view/http_address.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace aikhost {

struct FrontLimits {
    std::size_t connections = 256; // open at once
    std::size_t answering = 16;    // threads that answer complete requests
    // From the moment a connection waits for a request until that request is all
    // there, whatever the client sends meanwhile.
    std::chrono::milliseconds requestDeadline{5000};
    // For a whole answer to be taken, and for any part of it to be taken.
    std::chrono::milliseconds answerDeadline{10000};
    std::chrono::milliseconds stallLimit{2000};
    std::size_t headBytes = 16 * 1024;
    std::size_t bodyBytes = 64 * 1024; // larger bodies are never read: the answer refuses them
    int requestsPerConnection = 100;
};

struct BindOutcome {
    bool bound = false;
    int error = 0;      // errno of the failed bind, 0 when the name did not resolve
    std::string reason; // the system's text
};

// Answers one complete request read from stream (httplib's process_request):
// closeAfter asks it to announce the connection's end; closed tells that the
// client asked for it. False when the answer could not be written.
using AnswerRequest = std::function<bool(httplib::Stream& stream, bool closeAfter, bool& closed)>;

class HttpFront {
public:
    HttpFront(AnswerRequest answer, FrontLimits limits);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Binds and listens; port 0 picks a free port. The port is never shared with
    // another socket (no SO_REUSEPORT), so a second server on it fails here.
    BindOutcome bind(const HttpAddress& address);
    int port() const { return m_port; }
    // Starts the threads; requests are answered from then until stop().
    void start();
    // Closes the listening socket and every connection, cutting answers being
    // written, and joins the threads. Handlers that wait must have been woken.
    void stop();

private:
    struct Connection;

    void door();
    void answering();
    void acceptAll(std::vector<std::unique_ptr<Connection>>& waiting);
    // Reads what arrived; false when the connection is to be closed.
    bool receive(Connection& connection);
    // Whether the connection's buffered request is complete (or can be refused
    // without reading more); sends 100 Continue when the client waits for it.
    bool requestReady(Connection& connection) const;
    void handBack(std::unique_ptr<Connection> connection);

    AnswerRequest m_answer;
    const FrontLimits m_limits;
    int m_listener = -1;
    int m_port = 0;
    int m_wake[2] = {-1, -1}; // a pipe that wakes the door

    std::mutex m_mutex;
    std::condition_variable m_readyPosted;
    std::deque<std::unique_ptr<Connection>> m_ready;    // complete requests for the answering threads
    std::deque<std::unique_ptr<Connection>> m_returned; // answered, back to the door for the next request
    std::set<int> m_answeringSockets;                   // cut by stop()
    std::size_t m_open = 0;                             // connections open, wherever they are
    bool m_stopping = false;

    std::thread m_door;
    std::vector<std::thread> m_answerers;
};

} // namespace aikhost

#endif
