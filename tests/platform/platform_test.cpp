#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QAbstractButton>
#include <QMouseEvent>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <fstream>

#include "platform/control_texts.h"
#include "platform/controls.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/qtext.h"
#include "platform/serial_port.h"
#include "platform/wait.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(Paths, WindowsPathsMapByOneRule) {
  const fs::path prog = "/opt/zeblon";
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\MAP\\U33\\", "/opt/zeblon/drive_c/MAP/U33/"},
      {"d:\\karten", "/opt/zeblon/drive_d/karten"},
      {"C:", "/opt/zeblon/drive_c"},
      {"C:\\", "/opt/zeblon/drive_c/"},
      {"C:\\ZEBLON\\U33", "/opt/zeblon/U33"},
      {"c:\\zeblon", "/opt/zeblon"},
      {"C:\\ZEBLON\\", "/opt/zeblon/"},
      {"C:\\ZEBLONX\\U33", "/opt/zeblon/drive_c/ZEBLONX/U33"},
      {"..\\LOG\\x.txt", "../LOG/x.txt"},
      {"/home/op/maps", "/home/op/maps"},
      {"U33", "U33"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(WindowsPathToLinux(in, prog), out) << in;
}

TEST(Paths, CaseInsensitiveResolution) {
  const fs::path root = fs::temp_directory_path() / ("zeblon_paths_" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "U33" / "M0050");
  std::ofstream(root / "U33" / "M0050" / "6543Tile.bmp") << "x";
  std::ofstream(root / "U33" / "M0050" / "6543TILE.BMP") << "y";
  EXPECT_EQ(ResolveCaseInsensitive(root / "u33" / "m0050" / "6543tile.BMP")->parent_path(), root / "U33" / "M0050");
  // An exact match wins.
  EXPECT_EQ(*ResolveCaseInsensitive(root / "U33" / "M0050" / "6543TILE.BMP"), root / "U33" / "M0050" / "6543TILE.BMP");
  EXPECT_FALSE(ResolveCaseInsensitive(root / "U33" / "M0010" / "x.bmp").has_value());
  EXPECT_EQ(ResolveOrSame(root / "u33" / "NEW.TXT"), root / "U33" / "NEW.TXT");
  EXPECT_TRUE(SamePath(root / "U33" / ".." / "U33", root / "U33"));
  EXPECT_TRUE(PathInside(root / "U33" / "M0050", root / "U33"));
  EXPECT_TRUE(PathInside(root / "U33", root / "U33/"));
  EXPECT_FALSE(PathInside(root / "U33X", root / "U33"));
  fs::create_directory_symlink(root / "U33", root / "LINK");
  EXPECT_TRUE(SamePath(root / "LINK", root / "U33"));
  fs::remove_all(root);
}

TEST(Text, QtStringsKeepTheCodePage) {
  const std::string bytes = "G\xf6teborg \xe5\xe4 \x80 \xfe";
  EXPECT_EQ(ToQ(bytes), QString::fromUtf8("Göteborg åä € þ"));
  EXPECT_EQ(FromQ(ToQ(bytes)), bytes);
  EXPECT_EQ(FromQ(QString::fromUtf8("漢")), "?");
}

TEST(Controls, HandlersRunOnlyWhenTheValueChanges) {
  QWidget parent;
  int changes = 0, clicks = 0, option_clicks = 0;
  TextBox text(&parent, "Text1");
  text.OnChange = [&] { ++changes; };
  text.SetText("abc");
  text.SetText("abc");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(text.objectName(), "Text1");
  CheckBox check(&parent, "Check1");
  check.OnClick = [&] { ++clicks; };
  check.SetValue(1);
  check.SetValue(1);
  check.SetValue(2);
  EXPECT_EQ(check.Value(), 2);
  check.SetValue(0);
  EXPECT_EQ(clicks, 3);
  OptionButton a(&parent, "Option1"), b(&parent, "Option2");
  b.OnClick = [&] { ++option_clicks; };
  a.SetValue(true);
  b.SetValue(true);
  b.SetValue(true);
  EXPECT_EQ(option_clicks, 1);
  EXPECT_FALSE(a.Value());
  ComboBox combo(&parent, "Combo1", true);
  combo.AddItem("ZULU");
  combo.AddItem("ALFA");
  combo.AddItem("MIKE");
  EXPECT_EQ(combo.List(0), "ALFA");
  EXPECT_EQ(combo.List(2), "ZULU");
  int combo_changes = 0;
  combo.OnChange = [&] { ++combo_changes; };
  combo.SetText("X");
  combo.SetText("X");
  EXPECT_EQ(combo_changes, 1);
}

