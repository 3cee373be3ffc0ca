// Randomized checks of the delete-list codec: any bytes read without a crash
// and by the piece-count rule, and whatever the encoder writes reads back
// the same (and a load followed by a save writes the same bytes). Set
// OMBRELAY_FUZZ_ITERATIONS for a long run under the sanitizers; the seed is
// printed so a failure can be replayed with OMBRELAY_FUZZ_SEED.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "list_bytes.h"
#include "listfile/list_file.h"

namespace {

unsigned long EnvNumber(const char* name, unsigned long fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtoul(text, nullptr, 10) : fallback;
}

class ListFileFuzz : public ::testing::Test {
 protected:
  void SetUp() override {
    seed_ = EnvNumber("OMBRELAY_FUZZ_SEED", std::random_device{}());
    iterations_ = EnvNumber("OMBRELAY_FUZZ_ITERATIONS", 2000);
    rng_.seed(seed_);
    RecordProperty("seed", std::to_string(seed_));
    std::printf("ListFileFuzz seed %lu, %lu iterations\n", seed_, iterations_);
  }
  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

  // Bytes that favour the separators, byte 0, line ends and the mark.
  std::string RandomBytes() {
    static const char kInteresting[] = {'*', '|', '\0', '\r', '\n', '\xEF', '\xBB', '\xBF', '\x80', '\xC3', 'a'};
    std::string bytes;
    if (Below(4) == 0) bytes = "\xEF\xBB\xBF";
    const size_t n = Below(64);
    for (size_t i = 0; i < n; ++i)
      bytes += Below(2) ? kInteresting[Below(sizeof kInteresting)] : static_cast<char>(Below(256));
    return bytes;
  }

  // Characters a name or password may hold: ASCII, the code page's upper
  // half, characters outside it; never "*" or NUL (nor "|" in a field).
  wchar_t RandomChar(bool allowBar) {
    static const wchar_t kSpecial[] = {L'\u00e9', L'\u20ac', L'\u00ef', L'\u00bb', L'\u00bf', L'\u4e2d',
                                       L'\u0394', L'\u0081', L'\\',     L' ',      L'\r',     L'\n'};
    for (;;) {
      wchar_t c =
          Below(3) ? static_cast<wchar_t>(0x20 + Below(0x5F)) : kSpecial[Below(sizeof kSpecial / sizeof kSpecial[0])];
      if (c == L'*' || (!allowBar && c == L'|')) continue;
      return c;
    }
  }
  std::wstring RandomText(bool allowBar) {
    std::wstring text;
    const size_t n = Below(12);
    for (size_t i = 0; i < n; ++i) text += RandomChar(allowBar);
    return text;
  }

  unsigned long seed_ = 0;
  unsigned long iterations_ = 0;
  std::mt19937 rng_;
};

TEST_F(ListFileFuzz, AnyBytesReadByThePieceRule) {
  for (unsigned long i = 0; i < iterations_; ++i) {
    const std::string bytes = RandomBytes();
    const std::wstring text = listfile::DecodeListBytes(bytes);
    const size_t stars = static_cast<size_t>(std::count(text.begin(), text.end(), L'*'));
    listbytes::LoadedList list = listbytes::ReadList(bytes);
    ASSERT_EQ(list.records.size(), stars >= 2 ? stars - 1 : 0) << "seed " << seed_ << " iteration " << i;
    for (const listfile::Record& r : list.records) ASSERT_EQ(r.path.find(L'*'), std::wstring::npos);
  }
}

TEST_F(ListFileFuzz, EncodedListsReadBackTheSame) {
  for (unsigned long i = 0; i < iterations_; ++i) {
    std::vector<listfile::Record> records(1 + Below(6));
    for (listfile::Record& r : records) {
      r.path = RandomText(false);
      r.type = Below(3) ? (Below(2) ? L"File" : L"Folder") : RandomText(false);
    }
    const std::wstring password = RandomText(true);
    const std::string bytes = listbytes::EncodeList(records, password);
    listbytes::LoadedList back = listbytes::ReadList(bytes);
    ASSERT_EQ(back.password, password) << "seed " << seed_ << " iteration " << i;
    ASSERT_EQ(back.records.size(), records.size()) << "seed " << seed_ << " iteration " << i;
    for (size_t k = 0; k < records.size(); ++k) {
      ASSERT_EQ(back.records[k].path, records[k].path) << "seed " << seed_ << " iteration " << i;
      ASSERT_EQ(back.records[k].type, records[k].type) << "seed " << seed_ << " iteration " << i;
    }
    ASSERT_EQ(listbytes::EncodeList(back.records, back.password), bytes) << "seed " << seed_ << " iteration " << i;
  }
}

}  // namespace
