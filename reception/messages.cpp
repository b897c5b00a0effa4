#include "reception/messages.h"

#include <string>

#include "settings/settings.h"

namespace zeblon::reception {
namespace {

std::string Pad9(std::string s) {
  if (s.size() < 9) s.resize(9, ' ');
  return s;
}

std::string TwoDigits(int n) {
  std::string t(2, '0');
  t[0] = static_cast<char>('0' + (n / 10) % 10);
  t[1] = static_cast<char>('0' + n % 10);
  return t;
}

bool AwaitsAck(int colour) { return colour > 250 && colour < 0x5FFF; }

void LogChatLine(ChatPanel& chat, ReceptionHost& host, const ChatLogWriter& chatLog) {
  // A chat log that cannot be written loses this line only.
  if (chatLog) chatLog(ChatLogLine(host.Now(), chat.Line(7)));
}

std::string DisplayLine(const std::string& sender, const std::string& message) {
  std::string line(100, ' ');
  WriteAt(line, 1, sender);
  WriteAt(line, 10, message);
  return line;
}

bool IsDuplicate(ChatPanel& chat, const std::string& message, const std::string& display) {
  const std::string_view d = TrimView(display);
  if (message.find('{') != std::string::npos)
    for (int i = 0; i < 8; ++i)
      if (TrimView(chat.Line(i)) == d) return true;
  return TrimView(chat.Line(7)) == d;
}

}  // namespace

std::string ChatLogLine(const LocalTime& t, std::string_view chatLine, bool rewritten) {
  std::string year = std::to_string(t.year);
  if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
  return year + TwoDigits(t.month) + TwoDigits(t.day) + (rewritten ? "<" : " ") + TwoDigits(t.hour) +
         TwoDigits(t.minute) + "  " + Trim(chatLine) + "\r\n";
}

std::filesystem::path ChatLogPath(const std::filesystem::path& dataFolder) {
  return FindFileInFolder(LogFolder(dataFolder), "_CHATLOG.TXT");
}

void ChatPanel::Acknowledge(const std::string& number) {
  for (int i = 0; i < 8; ++i) {
    if (!AwaitsAck(Colour(i))) continue;
    const std::string line = Line(i);
    const std::size_t brace = line.find('{');
    if (brace == std::string::npos) continue;
    if (TrimRight(std::string_view(line).substr(brace + 1)) == number) SetColour(i, kChatAcknowledged);
  }
}

std::string WithoutControlBytes(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 32 && c != 127) s += ch;
  }
  return s;
}

// A message, acknowledgement or query to the user (APRS 1.0.1, chapter 14).
void HandleMessage(const FrameValues& v, ReceptionSettings& s, ChatPanel& chat, ReceptionHost& host,
                   const ChatLogWriter& chatLog) {
  const std::string message = Trim(v.payloadText);
  const std::string sender = v.callText.str();
  const std::string addressee = UpperCase(TrimmedColumns(message, 2, 10));
  const std::string kind = std::string(Columns(message, 12, 14));
  const bool ack = kind == "ack" || kind == "mok";
  const bool forUser = addressee == Trim(s.userCall) || addressee == s.txCall;

  if (!forUser) {
    if (ack || chat.MeOnly()) return;
    const std::string display = DisplayLine(sender, message);
    if (IsDuplicate(chat, message, display)) return;
    chat.ScrollIn(display, kChatOthers);
    LogChatLine(chat, host, chatLog);
    return;
  }

  if (ack) {
    chat.Acknowledge(TrimmedColumns(message, 15, 19));
    return;
  }

  const std::string display = DisplayLine(sender, message);
  const bool duplicate = IsDuplicate(chat, message, display);
  if (!duplicate) {
    if (s.toneOn) host.Beep();
    chat.ScrollIn(display, kChatToUser);
    LogChatLine(chat, host, chatLog);
    if (!chat.Visible()) chat.OpenForUser();
  }
  // Under a call that cannot be a licensed one nothing goes out by itself: no
  // acknowledgement, no automatic answer, no path reply.
  const bool mayAnswer = IsValidOwnCall(s.userCall);
  const std::string cleanSender = WithoutControlBytes(Trim(sender));
  const std::size_t brace = display.find('{');
  if (mayAnswer && brace != std::string::npos) {
    const std::string number = WithoutControlBytes(Trim(std::string_view(display).substr(brace + 1)));
    host.SendAprsMessage(":" + Pad9(cleanSender) + ":ack" + number);
    if (s.autoAnswerOn && !duplicate && !cleanSender.empty()) {
      bool given = false;
      for (int i = 4; i < 8 && !given; ++i) {
        const std::string line = chat.Line(i);
        given = TrimmedColumns(line, 1, 9) == Trim(s.txCall) && TrimmedColumns(line, 11, 19) == Trim(sender) &&
                line.size() > 20 && line.find(s.autoAnswerText, 20) != std::string::npos;
      }
      if (!given) {
        if (s.autoAnswerText.rfind("AA: ", 0) != 0) s.autoAnswerText = "AA: " + s.autoAnswerText;
        chat.QueueChatMessage(cleanSender, s.autoAnswerText);
      }
    }
  }
  if (UpperCase(message).find("PATH") != std::string::npos || message.find('>') != std::string::npos ||
      message.find('*') != std::string::npos) {
    for (int i = 0; i < 8; ++i)
      if (AwaitsAck(chat.Colour(i)) && chat.Line(i).find("?APRST") != std::string::npos)
        chat.SetColour(i, kChatAcknowledged);
  }
  if (mayAnswer && UpperCase(Trim(Columns(message, 12, 100000))) == "?APRST") {
    const std::string header = v.headerLine.str();
    const std::size_t gt = header.find('>');
    const std::string source = header.substr(0, gt == std::string::npos ? header.size() : gt);
    const std::string rest = gt == std::string::npos ? std::string() : header.substr(gt + 1);
    std::string via;
    const std::size_t q = v.destinationCall.empty() ? std::string::npos : rest.find(v.destinationCall.view());
    if (q != std::string::npos && q + 1 > 3) via = rest.substr(0, q + 1 - 2);
    const std::string outgoing = ":" + Pad9(cleanSender) + ":PATH = " + WithoutControlBytes(source) + " VIA " +
                                 WithoutControlBytes(via) + " TO " + WithoutControlBytes(v.destinationCall);
    chat.ScrollIn(Pad9(s.txCall) + outgoing, kChatPathReply);
    host.SendAprsMessage(outgoing);
    LogChatLine(chat, host, chatLog);
  }
}

}  // namespace zeblon::reception
