// The emulator's sockets: one listening address per host, one request per
// connection, answers shaped by the armed wire faults.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

#include "emulator/service.h"

namespace emulator {

struct ServerOptions {
    std::string loginAddr = "127.0.0.2";
    std::string apiAddr = "127.0.0.3";
    int port = 80;
};

// One line per request, flushed at once so a test can read it right after
// its answer arrives.
class RequestLog {
public:
    explicit RequestLog(std::FILE* file)
        : m_file(file)
    {
    }
    void Write(std::string_view line);

private:
    std::mutex m_mutex;
    std::FILE* m_file;
};

// Serves both hosts until SIGTERM or SIGINT arrives (both must already be
// blocked in every thread). Returns the process exit status.
int RunServer(Service& service, const ServerOptions& options, RequestLog& log);

}  // namespace emulator
