#include "app/ui/DesktopOpener.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <memory>
#include <utility>

namespace {

// How long a handler must have run to count as having opened the file.
constexpr qint64 kViewerShownMs = 5000;

}  // namespace

DesktopOpener::~DesktopOpener() {
  // Ending xdg-open does not end the viewer it started: that one was started
  // for the operator and stays.
  for (QProcess* process : findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
    process->disconnect(this);
    process->kill();
    process->waitForFinished(1000);
  }
}

void DesktopOpener::Open(const std::string& path, std::function<void(bool opened)> done) {
  const QString file = QFile::decodeName(QByteArray::fromStdString(path));
  // The viewer runs on its own; the program only listens for xdg-open's
  // verdict. Where xdg-open waits for the viewer it simply ends later, with
  // success. An xdg-open still waiting when the program ends is ended; the
  // viewer it started stays open (see the destructor).
  auto* process = new QProcess(this);
  process->setProgram(QStringLiteral("xdg-open"));
  process->setArguments({file});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  auto report = std::make_shared<std::function<void(bool)>>(std::move(done));
  connect(process, &QProcess::errorOccurred, this, [process, report](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    if (*report) std::exchange(*report, nullptr)(false);
    process->deleteLater();
  });
  // Where xdg-open waits for the viewer, its exit code is the viewer's: a
  // viewer that was open for a while and then ended badly (or was ended by
  // the session) did open the file, and the operator is not told otherwise.
  auto running = std::make_shared<QElapsedTimer>();
  connect(process, &QProcess::finished, this, [process, report, running](int code, QProcess::ExitStatus status) {
    const bool opened = (status == QProcess::NormalExit && code == 0) || running->elapsed() > kViewerShownMs;
    if (*report) std::exchange(*report, nullptr)(opened);
    process->deleteLater();
  });
  running->start();
  process->start();
}
