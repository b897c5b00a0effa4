#include "panels/raw_list.h"

#include <QAbstractSlider>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include "platform/serial_port.h"
#include "platform/wait.h"
#include "settings/interface_kind.h"
#include "settings/text_files.h"

namespace zeblon::panels {

using namespace platform;

std::string RawLineStationName(const std::string& line) {
  const bool qualifies = (!line.empty() && (line[0] == ')' || line[0] == ';')) || line.find('*') != std::string::npos;
  if (!qualifies || line.size() < 12) return {};
  std::size_t end = std::string::npos;
  for (std::size_t i = 2; i < 12; ++i) {
    if (line[i] == '!' || line[i] == '*' || line[i] == '>') {
      end = i;
      break;
    }
  }
  if (end == std::string::npos) return {};
  std::string name = line.substr(0, end);
  if (!name.empty() && name[0] == '}') name.erase(0, 1);
  if (const std::size_t c = name.find("cmd:"); c != std::string::npos) name.erase(0, c + 4);
  if (!name.empty() && (name[0] == ')' || name[0] == ';')) name.erase(0, 1);
  return Trim(name);
}

bool OpenInfoOnStation(reception::ReceptionState& st, const std::string& name) {
  if (name.empty()) return false;
  int found = 0;
  for (int i = 1; i <= st.stations.MoniAllCount() && i < static_cast<int>(st.stations.MoniAll().size()); ++i) {
    const std::string& rec = st.stations.MoniAll()[i];
    std::string call = rec.size() >= 41 ? rec.substr(32, 9) : std::string();
    std::erase(call, ' ');
    if (call == name) found = i;
  }
  if (found == 0) return false;
  st.info.Open(name, found, reception::InfoMode::MoniAll);
  st.info.ShowRecord(st.stations.MoniAll()[found]);
  return true;
}

TemporaryMode TemporaryModeFor(const std::string& radio_mode) {
  const std::string fsk = "\x1b%B300\r", rpr = "\x1b%BR300\r";
  if (radio_mode == "300R") {
    return {fsk, rpr, "TEMPORARY MODE FSK 300 Bd RELEASE BUTTON TO RETURN TO RPR 300 Bd"};
  }
  if (radio_mode == "300") {
    return {rpr, fsk, "TEMPORARY MODE RPR 300 Bd RELEASE BUTTON TO RETURN TO FSK 300 Bd"};
  }
  return {};
}

void TemporaryNoticePlace(int tx, int ty, int list_left, int list_top, int x, int y, int& left, int& top) {
  tx = tx > 0 ? tx : 15;
  ty = ty > 0 ? ty : 15;
  left = (tx * list_left + x + 75) / tx;
  top = (ty * list_top + y - 795) / ty;
}

TemporaryNotice::TemporaryNotice(QWidget* window) : PanelFrame(window, "Frame21", "", {0, 0, 560, 30}) {
  Label49 = Add<Label>(this, {6, 6, 548, 20}, "Label49");
  setStyleSheet("QGroupBox { background: rgb(255, 255, 192); }");
}

RawList::RawList(ListBox& list1, CheckBox& check3, CommandButton& command3, QWidget& picture1, TemporaryNotice& notice,
                 reception::ReceptionState& reception, platform::SerialPort* port, links::CycleControl& cycle,
                 MapActions& mapActions, RawListPort& listPort, QObject* parent)
    : QObject(parent),
      list_(list1),
      check3_(check3),
      picture1_(picture1),
      notice_(notice),
      reception_(reception),
      port_(port),
      cycle_(cycle),
      map_actions_(mapActions),
      list_port_(listPort) {
  check3.OnClick = [this] { ShowOrHideRawList(); };
  command3.OnClick = [this] { ClearMoniAll(); };
  viewport_ = list_.viewport();
  viewport_->installEventFilter(this);
  list_.setMouseTracking(true);
  // Only the user's scrolling holds the cycle back, not the cycle's own upkeep.
  connect(list_.verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this](int) { HoldCycleWhileScrolling(); });
}

