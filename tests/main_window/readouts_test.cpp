// The main window's read-outs at the program's own fonts: every read-out of the
// control column holds the longest text it takes, the MONI 1 distance line shows
// whole in its two rows, and with GPS on the GPS-INFO line along the top of the
// map covers no frame's caption (pictures of the alarm frame, the chat window and
// the POI editor with the line are kept in the build folder, readouts_*.png).
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <memory>

#include "links/live_radio_link.h"
#include "main_window/form1.h"
#include "panels/frames.h"
#include "platform/qtext.h"
#include "tests/links/gps_nmea.h"
#include "tests/support/find.h"
#include "tests/support/one_frame.h"
#include "tests/support/program_folder.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;
using testing_support::Find;

class ReadoutsTest : public testing_support::ProgramFolderTest {
 protected:
  static void SetUpTestSuite() {
    // The program's fonts, as the program registers them from its folder.
    const QDir fonts(QString::fromStdString((fs::path(ZEBLON_PROGRAM_DIR) / "FONTS").string()));
    for (const QString& f : fonts.entryList({"*.TTF"})) QFontDatabase::addApplicationFont(fonts.filePath(f));
  }
  void SetUp() override {
    ProgramFolderTest::SetUp();
    Write("ZEBLON.INI",
          "TEMP=" + folder_.string() +
              "\r\nUSER=SM5XYZ\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\nUTN=6600\r\nUTE=440\r\nUUN=6600\r\n"
              "UUE=440\r\nCALL=SM4XYZ-9\r\nNOAT=1\r\nWVER=WIN10\r\nDIST=50\r\nDISA=1\r\nNMEA=GPS.TXT\r\n");
    form_ = std::make_unique<Form1>();
    form_->SetRadioLink(std::make_unique<links::LiveRadioLink>());
    form_->resize(1024, 768);
    form_->show();
    PumpUntil([&] { return form_->Map().state().MapDrawnOnce == 1; });
    ASSERT_EQ(form_->Map().state().MapDrawnOnce, 1);
  }
  void TearDown() override {
    form_.reset();
    ProgramFolderTest::TearDown();
  }
  platform::Label* Label(const char* name) { return Find<platform::Label>(*form_, name); }
  static int Width(const QWidget& w, const std::string& text) {
    return QFontMetrics(w.font()).horizontalAdvance(platform::ToQ(text));
  }
  void Shot(const char* name) {
    const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
    fs::create_directories(dir);
    form_->grab().save(QString::fromStdString((dir / (std::string("readouts_") + name + ".png")).string()));
  }
  std::unique_ptr<Form1> form_;
};

// Each read-out with the longest texts it takes (the coordinate pairs in each of
// their five systems), measured in the label's own font against its width.
TEST_F(ReadoutsTest, EveryReadoutHoldsItsLongestText) {
  EXPECT_EQ(QFontInfo(Label("Label7")->font()).family(), "QW7_F6");
  struct Case {
    const char* label;
    std::vector<std::string> texts;
  };
  const auto pair = [](const char* tag) {
    const std::string t(tag);
    return std::vector<std::vector<std::string>>{
        {"UTM" + t + " 9999.999", "GLL" + t + "- 89:59.99", "GK " + t + " 9999.999", "RNN" + t + "-9999.999"},
        {"33! 15-9999.999", "MM99WW179:59.99", "  | 15 10512.34", "33| 15-9999.999", "RNE" + t + " 9999.999"}};
  };
  const auto centre = pair("cen"), cursor = pair("crs"), moni = pair("mon");
  const Case cases[] = {
      {"Label1", centre[0]},   {"Label2", centre[1]}, {"Label3", cursor[0]}, {"Label4", cursor[1]},
      {"Label7", moni[0]},     {"Label8", moni[1]},   {"Label6", {"99999"}}, {"Label9", {"2099-12-31 2359"}},
      {"Label12", {"MONI 1"}},
  };
  for (const Case& c : cases) {
    const platform::Label* l = Label(c.label);
    for (const std::string& text : c.texts) {
      EXPECT_LE(Width(*l, text), l->contentsRect().width()) << c.label << " \"" << text << "\"";
    }
  }
  // The MONI 1 pair side by side: neither runs into the other.
  EXPECT_LE(Label("Label7")->geometry().right(), Label("Label8")->x());
  // The distance line's two rows, at their longest, within its frame's standard
  // width (the column's), which its neighbours below leave free.
  const platform::Label* line = Label("Label11");
  const QWidget* frame9 = Find(*form_, "Frame9");
  for (const std::string& row :
       {std::string("DIST: 19999 km   DIR:  360 \xB0"), std::string("SPEED: 9999 km/h   VIA: SM4XYZ-15")})
    EXPECT_LE(Width(*line, row), frame9->width()) << row;
  EXPECT_LE(QFontMetrics(line->font()).lineSpacing() * 2, frame9->height());
  for (const char* below : {"Check22", "Check27", "Label27", "Command13"})
    EXPECT_GE(Find(*form_, below)->y(), frame9->geometry().bottom() + 1) << below;
}

