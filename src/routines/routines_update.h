// Whether a fetched routines file may take the kept one's place. It must
// read as a routines file; and since the file carries no checksum, one
// holding far fewer entries than the kept file (under nine tenths of them)
// may be a part of it, and replaces it only once the user says yes.
// Portable: app/routines_update_win.h fetches, asks and writes.
#pragma once
#include <cstddef>
#include <string>

#include "base/texts.h"
#include "routines/routines_file.h"

namespace routines {

struct UpdateCheck {
  RoutinesFile fetched;    // the fetched bytes read; its problem says why they are no routines file
  size_t keptEntries = 0;  // the kept file's entries; 0 when there is none or it reads as none
  bool askFirst = false;   // far fewer entries than the kept file: ask before replacing it
};

// `kept` holds the kept file's bytes (empty when there is none).
UpdateCheck CheckUpdate(const std::string& fetchedBytes, const std::string& keptBytes);

// The question for a file that asks first: both counts in the style.
std::wstring FewerEntriesQuestion(const UpdateCheck& check, const std::wstring& address,
                                  const base::text::NumberStyle& style);

}  // namespace routines