void RawList::ShowOrHideRawList() {
  RawWindowShown = check3_.Value() == 1 ? 1 : 0;
  if (RawWindowShown == 0) {
    list_.hide();
  } else {
    list_.move(picture1_.x(), list_.y());
    list_.show();
    list_.raise();
  }
  map_actions_.FocusMapWhenActive();
}

void RawList::ClearMoniAll() {
  cycle_.StopCycle();
  list_port_.ClearStationDrawing();
  reception_.ClearMoniAll();
  reception_.info.StepTo(0);
  list_.clearSelection();
  list_.Clear();
  list_.AddItem("");
  map_actions_.FocusMapWhenActive();
  cycle_.StartCycle();
  map_actions_.DrawMap();
}

void RawList::HoldCycleWhileScrolling() { HoldCycleFor(4 * cycle_.CycleInterval()); }

void RawList::HoldCycleFor(int interval_ms) {
  cycle_.StopCycle();
  cycle_.SetCycleInterval(interval_ms);
  cycle_.StartCycle();
}

void RawList::ListPressed(int button, int x, int y) {
  if (button == 1) {
    cycle_.StopCycle();
    const int row = list_.ListIndex();
    if (row >= 0 && row < list_.ListCount() && list_.item(row)->isSelected()) {
      if (OpenInfoOnStation(reception_, RawLineStationName(list_.List(row)))) list_port_.InfoOpened();
    }
    list_.clearSelection();
    HoldCycleFor(cycle_.CycleInterval());
    return;
  }
  if (button != 2 || !ScsTncLink()) return;
  const TemporaryMode m = TemporaryModeFor(list_port_.RadioMode());
  if (m.press.empty()) return;                  // no temporary mode for this radio mode: no notice either
  if (port_ != nullptr) port_->Write(m.press);  // refused quietly on a closed port
  Pause(0.1f);
  notice_.Label49->SetCaption(m.notice);
  PlaceNotice(x, y);
  notice_.show();
  notice_.raise();
}

bool RawList::ScsTncLink() const { return InterfaceKindOf(list_port_.LinkInterfaceKind()) == InterfaceKind::ScsTnc; }

void RawList::ListMoved(int buttons, int x, int y) {
  if ((buttons & 2) != 0 && ScsTncLink() && !notice_.isHidden()) PlaceNotice(x, y);
}

void RawList::ListReleased(int button) {
  if (button != 2 || !ScsTncLink()) return;
  const TemporaryMode m = TemporaryModeFor(list_port_.RadioMode());
  if (m.release.empty()) return;
  if (port_ != nullptr) port_->Write(m.release);
  Pause(0.1f);
  notice_.hide();
}

void RawList::PlaceNotice(int x, int y) {
  const int tx = list_port_.TwipsPerPixelX();
  const int ty = list_port_.TwipsPerPixelY();
  int left = 0, top = 0;
  TemporaryNoticePlace(tx, ty, list_.x(), list_.y(), x * tx, y * ty, left, top);
  notice_.move(left, top);
}

bool RawList::eventFilter(QObject* watched, QEvent* e) {
  // The list is not asked for its viewport here: its events still come while the
  // list is being destroyed.
  if (watched != viewport_) return QObject::eventFilter(watched, e);
  const QEvent::Type type = e->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) {
    return QObject::eventFilter(watched, e);
  }
  // A mouse event only from here on.
  auto* m = static_cast<QMouseEvent*>(e);
  switch (type) {
    case QEvent::MouseButtonPress: {
      const int b = MouseButtonNumber(m->button());
      const QPoint p = m->position().toPoint();
      if (b == 1) {
        // The click selects its line first; the lookup reads the selection.
        QTimer::singleShot(0, this, [this, p] { ListPressed(1, p.x(), p.y()); });
      } else {
        ListPressed(b, p.x(), p.y());  // at once, so that its release always follows it
      }
      break;
    }
    case QEvent::MouseMove: {
      const QPoint p = m->position().toPoint();
      ListMoved((m->buttons() & Qt::RightButton) ? 2 : 0, p.x(), p.y());
      break;
    }
    case QEvent::MouseButtonRelease: ListReleased(MouseButtonNumber(m->button())); break;
    default: break;
  }
  return QObject::eventFilter(watched, e);
}

}  // namespace zeblon::panels
