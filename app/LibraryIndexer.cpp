#include "app/LibraryIndexer.h"

#include <QFile>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "library/LibraryIndex.h"

namespace tavrin {

// One indexing run, shared by the indexer and its worker thread. The worker reaches the
// indexer only through owner, under the lock; an indexer that stops waiting clears it, and
// the worker then ends by itself without touching the indexer again.
struct LibraryJob {
    std::atomic<bool> stop{false};     // 中止: no further file is read; what was read is kept
    std::atomic<bool> abandon{false};  // closing or new folders: every stage ends, nothing is written
    std::mutex lock;
    std::condition_variable ended;
    bool finished = false;
    LibraryIndexer* owner = nullptr;

    // Runs call(indexer) on the indexer's thread, unless it has stopped waiting for this run.
    template <typename F>
    void post(F call) {
        std::lock_guard<std::mutex> hold(lock);
        if (!owner) return;
        LibraryIndexer* x = owner;
        QMetaObject::invokeMethod(
            owner, [x, call = std::move(call)] { call(x); }, Qt::QueuedConnection);
    }
};

LibraryIndexer::LibraryIndexer(QObject* parent) : QObject(parent) {}

LibraryIndexer::~LibraryIndexer() { abandon(); }

void LibraryIndexer::start(const QStringList& folderList, const QString& cachePath) {
    if (running()) return;
    std::vector<std::string> folders;
    for (const QString& f : folderList) folders.push_back(QFile::encodeName(f).toStdString());
    const std::string cache = QFile::encodeName(cachePath).toStdString();
    auto job = std::make_shared<LibraryJob>();
    job->owner = this;
    job_ = job;
    const int run = ++run_;
    // The worker has an index of its own: the cache, brought up to the folders and written
    // back when that changed it. The worker never holds the indexer: only the job.
    worker_ = std::thread([job, folders, cache, run] {
        auto index = std::make_shared<library::LibraryIndex>();
        const auto read = index->loadCache(cache, &job->abandon);
        if (read != library::LibraryIndex::CacheRead::Loaded) index->clear();
        library::LibraryUpdate done;
        done.Cancelled = true;
        if (read != library::LibraryIndex::CacheRead::Cancelled) {
            done = index->update(folders, &job->stop, [job, run](int n, int total) {
                // The bar moves in steps the eye can see; a file takes microseconds.
                if (n % 64 != 0 && n != total) return;
                job->post([n, total, run](LibraryIndexer* x) { x->reportProgress(run, n, total); });
            });
        }
        if (done.changed() && !job->abandon) index->saveCache(cache, &job->abandon);
        job->post([index, done, run](LibraryIndexer* x) { x->indexed(index, done.Cancelled, run); });
        std::lock_guard<std::mutex> hold(job->lock);
        job->finished = true;
        job->ended.notify_all();
    });
}

void LibraryIndexer::stop() {
    if (job_) job_->stop = true;
}

void LibraryIndexer::abandon() {
    if (!worker_.joinable()) return;
    const std::shared_ptr<LibraryJob> job = std::move(job_);
    job->abandon = true;
    job->stop = true;
    bool finished;
    {
        std::unique_lock<std::mutex> hold(job->lock);
        finished = job->ended.wait_for(hold, std::chrono::milliseconds(100), [&] { return job->finished; });
        // A worker still in a slow system call (a folder on a slow disk, the cache flushed to
        // it) ends by itself later, without the indexer.
        if (!finished) job->owner = nullptr;
    }
    if (finished)
        worker_.join();
    else
        worker_.detach();
    // Whatever the abandoned run has left on its way here is not taken.
    ++run_;
}

void LibraryIndexer::reportProgress(int run, int done, int total) {
    if (run == run_) emit progress(done, total);
}

void LibraryIndexer::indexed(const std::shared_ptr<library::LibraryIndex>& index, bool cancelled, int run) {
    // A run abandoned since (new folders) left its answer behind: a newer run may be working
    // now, and the indexer must neither wait for it nor hand over the old index.
    if (run != run_) return;
    if (worker_.joinable()) worker_.join();
    emit finished(index, cancelled);
}

}  // namespace tavrin
