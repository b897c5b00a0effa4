// The main window's shutdown: the close asked, the links closed, the
// navigation files and the settings written, the ports drained.
#include "main_window/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include "links/navigation_files.h"
#include "map/map_folder_entries.h"
#include "platform/message_box.h"
#include "platform/wait.h"

namespace zeblon {

using namespace platform;

void Form1::CloseByUser() {
  user_close_ = true;
  close();
  user_close_ = false;
}

void Form1::closeEvent(QCloseEvent* e) {
  const int mode = (user_close_ || e->spontaneous()) ? 0 : 1;
  if (in_startup_ || activating_) {
    // A close while the window starts up waits for the start-up's end (the handlers
    // that let events run would otherwise go on working on a closed window).
    if (mode == 0) close_pending_ = true;
    e->ignore();
    return;
  }
  if (!shutdown_done_) Form_QueryUnload(mode);
  e->accept();
}

void Form1::Form_QueryUnload(int unload_mode) {
  // The cycle stops; only the user's close goes on to the shutdown.
  cycle_->StopAll();
  if (unload_mode != 0) return;
  shutdown_done_ = true;
  // The sound device has nothing open between alarms; the link is closed.
  RadioLink().Close();
  QCoreApplication::processEvents();
  PauseWithEvents(0.2f);
  QCoreApplication::processEvents();
  if (InterfaceKindOf(settings_.InterfaceKind) == InterfaceKind::AgwRemote) {
    RadioLink().Disconnect();
    QCoreApplication::processEvents();
    PauseWithEvents(0.2f);
  }
  // Internet support on or the picture viewer open: time for their pages to end.
  if (column_->Check22->Value() == 1) PauseWithEvents(0.3f);
  if (viewer_ != nullptr && !viewer_->isHidden()) PauseWithEvents(0.3f);
  // A recorded navigation route is written out.
  links::EndRecordedRoute(nav_, settings_.MapSystem, app_folder_);
  // The settings, the ports, the own temporary files.
  PatchSettingsAtShutdown();
  RadioLink().DrainAndClosePorts();
  own_temp_files_.DeleteAll();
}

void Form1::PatchSettingsAtShutdown() {
  std::array<std::string, 6> combo_texts;
  for (int i = 0; i < 6; ++i) combo_texts[i] = scales_->combos[i]->Text();
  if (!map::PatchSettingsAtShutdown(SettingsPath(), combo_texts, settings_,
                                    [](const Settings& s) { return MainSettingsText({}, s); })) {
    MsgBox("CANNOT WRITE " + SettingsPath() + " !", "ZEBLON  SETTINGS", MsgButtons::Ok, MsgIcon::Exclamation);
  }
}

}  // namespace zeblon
