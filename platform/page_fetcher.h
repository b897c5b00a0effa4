// A small page fetcher in place of a web browser control: it loads one address
// at a time over HTTP(S), without cache, and hands over the page's text (the
// inner text of an HTML page, the text of any other) when it is complete, or
// reports that the page could not be loaded. Every request has a time limit and
// a size cap, so no load waits without end or grows without bound.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>
#include <string_view>

class QNetworkReply;

namespace platform {

// The text of a page as a browser shows it: for HTML the tags, scripts, styles
// and comments left out, line breaks where <br> and the block elements stand,
// white space outside <pre> collapsed, the common entities decoded; every line
// end of the result is CR LF. `html` false: only the line ends are made CR LF.
std::string PageInnerText(std::string_view body, bool html);

class PageFetcher : public QObject {
 public:
  explicit PageFetcher(QObject* parent = nullptr);

  // Time limit of a request (default 30 s) and size cap of a page (default 4 MB;
  // a longer page is cut there and handed over as far as it came).
  void SetTimeoutMs(int ms) { timeoutMs_ = ms; }
  void SetSizeCap(qint64 bytes) { sizeCap_ = bytes; }

  // Starts loading the address; a load still running is stopped first and its
  // page never arrives. "about:blank" (or an address without a host) only
  // becomes the current address.
  void Navigate(const std::string& url);
  // Stops a running load; its page never arrives.
  void Stop();
  // The address of the page being loaded or last loaded (LocationURL).
  const std::string& LocationUrl() const { return location_; }
  bool Busy() const { return !reply_.isNull(); }

  // The page of the current address is complete: the address and the text.
  std::function<void(const std::string& url, const std::string& text)> onPageComplete;
  // The current address could not be loaded (no answer, an HTTP error, the time
  // limit): the address and a short reason.
  std::function<void(const std::string& url, const std::string& reason)> onNavigateError;

 private:
  void Finished(QNetworkReply* reply);
  void Read(QNetworkReply* reply);

  QNetworkAccessManager manager_;
  QPointer<QNetworkReply> reply_;
  QTimer timer_;
  std::string location_;
  std::string body_;
  bool truncated_ = false;
  bool timedOut_ = false;
  int timeoutMs_ = 30000;
  qint64 sizeCap_ = 4 * 1024 * 1024;
};

}  // namespace platform
