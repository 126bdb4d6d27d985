// Reading a raw HTTP response: header map and body. No windows.h.
#pragma once

#include <map>
#include <string>

// Field names compare without regard to letter case, as HTTP has them.
struct FieldNameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// Field name -> value (spaces taken out); the first line of a name wins.
// "Set-Cookie" holds all cookie values joined in order of arrival.
typedef std::map<std::string, std::string, FieldNameLess> HeaderMap;

// Reads the header block only: nothing after the first blank line is a header.
int ParseResponseHeaders(const std::string& response, HeaderMap& map);
// The body with any chunked framing undone; empty when the header block has
// not ended or the body is malformed (DecodeResponseBody tells these apart).
std::string ResponseBody(const std::string& response);
