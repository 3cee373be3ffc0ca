// SHA-256 through BCrypt: one algorithm handle and one hash object per call.
#include "base/sha256_win.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>

namespace base {
namespace {

class Algorithm {
 public:
  Algorithm() {
    if (BCryptOpenAlgorithmProvider(&handle_, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) handle_ = nullptr;
  }
  ~Algorithm() {
    if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  Algorithm(const Algorithm&) = delete;
  Algorithm& operator=(const Algorithm&) = delete;
  BCRYPT_ALG_HANDLE get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Hash {
 public:
  explicit Hash(BCRYPT_ALG_HANDLE algorithm) {
    if (BCryptCreateHash(algorithm, &handle_, nullptr, 0, nullptr, 0, 0) < 0) handle_ = nullptr;
  }
  ~Hash() {
    if (handle_) BCryptDestroyHash(handle_);
  }
  Hash(const Hash&) = delete;
  Hash& operator=(const Hash&) = delete;
  BCRYPT_HASH_HANDLE get() const { return handle_; }

 private:
  BCRYPT_HASH_HANDLE handle_ = nullptr;
};

constexpr ULONG kDigestBytes = 32;
constexpr ULONG kChunk = 1u << 30;  // BCryptHashData takes a ULONG length

}  // namespace

std::wstring Sha256Hex(const std::string& bytes) {
  const Algorithm algorithm;
  if (!algorithm.get()) return std::wstring();
  const Hash hash(algorithm.get());
  if (!hash.get()) return std::wstring();
  for (size_t at = 0; at < bytes.size(); at += kChunk) {
    const ULONG size = static_cast<ULONG>(std::min<size_t>(kChunk, bytes.size() - at));
    auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + at));
    if (BCryptHashData(hash.get(), data, size, 0) < 0) return std::wstring();
  }
  UCHAR digest[kDigestBytes];
  if (BCryptFinishHash(hash.get(), digest, kDigestBytes, 0) < 0) return std::wstring();
  static const wchar_t kHex[] = L"0123456789abcdef";
  std::wstring hex;
  for (UCHAR b : digest) {
    hex += kHex[b >> 4];
    hex += kHex[b & 15];
  }
  return hex;
}

}  // namespace base