// Texts by name: a control of a kind without a caption keeps its text, a name no
// control carries is passed over, a tooltip is copied only between two controls.
TEST(Controls, TextsSetByNameOnlyWhereTheyBelong) {
  QWidget root;
  auto* label = new Label(&root, "Label1", "l");
  auto* button = new CommandButton(&root, "Command1", "b");
  auto* check = new CheckBox(&root, "Check1", "c");
  auto* frame = new Frame(&root, "Frame1", "f");
  auto* option = new OptionButton(frame, "Option1", "o");  // inside a frame
  auto* text = new TextBox(&root, "Text1");
  text->SetText("t");
  SetCaptions(root, {{"Label1", "L\xe4"},
                     {"Command1", "B"},
                     {"Check1", "C"},
                     {"Frame1", "F"},
                     {"Option1", "O"},
                     {"Text1", "T"},
                     {"Missing1", "M"}});
  EXPECT_EQ(label->Caption(), "L\xe4");
  EXPECT_EQ(button->Caption(), "B");
  EXPECT_EQ(check->Caption(), "C");
  EXPECT_EQ(frame->Caption(), "F");
  EXPECT_EQ(option->Caption(), "O");
  EXPECT_EQ(text->Text(), "t");

  SetToolTips(root, {{"Option1", "pick \xe5"}, {"Text1", "type"}, {"Missing1", "x"}});
  EXPECT_EQ(option->toolTip(), QString::fromUtf8("pick å"));
  CopyToolTips(root, {{"Label1", "Option1"}, {"Command1", "Missing1"}, {"Missing2", "Text1"}});
  EXPECT_EQ(label->toolTip(), option->toolTip());
  EXPECT_TRUE(button->toolTip().isEmpty());
  ClearToolTips(root, {"Option1", "Missing1"});
  EXPECT_TRUE(option->toolTip().isEmpty());
  EXPECT_EQ(text->toolTip(), "type");
}

