// The chat window's model: building own messages, the retry pass and its
// schedule of states, pending lines pushed out of sight, the automatic answer,
// the typed-character translation, the chat log, SHOW and DELETE SAVED and the
// picking of a call.
#include <gtest/gtest.h>

#include <fstream>

#include "panels/chat.h"
#include "panels/saved_messages.h"
#include "reception/messages.h"
#include "settings/text_files.h"
#include "tests/support/program_folder.h"

namespace zeblon::panels {
namespace {

namespace fs = std::filesystem;
using Sent = ChatQueue::Sent;

constexpr int kGivenUp = reception::kChatGivenUp;
constexpr int kAcked = reception::kChatAcknowledged;

TEST(ChatMessage, BuildsTheInformationFieldAndLine) {
  const struct {
    const char* to;
    const char* text;
    bool noRadio;
    const char* outgoing;  // nullptr: refused
    int colour;
  } cases[] = {
      {"ab1cd ", "Hello there", false, ":AB1CD    :Hello there{01", 250},
      {"AB1CD", "?aprsp", false, ":AB1CD    :?APRSP", 252},
      {"AB1CD", "?Aprsp", false, ":AB1CD    :?Aprsp{01", 250},
      {"AB1CD", "see ?APRST now", false, ":AB1CD    :see ?APRST now", 252},
      {"AB1CD", "hi", true, ":AB1CD    :hi{01", 254},
      {"AB1CD", "?APRSP", true, ":AB1CD    :?APRSP", 254},
      {"LONGCALL-15", "x", false, ":LONGCALL-15:x{01", 250},  // never cut
      {"AB1\x07"
       "CD",
       "a\rb\nc\x01", false, ":AB1CD    :abc{01", 250},  // control bytes never go out
      {"", "x", false, nullptr, 0},
      {"AB1CD", "", false, nullptr, 0},
      {"   ", "x", false, nullptr, 0},  // an addressee of blanks only is refused
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    int counter = 0;
    const auto m = BuildChatMessage(c.to, c.text, "N0CALL-5", counter, c.noRadio);
    if (c.outgoing == nullptr) {
      EXPECT_FALSE(m.has_value());
      EXPECT_EQ(counter, 0);  // no number used
      continue;
    }
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->outgoing, c.outgoing);
    EXPECT_EQ(m->line, std::string("N0CALL-5 ") + c.outgoing);
    EXPECT_EQ(m->colour, c.colour);
    EXPECT_EQ(counter, 1);  // a query uses its number too
  }
}

TEST(ChatMessage, NumbersRunFrom01To99Then00) {
  int counter = 0;
  std::vector<std::string> numbers;
  for (int i = 0; i < 101; ++i) {
    const auto m = BuildChatMessage("AB1CD", "x", "N0CALL", counter, false);
    numbers.push_back(m->outgoing.substr(m->outgoing.size() - 2));
  }
  EXPECT_EQ(numbers[0], "01");
  EXPECT_EQ(numbers[8], "09");
  EXPECT_EQ(numbers[98], "99");
  EXPECT_EQ(numbers[99], "00");
  EXPECT_EQ(numbers[100], "01");
}

TEST(ChatMessage, TypedCharactersBecomeCodePage850) {
  const std::pair<int, int> cases[] = {{65, 65},   {127, 127}, {128, 254}, {159, 254}, {160, 32},  {175, 254},
                                       {184, 32},  {196, 142}, {228, 132}, {214, 153}, {246, 148}, {220, 154},
                                       {252, 129}, {223, 225}, {197, 143}, {229, 134}, {222, 232}, {254, 231},
                                       {233, 130}, {255, 152}, {161, 173}, {163, 156}};
  for (const auto& [typed, dos] : cases) EXPECT_EQ(TypedCharToDos(typed), dos) << typed;
  // Whole texts, and back for the input box where both code pages have the character.
  EXPECT_EQ(TypedTextToDos("\xE5\xE4\xF6 \xDF \x80"
                           "a"),
            "\x86\x84\x94 \xE1 \xFE"
            "a");
  EXPECT_EQ(DosTextToTyped("\x86\x84\x94 \xE1 \xFE"
                           "a"),
            "\xE5\xE4\xF6 \xDF ?a");
  EXPECT_EQ(DosCharToUnicode(0xE1), u'\u00DF');
  EXPECT_EQ(DosCharToUnicode(0xFE), u'\u25A0');
  EXPECT_EQ(DosCharToUnicode('A'), u'A');
}

// A queue with the lines of `n` own messages.
ChatQueue WithMessages(int n, bool noRadio = false) {
  ChatQueue q;
  int counter = 0;
  for (int i = 0; i < n; ++i) {
    const auto m = BuildChatMessage("AB1CD", "m" + std::to_string(i + 1), "N0CALL", counter, noRadio);
    q.Add(m->line, m->colour);
  }
  return q;
}

TEST(ChatRetry, EachPassSendsEveryPendingLineOnceUntilGivenUp) {
  ChatQueue q = WithMessages(1);
  int counter = 9;
  const auto query = BuildChatMessage("AB1CD", "?APRST", "N0CALL", counter, false);
  q.Add(query->line, query->colour);
  std::vector<std::string> sent;
  std::vector<std::pair<int, int>> colours;  // after each pass: message, query
  for (int pass = 0; pass < 6; ++pass) {
    q.RetryPass([&](const std::string& info, long) {
      sent.push_back(info);
      return Sent::Yes;
    });
    colours.emplace_back(q.At(6).colour, q.At(7).colour);
  }
  EXPECT_EQ(colours,
            (std::vector<std::pair<int, int>>{
                {251, 253}, {252, 254}, {253, kGivenUp}, {254, kGivenUp}, {kGivenUp, kGivenUp}, {kGivenUp, kGivenUp}}));
  // Five times the message, three times the query, oldest line first in every pass.
  EXPECT_EQ(std::count(sent.begin(), sent.end(), ":AB1CD    :m1{01"), 5);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), ":AB1CD    :?APRST"), 3);
  EXPECT_EQ(sent[0], ":AB1CD    :m1{01");
  EXPECT_EQ(sent[1], ":AB1CD    :?APRST");
}

