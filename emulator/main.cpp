// sorvinta-emulator: plays the social network's login host and data API
// host for Sorvinta on this machine. Usage in emulator/README.md.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "emulator/dataset.h"
#include "emulator/server.h"
#include "emulator/service.h"

namespace {

const char kUsage[] = "usage: sorvinta-emulator [--login-addr ADDR] [--api-addr ADDR] [--port N]\n"
                      "                         [--data FILE] [--log FILE] [--seed N]\n"
                      "  --login-addr ADDR  address of the login host (default 127.0.0.2)\n"
                      "  --api-addr ADDR    address of the data API host (default 127.0.0.3)\n"
                      "  --port N           port of both hosts (default 80)\n"
                      "  --data FILE        accounts and friends to add (format: emulator/README.md)\n"
                      "  --log FILE         one request line per request (default: standard error)\n"
                      "  --seed N           fixed seed for session ids (default: random)\n";

struct Options {
    emulator::ServerOptions server;
    std::string dataFile;
    std::string logFile;
    bool seeded = false;
    unsigned long long seed = 0;
};

bool ParseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (arg == "--login-addr") {
            o.server.loginAddr = value;
        } else if (arg == "--api-addr") {
            o.server.apiAddr = value;
        } else if (arg == "--port") {
            char* end = nullptr;
            const long port = std::strtol(value.c_str(), &end, 10);
            if (*end != '\0' || port < 1 || port > 65535)
                return false;
            o.server.port = static_cast<int>(port);
        } else if (arg == "--data") {
            o.dataFile = value;
        } else if (arg == "--log") {
            o.logFile = value;
        } else if (arg == "--seed") {
            char* end = nullptr;
            o.seed = std::strtoull(value.c_str(), &end, 10);
            if (*end != '\0')
                return false;
            o.seeded = true;
        } else {
            return false;
        }
    }
    return true;
}

bool LoadDataFile(const std::string& path, emulator::DataSet& data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "sorvinta-emulator: cannot read %s\n", path.c_str());
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    if (!emulator::ApplyDataText(text.str(), data, error)) {
        std::fprintf(stderr, "sorvinta-emulator: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseArgs(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // Stop signals are read from a signalfd by the accept loop: block them
    // before any thread exists so that every thread inherits the mask.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    signal(SIGPIPE, SIG_IGN);

    emulator::DataSet data = emulator::BuiltinDataSet();
    if (!options.dataFile.empty() && !LoadDataFile(options.dataFile, data))
        return 2;

    std::FILE* logFile = stderr;
    if (!options.logFile.empty()) {
        logFile = std::fopen(options.logFile.c_str(), "w");
        if (!logFile) {
            std::fprintf(stderr, "sorvinta-emulator: cannot write %s: %s\n", options.logFile.c_str(),
                std::strerror(errno));
            return 2;
        }
    }

    const unsigned long long seed = options.seeded ? options.seed : std::random_device {}();
    emulator::Service service(std::move(data), emulator::SystemClockMs, seed);
    emulator::RequestLog log(logFile);
    const int status = emulator::RunServer(service, options.server, log);
    if (logFile != stderr)
        std::fclose(logFile);
    return status;
}