// Sends a press or release of `button` to the middle of `w`.
void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent e(type, at, w->mapToGlobal(at), button, type == QEvent::MouseButtonPress ? button : Qt::NoButton,
                Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

TEST(Controls, MouseHandlersGetTheButtonsNumber) {
  QWidget parent;
  parent.resize(300, 200);
  CommandButton button(&parent, "fr4Command1", "<");
  CheckBox check(&parent, "Check4", "HF-DUAL");
  OptionButton option(&parent, "Option7", "300");
  TextBox text(&parent, "Text1");
  PictureBox picture(&parent, "Picture2");
  for (QWidget* w : std::initializer_list<QWidget*>{&button, &check, &option, &text, &picture}) {
    w->resize(80, 24);
  }
  std::vector<std::string> seen;
  auto note = [&seen](const char* what) {
    return [&seen, what](int b) { seen.push_back(std::string(what) + std::to_string(b)); };
  };
  button.OnMouseDown = note("down");
  button.OnMouseUp = note("up");
  check.OnMouseUp = note("check");
  option.OnMouseUp = note("option");
  text.OnClick = [&seen] { seen.push_back("text"); };
  picture.OnClick = [&seen] { seen.push_back("picture"); };
  const std::pair<Qt::MouseButton, int> buttons[] = {{Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}};
  for (const auto& [b, number] : buttons) {
    SendMouse(&button, QEvent::MouseButtonPress, b);
    SendMouse(&button, QEvent::MouseButtonRelease, b);
    SendMouse(&option, QEvent::MouseButtonPress, b);
    SendMouse(&option, QEvent::MouseButtonRelease, b);
    const std::string n = std::to_string(number);
    EXPECT_EQ(seen, (std::vector<std::string>{"down" + n, "up" + n, "option" + n})) << number;
    seen.clear();
  }
  // The release of a left click over a check box comes after the click changed it.
  check.OnClick = [&seen, &check] { seen.push_back("click" + std::to_string(check.Value())); };
  SendMouse(&check, QEvent::MouseButtonPress, Qt::LeftButton);
  SendMouse(&check, QEvent::MouseButtonRelease, Qt::LeftButton);
  EXPECT_EQ(seen, (std::vector<std::string>{"click1", "check1"}));
  seen.clear();
  SendMouse(&text, QEvent::MouseButtonPress, Qt::LeftButton);
  SendMouse(&picture, QEvent::MouseButtonPress, Qt::LeftButton);
  EXPECT_EQ(seen, (std::vector<std::string>{"text", "picture"}));
  seen.clear();
  // A side button has no number: it starts no press-and-hold loop (whose release
  // would store 0 and never end it) and reaches no release handler.
  for (Qt::MouseButton side : {Qt::BackButton, Qt::ForwardButton}) {
    SendMouse(&button, QEvent::MouseButtonPress, side);
    SendMouse(&button, QEvent::MouseButtonRelease, side);
    SendMouse(&check, QEvent::MouseButtonRelease, side);
  }
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(MouseButtonNumber(Qt::BackButton), 0);
}

TEST(Controls, TextBoxReportsTheLostFocus) {
  QWidget parent;
  TextBox a(&parent, "fr4ti1");
  int lost = 0;
  a.OnLostFocus = [&lost] { ++lost; };
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(&a, &out);
  EXPECT_EQ(lost, 1);
}

TEST(MessageBoxes, RecordedAndAnsweredWithoutBlocking) {
  ClearMessageLog();
  EXPECT_EQ(MsgBox("HELLO", "ZEBLON  TEST", MsgButtons::YesNo, MsgIcon::Question), MsgResult::Yes);
  SetMessageResponder([](const MessageRecord&) { return MsgResult::No; });
  EXPECT_EQ(MsgBox("AGAIN", "ZEBLON  TEST", MsgButtons::YesNo), MsgResult::No);
  SetMessageResponder(nullptr);
  ASSERT_EQ(MessageLog().size(), 2u);
  EXPECT_EQ(MessageLog()[0].text, "HELLO");
  EXPECT_EQ(MessageLog()[0].icon, MsgIcon::Question);
}

TEST(MessageBoxes, HeadlessAnswerIsTheDefaultButton) {
  struct Case {
    MsgButtons buttons;
    int defaultButton;
    MsgResult answer;
  };
  const Case cases[] = {
      {MsgButtons::YesNo, 1, MsgResult::Yes},
      {MsgButtons::YesNo, 2, MsgResult::No},
      {MsgButtons::YesNoCancel, 3, MsgResult::Cancel},
      {MsgButtons::OkCancel, 2, MsgResult::Cancel},
      {MsgButtons::YesNo, 3, MsgResult::Yes},  // past the buttons: the first
      {MsgButtons::Ok, 0, MsgResult::Ok},
  };
  for (const Case& c : cases) {
    ClearMessageLog();
    EXPECT_EQ(MsgBox("Q", "T", c.buttons, MsgIcon::Exclamation, c.defaultButton), c.answer) << c.defaultButton;
    ASSERT_EQ(MessageLog().size(), 1u);
    EXPECT_EQ(MessageLog()[0].defaultButton, c.defaultButton);
  }
}

// The boxes' own buttons speak the windows' language: the box shown carries the
// texts, and a headless run records them.
TEST(MessageBoxes, ButtonsSpeakTheChosenLanguage) {
  struct Case {
    int language;
    MsgButtons buttons;
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {1, MsgButtons::YesNoCancel, {"Yes", "No", "Cancel"}},
      {2, MsgButtons::YesNoCancel, {"Ja", "Nein", "Abbrechen"}},
      {3, MsgButtons::YesNoCancel, {"Ja", "Nej", "Avbryt"}},
      {2, MsgButtons::OkCancel, {"OK", "Abbrechen"}},
      {3, MsgButtons::RetryCancel, {"F\xF6rs\xF6k igen", "Avbryt"}},
      {3, MsgButtons::Ok, {"OK"}},
  };
  for (const Case& c : cases) {
    SetMessageLanguage(c.language);
    SetMessageLanguage(0);  // no language digit: the boxes keep theirs
    ClearMessageLog();
    MsgBox("Q", "T", c.buttons, MsgIcon::Question, 2);
    ASSERT_EQ(MessageLog().size(), 1u);
    const MessageRecord& record = MessageLog()[0];
    EXPECT_EQ(record.buttonTexts, c.texts) << c.language;
    const std::unique_ptr<QMessageBox> box(MakeMessageBox(record, nullptr));
    const QList<QAbstractButton*> shown = box->buttons();
    ASSERT_EQ(static_cast<std::size_t>(shown.size()), c.texts.size()) << c.language;
    std::vector<std::string> texts;
    for (QAbstractButton* b : shown) texts.push_back(FromQ(b->text()));
    std::sort(texts.begin(), texts.end());
    std::vector<std::string> expected = c.texts;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(texts, expected) << c.language;
    // The default button is still the one asked for (the first where there is one button).
    const std::size_t want = c.texts.size() > 1 ? 1 : 0;
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(FromQ(box->defaultButton()->text()), c.texts[want]) << c.language;
  }
  SetMessageLanguage(1);
}

// A document is opened only when it can be: a missing file or an opener that
// finds no program is said in a box, and the opener is not asked about a missing file.
TEST(Processes, ADocumentThatCannotBeOpenedIsSaid) {
  const fs::path dir = fs::temp_directory_path() / ("zeblon_open_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string there = (dir / "HISTORY.TXT").string();
  std::ofstream(there) << "history\n";
  const std::string missing = (dir / "README.HTM").string();
  struct Case {
    std::string target;
    bool openerTakes;
    bool opened;
    std::vector<std::string> asked;
    std::string message;  // empty: none
  };
  const Case cases[] = {
      {there, true, true, {there}, ""},
      {missing, true, false, {}, "FILE NOT FOUND:\r\n" + missing},
      {there, false, false, {there}, "NO PROGRAM FOUND TO OPEN\r\n" + there},
      {"https://example.org/map?x=1", true, true, {"https://example.org/map?x=1"}, ""},
  };
  for (const Case& c : cases) {
    ClearMessageLog();
    std::vector<std::string> asked;
    const bool opened = OpenDocumentOrSay(
        [&](const std::string& t) {
          asked.push_back(t);
          return c.openerTakes;
        },
        c.target, "ZEBLON  START");
    EXPECT_EQ(opened, c.opened) << c.target;
    EXPECT_EQ(asked, c.asked) << c.target;
    if (c.message.empty()) {
      EXPECT_TRUE(MessageLog().empty()) << c.target;
    } else {
      ASSERT_EQ(MessageLog().size(), 1u) << c.target;
      EXPECT_EQ(MessageLog()[0].text.rfind(c.message, 0), 0u) << MessageLog()[0].text;
      EXPECT_EQ(MessageLog()[0].title, "ZEBLON  START");
    }
  }
  // No opener at all is the same as one that finds no program.
  ClearMessageLog();
  EXPECT_FALSE(OpenDocumentOrSay(nullptr, there, "ZEBLON"));
  EXPECT_EQ(MessageLog().size(), 1u);
  fs::remove_all(dir);
}

// The desktop opener: xdg-open's end with an error (no program for the document)
// is said when it comes; a normal end says nothing.
TEST(Processes, TheOpenersErrorIsSaid) {
  const fs::path dir = fs::temp_directory_path() / ("zeblon_opener_" + std::to_string(::getpid()));
  fs::create_directories(dir / "bin");
  const std::string doc = (dir / "HISTORY.TXT").string();
  std::ofstream(doc) << "history\n";
  const std::string old_path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", ((dir / "bin").string() + ":" + old_path).c_str(), 1);
  for (const int code : {3, 0}) {
    const fs::path ran = dir / ("ran" + std::to_string(code));
    {
      std::ofstream stub(dir / "bin" / "xdg-open");
      stub << "#!/bin/sh\n[ \"$1\" = '" << doc << "' ] && touch '" << ran.string() << "'\nexit " << code << "\n";
    }
    fs::permissions(dir / "bin" / "xdg-open", fs::perms::owner_all);
    ClearMessageLog();
    ASSERT_TRUE(OpenWithShell(doc));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000 && (!fs::exists(ran) || (code != 0 && MessageLog().empty()))) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(fs::exists(ran)) << code;
    if (code == 0) {
      EXPECT_TRUE(MessageLog().empty());
    } else {
      ASSERT_EQ(MessageLog().size(), 1u);
      EXPECT_EQ(MessageLog()[0].text, NoOpenerText(doc));
    }
  }
  setenv("PATH", old_path.c_str(), 1);
  fs::remove_all(dir);
}

TEST(Controls, TextBoxReportsKeysWithTheirCodes) {
  QWidget parent;
  TextBox box(&parent, "Text3");
  std::vector<std::pair<int, int>> seen;
  box.OnKeyDown = [&seen](int code, int shift) { seen.emplace_back(code, shift); };
  const std::tuple<int, Qt::KeyboardModifiers, QString> keys[] = {
      {Qt::Key_Return, Qt::NoModifier, "\r"},
      {Qt::Key_Enter, Qt::KeypadModifier, "\r"},
      {Qt::Key_A, Qt::ShiftModifier, "A"},
      {Qt::Key_Escape, Qt::NoModifier, ""},
      {Qt::Key_F1, Qt::ControlModifier | Qt::AltModifier, ""},
  };
  for (const auto& [key, mods, text] : keys) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(&box, &press);
  }
  box.KeyDown(13, 0);  // from code, as a handler runs another
  const std::vector<std::pair<int, int>> want = {{13, 0}, {13, 0}, {65, 1}, {27, 0}, {0, 6}, {13, 0}};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(box.Text(), "A");  // the box still takes the key
}

