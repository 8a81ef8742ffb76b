#pragma once

#include "PrintedPage.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class PageRenderer;
class PrintArchive;

// Draws and saves pages on a thread of its own, in the order they were
// printed, so the event loop keeps serving the line, the modem state and the
// signals while a page is being made. Only a bounded number of pages may wait.
class PageWriter : public QObject {
    Q_OBJECT
public:
    PageWriter(PrintArchive& archive, const PageRenderer& renderer, QObject* parent = nullptr);
    // Pages still waiting are not saved; the one being saved is finished.
    ~PageWriter() override;

    static constexpr std::size_t kMaxWaiting = 64;

    // Queues the page; false when kMaxWaiting pages are already waiting.
    // `head` is the log text the outcome is appended to.
    bool submit(PrintedPage page, QString head);
    std::size_t waiting() const;

signals:
    // On the writer's owner thread: `head` followed by the files or the failure.
    void saved(const QString& head, const QString& outcome, const QStringList& warnings);

private:
    struct Job {
        PrintedPage page;
        QString head;
    };
    void run();

    PrintArchive& archive_;
    const PageRenderer& renderer_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};
