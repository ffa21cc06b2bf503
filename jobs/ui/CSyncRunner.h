#pragma once
// File → Sync results…: runs the same sync as `km360r-cli job sync` on a
// worker thread while a progress dialog shows how many results have gone,
// then says "sent N results, M already there" or what went wrong, in the
// window's language. One sync at a time.
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <string>
#include <thread>

#include "jobs/SyncTexts.h"

class QWidget;

class CSyncRunner : public QObject {
  Q_OBJECT

 public:
  CSyncRunner(const jobs::SyncTexts& texts, QWidget* parent);
  ~CSyncRunner() override;

  // Syncs the store at `storePath` with `server` (empty: the message that
  // no server is set). False when a sync is running already.
  bool Start(const std::string& storePath, const std::string& server);
  bool Running() const { return m_worker.joinable(); }
  // The message box of the last outcome; null before the first.
  QMessageBox* Message() const { return m_message; }

 signals:
  void Finished(bool ok, const QString& message);

 private:
  void OnProgress(qint64 sent, qint64 alreadyThere);
  void OnDone(bool ok, const QString& message);

  jobs::SyncTexts m_texts;
  QWidget* m_parent;
  std::thread m_worker;
  QPointer<QProgressDialog> m_progress;
  QPointer<QMessageBox> m_message;
};