TEST(Waits, PauseRunsNoEventsAndPauseWithEventsRunsThem) {
  double now = 0;
  SetWaitClock([&] { return now += 0.01; });
  bool fired = false;
  QTimer::singleShot(0, [&] { fired = true; });
  Pause(0.2f);
  EXPECT_FALSE(fired);
  EXPECT_GE(now, 0.2);
  PauseWithEvents(0);
  EXPECT_TRUE(fired);
  // A clock that goes backwards (a wrap) ends the wait instead of hanging.
  double back = 100;
  SetWaitClock([&] { return back -= 1; });
  Pause(5);
  SetWaitClock(nullptr);
}

TEST(Processes, ArgumentsReachTheProgramUnchanged) {
  const fs::path out = fs::temp_directory_path() / ("zeblon proc \"q\" " + std::to_string(::getpid()));
  fs::remove(out);
  // A path with blanks and quotes is one argument; no shell takes it apart.
  EXPECT_EQ(RunProgram("touch", {out.string()}, 5000), 0);
  EXPECT_TRUE(fs::exists(out));
  fs::remove(out);
  EXPECT_EQ(RunProgram("no-such-program-zeblon", {}, 1000), -1);
  EXPECT_FALSE(StartProgram("no-such-program-zeblon", {}));
  // A program that does not end in time is stopped.
  EXPECT_EQ(RunProgram("sleep", {"10"}, 200), -1);
}

