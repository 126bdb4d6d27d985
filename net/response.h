// Reading a raw HTTP response: header map and body. No windows.h.
#pragma once

#include <map>
#include <string>

// Field name -> value; names compared byte by byte. "Set-Cookie" holds all
// cookie values joined in order of arrival.
typedef std::map<std::string, std::string> HeaderMap;

int ParseResponseHeaders(const std::string& response, HeaderMap& map);
std::string ResponseBody(const std::string& response);
