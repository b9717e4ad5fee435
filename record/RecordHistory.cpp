#include "record/RecordHistory.h"

namespace tavrin {

void RecordHistory::settle(const GameRecord& r) {
    if (!pending_) return;
    if (pending_->Revision != r.revision()) {
        undo_.push_back({std::move(*pending_), current_});
        if (undo_.size() > Depth) undo_.erase(undo_.begin());
        redo_.clear();
        current_ = next_++;
    }
    pending_.reset();
}

void RecordHistory::remember(const GameRecord& r) {
    settle(r);
    pending_ = r.snapshot();
}

void RecordHistory::step(std::vector<Step>& from, std::vector<Step>& to, uint64_t& current, GameRecord& r,
                         BoardPainter& p) {
    if (from.empty()) return;
    Step s = std::move(from.back());
    from.pop_back();
    to.push_back({r.snapshot(), current});
    current = s.State;
    r.restore(std::move(s.Record), p);
}

void RecordHistory::undo(GameRecord& r, BoardPainter& p) {
    settle(r);
    step(undo_, redo_, current_, r, p);
    r.document().Modified = current_ != saved_;
}

void RecordHistory::redo(GameRecord& r, BoardPainter& p) {
    settle(r);
    step(redo_, undo_, current_, r, p);
    r.document().Modified = current_ != saved_;
}

void RecordHistory::markSaved(const GameRecord& r) {
    settle(r);
    saved_ = current_;
}

void RecordHistory::clear() {
    pending_.reset();
    undo_.clear();
    redo_.clear();
    current_ = saved_ = next_++;
}

size_t RecordHistory::memoryBytes() const {
    size_t bytes = pending_ ? pending_->Tree.memoryBytes() : 0;
    for (const std::vector<Step>* steps : {&undo_, &redo_})
        for (const Step& s : *steps)
            bytes += sizeof(Step) + s.Record.Tree.memoryBytes() +
                     s.Record.Start.capacity() * sizeof(s.Record.Start[0]) +
                     (s.Record.Places.capacity() + s.Record.Times.capacity()) * sizeof(int);
    return bytes;
}

}  // namespace tavrin