TEST(ChatRetry, AnAcknowledgementStopsTheRetries) {
  ChatQueue q = WithMessages(2);
  int sends = 0;
  auto pass = [&] {
    q.RetryPass([&](const std::string&, long) {
      ++sends;
      return Sent::Yes;
    });
  };
  q.Acknowledge("01");  // a line at 250 has not gone out: no acknowledgement matches it
  EXPECT_EQ(q.At(6).colour, 250);
  pass();
  q.Acknowledge("01");
  EXPECT_EQ(q.At(6).colour, kAcked);
  EXPECT_EQ(q.At(7).colour, 251);
  sends = 0;
  pass();
  EXPECT_EQ(sends, 1);  // only the second
  q.Acknowledge("0");   // another number
  EXPECT_EQ(q.At(7).colour, 252);
  q.Acknowledge("02");
  EXPECT_EQ(q.At(7).colour, kAcked);
}

TEST(ChatRetry, ALineThatDidNotGoOutStaysPendingAndIsMarked) {
  ChatQueue q = WithMessages(1);
  q.RetryPass([](const std::string&, long) { return Sent::No; });
  EXPECT_EQ(q.At(7).colour, 250);
  EXPECT_TRUE(q.At(7).failed);
  q.RetryPass([](const std::string&, long) { return Sent::Yes; });
  EXPECT_EQ(q.At(7).colour, 251);
  EXPECT_FALSE(q.At(7).failed);
}

TEST(ChatRetry, WebSendsCountOnlyWhenThePageAnswered) {
  ChatQueue q = WithMessages(2, true);
  std::vector<long> ids;
  q.RetryPass([&](const std::string&, long id) {
    ids.push_back(id);
    return Sent::Later;
  });
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_EQ(q.At(6).colour, 254);
  // While their pages load, the lines are not sent again.
  int again = 0;
  q.RetryPass([&](const std::string&, long) {
    ++again;
    return Sent::Later;
  });
  EXPECT_EQ(again, 0);
  q.WebOutcome(ids[0], true);
  q.WebOutcome(ids[1], false);
  EXPECT_EQ(q.At(6).colour, kGivenUp);  // sent its one time
  EXPECT_EQ(q.At(7).colour, 254);       // failed: still pending, and shown so
  EXPECT_TRUE(q.At(7).failed);
  std::vector<std::string> retried;
  q.RetryPass([&](const std::string& info, long) {
    retried.push_back(info);
    return Sent::Yes;
  });
  EXPECT_EQ(retried, (std::vector<std::string>{":AB1CD    :m2{02"}));
  EXPECT_EQ(q.At(7).colour, kGivenUp);
}

