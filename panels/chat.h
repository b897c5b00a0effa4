// The CHAT window's model: the chat lines with their states (the text colour),
// which are also the queue of outgoing messages; the building of an own message
// with its number; the retry pass over the pending lines; the automatic answer;
// the translation of typed characters. No widgets: the window shows the lines.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "reception/reception_host.h"

namespace zeblon::panels {

// Line colours (ChatLineState) beside those of the receive side.
inline constexpr int kChatEmpty = 0;
inline constexpr int kChatQuery = 252;    // the first value of a "?APRS" query
inline constexpr int kChatWebOnly = 254;  // the first value of any line queued without radio

// The header of the lines (the CHAT window's caption): its bars stand in the
// columns of the lines' two colons.
inline constexpr std::string_view kChatHeader = "RX FROM  |TO       |MESSAGES ";

// A line is pending (waits for its next transmission) while its colour is 250 to 254.
bool IsPendingColour(int colour);

// A key typed in the message box (Text3): a typed Windows-1252 character as its DOS code page 850 code
// (below 128 unchanged; 128-159 and the macron 254; no-break space and cedilla a blank).
int TypedCharToDos(int code);
// A typed text with every character so translated: the bytes a message carries.
std::string TypedTextToDos(std::string_view text);
// A code page 850 byte as the character it is (Unicode), for showing chat texts.
char16_t DosCharToUnicode(unsigned char byte);
// A code page 850 text back in Windows-1252 for an input box: the characters
// both have; any other becomes "?".
std::string DosTextToTyped(std::string_view text);

// An own message as QueueChatMessage builds it.
struct ChatMessage {
  std::string outgoing;  // OutgoingMessage: ":" + addressee padded to 9 + ":" + text [+ "{NN"]
  std::string line;      // the chat line: the own call padded to 9, then `outgoing`
  int colour = reception::kChatQueued;
};

// Builds the message of the addressee and message boxes and advances `counter`
// (MessageCounter: 1..99, then 0). Nothing (and no number used) when either box is
// empty or the addressee holds only blanks. Control bytes of both boxes are left
// out. A text that begins "?aprs" in lower case is sent upper case; a text holding
// "?APRS" is a query: no number, first colour 252. Without radio every line starts at 254.
std::optional<ChatMessage> BuildChatMessage(std::string_view addressee, std::string_view text, std::string_view txCall,
                                            int& counter, bool noRadio);

// One chat line.
struct ChatLine {
  std::string text;
  int colour = kChatEmpty;
  long id = 0;          // 0 for an empty line
  bool failed = false;  // its last transmission could not go out
};

// The eight visible lines (0 oldest, 7 newest) and the pending own lines that
// newer lines pushed out of them: those stay queued (sent, acknowledged, given up)
// but are no longer shown.
class ChatQueue : public reception::ChatPanel {
 public:
  // What the window answers for the receive side.
  struct WindowHooks {
    std::function<bool()> visible;  // Frame3 shown
    std::function<bool()> meOnly;   // Check8 ticked
    std::function<void()> openForUser;
    // Text2 = addressee, Text3 = text, Enter in Text3.
    std::function<void(const std::string& addressee, const std::string& text)> queueMessage;
  };
  // How a transmission of the retry pass went.
  enum class Sent { Yes, No, Later };
  // At most this many pending lines are held beyond the visible ones.
  static constexpr std::size_t kHeldLimit = 64;

  WindowHooks window;
  std::function<void()> changed;                         // a line's text, colour or mark changed
  std::function<void(const std::string& line)> dropped;  // a held pending line had to go (the limit)

  const ChatLine& At(int index) const { return lines_[static_cast<std::size_t>(index)]; }
  const std::deque<ChatLine>& Held() const { return held_; }
  // Adds a line as the newest; returns its id.
  long Add(const std::string& text, int colour);
  // Command27: every pending line, shown or held, is given up.
  void GiveUpPending();
  // SendPendingMessages: sends every pending line once, the held ones first and
  // then the visible ones oldest first, by `send` with the line's information field
  // (its text from column 10, trimmed). Sent::Yes steps the colour (254 to &H5FF0),
  // Sent::No leaves it and marks the line failed, Sent::Later leaves the line to
  // WebOutcome and keeps it out of the passes until then. The pass tolerates lines
  // that `send` adds or recolours meanwhile.
  void RetryPass(const std::function<Sent(const std::string& infoField, long id)>& send);
  // The outcome of a transmission that the pass left for later.
  void WebOutcome(long id, bool sent);
  bool InFlight(long id) const { return inFlight_.count(id) != 0; }

  // reception::ChatPanel
  std::string Line(int index) override { return At(index).text; }
  int Colour(int index) override { return At(index).colour; }
  void SetColour(int index, int colour) override;
  void ScrollIn(const std::string& text, int colour) override { Add(text, colour); }
  bool Visible() override { return window.visible && window.visible(); }
  bool MeOnly() override { return window.meOnly && window.meOnly(); }
  void OpenForUser() override {
    if (window.openForUser) window.openForUser();
  }
  void QueueChatMessage(const std::string& addressee, const std::string& text) override {
    if (window.queueMessage) window.queueMessage(addressee, text);
  }
  void Acknowledge(const std::string& number) override;

 private:
  ChatLine* Find(long id);
  void Step(ChatLine& line);
  void PruneHeld();
  void Changed() {
    if (changed) changed();
  }

  ChatLine lines_[8];
  std::deque<ChatLine> held_;
  std::set<long> inFlight_;
  long sending_ = 0;           // the line the pass is sending now
  std::optional<bool> early_;  // its outcome, when it came before the send returned
  long nextId_ = 1;
};

// The automatic answer (AUTO-A): its switch and its text.
struct AutoAnswer {
  static constexpr std::string_view kDefaultText = "AA: THANKS FOR MSG. SORRY, CANNOT ANSWER. 73!";
  bool on = false;   // AutoAnswerOn
  std::string text;  // AutoAnswerText: "AA: " and the answer

  // Check16 ticked: the text for the message box (the default on the first use;
  // always with "AA: "). Without radio the mode stays off and the text is emptied.
  std::string SwitchOn(bool noRadio);
  void SwitchOff() { on = false; }
  // Enter with the mode on and no addressee: the message box's text becomes the
  // answer, with "AA: " in front; returns it for the box.
  std::string Store(std::string_view box);
};

// `text` with "AA: " in front unless it begins with it.
std::string WithAnswerPrefix(std::string_view text);

}  // namespace zeblon::panels
