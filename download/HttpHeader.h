// Reading and understanding the header of an HTTP reply.
#pragma once

#include "download/Socket.h"

#include <string>

constexpr int kMaxHeaderBytes = 1024;

struct ResponseHeader {
    std::string text;      // the bytes as received, at most kMaxHeaderBytes
    bool complete = false; // it ended with an empty line
};

// Receives one byte per call, so that the first byte of the body stays in
// the socket, until an empty line ends the header, kMaxHeaderBytes have come,
// or the connection fails.
ResponseHeader ReadHeader(CSocket& socket);

// The three characters after "HTTP/1.1 " as a number; -1 when they are no
// three digits.
int ParseStatus(const std::string& header);

// The value of the first header line starting "Content-Length:" (exact
// case), 0 without one or when the value does not fit 31 bits.
int ParseContentLength(const std::string& header);

// "Content-Range: bytes first-last/total" (the name in any case).
struct ContentRange {
    long long first = -1; // -1 when the field is missing or unreadable
    long long last = -1;
    long long total = -1; // -1 also when the total is unknown ("*")
};
ContentRange ParseContentRange(const std::string& header);
