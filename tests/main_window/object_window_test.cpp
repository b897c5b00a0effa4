// The own object in the main window against the real packet engine: set up in the
// OBJECT SETUP frame, switched on with OBJ, sent by the main cycle through the
// transmit step to direwolf, whose transmitted frame decode_aprs reads back as the
// object's name, position, symbol and comment; DELETE OBJECT ends the beacons
// without a packet. A picture of the open frame is saved.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <regex>

#include "geodesy/geodesy.h"
#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "platform/process.h"
#include "tests/support/direwolf.h"
#include "tests/support/find.h"
#include "tests/support/program_folder.h"

namespace zeblon {
namespace {

using testing_support::Find;
namespace fs = std::filesystem;

class ObjectWindowTest : public testing_support::ProgramFolderTest {
 protected:
  void Ini(int port) {
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=AB1CD\r\nMODEM=3\r\nHOSTC=127.0.0.1\r\nHOSTP=" + std::to_string(port) +
                            "\r\nMSYS=U33\r\nLANG=11\r\nUTN=6581.5\r\nUTE=401.25\r\nUUN=6580\r\nUUE=400\r\n"
                            "CALL=QW7TK\r\nNOAT=1\r\nWVER=WIN10\r\nTXID=9\r\nTXON=10\r\nTXTO=ZEBL\r\n"
                            "TXPA=WIDE1-1\r\nTXSY=62\r\nTXAF=300\r\nHBAUD=300\r\nXBAUD=NONE\r\nOSYM=37\r\n");
    for (const char* sheet : {"ZEBLSYM0.BMP", "ZEBLSYM1.BMP"})
      fs::copy_file(fs::path(ZEBLON_PROGRAM_DIR) / sheet, folder_ / sheet);
  }
  static void Grab(QWidget& w, const char* file) {
    const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
    fs::create_directories(dir);
    w.grab().save(QString::fromStdString((dir / file).string()));
  }
  // The object frames the engine transmitted from the user's call.
  static std::vector<std::string> ObjectsSent(const std::string& console) {
    static const std::regex sent(R"(\[0L\] (AB1CD-9>ZEBL,WIDE1-1:;[^\r\n]*))");
    std::vector<std::string> lines;
    for (auto it = std::sregex_iterator(console.begin(), console.end(), sent); it != std::sregex_iterator(); ++it)
      lines.push_back((*it)[1]);
    return lines;
  }
  // Runs the main cycle with short ticks until `done` or the time is up, then stops it.
  template <typename F>
  void RunCycle(Form1& form, F done, int limit_ms) {
    form.Tick().cycleInterval = 200;
    form.Timer1->setInterval(50);
    form.Cycle().Start();
    PumpUntil(done, limit_ms);
    form.Cycle().StopAll();
  }
};

TEST_F(ObjectWindowTest, SetUpSentThroughTheEngineAndDeleted) {
  for (const char* tool : {"direwolf", "decode_aprs"})
    if (!platform::ProgramExists(tool)) GTEST_SKIP() << tool << " is not installed";
  QTemporaryDir dir;
  const int port = testing_support::FreePort();
  testing_support::Direwolf engine(dir, port);
  ASSERT_TRUE(engine.started()) << engine.output();
  Ini(port);
  auto form = std::make_unique<Form1>();
  form->SetRadioLink(std::make_unique<links::LiveRadioLink>());
  form->EndProgram = [](int) { ADD_FAILURE() << "the program ended"; };
  form->show();
  PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; }, 20000);
  PumpUntil([&] { return form->RadioLink().State().AgwDataPending == 1; }, 5000);  // registers after the start-up
  ASSERT_EQ(form->RadioLink().State().AgwDataPending, 1);
  form->Cycle().StopAll();
  PumpUntil([] { return false; }, 1200);  // the engine reads a new client's commands late

  // TX on: OBJ's caption turns black.
  auto* check6 = Find<platform::CheckBox>(*form, "Check6");
  auto* obj = Find<platform::CheckBox>(*form, "Check18");
  check6->SetValue(1);
  form->TxSetup().ToggleTransmitOrOpenTxSetup(1);
  ASSERT_EQ(check6->Value(), 1);

  // The frame: name, text, the overlay digipeater symbol with overlay "a".
  panels::ObjectSetupPanel& frame = form->ObjectFrame();
  obj->OnMouseUp(2);
  ASSERT_FALSE(frame.isHidden());
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_EQ(frame.x(), form->Picture1->x());
  EXPECT_EQ(frame.y(), 0);
  panels::TxSetupPanel& picker = form->TxPanel();
  EXPECT_EQ(picker.fr4Text8->Text(), "37");
  frame.Text7->SetText("fieldday");
  frame.Text8->SetText("Club field day 145.500");
  picker.fr4Text8->SetText("103");
  picker.fr4Text10->SetText("a");
  picker.ShowSymbol(103);
  EXPECT_FALSE(picker.fr4Text9->isHidden());
  EXPECT_EQ(picker.fr4Text9->parentWidget(), &frame);
  Grab(*form, "object_setup.png");
  frame.Command33->click();
  EXPECT_TRUE(frame.isHidden());
  EXPECT_TRUE(form->Timer1->isActive());
  form->Cycle().StopAll();
  EXPECT_TRUE(IniHas("ONAM=FIELDDAY "));
  EXPECT_TRUE(IniHas("OTXT=Club field day 145.500"));
  EXPECT_TRUE(IniHas("OSYM=103"));
  EXPECT_TRUE(IniHas("OSYN=A"));
  const double north = form->CurrentSettings().ObjectNorth, east = form->CurrentSettings().ObjectEast;
  EXPECT_EQ(north, form->CurrentSettings().CentreNorth);
  EXPECT_EQ(east, form->CurrentSettings().CentreEast);

  // OBJ on: the next tick sends the object.
  obj->SetValue(1);
  obj->OnMouseUp(1);
  ASSERT_EQ(obj->Value(), 1);
  ASSERT_EQ(form->ObjectSetup().ObjectBeaconOn(), 1);
  RunCycle(
      *form, [&] { return !ObjectsSent(engine.output()).empty(); }, 10000);
  const auto sent = ObjectsSent(engine.output());
  ASSERT_EQ(sent.size(), 1u) << engine.output();
  Grab(*form, "object_on_map.png");  // the object's name on the map, marked as sent

  // decode_aprs reads the name, the symbol with its overlay, the comment and the position.
  const std::string decoded = testing_support::RunTool("decode_aprs", {}, sent[0] + "\n");
  EXPECT_NE(decoded.find("Object, \"FIELDDAY\""), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("OVERLAY DIGI"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("w/overlay A"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("Club field day 145.500"), std::string::npos) << decoded;
  std::smatch m;
  static const std::regex pos(R"(([NS]) (\d+) ([\d.]+), ([EW]) (\d+) ([\d.]+))");
  ASSERT_TRUE(std::regex_search(decoded, m, pos)) << decoded;
  const double lat = std::stod(m[2]) + std::stod(m[3]) / 60.0;
  const double lon = std::stod(m[5]) + std::stod(m[6]) / 60.0;
  EXPECT_EQ(m[1], "N");
  EXPECT_EQ(m[4], "E");
  double e = 0, n = 0;
  geodesy::ConvertLatLonToUtm(lon, lat, 15.0, e, n, 500000.0);
  // Minutes truncated to hundredths: up to 19 m north, 10 m east short of the centre.
  EXPECT_NEAR(n / 1000.0, north, 0.025);
  EXPECT_NEAR(e / 1000.0, east, 0.025);

  // DELETE OBJECT: OBJ unticked, no name stored, and nothing more goes out, not
  // even when the main cycle finds the object due again.
  // Opening the frame with an object brings the map back to it, the cycle held.
  form->Map().SetCentreMode(0);  // the map follows no station
  form->Map().SetCentre(north + 5, east - 5);
  form->DrawMap();
  ASSERT_NEAR(form->CurrentSettings().CentreNorth, north + 5, 1e-6);
  obj->OnMouseUp(2);
  EXPECT_EQ(form->Map().state().CentreMode, 0);
  EXPECT_EQ(form->Map().state().CentreOnObject, 0);
  EXPECT_NEAR(form->CurrentSettings().CentreNorth, north, 1e-6);
  EXPECT_NEAR(form->CurrentSettings().CentreEast, east, 1e-6);
  EXPECT_FALSE(form->Timer1->isActive());
  frame.Command31->click();
  EXPECT_TRUE(frame.isHidden());
  EXPECT_EQ(obj->Value(), 0);
  EXPECT_EQ(form->ObjectSetup().ObjectBeaconOn(), 0);
  EXPECT_TRUE(IniHas("ONAM="));
  EXPECT_TRUE(IniHas("OSYM=103"));
  form->Tick().ResetObjectBeacon();
  obj->SetValue(1);
  obj->OnMouseUp(1);
  EXPECT_EQ(obj->Value(), 0);
  form->CycleSteps().SendObjectBeacon();
  // Ticks go on: the position beacon goes out, no object.
  RunCycle(
      *form, [&] { return engine.output().find("[0L] AB1CD-9>ZEBL,WIDE1-1:=") != std::string::npos; }, 10000);
  EXPECT_NE(engine.output().find("[0L] AB1CD-9>ZEBL,WIDE1-1:="), std::string::npos) << engine.output();
  EXPECT_EQ(ObjectsSent(engine.output()).size(), 1u) << engine.output();
  EXPECT_TRUE(platform::MessageLog().empty());
  form->CloseByUser();
}

}  // namespace
}  // namespace zeblon
