#include "platform/page_fetcher.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <cctype>

namespace platform {
namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view what) {
  if (at + what.size() > s.size()) return false;
  for (std::size_t i = 0; i < what.size(); ++i)
    if (Lower(s[at + i]) != what[i]) return false;
  return true;
}

std::size_t FindNoCase(std::string_view s, std::size_t from, std::string_view what) {
  for (std::size_t i = from; i + what.size() <= s.size(); ++i)
    if (StartsWithNoCase(s, i, what)) return i;
  return std::string_view::npos;
}

std::string CrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

void AppendEntity(std::string_view name, std::string& out) {
  if (name == "amp")
    out += '&';
  else if (name == "lt")
    out += '<';
  else if (name == "gt")
    out += '>';
  else if (name == "quot")
    out += '"';
  else if (name == "apos")
    out += '\'';
  else if (name == "nbsp")
    out += ' ';
  else if (!name.empty() && name[0] == '#') {
    long code = 0;
    const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    for (std::size_t i = hex ? 2 : 1; i < name.size(); ++i) {
      const char c = name[i];
      const int d = std::isdigit(static_cast<unsigned char>(c))           ? c - '0'
                    : hex && std::isxdigit(static_cast<unsigned char>(c)) ? Lower(c) - 'a' + 10
                                                                          : -1;
      if (d < 0 || code > 0x10FFFF) break;
      code = code * (hex ? 16 : 10) + d;
    }
    out += code > 0 && code < 256 ? static_cast<char>(code) : '?';
  } else {
    out += '&';
    out.append(name);
    out += ';';
  }
}

}  // namespace

std::string PageInnerText(std::string_view body, bool html) {
  if (!html) return CrLf(body);
  static constexpr std::string_view kBreaks[] = {"br",  "p",   "/p",   "div",   "/div",   "tr",    "/tr",    "li",
                                                 "/li", "h1",  "/h1",  "h2",    "/h2",    "h3",    "/h3",    "h4",
                                                 "/h4", "pre", "/pre", "title", "/title", "table", "/table", "hr"};
  std::string out;
  out.reserve(body.size());
  int pre = 0;
  std::size_t i = 0;
  while (i < body.size()) {
    const char c = body[i];
    if (c == '<') {
      if (StartsWithNoCase(body, i, "<!--")) {
        const std::size_t end = body.find("-->", i + 4);
        i = end == std::string_view::npos ? body.size() : end + 3;
        continue;
      }
      for (std::string_view skip : {std::string_view("script"), std::string_view("style")}) {
        if (StartsWithNoCase(body, i + 1, skip)) {
          const std::string close = "</" + std::string(skip);
          const std::size_t end = FindNoCase(body, i, close);
          if (end != std::string_view::npos) i = end;
        }
      }
      const std::size_t end = body.find('>', i);
      if (end == std::string_view::npos) break;
      std::string name;
      for (std::size_t k = i + 1; k < end && !std::isspace(static_cast<unsigned char>(body[k])) && body[k] != '/'; ++k)
        name += Lower(body[k]);
      if (i + 1 < end && body[i + 1] == '/') {
        name = "/";
        for (std::size_t k = i + 2; k < end && !std::isspace(static_cast<unsigned char>(body[k])); ++k)
          name += Lower(body[k]);
      }
      if (name == "pre") ++pre;
      if (name == "/pre" && pre > 0) --pre;
      for (std::string_view b : kBreaks)
        if (name == b) {
          if (!out.empty() && out.back() == ' ') out.pop_back();
          out += '\n';
          break;
        }
      i = end + 1;
      continue;
    }
    if (c == '&') {
      const std::size_t semi = body.find(';', i);
      if (semi != std::string_view::npos && semi - i <= 10) {
        AppendEntity(body.substr(i + 1, semi - i - 1), out);
        i = semi + 1;
        continue;
      }
    }
    if (pre == 0 && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
      if (!out.empty() && out.back() != ' ' && out.back() != '\n') out += ' ';
    } else {
      out += c;
    }
    ++i;
  }
  return CrLf(out);
}

PageFetcher::PageFetcher(QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] {
    if (reply_.isNull()) return;
    timedOut_ = true;
    reply_->abort();
  });
  manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void PageFetcher::Stop() {
  timer_.stop();
  if (reply_.isNull()) return;
  QNetworkReply* r = reply_.data();
  reply_.clear();
  r->disconnect(this);
  r->abort();
  r->deleteLater();
}

void PageFetcher::Navigate(const std::string& url) {
  Stop();
  location_ = url;
  body_.clear();
  truncated_ = false;
  timedOut_ = false;
  const QUrl u(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size())), QUrl::StrictMode);
  if (url == "about:blank" || !u.isValid() || u.host().isEmpty()) {
    if (url != "about:blank" && !url.empty() && onNavigateError) onNavigateError(url, "no host");
    return;
  }
  QNetworkRequest request(u);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setTransferTimeout(timeoutMs_);
  QNetworkReply* r = manager_.get(request);
  reply_ = r;
  QObject::connect(r, &QNetworkReply::readyRead, this, [this, r] { Read(r); });
  QObject::connect(r, &QNetworkReply::finished, this, [this, r] { Finished(r); });
  timer_.start(timeoutMs_);
}

void PageFetcher::Read(QNetworkReply* r) {
  if (r != reply_.data()) return;
  const qint64 room = sizeCap_ - static_cast<qint64>(body_.size());
  const QByteArray bytes = r->read(room > 0 ? room : 0);
  body_.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (static_cast<qint64>(body_.size()) >= sizeCap_ && (r->bytesAvailable() > 0 || !r->isFinished())) {
    truncated_ = true;
    r->abort();  // finished follows with OperationCanceledError
  }
}

void PageFetcher::Finished(QNetworkReply* r) {
  if (r != reply_.data()) {
    r->deleteLater();
    return;
  }
  timer_.stop();
  if (!truncated_) Read(r);
  reply_.clear();
  r->deleteLater();
  const std::string url = location_;
  const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (!truncated_ && (r->error() != QNetworkReply::NoError || status >= 400)) {
    const std::string reason = timedOut_       ? std::string("timeout")
                               : status >= 400 ? "HTTP " + std::to_string(status)
                                               : r->errorString().toStdString();
    if (onNavigateError) onNavigateError(url, reason);
    return;
  }
  const QString type = r->header(QNetworkRequest::ContentTypeHeader).toString().toLower();
  bool html = type.contains(QLatin1String("html"));
  if (type.isEmpty()) {
    const std::size_t first = body_.find_first_not_of(" \t\r\n");
    html = first != std::string::npos && body_[first] == '<';
  }
  const std::string text = PageInnerText(body_, html);
  body_.clear();
  if (onPageComplete) onPageComplete(url, text);
}

}  // namespace platform
