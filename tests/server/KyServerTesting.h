// Requests written by hand and sent over a socket of the test's own, so
// that a test says exactly which bytes a server gets: how the body is
// framed, which headers it carries, when it stops.
#pragma once

#include "remote/KyRemoteTesting.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdio>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace kytest {

/// `body` in chunks of `piece` bytes (the last one shorter), as
/// "Transfer-Encoding: chunked" frames it.
inline std::string chunked(const std::string& body, std::size_t piece) {
  std::string framed;
  for (std::size_t at = 0; at < body.size(); at += piece) {
    const std::string part = body.substr(at, piece);
    char size[20];
    std::snprintf(size, sizeof size, "%zx\r\n", part.size());
    framed += size + part + "\r\n";
  }
  return framed + "0\r\n\r\n";
}

/// A connection to 127.0.0.1:`port`, from the loopback address `from`,
/// that waits 30 s at most for any read.
class RawConnection {
public:
  explicit RawConnection(int port, const char* from = "127.0.0.1")
      : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in source{};
    source.sin_family = AF_INET;
    inet_pton(AF_INET, from, &source.sin_addr);
    bind(socket_, reinterpret_cast<sockaddr*>(&source), sizeof source);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = socket_ >= 0 &&
                 connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    const timeval limit{30, 0};
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  }
  ~RawConnection() {
    if (socket_ >= 0)
      close(socket_);
  }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool connected() const { return connected_; }
  int fd() const { return socket_; }
  bool send(const std::string& bytes) {
    return ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  }
  /// Closes the sending side only: the server sees the end of the request
  /// stream and may still answer.
  void shutdownWrite() { shutdown(socket_, SHUT_WR); }
  /// Sets how long a read waits at most.
  void readLimit(int milliseconds) {
    const timeval limit{milliseconds / 1000, (milliseconds % 1000) * 1000};
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  }
  /// Everything the server sends until it closes the connection; what came
  /// when 30 s pass without a byte, with `closed` false.
  std::string receiveAll() {
    std::string received;
    char piece[4096];
    ssize_t got;
    while ((got = recv(socket_, piece, sizeof piece, 0)) > 0)
      received.append(piece, static_cast<std::size_t>(got));
    closed = got == 0;
    return received;
  }
  bool closed = false;

private:
  int socket_;
  bool connected_ = false;
};

/// An answer as it came over the wire.
struct RawAnswer {
  int status = 0;
  std::string head;
  std::string body;
  /// The server closed the connection after the answer.
  bool closed = false;
};

/// The answers in `received`, one after the other, each framed by its
/// Content-Length; what does not read as one ends the list.
inline std::vector<RawAnswer> answersIn(const std::string& received) {
  std::vector<RawAnswer> answers;
  std::size_t at = 0;
  while (received.compare(at, 9, "HTTP/1.1 ") == 0) {
    const std::size_t end = received.find("\r\n\r\n", at);
    if (end == std::string::npos)
      break;
    RawAnswer answer;
    answer.status = std::stoi(received.substr(at + 9, 3));
    answer.head = received.substr(at, end - at);
    std::size_t length = received.size() - end - 4;
    const std::size_t field = answer.head.find("Content-Length: ");
    if (field != std::string::npos)
      length = std::stoul(answer.head.substr(field + 16));
    answer.body = received.substr(end + 4, length);
    answers.push_back(answer);
    at = end + 4 + length;
  }
  return answers;
}

/// Sends `request` to 127.0.0.1:`port` and reads the answer up to the end
/// of the connection: `request` should ask for it to be closed, or the
/// server close it by itself.
inline RawAnswer exchange(int port, const std::string& request) {
  RawConnection connection(port);
  RawAnswer answer;
  if (!connection.connected())
    return answer;
  // A server that refuses a long request may close the connection before
  // all of it is sent: the send then fails, and what came is still read.
  const bool sent = connection.send(request);
  const std::vector<RawAnswer> answers = answersIn(connection.receiveAll());
  if (!answers.empty())
    answer = answers.front();
  answer.closed = connection.closed || !sent;
  return answer;
}

} // namespace kytest
