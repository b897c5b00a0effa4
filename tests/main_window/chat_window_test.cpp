// The CHAT window in the main window: Enter queues a pending line, the main
// cycle's retry pass sends it through the radio link and steps its state, the
// INFO panel's PING and CHAT contracts, the web send without radio against a
// local HTTP server (keys, failures shown, the poll's watchdog leaves it alone),
// SHOW and DELETE SAVED through the buttons, and a screenshot of the window with
// lines in their states.
#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cstdlib>
#include <memory>

#include "main_window/form1.h"
#include "panels/chat.h"
#include "reception/messages.h"
#include "tests/support/find.h"
#include "tests/support/web_folder_test.h"
// Last: the page fetcher's namespace would hide the controls' one from the headers above.
#include "internet/message_web_send.h"
#include "internet/web_requests.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;
using testing_support::Find;
using testing_support::Route;

// A radio link that keeps what the transmit step is given.
class RecordingLink : public links::MinimalRadioLink {
 public:
  bool Transmit(const std::string& infoField) override {
    sent.push_back(infoField);
    return up;
  }
  std::vector<std::string> sent;
  bool up = true;
};

class ChatWindowTest : public testing_support::WebFolderTest {
 protected:
  std::unique_ptr<Form1> Start(const std::string& modem, const std::string& user = "AB1CD") {
    Write("ZEBLON.INI", "TEMP=" + folder_.string() + "\r\nUSER=" + user + "\r\nTXID=9\r\nMODEM=" + modem +
                            "\r\nMSYS=U33\r\nLANG=11\r\nUTN=6581.5\r\nUTE=401.25\r\nUUN=6580\r\nUUE=400\r\n"
                            "CALL=QW7TK\r\nNOAT=1\r\nWVER=WIN10\r\n");
    auto form = std::make_unique<Form1>();
    auto link = std::make_unique<RecordingLink>();
    link_ = link.get();
    form->SetRadioLink(std::move(link));
    form->show();
    PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
    return form;
  }
  static links::TickInputs Inputs(int kind, bool chatOn, bool waiting) {
    links::TickInputs in;
    in.interfaceKind = kind;
    const QDateTime t = QDateTime::currentDateTime();
    in.now = {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), 7, 0};
    in.userCall = "AB1CD";
    in.chatOn = chatOn;
    in.messageWaiting = waiting;
    return in;
  }
  static void Type(Form1& form, const std::string& to, const std::string& text) {
    form.ChatWindow().Text2->SetText(to);
    form.ChatWindow().Text3->SetText(text);
    form.ChatWindow().Text3->KeyDown(13, 0);
  }
  static int Colour(Form1& form, int line) { return form.Chat().Queue().At(line).colour; }
  std::string ChatLog() { return Read("U33/LOG/_CHATLOG.TXT"); }

  RecordingLink* link_ = nullptr;
};

