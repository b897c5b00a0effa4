// The message stage of the receive pass: APRS messages shown in the chat
// window, acknowledged when they are for the user, acknowledgements of the
// user's own messages, the path query "?APRST" and the automatic answer.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "reception/aprs_decode.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"

namespace zeblon::reception {

// Where the lines for the chat log _CHATLOG.TXT go (the receive pass writes
// them with its other logs).
using ChatLogWriter = std::function<void(std::string_view line)>;

// Handles one frame whose payload has the message form. Nothing it does
// depends on the chat log being writable. Under a user call that is not a valid
// one (IsValidOwnCall) the message is shown but not acknowledged or answered.
void HandleMessage(const FrameValues& v, ReceptionSettings& settings, ChatPanel& chat, ReceptionHost& host,
                   const ChatLogWriter& chatLog);

// A line of the chat log _CHATLOG.TXT with its CR LF: the date YYYYMMDD, a blank
// (a line logged as it was shown) or "<" (`rewritten`: written anew by DELETE
// SAVED), the time HHMM, two blanks and the chat line trimmed at both ends.
std::string ChatLogLine(const LocalTime& time, std::string_view chatLine, bool rewritten = false);

// The chat log in the data folder's LOG folder (its name matched in any case).
std::filesystem::path ChatLogPath(const std::filesystem::path& dataFolder);

// A text for transmission: every control byte (codes below 32 and 127) left out.
std::string WithoutControlBytes(std::string_view text);

}  // namespace zeblon::reception