TEST(ChatRetry, AWebOutcomeKnownAtOnceIsTakenToo) {
  for (bool sent : {false, true}) {
    ChatQueue q = WithMessages(1, true);
    q.RetryPass([&](const std::string&, long id) {
      q.WebOutcome(id, sent);  // e.g. no web service named: the send fails before it returns
      return Sent::Later;
    });
    EXPECT_FALSE(q.InFlight(q.At(7).id));
    EXPECT_EQ(q.At(7).colour, sent ? kGivenUp : 254);
    EXPECT_EQ(q.At(7).failed, !sent);
  }
}

TEST(ChatRetry, PendingLinesPushedOutOfSightStayQueued) {
  ChatQueue q = WithMessages(9);
  // m1 left the eight lines but is still waiting for its first transmission.
  ASSERT_EQ(q.Held().size(), 1u);
  EXPECT_NE(q.Held()[0].text.find("m1{01"), std::string::npos);
  std::vector<std::string> sent;
  q.RetryPass([&](const std::string& info, long) {
    sent.push_back(info);
    return Sent::Yes;
  });
  ASSERT_EQ(sent.size(), 9u);
  EXPECT_EQ(sent[0], ":AB1CD    :m1{01");  // the oldest first
  q.Acknowledge("01");
  EXPECT_TRUE(q.Held().empty());  // acknowledged: nothing left to do for it
  // A received line pushes out a pending one too; closing the window gives it up.
  q.Add("AB1CD    :N0CALL   :hi{7", reception::kChatToUser);
  ASSERT_EQ(q.Held().size(), 1u);
  q.GiveUpPending();
  EXPECT_TRUE(q.Held().empty());
  for (int i = 0; i < 7; ++i) EXPECT_EQ(q.At(i).colour, kGivenUp);
  // Lines not pending scroll out and are gone.
  for (int i = 0; i < 8; ++i) q.Add("AB1CD    :N0CALL   :x", reception::kChatToUser);
  EXPECT_TRUE(q.Held().empty());
}

TEST(ChatRetry, TheHeldQueueHasALimitAndSaysWhatItDrops) {
  ChatQueue q;
  std::vector<std::string> dropped;
  q.dropped = [&](const std::string& line) { dropped.push_back(line); };
  int counter = 0;
  for (std::size_t i = 0; i < ChatQueue::kHeldLimit + 10; ++i) {
    const auto m = BuildChatMessage("AB1CD", "x", "N0CALL", counter, false);
    q.Add(m->line, m->colour);
  }
  EXPECT_EQ(q.Held().size(), ChatQueue::kHeldLimit);
  EXPECT_EQ(dropped.size(), 2u);
}

TEST(ChatRetry, APassToleratesLinesAddedWhileItSends) {
  ChatQueue q = WithMessages(8);
  int sends = 0;
  q.RetryPass([&](const std::string&, long) {
    // The receive side adds a line for the user in the middle of the pass.
    if (++sends == 3) q.Add("AB1CD    :N0CALL   :hi", reception::kChatToUser);
    return Sent::Yes;
  });
  EXPECT_EQ(sends, 8);
  EXPECT_EQ(q.Held().size(), 1u);  // m1, pushed out after it was sent, still pending
  EXPECT_EQ(q.Held()[0].colour, 251);
  EXPECT_EQ(q.At(7).colour, reception::kChatToUser);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(q.At(i).colour, 251) << i;
}

TEST(AutoAnswerTest, SwitchingAndStoringTheText) {
  AutoAnswer a;
  EXPECT_EQ(a.SwitchOn(false), "AA: THANKS FOR MSG. SORRY, CANNOT ANSWER. 73!");
  EXPECT_TRUE(a.on);
  EXPECT_EQ(a.Store("  back at 6 "), "AA: back at 6");
  EXPECT_EQ(a.Store("AA: gone"), "AA: gone");
  a.SwitchOff();
  EXPECT_EQ(a.SwitchOn(false), "AA: gone");  // kept while off
  EXPECT_EQ(a.Store(""), "AA: ");
  EXPECT_EQ(a.SwitchOn(true), "");  // no radio: no answer
  EXPECT_FALSE(a.on);
  EXPECT_EQ(a.text, "");
  a.text = "lunch";
  EXPECT_EQ(a.SwitchOn(false), "AA: lunch");
}

// ---------------------------------------------------------------------------

std::string Read(const fs::path& f) {
  std::string b;
  ReadWholeFile(f, b);
  return b;
}

