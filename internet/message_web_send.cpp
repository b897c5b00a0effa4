#include "internet/message_web_send.h"

namespace zeblon::internet {

WebMessageQueue::WebMessageQueue(InternetControls& controls, InternetWindow& window, links::CycleControl& cycle)
    : controls_(controls), window_(window), cycle_(cycle) {
  settle_.setSingleShot(true);
  failureShown_.setSingleShot(true);
  QObject::connect(&settle_, &QTimer::timeout, [this] { Next(); });
  QObject::connect(&failureShown_, &QTimer::timeout, [this] {
    if (!busy_) HideNotice();
  });
  fetcher_.onPageComplete = [this](const std::string&, const std::string&) { Finish(true, {}); };
  fetcher_.onNavigateError = [this](const std::string&, const std::string& reason) { Finish(false, reason); };
}

void WebMessageQueue::Send(const std::string& url, Done done) {
  queue_.push_back({url, std::move(done)});
  if (!busy_) {
    busy_ = true;
    window_.ShowBusy(true);
    cycle_.StopCycle();
    failureShown_.stop();
    controls_.ShowNotice(kSendingNotice, 0x00C0C0);
    noticeShown_ = true;
    // The load starts from the event loop: an outcome, even one known at once
    // (no host), never reaches the sender before Send has returned.
    settle_.start(0);
  }
}

void WebMessageQueue::Next() {
  if (queue_.empty()) {
    // The last page is in: the window goes on.
    busy_ = false;
    if (!failureShown_.isActive()) HideNotice();
    window_.ShowBusy(false);
    cycle_.StartCycle();
    return;
  }
  current_ = std::move(queue_.front());
  queue_.pop_front();
  failureShown_.stop();
  controls_.ShowNotice(kSendingNotice, 0x00C0C0);
  noticeShown_ = true;
  loaded_.push_back(current_.url);
  if (loaded_.size() > 100) loaded_.pop_front();
  fetcher_.Navigate(current_.url);
}

void WebMessageQueue::Finish(bool sent, const std::string& reason) {
  Item done = std::move(current_);
  current_ = Item{};
  if (!sent) {
    controls_.ShowNotice("CHAT MESSAGE NOT SENT VIA INTERNET (" + reason + ")", kNoticeRed);
    noticeShown_ = true;
    failureShown_.start(failureShownMs);
  }
  if (done.done) done.done(sent, reason);
  settle_.start(sent ? settleMs : 0);
}

void WebMessageQueue::HideNotice() {
  if (!noticeShown_) return;
  noticeShown_ = false;
  controls_.HideNotice();
}

}  // namespace zeblon::internet
