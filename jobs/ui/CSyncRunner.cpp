#include "jobs/ui/CSyncRunner.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QProgressDialog>

#include "common/ui/QtText.h"
#include "jobs/TeamServer.h"

CSyncRunner::CSyncRunner(const jobs::SyncTexts& texts, QWidget* parent)
    : QObject(parent), m_texts(texts), m_parent(parent) {}

CSyncRunner::~CSyncRunner() {
  // The worker posts to this object: it is waited for before the object goes.
  if (m_worker.joinable()) m_worker.join();
}

bool CSyncRunner::Start(const std::string& storePath, const std::string& server) {
  if (Running()) return false;
  if (m_message) m_message->close();
  // No cancel button: a batch is one transaction either way, and the next
  // sync completes a sync cut off, so there is nothing to gain by stopping.
  m_progress = new QProgressDialog(Qs(m_texts.syncing), QString(), 0, 0, m_parent);
  m_progress->setWindowTitle(Qs(m_texts.title));
  m_progress->setAttribute(Qt::WA_DeleteOnClose);
  m_progress->setMinimumDuration(0);
  m_progress->setWindowModality(Qt::WindowModal);
  m_progress->show();
  const jobs::SyncTexts texts = m_texts;
  m_worker = std::thread([this, texts, storePath, server] {
    const jobs::SyncOutcome outcome = jobs::SyncStore(storePath, server, texts, [this](const jobs::SyncCounts& c) {
      QMetaObject::invokeMethod(this, [this, c] { OnProgress(c.sent, c.alreadyThere); }, Qt::QueuedConnection);
    });
    QMetaObject::invokeMethod(
        this, [this, outcome] { OnDone(outcome.ok, Qs(outcome.message)); }, Qt::QueuedConnection);
  });
  return true;
}

void CSyncRunner::OnProgress(qint64 sent, qint64 alreadyThere) {
  if (m_progress) m_progress->setLabelText(Qs(m_texts.syncing + "\n" + m_texts.Done(sent, alreadyThere)));
}

void CSyncRunner::OnDone(bool ok, const QString& message) {
  if (m_worker.joinable()) m_worker.join();
  if (m_progress) m_progress->close();
  m_message = new QMessageBox(ok ? QMessageBox::Information : QMessageBox::Warning, Qs(m_texts.title), message,
                              QMessageBox::Ok, m_parent);
  m_message->setAttribute(Qt::WA_DeleteOnClose);
  m_message->open();
  emit Finished(ok, message);
}
