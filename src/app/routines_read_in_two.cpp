// Reading a routines file in two halves at once.
#include "app/routines_read_in_two.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <thread>
#include <utility>

namespace app {
namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
// Below this a second thread costs more than it saves.
constexpr size_t kLeastToCut = 256u << 10;

// Where the second half starts (just after a line end, at a "["), or npos
// when the file is not to be cut.
size_t CutPoint(const std::string& bytes) {
  if (bytes.size() < kLeastToCut || bytes.size() > routines::kMostFileBytes) return std::string::npos;
  const bool marked = bytes.compare(0, 3, kUtf8Mark) == 0;
  for (size_t i = marked ? 3 : 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == 0 || (c >= 0x80 && !marked)) return std::string::npos;
  }
  const size_t at = bytes.find("\n[", bytes.size() / 2);
  return at == std::string::npos ? at : at + 1;
}

}  // namespace

routines::RoutinesFile ReadRoutinesInTwo(const std::string& bytes) {
  const size_t cut = CutPoint(bytes);
  if (cut == std::string::npos) return routines::ReadRoutines(bytes);
  std::string second = bytes.compare(0, 3, kUtf8Mark) == 0 ? kUtf8Mark : "";
  second.append(static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + cut, '\n')), '\n');
  second.append(bytes, cut, std::string::npos);
  routines::RoutinesFile later;
  std::exception_ptr failure;
  std::thread reader;
  try {
    reader = std::thread([&] {
      try {
        later = routines::ReadRoutines(second);
      } catch (...) {
        failure = std::current_exception();
      }
    });
  } catch (...) {
    return routines::ReadRoutines(bytes);
  }
  routines::RoutinesFile file;
  try {
    file = routines::ReadRoutines(bytes.substr(0, cut));
  } catch (...) {
    reader.join();
    throw;
  }
  reader.join();
  if (failure) std::rethrow_exception(failure);
  // The second half holds a section, so the whole holds an entry; the file
  // is no routines file only when none of its entries reads, as neither
  // half's then does.
  file.entries.insert(file.entries.end(), std::make_move_iterator(later.entries.begin()),
                      std::make_move_iterator(later.entries.end()));
  const bool someRead = std::any_of(file.entries.begin(), file.entries.end(),
                                    [](const routines::Entry& e) { return e.Understood(); });
  file.problem = someRead ? std::wstring() : later.problem;
  return file;
}

}  // namespace app
