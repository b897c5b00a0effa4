// The chat log behind the SAVED MESSAGES window: showing it (and keeping it
// short), DELETE SAVED, and the picking of a call from a chat line or from the
// saved text. Plain functions on the file and on texts.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "reception/aprs_decode.h"

namespace zeblon::panels {

// What SHOW SAVED found and did.
struct SavedLog {
  std::string text;       // the lines of the log, each with CR LF (for Text5)
  std::size_t lines = 0;  // lines counted before any cut
  bool cut = false;       // the log was cut to its last 100 lines
  bool ok = true;         // false when the log could not be read, created or rewritten
  std::string error;      // then the reason
};

// SHOW SAVED: creates a missing log; a log of 121 lines or more is cut to its
// last 100 lines in ascending text order (time order, by their stamps) and
// rewritten whole through a temporary file; every line count fits.
SavedLog ShowSavedLog(const std::filesystem::path& log);

// DELETE SAVED: the log holds afterwards only the non-empty chat lines, each
// stamped with `now` and "<" in column 9. Written whole through a temporary file;
// false (and `error`) when it cannot be.
bool DeleteSavedLog(const std::filesystem::path& log, const std::vector<std::string>& chatLines,
                    const reception::LocalTime& now, std::string* error = nullptr);

// The call picked from a chat line by the caret position (0 = before the first
// character): below 10 the sender, above 10 the addressee, trimmed; at 10 none.
std::string CallFromChatLine(std::string_view line, int caret);

// The call picked from marked saved text: trimmed, a leading ":" removed.
std::string CallFromMarkedText(std::string_view marked);

// The last record (1..count) of the report log whose call field (columns 33-41,
// trimmed) is `call`; 0 when there is none.
int LastRecordOfCall(const std::vector<std::string>& log, int count, std::string_view call);

}  // namespace zeblon::panels
