// What an item on disk is, asked of the item itself rather than of its
// path's text: its identity (volume serial number and file index), which
// every spelling of it shares (a relative path, a link on the way, a short
// name, other letter case), and whether it is a link, told by its reparse
// tag without following it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace base {

struct FileId {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const FileId& other) const {
    return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
  }
};

struct ItemIdentity {
  FileId id;
  bool folder = false;
  uint64_t size = 0;  // a file's, in bytes
};

// The identity of what `path` leads to (links on the way and at its end
// followed). No access is asked for: reading it needs none, so items the
// user may not read still open. `missing` tells a path that names nothing
// from one that exists but cannot be opened.
std::optional<ItemIdentity> IdentityOf(const std::wstring& path, bool* missing = nullptr);

// True when a folder listing's entry leads somewhere else: junctions,
// symbolic links and mount points do (their tags name another item, and an
// entry whose tag the listing does not give counts as one); other reparse
// points (cloud placeholders, for one) hold the folder's own files. A walk
// never enters such an entry.
bool IsLinkEntry(const WIN32_FIND_DATAW& data);
// True when the item `path` names is a link to elsewhere (a junction, a
// symbolic link, a mount point): its own reparse tag, read without
// following it, in whatever spelling the path comes.
bool IsLink(const std::wstring& path);

}  // namespace base
