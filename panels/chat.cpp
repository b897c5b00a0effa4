#include "panels/chat.h"

#include <algorithm>
#include <array>

#include "reception/messages.h"
#include "reception/station_record.h"
#include "settings/text_files.h"

namespace zeblon::panels {
namespace {

// The DOS code page 850, codes 128 to 255, as Unicode code points.
constexpr std::array<char16_t, 128> kCp850High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C,
    0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6,
    0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

std::string Pad9(std::string s) {
  if (s.size() < 9) s.resize(9, ' ');
  return s;
}

// The first five characters from position 12 are exactly "?aprs".
bool LowerCaseQuery(std::string_view outgoing) { return outgoing.size() >= 16 && outgoing.substr(11, 5) == "?aprs"; }

void UpperAsciiInPlace(std::string& s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

}  // namespace

bool IsPendingColour(int colour) { return colour >= 250 && colour <= 254; }

int TypedCharToDos(int code) {
  if (code < 128 || code > 255) return code;
  if (code <= 159 || code == 175) return 254;
  if (code == 160 || code == 184) return 32;
  // Windows-1252 161..255 are the Latin-1 characters of the same code.
  for (int i = 0; i < 128; ++i)
    if (kCp850High[static_cast<std::size_t>(i)] == static_cast<char16_t>(code)) return 128 + i;
  return 254;
}

std::string TypedTextToDos(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(TypedCharToDos(static_cast<unsigned char>(c)));
  return out;
}

char16_t DosCharToUnicode(unsigned char byte) {
  return byte < 128 ? static_cast<char16_t>(byte) : kCp850High[static_cast<std::size_t>(byte - 128)];
}

std::string DosTextToTyped(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const char16_t u = DosCharToUnicode(static_cast<unsigned char>(c));
    // Windows-1252 160..255 are the Latin-1 characters of the same code.
    c = u < 128 || (u >= 160 && u <= 255) ? static_cast<char>(u) : '?';
  }
  return out;
}

std::optional<ChatMessage> BuildChatMessage(std::string_view addressee, std::string_view text, std::string_view txCall,
                                            int& counter, bool noRadio) {
  if (addressee.empty() || text.empty()) return std::nullopt;
  const std::string to = Trim(reception::WithoutControlBytes(addressee));
  // An addressee of blanks only reaches no one: refused like an empty box.
  if (to.empty()) return std::nullopt;
  ChatMessage m;
  m.outgoing = ":" + reception::UpperCase(to);
  if (m.outgoing.size() < 10) m.outgoing.resize(10, ' ');
  m.outgoing += ":" + Trim(reception::WithoutControlBytes(text));
  counter = counter + 1 > 99 ? 0 : counter + 1;
  const std::string number =
      std::string(1, static_cast<char>('0' + counter / 10)) + static_cast<char>('0' + counter % 10);
  if (LowerCaseQuery(m.outgoing)) UpperAsciiInPlace(m.outgoing);
  const bool query = m.outgoing.find("?APRS") != std::string::npos;
  if (!query) m.outgoing += "{" + number;
  m.colour = query ? kChatQuery : reception::kChatQueued;
  if (noRadio) m.colour = kChatWebOnly;
  m.line = Pad9(std::string(txCall)) + m.outgoing;
  return m;
}

// ---------------------------------------------------------------------------

long ChatQueue::Add(const std::string& text, int colour) {
  ChatLine& oldest = lines_[0];
  if (IsPendingColour(oldest.colour)) {
    // Pushed out of sight, still queued.
    held_.push_back(oldest);
    if (held_.size() > kHeldLimit) {
      const ChatLine gone = held_.front();
      held_.pop_front();
      inFlight_.erase(gone.id);
      if (dropped) dropped(gone.text);
    }
  }
  for (int i = 0; i < 7; ++i) lines_[i] = lines_[i + 1];
  lines_[7] = ChatLine{text, colour, nextId_++, false};
  Changed();
  return lines_[7].id;
}

void ChatQueue::SetColour(int index, int colour) {
  lines_[static_cast<std::size_t>(index)].colour = colour;
  Changed();
}

ChatLine* ChatQueue::Find(long id) {
  if (id == 0) return nullptr;
  for (ChatLine& l : lines_)
    if (l.id == id) return &l;
  for (ChatLine& l : held_)
    if (l.id == id) return &l;
  return nullptr;
}

void ChatQueue::Step(ChatLine& line) {
  line.colour = line.colour + 1 >= 255 ? reception::kChatGivenUp : line.colour + 1;
  line.failed = false;
}

void ChatQueue::PruneHeld() {
  std::erase_if(held_, [this](const ChatLine& l) { return !IsPendingColour(l.colour) && !InFlight(l.id); });
}

void ChatQueue::GiveUpPending() {
  for (ChatLine& l : lines_)
    if (IsPendingColour(l.colour)) l.colour = reception::kChatGivenUp;
  for (ChatLine& l : held_)
    if (IsPendingColour(l.colour)) l.colour = reception::kChatGivenUp;
  PruneHeld();
  Changed();
}

void ChatQueue::RetryPass(const std::function<Sent(const std::string&, long)>& send) {
  std::vector<long> due;
  for (const ChatLine& l : held_)
    if (IsPendingColour(l.colour) && !InFlight(l.id)) due.push_back(l.id);
  for (const ChatLine& l : lines_)
    if (IsPendingColour(l.colour) && !InFlight(l.id)) due.push_back(l.id);
  for (long id : due) {
    ChatLine* line = Find(id);
    if (line == nullptr || !IsPendingColour(line->colour) || InFlight(id)) continue;
    const std::string info = Trim(std::string_view(line->text).substr(std::min<std::size_t>(9, line->text.size())));
    sending_ = id;
    early_.reset();
    const Sent sent = send(info, id);
    sending_ = 0;
    line = Find(id);  // `send` may have added lines
    if (line == nullptr) continue;
    switch (sent) {
      case Sent::Yes: Step(*line); break;
      case Sent::No: line->failed = true; break;
      case Sent::Later:
        // An outcome that came before `send` returned is taken as it came.
        if (!early_)
          inFlight_.insert(id);
        else if (*early_)
          Step(*line);
        else
          line->failed = true;
        break;
    }
  }
  PruneHeld();
  Changed();
}

void ChatQueue::WebOutcome(long id, bool sent) {
  if (id == sending_) {
    early_ = sent;
    return;
  }
  inFlight_.erase(id);
  if (ChatLine* line = Find(id)) {
    if (sent && IsPendingColour(line->colour)) Step(*line);
    if (!sent) line->failed = true;
  }
  PruneHeld();
  Changed();
}

void ChatQueue::Acknowledge(const std::string& number) {
  auto match = [&number](ChatLine& l) {
    if (l.colour <= 250 || l.colour >= 0x5FFF) return;
    const std::size_t brace = l.text.find('{');
    if (brace == std::string::npos) return;
    if (TrimRight(std::string_view(l.text).substr(brace + 1)) == number) {
      l.colour = reception::kChatAcknowledged;
      l.failed = false;
    }
  };
  for (ChatLine& l : lines_) match(l);
  for (ChatLine& l : held_) match(l);
  PruneHeld();
  Changed();
}

// ---------------------------------------------------------------------------

std::string WithAnswerPrefix(std::string_view text) {
  if (text.substr(0, 4) == "AA: ") return std::string(text);
  return "AA: " + std::string(text);
}

std::string AutoAnswer::SwitchOn(bool noRadio) {
  if (text.empty()) text = kDefaultText;
  text = WithAnswerPrefix(text);
  on = true;
  if (noRadio) {
    text.clear();
    on = false;
  }
  return text;
}

std::string AutoAnswer::Store(std::string_view box) {
  text = WithAnswerPrefix(Trim(box));
  return text;
}

}  // namespace zeblon::panels