std::string LogOf(std::size_t lines) {
  std::string out;
  for (std::size_t i = 0; i < lines; ++i) {
    // Stamps in time order; the minute's lines in reverse text order.
    const std::size_t minute = i / 2;
    out += "2024050" + std::to_string(1 + minute / 1440 % 9) + " " + (minute / 60 % 24 < 10 ? "0" : "") +
           std::to_string(minute / 60 % 24) + (minute % 60 < 10 ? "0" : "") + std::to_string(minute % 60) +
           "  AB1CD    :N0CALL   :" + (i % 2 == 0 ? "z" : "a") + std::to_string(i) + "\r\n";
  }
  return out;
}

TEST(SavedMessages, ShowKeepsShortLogsAndCutsLongOnesToTheirLast100) {
  testing_support::ScratchFolder dir("zeblon_saved");
  const fs::path log = dir.path() / "_CHATLOG.TXT";

  SavedLog r = ShowSavedLog(log);  // missing: created, shown empty
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(fs::exists(log));
  EXPECT_EQ(r.text, "");

  std::ofstream(log, std::ios::binary) << LogOf(120);
  r = ShowSavedLog(log);
  EXPECT_EQ(r.lines, 120u);
  EXPECT_FALSE(r.cut);
  EXPECT_EQ(Read(log), LogOf(120));
  EXPECT_EQ(r.text, LogOf(120));

  for (std::size_t n : {std::size_t{121}, std::size_t{40000}}) {  // past a 16-bit count too
    SCOPED_TRACE(n);
    std::ofstream(log, std::ios::binary | std::ios::trunc) << LogOf(n);
    r = ShowSavedLog(log);
    EXPECT_EQ(r.lines, n);
    EXPECT_TRUE(r.cut);
    const std::vector<std::string> kept = SplitLines(Read(log));
    ASSERT_EQ(kept.size(), 100u);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    // The last 100 lines, each minute's two in text order.
    std::vector<std::string> want = SplitLines(LogOf(n));
    want.erase(want.begin(), want.end() - 100);
    std::sort(want.begin(), want.end());
    EXPECT_EQ(kept, want);
    EXPECT_EQ(r.text, Read(log));
    // Rewritten through a temporary file that is gone again.
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
  }
}

TEST(SavedMessages, DeleteKeepsTheShownLinesStamped) {
  testing_support::ScratchFolder dir("zeblon_saved_del");
  const fs::path log = dir.path() / "_CHATLOG.TXT";
  std::ofstream(log, std::ios::binary) << LogOf(30);
  const std::vector<std::string> lines = {"", "  ", "AB1CD    :N0CALL   :hi{7  ", "N0CALL   :AB1CD    :yes{01"};
  ASSERT_TRUE(DeleteSavedLog(log, lines, {2024, 5, 9, 7, 5, 0}));
  EXPECT_EQ(Read(log),
            "20240509<0705  AB1CD    :N0CALL   :hi{7\r\n"
            "20240509<0705  N0CALL   :AB1CD    :yes{01\r\n");
  EXPECT_EQ(reception::ChatLogLine({2024, 12, 31, 23, 59, 0}, " x "), "20241231 2359  x\r\n");
}

TEST(SavedMessages, PickingACall) {
  const std::string line = "AB1CD-7  :N0CALL   :hello{01";
  const std::pair<int, const char*> carets[] = {
      {0, "AB1CD-7"}, {9, "AB1CD-7"}, {10, ""}, {11, "N0CALL"}, {25, "N0CALL"}};
  for (const auto& [caret, call] : carets) EXPECT_EQ(CallFromChatLine(line, caret), call) << caret;
  EXPECT_EQ(CallFromMarkedText(" :AB1CD "), "AB1CD");
  EXPECT_EQ(CallFromMarkedText(": AB1CD"), "AB1CD");
  EXPECT_EQ(CallFromMarkedText("AB1CD"), "AB1CD");

  std::vector<std::string> log(5, std::string(120, ' '));
  log[1].replace(32, 5, "AB1CD");
  log[2].replace(32, 6, "AB1CDX");
  log[3].replace(32, 5, "AB1CD");
  log[4].replace(32, 5, "AB1CD");  // beyond the count
  EXPECT_EQ(LastRecordOfCall(log, 3, "AB1CD"), 3);
  EXPECT_EQ(LastRecordOfCall(log, 3, "AB1CDX"), 2);
  EXPECT_EQ(LastRecordOfCall(log, 3, "ZZ9ZZ"), 0);
  EXPECT_EQ(LastRecordOfCall(log, 99, "AB1CD"), 4);
}

}  // namespace
}  // namespace zeblon::panels
