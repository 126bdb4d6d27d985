// Query strings of the requests the emulator receives.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace emulator {

// Decoded query values by name; a name may repeat (the first one counts).
using Params = std::multimap<std::string, std::string>;

// Undoes %XX escapes and turns '+' into a space, as form-style servers do.
// A '%' not followed by two hex digits stays as it is.
std::string PercentDecode(std::string_view text);

// The query part of a request target: after the first '?', before any '#'.
std::string_view QueryOf(std::string_view target);

// "a=1&b=2" to {a:1, b:2}; names and values are decoded; a pair without '='
// has an empty value; empty pairs are skipped.
Params ParseQuery(std::string_view query);

// A plain decimal number of 1 to 18 digits (no sign, no blanks), as ids,
// counts and seeds are written in queries and in the data file.
bool ParseDecimal(std::string_view text, std::int64_t& out);

// The first value of a name, or nullptr when the query lacks it.
const std::string* FindParam(const Params& params, const std::string& name);

}  // namespace emulator
