// Outside programs. Always started from an argument list, never through a shell
// command line, so no path or text is ever taken apart or interpreted by a shell.
// Every call fails softly: a missing program gives false, never an exception.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

// Starts a program detached, hidden from the caller (no wait). True when it started.
bool StartProgram(const std::string& program, const std::vector<std::string>& args,
                  const std::string& working_folder = {});

// Runs a program and waits for it at most `timeout_ms`; returns its exit code, or -1
// when it could not start, crashed or did not end in time (then it is killed).
int RunProgram(const std::string& program, const std::vector<std::string>& args, int timeout_ms,
               const std::string& working_folder = {});

// Opens a file, folder or address with the desktop's associated program (xdg-open).
// False when there is no opener; when xdg-open later ends with an error (no program
// for the document), a message box says so.
bool OpenWithShell(const std::string& target);

// The message for a document that no program opens: it names what is missing, a
// program for the document's kind (its MIME type) or for the address's scheme, or
// xdg-open itself.
std::string NoOpenerText(const std::string& target);

// Hands `target` to `opener` (OpenWithShell in the programs). A file of this computer
// must exist first; a missing file, or an opener that finds no program, is said in a
// message box under `title`, never passed over. True when the opener took it.
bool OpenDocumentOrSay(const std::function<bool(const std::string&)>& opener, const std::string& target,
                       const std::string& title);

// True when `program` is found on the PATH (or is an executable path).
bool ProgramExists(const std::string& program);

}  // namespace platform
