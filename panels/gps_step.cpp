#include "panels/gps_step.h"

#include <QDateTime>

#include "platform/paths.h"
#include "platform/wait.h"

namespace zeblon::panels {

namespace fs = std::filesystem;

GpsStep::GpsStep(links::GpsReader& gps, links::NavigationState& nav, const Settings& settings, platform::Label& line,
                 ControlColumn& column, platform::CheckBox& autoAnswer, map::MapDisplay& map, GpsStepPort& port)
    : gps_(gps),
      nav_(nav),
      settings_(settings),
      line_(line),
      column_(column),
      auto_answer_(autoAnswer),
      map_(map),
      port_(port) {}

void GpsStep::Read() {
  const std::string& source = settings_.GpsSource;
  if (!links::GpsSourceSet(source)) return;
  // A map the user moved away counts as acted on now.
  map_.HoldMovedMap(platform::WaitClockNow());
  const std::string app_folder = port_.AppFolder();
  links::GpsTickContext c;
  c.mapCentralMeridian = map_.state().MapCentralMeridian;
  c.mapFalseEasting = map_.state().MapFalseEasting;
  c.dataFolder = port_.DataFolder();
  c.navigationFolder =
      platform::ResolveOrSame(platform::WindowsPathToLinux("C:\\MAP\\" + settings_.MapSystem, app_folder));
  const QDateTime now = QDateTime::currentDateTime();
  c.now = {now.date().year(), now.date().month(),  now.date().day(),
           now.time().hour(), now.time().minute(), now.time().second()};
  c.utcNow = static_cast<std::time_t>(now.toSecsSinceEpoch());
  c.secondsSinceMapInteraction = platform::WaitClockNow() - map_.state().LastMapInteraction;
  fs::path drop;
  if (links::GpsSourceIsDropFile(source)) {
    fs::path p = platform::WindowsPathToLinux(source, app_folder);
    if (p.is_relative()) p = fs::path(app_folder) / p;
    drop = platform::ResolveOrSame(p);
  }
  platform::SerialPort* port = links::GpsPortNumber(source) > 0 ? &port_.GpsPort() : nullptr;
  if (port != nullptr && !port->IsOpen() && !port_tried_) {
    // The start-up's link opens the GPS port; when it has not, the first read does, once.
    port_tried_ = true;
    links::OpenGpsPort(*port, source, settings_.GpsBaud);
  }
  const links::GpsTickResult r = links::ReadGps(gps_, nav_, port, drop, c);
  // The window's controls behind the tick's view.
  struct View : links::GpsTickView {
    platform::Label& readout;
    ControlColumn& column;
    platform::CheckBox& autoAnswer;
    View(platform::Label& l, ControlColumn& c, platform::CheckBox& a) : readout(l), column(c), autoAnswer(a) {}
    void HideReadout() override { readout.hide(); }
    void ShowReadout(const std::string& text) override {
      readout.SetCaption(text);
      readout.show();
    }
    void ChooseUserQth() override {
      column.Option1->SetValue(true);
      column.Option2->setChecked(false);
    }
    bool TransmitOn() const override { return column.Check6->Value() == 1; }
    bool AutoAnswerOn() const override { return autoAnswer.Value() == 1; }
    void TickAutoAnswer() override { autoAnswer.SetValue(1); }
  } view(line_, column_, auto_answer_);
  int centre_mode = map_.state().CentreMode;
  links::ApplyGpsTick(r, centre_mode, view);
  map_.SetCentreMode(centre_mode);
  if (r.fix) {
    // The line lies along the top of the map, over whatever the map shows and under
    // the frames that open there (their captions stay in sight).
    const QRect map = port_.MapArea();
    line_.setGeometry(map.x(), map.y(), map.width(), 18);
    port_.StackOverMap(line_);
  }
}

}  // namespace zeblon::panels
