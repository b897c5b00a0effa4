// Message boxes as the programs use them: a text, a title, buttons and an icon.
//
// With a display the box is modal as usual. Without one (offscreen or minimal
// platform, or no QApplication at all), or when a responder is installed, the box
// never blocks: it is recorded and answered by the responder (by default its first
// button: OK, Yes, …, or the button given as the default). Every box shown is
// recorded, so tests can observe them.
//
// A note (ShowNote) is a box that does not stop the program: it is not modal, so
// timers, ports and links go on while it waits for the user.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QMessageBox;
class QWidget;

namespace platform {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgResult { Ok, Cancel, Yes, No, Retry };

struct MessageRecord {
  std::string text;   // Windows-1252 bytes
  std::string title;  // Windows-1252 bytes
  MsgButtons buttons = MsgButtons::Ok;
  MsgIcon icon = MsgIcon::None;
  int defaultButton = 1;                 // 1 the first button, 2 the second, 3 the third
  std::vector<std::string> buttonTexts;  // as shown, in order (Windows-1252 bytes)
  bool modal = true;                     // false: a note (ShowNote)
};

using MessageResponder = std::function<MsgResult(const MessageRecord&)>;

// Shows a message box and returns the button pressed. `default_button` (1, 2 or 3)
// is the button that Enter presses; a number past the box's buttons means the first.
MsgResult MsgBox(const std::string& text, const std::string& title, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None, int default_button = 1);

// Shows a box with an OK button that is not modal: the program goes on while it
// is open. It belongs to `parent` (and closes with it); a box of the same title
// and text that is still open is raised instead of opening another one. Recorded
// as every box; a responder is not asked (there is nothing to answer). Shown
// wherever a QApplication runs, offscreen too.
void ShowNote(const std::string& text, const std::string& title, MsgIcon icon, QWidget* parent);

// The language of the boxes' own buttons (1 English, 2 German, 3 Swedish; any other
// number leaves it as it is), set by the window that applies its texts.
void SetMessageLanguage(int language);
int MessageLanguage();

// The texts of a box's buttons in their order, in `language`.
std::vector<std::string> ButtonTexts(MsgButtons buttons, int language);

// The box that MsgBox shows for `record`, its buttons in the record's texts; the
// caller owns it.
QMessageBox* MakeMessageBox(const MessageRecord& record, QWidget* parent);

// The default button of a box: what a headless run answers.
MsgResult DefaultAnswer(MsgButtons buttons, int default_button = 1);

// Installs a responder that answers every box instead of the user (nullptr removes it).
void SetMessageResponder(MessageResponder responder);

// Every box shown since the last clear, oldest first.
const std::vector<MessageRecord>& MessageLog();
void ClearMessageLog();

// True when boxes cannot be shown to a person (no display, or offscreen).
bool IsHeadless();

}  // namespace platform
