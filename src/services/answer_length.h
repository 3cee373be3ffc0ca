// Whether an HTTP answer's body came whole, judged by what its headers
// announced: a Content-Length the body matches exactly, or a chunked body
// the fetcher read to its end. Anything else (shorter, longer, broken off,
// no length at all) is not whole, and the text says how, for the user.
// Portable: the fetcher (http_win.h) reads the headers and the body.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "base/texts.h"

namespace services {

// What the answer's headers said of its length.
struct AnnouncedLength {
  std::optional<std::uint64_t> bytes;  // its Content-Length, when it gave a readable one
  bool chunked = false;                // Transfer-Encoding: chunked (its Content-Length then counts for nothing)
};

// The Content-Length header's value: decimal digits only (blanks around
// them allowed); none for anything else, which tells no length.
std::optional<std::uint64_t> ContentLengthValue(const std::wstring& header);
// True when the Transfer-Encoding header names chunked (last, as it must).
bool IsChunked(const std::wstring& transferEncoding);

// Why a body of `read` bytes is not the whole answer; empty when it is.
// `ended` says the fetcher saw the body's end, rather than a failed read.
// "the answer did not come whole: 914,606 of 1,829,213 bytes".
std::wstring NotWholeReason(const AnnouncedLength& length, std::uint64_t read, bool ended,
                            const base::text::NumberStyle& style);

}  // namespace services
