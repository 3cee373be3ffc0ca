// SHA-256 digests through the platform's own cryptography provider (BCrypt).
#pragma once
#include <string>

namespace base {

// The digest of the bytes as 64 lower-case hex digits; empty when the
// provider failed.
std::wstring Sha256Hex(const std::string& bytes);

}  // namespace base
