#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace iomira::smtp::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Runs a program to its end with its output discarded; its exit status.
int runProgram(const std::vector<std::string>& argv);

std::string readFile(const std::filesystem::path& path);
std::vector<std::string> readLines(const std::filesystem::path& path);

// Makes a self-signed certificate and key (cert.pem, key.pem) in `folder` with `openssl req`.
void makeCertificate(const std::filesystem::path& folder);

// The aiosmtpd test server (smtp_server.py) in a child process, listening on an ephemeral
// loopback port. It ends when the object is destroyed.
class PythonSmtpServer {
  public:
    explicit PythonSmtpServer(const std::vector<std::string>& options);
    ~PythonSmtpServer();
    PythonSmtpServer(const PythonSmtpServer&) = delete;
    PythonSmtpServer& operator=(const PythonSmtpServer&) = delete;

    uint16_t port() const { return port_; }
    // events.log, one line per EHLO, AUTH and message.
    std::vector<std::string> events() const;
    // The data of the n-th message (from 1), exactly as the server received it.
    std::string message(int n) const;

  private:
    void stop();

    TempDir dir_;
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    uint16_t port_ = 0;
};

// The server's end of one scripted connection.
class Peer {
  public:
    explicit Peer(int handle) : handle_(handle) {}
    ~Peer();

    // False once the client has gone away.
    bool send(std::string_view text) const;
    // Reads up to and including `terminator`; whatever arrived when the client closed or
    // nothing came for a while.
    std::string readUntil(std::string_view terminator);
    std::string readLine() { return readUntil("\r\n"); }
    // Everything until the client closes; `closed` says whether it did in time.
    std::string readToEnd(bool& closed, std::chrono::milliseconds limit = std::chrono::seconds(20));
    void close();
    // Closes with a reset instead of an orderly close, as a crashed server would.
    void reset();

  private:
    int handle_;
    std::string pending_;
};

// A raw TCP server on an ephemeral loopback port that accepts one connection and plays
// `script` on it in its own thread. Listening starts in the constructor, so a client may
// connect at once.
class ScriptedServer {
  public:
    using Script = std::function<void(Peer&)>;
    explicit ScriptedServer(Script script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    uint16_t port() const { return port_; }
    // Waits for the script to end.
    void join();

  private:
    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
};

// Open file descriptors of this process, to show that a failure leaks no socket.
int openDescriptorCount();

} // namespace iomira::smtp::test
