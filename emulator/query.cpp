#include "emulator/query.h"

namespace emulator {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string PercentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out.push_back(' ');
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0
            && HexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

bool ParseDecimal(std::string_view text, std::int64_t& out)
{
    if (text.empty() || text.size() > 18)
        return false;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

std::string_view QueryOf(std::string_view target)
{
    const size_t q = target.find('?');
    if (q == std::string_view::npos)
        return {};
    std::string_view query = target.substr(q + 1);
    const size_t hash = query.find('#');
    if (hash != std::string_view::npos)
        query = query.substr(0, hash);
    return query;
}

Params ParseQuery(std::string_view query)
{
    Params params;
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string_view::npos)
            end = query.size();
        const std::string_view pair = query.substr(start, end - start);
        if (!pair.empty()) {
            const size_t eq = pair.find('=');
            if (eq == std::string_view::npos)
                params.emplace(PercentDecode(pair), std::string());
            else
                params.emplace(PercentDecode(pair.substr(0, eq)), PercentDecode(pair.substr(eq + 1)));
        }
        start = end + 1;
    }
    return params;
}

const std::string* FindParam(const Params& params, const std::string& name)
{
    const auto it = params.find(name);
    return it == params.end() ? nullptr : &it->second;
}

}  // namespace emulator