TEST_F(ChatWindowTest, EnterQueuesAndTheMainCycleSendsUntilAcknowledged) {
  auto form = Start("0");
  auto* check7 = Find<::platform::CheckBox>(*form, "Check7");
  auto* check16 = Find<::platform::CheckBox>(*form, "Check16");
  check16->SetValue(0);  // the start-up switched the automatic answer on
  check7->SetValue(1);
  EXPECT_FALSE(form->ChatWindow().isHidden());

  Type(*form, "ab9cd ", "hello & more");
  EXPECT_EQ(form->Chat().Queue().At(7).text, "AB1CD-9  :AB9CD    :hello & more{01");
  EXPECT_EQ(Colour(*form, 7), 250);
  EXPECT_EQ(form->ChatWindow().Text3->Text(), "");  // cleared for the next message
  EXPECT_NE(ChatLog().find(" AB1CD-9  :AB9CD    :hello & more{01\r\n"), std::string::npos);
  EXPECT_TRUE(form->Chat().MessageWaiting());
  EXPECT_TRUE(form->Timer1->isActive());

  // The next full tick runs the retry pass at once; then every fifth tick.
  std::vector<int> sentPerTick;
  for (int tick = 0; tick < 7; ++tick) {
    const std::size_t before = link_->sent.size();
    form->RunTick(Inputs(0, true, form->Chat().MessageWaiting()));
    sentPerTick.push_back(static_cast<int>(link_->sent.size() - before));
    if (tick == 5) form->Chat().Queue().Acknowledge("01");  // the other side's ack (the receive side calls this)
  }
  EXPECT_EQ(sentPerTick, (std::vector<int>{1, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(link_->sent[0], ":AB9CD    :hello & more{01");
  EXPECT_EQ(Colour(*form, 7), reception::kChatAcknowledged);
  for (int tick = 0; tick < 6; ++tick) form->RunTick(Inputs(0, true, false));
  EXPECT_EQ(link_->sent.size(), 2u);  // acknowledged: no more tries

  // A blank addressee is refused: no line, no number used, nothing logged.
  const std::string log = ChatLog();
  Type(*form, "   ", "lost?");
  EXPECT_EQ(form->Chat().MessageCounter(), 1);
  EXPECT_EQ(ChatLog(), log);
  EXPECT_EQ(form->ChatWindow().Text3->Text(), "lost?");

  // A transmission that does not go out is not counted; the line is marked.
  link_->up = false;
  Type(*form, "AB9CD", "again");
  form->Chat().SendPendingMessages();
  EXPECT_EQ(Colour(*form, 7), 250);
  EXPECT_TRUE(form->Chat().Queue().At(7).failed);
  link_->up = true;
  form->Chat().SendPendingMessages();
  EXPECT_EQ(Colour(*form, 7), 251);

  // The close button gives every pending line up; the CHAT box alone does not.
  Type(*form, "AB9CD", "third");
  check7->SetValue(0);
  EXPECT_TRUE(form->ChatWindow().isHidden());
  EXPECT_EQ(Colour(*form, 7), 250);
  check7->SetValue(1);
  Find<::platform::CommandButton>(*form, "Command27")->click();
  EXPECT_EQ(check7->Value(), 0);
  EXPECT_EQ(Colour(*form, 6), reception::kChatGivenUp);
  EXPECT_EQ(Colour(*form, 7), reception::kChatGivenUp);
  form->CloseByUser();
}

TEST_F(ChatWindowTest, PingChatAndTheAutomaticAnswer) {
  auto form = Start("3");
  panels::ChatFrame& chat = form->ChatWindow();
  auto* check16 = Find<::platform::CheckBox>(*form, "Check16");
  // The start-up ticks AUTO-A: the answer text stands in the message box.
  EXPECT_EQ(check16->Value(), 1);
  EXPECT_EQ(check16->Caption(), "AUTO ANSWER TEXT:");
  EXPECT_EQ(chat.Text3->Text(), "AA: THANKS FOR MSG. SORRY, CANNOT ANSWER. 73!");
  EXPECT_TRUE(form->Reception().settings.autoAnswerOn);
  EXPECT_EQ(form->Reception().settings.autoAnswerText, "AA: THANKS FOR MSG. SORRY, CANNOT ANSWER. 73!");

  // Enter with no addressee stores a new answer text.
  chat.Text3->SetText("back at six");
  chat.Text3->KeyDown(13, 0);
  EXPECT_EQ(chat.Text3->Text(), "AA: back at six");
  EXPECT_EQ(form->Reception().settings.autoAnswerText, "AA: back at six");

  // The receive side's answer: Text2, Text3 and Enter; the answer stays in the box.
  form->Chat().Queue().QueueChatMessage("AB9CD", "AA: back at six");
  EXPECT_EQ(form->Chat().Queue().At(7).text, "AB1CD-9  :AB9CD    :AA: back at six{01");
  EXPECT_EQ(chat.Text3->Text(), "AA: back at six");

  // The INFO panel's CHAT: AUTO-A unticked, and its handler run once more.
  check16->SetValue(0);
  check16->OnClick();
  EXPECT_EQ(check16->Caption(), "AUTO-A");
  EXPECT_EQ(chat.Text2->Text(), "");
  EXPECT_EQ(chat.Text3->Text(), "");
  EXPECT_FALSE(form->Reception().settings.autoAnswerOn);

  // Typed characters above 127 are shown as typed and go out as their code page 850 codes.
  chat.Text2->SetText("AB9CD");
  chat.Text3->SetText("");
  QKeyEvent typing(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u00e5\u00e4\u00f6 \u00df \u20ac"));
  QCoreApplication::sendEvent(chat.Text3, &typing);
  EXPECT_EQ(chat.Text3->Text(), "\xE5\xE4\xF6 \xDF \x80");
  chat.Text3->KeyDown(13, 0);
  EXPECT_EQ(form->Chat().Queue().At(7).text, "AB1CD-9  :AB9CD    :\x86\x84\x94 \xE1 \xFE{02");
  EXPECT_EQ(chat.Text1[7]->text(), QString::fromUtf8("AB1CD-9  :AB9CD    :\u00e5\u00e4\u00f6 \u00df \u25a0{02"));

  // The INFO panel's PING: a query without number, first sent three times.
  chat.Text2->SetText("AB9CD");
  chat.Text3->SetText("?APRST");
  chat.Text3->KeyDown(13, 0);
  EXPECT_EQ(form->Chat().Queue().At(7).text, "AB1CD-9  :AB9CD    :?APRST");
  EXPECT_EQ(Colour(*form, 7), 252);
  form->CloseByUser();
}

// PING while AUTO-A is on puts the answer text back into the message box as the
// user typed it, not in the code page it goes out in: a later Enter keeps it whole.
TEST_F(ChatWindowTest, PingKeepsAnAnswerTextWithCharactersAbove127) {
  auto form = Start("3");
  panels::ChatFrame& chat = form->ChatWindow();
  ASSERT_EQ(Find<::platform::CheckBox>(*form, "Check16")->Value(), 1);
  chat.Text2->SetText("");
  chat.Text3->SetText(
      "zur\xFC"
      "ck um 6");
  chat.Text3->KeyDown(13, 0);
  const std::string typed =
      "AA: zur\xFC"
      "ck um 6";
  ASSERT_EQ(chat.Text3->Text(), typed);

  std::string heard = reception::BlankRecord();
  heard.replace(32, 5, "AB9CD");
  form->StoreHeardReport(heard);
  ASSERT_TRUE(form->ShowStationInfo("AB9CD"));
  form->InfoFrame().Command41->click();
  EXPECT_EQ(form->Chat().Queue().At(7).text, "AB1CD-9  :AB9CD    :?APRST");
  EXPECT_EQ(chat.Text3->Text(), typed);
  chat.Text2->SetText("");
  chat.Text3->KeyDown(13, 0);  // stored again as it stands
  EXPECT_EQ(form->Reception().settings.autoAnswerText,
            "AA: zur\x81"
            "ck um 6");
  form->CloseByUser();
}

// An answer text typed to the message box's limit: with "AA: " in front the
// stored answer must still be the text that goes out, or the receive side never
// finds its answer among the lines and answers every message of a station again.
TEST_F(ChatWindowTest, AnAnswerTextAtTheBoxLimitIsStoredAsItGoesOut) {
  auto form = Start("3");
  panels::ChatFrame& chat = form->ChatWindow();
  chat.Text2->SetText("");
  chat.Text3->SetText(std::string(60, 'x'));
  chat.Text3->KeyDown(13, 0);
  const std::string stored = form->Reception().settings.autoAnswerText;
  EXPECT_EQ(stored, chat.Text3->Text());  // what the box shows is what is stored
  // The receive side's answer; it looks for the stored text in the lines before
  // it answers the same station again.
  form->Chat().Queue().QueueChatMessage("AB9CD", stored);
  EXPECT_NE(form->Chat().Queue().At(7).text.find(stored, 20), std::string::npos) << form->Chat().Queue().At(7).text;
  form->CloseByUser();
}

// A character code page 850 lacks (the euro sign) goes out as the same
// stand-in every time, so the receive side finds its answer among the lines and
// answers a station once.
TEST_F(ChatWindowTest, AnAnswerWithACharacterOutsideTheCodePageMatchesItselfOnAir) {
  auto form = Start("3");
  panels::ChatFrame& chat = form->ChatWindow();
  chat.Text2->SetText("");
  chat.Text3->SetText("back at 5 \x80 paid");
  chat.Text3->KeyDown(13, 0);
  const std::string stored = form->Reception().settings.autoAnswerText;
  form->Chat().Queue().QueueChatMessage("AB9CD", stored);
  EXPECT_NE(form->Chat().Queue().At(7).text.find(stored, 20), std::string::npos)
      << form->Chat().Queue().At(7).text << " / " << stored;
  form->CloseByUser();
}

TEST_F(ChatWindowTest, WithoutRadioMessagesGoThroughTheWebSendPage) {
  server_.routes["/cgi-bin/sendmsg.cgi"] = Route{200, "text/html", "<html>sent</html>", 100};
  auto form = Start("4");
  form->Chat().Web().settleMs = 10;
  form->Chat().Web().failureShownMs = 50;
  auto* check7 = Find<::platform::CheckBox>(*form, "Check7");
  auto* check22 = Find<::platform::CheckBox>(*form, "Check22");
  auto* text10 = Find<::platform::TextBox>(*form, "Text10");
  check7->SetValue(1);
  // The chat reaches the watched station through the web.
  EXPECT_EQ(form->ChatWindow().Text2->Text(), "QW7TK");
  EXPECT_FALSE(form->ChatWindow().Text2->isEnabled());
  EXPECT_EQ(check22->Value(), 1);
  form->Internet().SwitchState().lastRawRequestHhmm = 0;  // no poll in the way

  form->ChatWindow().Text3->SetText("fish & chips #1 +2 100%");
  form->ChatWindow().Text3->KeyDown(13, 0);
  form->ChatWindow().Text3->SetText("second");
  form->ChatWindow().Text3->KeyDown(13, 0);
  EXPECT_EQ(Colour(*form, 6), 254);
  form->Chat().SendPendingMessages();
  // While the send's notice shows, the web poll's watchdog leaves it and the poll alone.
  EXPECT_FALSE(text10->isHidden());
  EXPECT_EQ(text10->Text(), "SENDING CHAT MESSAGE VIA INTERNET...");
  form->ArmPause(20);
  PumpUntil([&] { return !form->Timer2->isActive(); }, 2000);
  EXPECT_EQ(check22->Value(), 1);
  EXPECT_FALSE(text10->isHidden());

  PumpUntil([&] { return !form->Chat().Web().Busy(); }, 5000);
  std::vector<std::string> sends;
  for (const std::string& t : server_.targets)
    if (t.rfind("/cgi-bin/sendmsg.cgi", 0) == 0) sends.push_back(t);
  EXPECT_EQ(sends,
            (std::vector<std::string>{
                "/cgi-bin/sendmsg.cgi?fromcall=AB1CD-9&tocall=QW7TK&msg=fish%20%26%20chips%20%231%20%2B2%20100%25%7B01",
                "/cgi-bin/sendmsg.cgi?fromcall=AB1CD-9&tocall=QW7TK&msg=second%7B02"}));
  EXPECT_EQ(Colour(*form, 6), reception::kChatGivenUp);  // sent its one time
  EXPECT_EQ(Colour(*form, 7), reception::kChatGivenUp);
  EXPECT_TRUE(text10->isHidden());
  EXPECT_TRUE(form->Timer1->isActive());

  // A page that fails: shown, and the line stays pending for the next pass.
  server_.routes["/cgi-bin/sendmsg.cgi"] = Route{503, "text/html", "busy"};
  form->ChatWindow().Text3->SetText("third");
  form->ChatWindow().Text3->KeyDown(13, 0);
  form->Chat().SendPendingMessages();
  PumpUntil([&] { return !form->Chat().Web().Busy(); }, 5000);
  EXPECT_EQ(Colour(*form, 7), 254);
  EXPECT_TRUE(form->Chat().Queue().At(7).failed);
  EXPECT_EQ(text10->Text(), "CHAT MESSAGE NOT SENT VIA INTERNET (HTTP 503)");
  server_.routes["/cgi-bin/sendmsg.cgi"] = Route{200, "text/html", "ok"};
  form->Chat().SendPendingMessages();
  PumpUntil([&] { return !form->Chat().Web().Busy(); }, 5000);
  EXPECT_EQ(Colour(*form, 7), reception::kChatGivenUp);
  EXPECT_FALSE(form->Chat().Queue().At(7).failed);

  // A web poll that shows its notice while a send loads keeps it: the send's end
  // leaves it, and the poll's watchdog ends it as before.
  server_.routes["/cgi-bin/sendmsg.cgi"] = Route{200, "text/html", "ok", 300};
  form->ChatWindow().Text3->SetText("fourth");
  form->ChatWindow().Text3->KeyDown(13, 0);
  form->Chat().SendPendingMessages();
  form->Internet().Web().StartRawPoll();
  EXPECT_EQ(text10->Text(), "COLLECTING INTERNET DATA (MONI 1) ...");
  PumpUntil([&] { return !form->Chat().Web().Busy(); }, 5000);
  EXPECT_EQ(Colour(*form, 7), reception::kChatGivenUp);
  EXPECT_FALSE(text10->isHidden());
  EXPECT_FALSE(form->Chat().WebSendNoticeShown());
  form->ArmPause(20);
  PumpUntil([&] { return !form->Timer2->isActive(); }, 2000);
  EXPECT_EQ(check22->Value(), 0);
  EXPECT_TRUE(text10->isHidden());

  // A web acknowledgement of the receive side goes the same way.
  form->Chat().SendAprsMessage(":QW7TK    :mok5");
  PumpUntil([&] { return !form->Chat().Web().Busy(); }, 5000);
  EXPECT_EQ(server_.targets.back(), "/cgi-bin/sendmsg.cgi?fromcall=AB1CD-9&tocall=QW7TK&msg=mok5");
  form->CloseByUser();
}

// Under a call that cannot be a licensed one the receive side's acknowledgements
// go nowhere, neither by radio nor by the web.
TEST_F(ChatWindowTest, NothingIsAcknowledgedUnderAnInvalidCall) {
  server_.routes["/cgi-bin/sendmsg.cgi"] = Route{200, "text/html", "ok"};
  for (const char* modem : {"0", "4"}) {
    SCOPED_TRACE(modem);
    auto form = Start(modem, "NOCALL");
    const std::size_t sent = link_->sent.size();
    form->Chat().SendAprsMessage(":QW7TK    :ack5");
    form->Chat().SendAprsMessage(":QW7TK    :mok5");
    PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(form->Chat().Web().Busy());
    for (const std::string& t : server_.targets) EXPECT_EQ(t.find("sendmsg"), std::string::npos) << t;
    EXPECT_EQ(link_->sent.size(), sent);
    form->CloseByUser();
  }
}

TEST_F(ChatWindowTest, ShowAndDeleteSavedAndPickingACall) {
  auto form = Start("0");
  Find<::platform::CheckBox>(*form, "Check16")->SetValue(0);
  Find<::platform::CheckBox>(*form, "Check7")->SetValue(1);
  std::string log;
  for (int i = 0; i < 130; ++i) log += "20240501 1200  AB9CD    :AB1CD-9  :old " + std::to_string(1000 + i) + "\r\n";
  Write("U33/LOG/_CHATLOG.TXT", log);
  Type(*form, "AB9CD", "new one");

  Find<::platform::CommandButton>(*form, "Command24")->click();
  EXPECT_FALSE(form->SavedMessages().isHidden());
  EXPECT_EQ(form->Timer1->interval(), 30000);
  const std::string kept = Read("U33/LOG/_CHATLOG.TXT");
  EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 100);
  EXPECT_NE(kept.find("AB1CD-9  :AB9CD    :new one{01"), std::string::npos);
  EXPECT_EQ(kept.find("old 1030"), std::string::npos);
  EXPECT_NE(kept.find("old 1031"), std::string::npos);
  EXPECT_NE(form->SavedMessages().Text5->Text().find("old 1129"), std::string::npos);
  // The next full tick closes it.
  form->RunTick(Inputs(0, true, false));
  EXPECT_TRUE(form->SavedMessages().isHidden());

  Find<::platform::CommandButton>(*form, "Command25")->click();
  const std::string after = Read("U33/LOG/_CHATLOG.TXT");
  EXPECT_EQ(after.substr(8, 1), "<");
  EXPECT_NE(after.find("  AB1CD-9  :AB9CD    :new one{01\r\n"), std::string::npos);
  EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 1);

  // A call picked from a line: the addressee box takes it; the INFO panel opens
  // on the station's report when MONI ALL holds it.
  const reception::ReceptionState& st = form->Reception();
  std::string heard = reception::BlankRecord();
  heard.replace(32, 5, "AB9CD");
  ASSERT_EQ(form->HeardStations().MoniAllCount(), 0);
  form->StoreHeardReport(heard);
  form->ChatWindow().Text2->SetText("");
  // A left click into the addressee column of the newest line.
  QWidget* line7 = form->ChatWindow().Text1[7];
  const QPoint at(line7->fontMetrics().horizontalAdvance(QStringLiteral("AB1CD-9  :AB9")) + 4, line7->height() / 2);
  QMouseEvent press(QEvent::MouseButtonPress, at, line7->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, line7->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(line7, &press);
  QCoreApplication::sendEvent(line7, &release);
  EXPECT_EQ(form->ChatWindow().Text2->Text(), "AB9CD");
  EXPECT_FALSE(form->InfoFrame().isHidden());
  EXPECT_EQ(st.info.Call(), "AB9CD");
  EXPECT_EQ(st.info.Index(), 1);
  form->Chat().PickFromSaved(": N0");  // too short: nothing
  EXPECT_EQ(form->ChatWindow().Text2->Text(), "AB9CD");
  EXPECT_EQ(form->Timer1->interval(), 6000);
  form->CloseByUser();
}

TEST_F(ChatWindowTest, ScreenshotOfLinesInTheirStates) {
  auto form = Start("0");
  Find<::platform::CheckBox>(*form, "Check16")->SetValue(0);
  Find<::platform::CheckBox>(*form, "Check7")->SetValue(1);
  panels::ChatQueue& q = form->Chat().Queue();
  q.Add("AB9CD    :AB1CD-9  :good evening{12", reception::kChatToUser);
  Type(*form, "AB9CD", "evening! acknowledged");
  Type(*form, "AB9CD", "sent twice");
  form->Chat().SendPendingMessages();
  q.Acknowledge("01");
  form->Chat().SendPendingMessages();
  q.Add("AB7CD    :AB8CD    :between others", reception::kChatOthers);
  Type(*form, "AB9CD", "?APRST");
  Type(*form, "AB9CD", "still queued");
  EXPECT_EQ(Colour(*form, 3), reception::kChatAcknowledged);
  EXPECT_EQ(Colour(*form, 4), 252);
  EXPECT_EQ(Colour(*form, 6), 252);
  EXPECT_EQ(Colour(*form, 7), 250);
  EXPECT_EQ(form->ChatWindow().Caption(), "RX FROM  |TO       |MESSAGES ");
  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
  fs::create_directories(dir);
  const QImage img = form->ChatWindow().grab().toImage();
  ASSERT_TRUE(img.save(QString::fromStdString((dir / "chat_window.png").string()), "PNG"));
  // The lines' colours are their states: the pending line is drawn in red.
  bool red = false;
  QWidget* line7 = form->ChatWindow().Text1[7];
  const QImage l7 = line7->grab().toImage();
  for (int y = 0; y < l7.height() && !red; ++y)
    for (int x = 0; x < l7.width() && !red; ++x) red = l7.pixelColor(x, y) == QColor(250, 0, 0);
  EXPECT_TRUE(red);
  form->CloseByUser();
}

}  // namespace
}  // namespace zeblon
