#include "PageWriter.h"

#include "PageRenderer.h"
#include "PrintArchive.h"

#include <QMetaObject>

PageWriter::PageWriter(PrintArchive& archive, const PageRenderer& renderer, QObject* parent)
    : QObject(parent)
    , archive_(archive)
    , renderer_(renderer)
    , thread_([this] { run(); })
{
}

PageWriter::~PageWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    thread_.join();
}

bool PageWriter::submit(PrintedPage page, QString head)
{
    {
        std::lock_guard lock(mutex_);
        if (jobs_.size() >= kMaxWaiting)
            return false;
        jobs_.push_back({std::move(page), std::move(head)});
    }
    wake_.notify_one();
    return true;
}

std::size_t PageWriter::waiting() const
{
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

void PageWriter::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        QString error;
        const auto files = archive_.save(job.page, renderer_.render(job.page), &error);
        const QString outcome = files ? QStringLiteral("saved as %1 and %2").arg(files->textPath, files->imagePath)
                                      : QStringLiteral("NOT SAVED: %1").arg(error);
        QMetaObject::invokeMethod(
            this, [this, head = std::move(job.head), outcome, warnings = job.page.warnings] {
                emit saved(head, outcome, warnings);
            },
            Qt::QueuedConnection);
    }
}