// A heard MONI 1 station fills the read-outs: its position and its distance line
// show whole, without the mouse over them.
TEST_F(ReadoutsTest, TheWatchedStationsReadoutsShowWhole) {
  testing_support::RunOneFrame(*form_, "SM4XYZ-9*>WIDE2-1>APRS", "!5930.00N/01400.00E>mobile");
  ASSERT_EQ(form_->HeardStations().MoniOneCount(), 1);
  const platform::Label* l11 = Label("Label11");
  const std::string line = l11->Caption();
  ASSERT_EQ(line.rfind("DIST:", 0), 0u) << line;
  const std::size_t row2 = line.find("\nSPEED:");
  ASSERT_NE(row2, std::string::npos) << line;
  const QWidget* frame9 = Find(*form_, "Frame9");
  EXPECT_LE(Width(*l11, line.substr(0, row2)), frame9->width()) << line;
  EXPECT_LE(Width(*l11, line.substr(row2 + 1)), frame9->width()) << line;
  EXPECT_NE(line.find("VIA: "), std::string::npos) << line;
  for (const char* name : {"Label7", "Label8"}) {
    const platform::Label* l = Label(name);
    EXPECT_EQ(l->Caption().size(), 15u) << l->Caption();
    EXPECT_LE(Width(*l, l->Caption()), l->contentsRect().width()) << l->Caption();
  }
  Shot("moni_one");
}

// GPS on: the GPS-INFO line lies along the top of the map, under the frames that
// open there: the MONI ALL alarm, the chat window and the POI editor keep their
// captions in sight.
TEST_F(ReadoutsTest, TheGpsLineCoversNoFramesCaption) {
  // A fix from the receiver's drop file, newer than the one before.
  int second = 10;
  const auto fix = [&] {
    using links::testing::Nmea;
    std::string sentences;
    for (int i = 0; i < 2; ++i, ++second) {
      sentences += Nmea("GPGGA,1235" + std::to_string(second) + ",5932.0" + std::to_string(second % 10) +
                        ",N,01400.00,E,1,08,0.9,45.4,M,46.9,M,,");
    }
    Write("GPS.TXT", sentences);
    form_->GpsStep().Read();
  };
  fix();
  const platform::Label* gps = form_->Label39;
  ASSERT_TRUE(gps->isVisible());
  ASSERT_EQ(gps->Caption().rfind("   GPS-INFO: ", 0), 0u);
  // What the window shows over an area of a control: the control itself.
  const auto in_sight = [&](QWidget* w, const QRect& area) {
    const QImage shown = form_->grab(QRect(w->mapTo(form_.get(), area.topLeft()), area.size())).toImage();
    return shown.convertToFormat(QImage::Format_RGB32) == w->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
  };
  EXPECT_TRUE(in_sight(form_->Label39, form_->Label39->rect())) << "the line shows where no frame is";
  // A frame's caption: its top 16 pixels.
  const auto caption_in_sight = [&](QWidget* frame) {
    EXPECT_TRUE(in_sight(frame, QRect(0, 0, frame->width(), 16))) << frame->objectName().toStdString();
  };

  // The MONI 1 alarm: the watched station heard 7 km off, closer than the alarm distance.
  testing_support::RunOneFrame(*form_, "SM4XYZ-9*>WIDE2-1>APRS", "!5928.00N/01400.00E>near");
  QWidget* alarm = &form_->DistanceAlarmFrame();
  ASSERT_TRUE(alarm->isVisible());
  ASSERT_TRUE(gps->isVisible());
  caption_in_sight(alarm);
  EXPECT_NE(form_->DistanceAlarmFrame().Caption().find("ALARM"), std::string::npos);
  Shot("gps_alarm");
  form_->DistanceAlarmFrame().Command34->click();

  // The chat window.
  Find<platform::CheckBox>(*form_, "Check7")->SetValue(1);
  QWidget* chat = Find(*form_, "Frame3");
  ASSERT_TRUE(chat->isVisible());
  fix();  // a tick of the GPS step with the window open
  caption_in_sight(chat);
  Shot("gps_chat");
  Find<platform::CheckBox>(*form_, "Check7")->SetValue(0);

  // The POI editor, from a right click on the map with the POIs shown, where no
  // station is.
  Find<platform::CommandButton>(*form_, "Command73")->click();
  QWidget* map = form_->Picture1;
  const QPointF at(map->width() * 0.85, map->height() * 0.8);  // far from the stations
  for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::RightButton;
    QMouseEvent e(type, at, map->mapToGlobal(at), b, type == QEvent::MouseButtonPress ? b : Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(map, &e);
  }
  QWidget* editor = Find(*form_, "PoiEditor");
  ASSERT_TRUE(editor->isVisible());
  fix();
  caption_in_sight(editor);
  Shot("gps_poi_editor");
}

}  // namespace
}  // namespace zeblon