TEST(SerialPorts, LineSettings) {
  LineSettings ls;
  ASSERT_TRUE(ParseLineSettings("9600,N,8,1", ls));
  EXPECT_EQ(ls.baud, 9600);
  EXPECT_TRUE(ParseLineSettings("1200,e,7,2", ls));
  EXPECT_EQ(ls.parity, 'E');
  for (const char* bad : {"", "9600", "fast,N,8,1", "9600,X,8,1", "9600,N,9,1", "-5,N,8,1"}) {
    EXPECT_FALSE(ParseLineSettings(bad, ls)) << bad;
  }
}

TEST(SerialPorts, ComNumberFollowsTheProgramFolderLinkAndCarriesBytes) {
  if (!ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  const fs::path dir = fs::temp_directory_path() / ("zeblon_serial_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  setenv("ZEBLON_PROGRAM_FOLDER", dir.c_str(), 1);
  // Our own child, ended by its own process id at the end.
  QProcess socat;
  socat.start("socat", {QString::fromStdString("pty,raw,echo=0,link=" + (dir / "COM7").string()),
                        QString::fromStdString("pty,raw,echo=0,link=" + (dir / "peer").string())});
  ASSERT_TRUE(socat.waitForStarted(5000));
  for (int i = 0; i < 100 && !(fs::exists(dir / "COM7") && fs::exists(dir / "peer")); ++i) {
    Pause(0.05f);
  }
  EXPECT_EQ(SerialDeviceForPort(7), (dir / "COM7").string());
  EXPECT_EQ(SerialDeviceForPort(3), "/dev/ttyS2");
  SerialPort port, peer;
  ASSERT_TRUE(port.Open(7, "9600,N,8,1")) << port.LastError();
  ASSERT_TRUE(peer.Open(0, "9600,N,8,1", (dir / "peer").string())) << peer.LastError();
  ASSERT_TRUE(
      port.Write(std::string("\x1b"
                             "ABC\r\0",
                             6)));
  std::string got;
  for (int i = 0; i < 50 && got.size() < 6; ++i) {
    peer.WaitForInput(100);
    got += peer.ReadAll();
  }
  EXPECT_EQ(got, std::string("\x1b"
                             "ABC\r\0",
                             6));
  port.Drain(500);
  port.Close();
  peer.Close();
  EXPECT_FALSE(port.Open(250, "9600,N,8,1"));  // no such device
  EXPECT_FALSE(port.LastError().empty());
  socat.terminate();  // SIGTERM to this socat only
  socat.waitForFinished(3000);
  unsetenv("ZEBLON_PROGRAM_FOLDER");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace platform
