#include "platform/process.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/message_box.h"
#include "platform/paths.h"

namespace platform {
namespace {

QStringList ToArgs(const std::vector<std::string>& args) {
  QStringList out;
  for (const auto& a : args) out << QString::fromLocal8Bit(a.data(), static_cast<qsizetype>(a.size()));
  return out;
}

QString Local(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

bool ProgramExists(const std::string& program) {
  const QString p = Local(program);
  if (p.contains('/')) {
    QFileInfo info(p);
    return info.exists() && info.isExecutable();
  }
  return !QStandardPaths::findExecutable(p).isEmpty();
}

bool StartProgram(const std::string& program, const std::vector<std::string>& args, const std::string& working_folder) {
  if (!ProgramExists(program)) return false;
  return QProcess::startDetached(Local(program), ToArgs(args), Local(working_folder));
}

int RunProgram(const std::string& program, const std::vector<std::string>& args, int timeout_ms,
               const std::string& working_folder) {
  if (!ProgramExists(program)) return -1;
  QProcess proc;
  if (!working_folder.empty()) proc.setWorkingDirectory(Local(working_folder));
  proc.setProcessChannelMode(QProcess::MergedChannels);
  proc.setStandardInputFile(QProcess::nullDevice());
  proc.start(Local(program), ToArgs(args));
  if (!proc.waitForStarted(5000)) return -1;
  if (!proc.waitForFinished(timeout_ms)) {
    proc.kill();
    proc.waitForFinished(2000);
    return -1;
  }
  if (proc.exitStatus() != QProcess::NormalExit) return -1;
  return proc.exitCode();
}

bool OpenWithShell(const std::string& target) {
  const QString t = Local(target);
  QUrl url = QUrl::fromUserInput(t, QString(), QUrl::AssumeLocalFile);
  if (!url.isValid()) return false;
  if (!ProgramExists("xdg-open")) return QDesktopServices::openUrl(url);
  // xdg-open ends at once when it has handed the document over; an end with an
  // error is its word that no program takes the document, said when it comes. The
  // process has no owner, so the program's end never stops a viewer it still runs.
  auto* proc = new QProcess();
  proc->setStandardInputFile(QProcess::nullDevice());
  proc->setStandardOutputFile(QProcess::nullDevice());
  proc->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(proc, &QProcess::finished, [proc, target](int code, QProcess::ExitStatus status) {
    proc->deleteLater();
    if (status == QProcess::NormalExit && code != 0) {
      MsgBox(NoOpenerText(target), "ZEBLON", MsgButtons::Ok, MsgIcon::Exclamation);
    }
  });
  proc->start("xdg-open", {url.isLocalFile() ? url.toLocalFile() : url.toString()});
  if (!proc->waitForStarted(5000)) {
    delete proc;
    return false;
  }
  return true;
}

std::string NoOpenerText(const std::string& target) {
  std::string why;
  if (!ProgramExists("xdg-open")) {
    why = "XDG-OPEN OF THE PACKAGE XDG-UTILS OPENS DOCUMENTS: IT IS NOT INSTALLED";
  } else if (const std::size_t scheme = target.find("://"); scheme != std::string::npos) {
    why = "NO PROGRAM IS INSTALLED FOR " + UpperAscii(target.substr(0, scheme)) + " ADDRESSES";
  } else {
    // xdg-open is there: what is missing is a program for this kind of document.
    const QMimeType kind = QMimeDatabase().mimeTypeForFile(Local(target));
    why = "NO PROGRAM IS INSTALLED FOR DOCUMENTS OF THE KIND " + kind.name().toStdString();
  }
  return "NO PROGRAM FOUND TO OPEN\r\n" + target + "\r\n(" + why + ")";
}

bool OpenDocumentOrSay(const std::function<bool(const std::string&)>& opener, const std::string& target,
                       const std::string& title) {
  const bool address = target.find("://") != std::string::npos;
  if (!address && !QFileInfo::exists(Local(target))) {
    MsgBox("FILE NOT FOUND:\r\n" + target, title, MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
  }
  if (opener && opener(target)) return true;
  MsgBox(NoOpenerText(target), title, MsgButtons::Ok, MsgIcon::Exclamation);
  return false;
}

}  // namespace platform
