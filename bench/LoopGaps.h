#pragma once
// The event loop's turns measured by a 1 ms timer: each gap between two turns is handed to a
// callback (milliseconds), from start() on.

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace tavrin::bench {

class LoopGaps {
public:
    explicit LoopGaps(std::function<void(double)> gap) {
        clock_.start();
        tick_.setTimerType(Qt::PreciseTimer);
        tick_.setInterval(1);
        QObject::connect(&tick_, &QTimer::timeout, [this, gap = std::move(gap)] {
            const qint64 now = clock_.nsecsElapsed();
            gap((now - last_) / 1e6);
            last_ = now;
        });
    }
    void start() {
        last_ = clock_.nsecsElapsed();
        tick_.start();
    }
    // Since construction.
    double elapsedMs() const { return clock_.nsecsElapsed() / 1e6; }

private:
    QElapsedTimer clock_;
    QTimer tick_;
    qint64 last_ = 0;
};

}  // namespace tavrin::bench
