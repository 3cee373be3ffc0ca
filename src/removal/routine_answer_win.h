// The one answer to "what does this routine take now", beside a rule's
// and standing on the same ground: the routines window's sizes, the
// preview and the run all ask it here. A routine that does not fit this
// computer (none of its Detect keys and DetectFile paths there) takes
// nothing and says "not on this computer". Otherwise each FileKey's folder
// gets the variables of the user who runs, its wildcards are matched
// against what exists (links, junctions and mount points never entered)
// and each folder found is walked once, links inside never entered:
// the files whose long names fit its patterns, in that folder (RECURSE:
// and below; REMOVESELF: and below, then each folder there, itself
// included, that holds nothing once the whole routine has taken its files,
// whichever key took them). The exclusions keep their files, and a PATH
// exclusion its folders too (so the folders holding them stay); a folder
// that is a link, or is reached through one below its variable's folder,
// or is a protected place, or a key with an unknown variable, takes
// nothing there and says so; the list file and the program are never taken.
// Nothing here touches the disk but to read it.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "listfile/protected_places_win.h"
#include "listfile/routine.h"
#include "removal/rule_answer_win.h"
#include "routines/variables.h"

namespace removal {

// What a routine takes, as a rule's answer tells it: `refusal` says why it
// takes nothing at all ("not on this computer", an exclusion that cannot
// be placed); `paths` and `sizes` are filled when asked for; `emptied`
// holds the folders it removes once their files are gone (its REMOVESELF
// folders and their subfolders), deepest first, always.
struct RoutineAnswer : RuleAnswer {
  // The places it takes nothing from, each "<folder>: <why>", and its keys
  // that take nothing ("%Nowhere%\...: the variable ... is not known").
  std::vector<std::wstring> notes;
};

// Whether the answer first decides that the routine fits this computer
// (the preview, the run: once for each routine), or is handed a routine its
// caller has already found fitting (the routines window's survey, which
// decides every entry's fit at once), so that no fit is decided twice.
enum class Fit : unsigned char { Decide, Fits };

// `variables` gives the values of the user who runs
// (routines::SystemVariables::Lookup()). `places` is not shared between
// threads: a worker sizing routines makes its own. Safe to call from
// several threads at once otherwise.
RoutineAnswer AnswerRoutine(const listfile::Routine& routine, Fit fit, const routines::VariableLookup& variables,
                            const NeverTaken& never, listfile::ProtectedPlaces& places, bool paths,
                            const std::atomic<bool>& stop);

// How many routines are answered side by side where many are asked.
constexpr size_t kRoutinesSideBySide = 2;

// Answers several routines at once, `threads` of them side by side (each
// with its own walks beside them): a routine's folders are few and small,
// so one routine alone keeps the disk only partly busy. `each(i, answer,
// thread)` gets the answer of routines[i] on the thread that made it
// (thread 0 is the caller's), in no set order; a raised `stop` leaves the
// rest unanswered.
void AnswerRoutines(const std::vector<const listfile::Routine*>& routines, Fit fit,
                    const routines::VariableLookup& variables, const NeverTaken& never, bool paths, size_t threads,
                    const std::atomic<bool>& stop,
                    const std::function<void(size_t i, RoutineAnswer&& answer, size_t thread)>& each);

}  // namespace removal
