#pragma once
// Brings the library up to its folders on a thread of its own, starting from the cache: the
// window's index keeps answering queries meanwhile and is replaced by the finished one, which
// the indexer hands over with finished. One run at a time; a run can be stopped from the
// window (中止: what was read is kept) or abandoned (closing, new folders: nothing is
// written, and the window does not wait for a worker stuck in a slow system call).

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <thread>

namespace tavrin {

namespace library {
class LibraryIndex;
}
struct LibraryJob;

class LibraryIndexer : public QObject {
    Q_OBJECT
public:
    explicit LibraryIndexer(QObject* parent = nullptr);
    ~LibraryIndexer() override;  // abandons a run still going

    // Starts a run over folders with the cache file cachePath, unless one runs.
    void start(const QStringList& folders, const QString& cachePath);
    bool running() const { return worker_.joinable(); }
    // 中止: no further file is read; the run ends with what it has read, and says so.
    void stop();
    // Every stage of the worker stops at once and writes nothing; this waits for it about a
    // tenth of a second at most, then leaves it to end by itself. Nothing of the run arrives.
    void abandon();

signals:
    void progress(int done, int total);
    // The run's index, to take in place of the window's; cancelled: it was stopped.
    void finished(const std::shared_ptr<library::LibraryIndex>& index, bool cancelled);

private:
    void reportProgress(int run, int done, int total);
    void indexed(const std::shared_ptr<library::LibraryIndex>& index, bool cancelled, int run);

    int run_ = 0;  // the number of the latest run
    std::thread worker_;
    std::shared_ptr<LibraryJob> job_;  // what the indexer and its worker share
};

}  // namespace tavrin
