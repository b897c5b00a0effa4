// The web send of chat messages (SendMessageViaWeb): messages for the web send
// page wait in a queue and are loaded one at a time with a page fetcher of their
// own, so that no send cuts another short and neither the main cycle's stop of
// the web poll nor the poll's watchdog touches them. Each send reports whether
// the page answered; a failure is shown in the internet notice.
#pragma once

#include <QTimer>
#include <deque>
#include <functional>
#include <string>

#include "internet/internet_ports.h"
#include "links/cycle_control.h"
#include "platform/page_fetcher.h"

namespace zeblon::internet {

inline constexpr int kNoticeRed = 0x0000FF;  // platform colour value (blue * 65536 + green * 256 + red)
inline constexpr const char* kSendingNotice = "SENDING CHAT MESSAGE VIA INTERNET...";

class WebMessageQueue {
 public:
  // The outcome of one send: true when the page loaded; `reason` says why not.
  using Done = std::function<void(bool sent, const std::string& reason)>;

  // Shows its sends in the notice of `controls` under the wait pointer of
  // `window`, the main cycle held meanwhile.
  WebMessageQueue(InternetControls& controls, InternetWindow& window, links::CycleControl& cycle);

  // Queues the address of one message; `done` follows its load.
  void Send(const std::string& url, Done done);
  bool Busy() const { return busy_; }
  std::size_t Waiting() const { return queue_.size(); }
  // True while the notice shows this queue's text (sending or a failure).
  bool ShowsNotice() const { return noticeShown_; }
  // Another request put its own text into the notice: this queue no longer
  // hides it (the next send shows its own again).
  void NoticeTaken() {
    noticeShown_ = false;
    failureShown_.stop();
  }
  // The addresses loaded so far, oldest first (for the curious).
  const std::deque<std::string>& Loaded() const { return loaded_; }

  // The wait after a page before the next send (1 s) and how long a failure
  // stays in the notice (5 s).
  int settleMs = 1000;
  int failureShownMs = 5000;
  platform::PageFetcher& Fetcher() { return fetcher_; }

 private:
  struct Item {
    std::string url;
    Done done;
  };
  void Next();
  void Finish(bool sent, const std::string& reason);
  void HideNotice();

  InternetControls& controls_;
  InternetWindow& window_;
  links::CycleControl& cycle_;
  platform::PageFetcher fetcher_;
  std::deque<Item> queue_;
  std::deque<std::string> loaded_;
  Item current_;
  bool busy_ = false;
  bool noticeShown_ = false;
  QTimer settle_;
  QTimer failureShown_;
};

}  // namespace zeblon::internet
