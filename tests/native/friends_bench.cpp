// Prints how long reading a member list of 250, 2500 and 10000 friends takes:
// the cut, the wrap, the JSON reader and the name extraction, as the worker
// runs them. Usage: friends_bench [rounds]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "api/member_text.h"

namespace {

// {"ok":1,"members":[[id,"name",online],...]} with Windows-1251 names.
std::string MakeBody(int count)
{
    static const char* const kFirst[]
        = {"\xC0\xED\xED\xE0", "\xC1\xEE\xF0\xE8\xF1", "\xC2\xE5\xF0\xE0", "\xC3\xEB\xE5\xE1"};
    std::string body = "{\"ok\":1,\"members\":[";
    for (int i = 0; i < count; ++i) {
        if (i)
            body += ',';
        body += '[' + std::to_string(100000 + i) + ",\"" + kFirst[i % 4] + ' ' + std::to_string(i) + "\","
            + (i % 3 ? "0" : "1") + ']';
    }
    body += "]}";
    return body;
}

double ReadOnceMs(const std::string& body, size_t* names)
{
    const auto start = std::chrono::steady_clock::now();
    std::string memberText;
    json::Element document;
    std::vector<std::string> found;
    if (CutMemberText(body, &memberText) != MemberTextFound
        || !ParseMemberDocument(WrapMemberText(memberText), &document)
        || !ReadMemberNames(document, &found)) {
        std::fprintf(stderr, "benchmark body was not read\n");
        std::exit(1);
    }
    *names = found.size();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    const int counts[] = {250, 2500, 10000};
    for (int count : counts) {
        const std::string body = MakeBody(count);
        double best = 1e9, total = 0;
        size_t names = 0;
        for (int i = 0; i < rounds; ++i) {
            const double ms = ReadOnceMs(body, &names);
            total += ms;
            if (ms < best)
                best = ms;
        }
        std::printf("%6d members (%7zu bytes): best %8.3f ms, mean %8.3f ms, %zu names\n", count, body.size(),
            best, total / rounds, names);
    }
    return 0;
}
