#pragma once
// One document's history of the record: snapshots of it (the tree, the start stones, the
// shown line and node) taken before each edit, to go back and forward between them. The
// document is modified exactly when the record is not at the state last saved.

#include <cstdint>
#include <optional>
#include <vector>

#include "game/BoardPainter.h"
#include "record/GameRecord.h"

namespace tavrin {

class RecordHistory {
public:
    // The oldest snapshots go beyond this many.
    static constexpr size_t Depth = 300;

    // Call before an edit. One that then changed nothing leaves no step behind.
    void remember(const GameRecord& r);
    bool canUndo() const { return !undo_.empty() || pending_; }
    bool canRedo() const { return !redo_.empty() && !pending_; }
    // Back to the state before the last edit / forward again, the shown node restored and
    // the picture following through p; r.document().Modified says whether this is not the
    // state last saved.
    void undo(GameRecord& r, BoardPainter& p);
    void redo(GameRecord& r, BoardPainter& p);
    // The document was saved: the record's present state is the clean one.
    void markSaved(const GameRecord& r);
    // A new record: no history, and it is clean as it stands.
    void clear();
    // Bytes the snapshots hold.
    size_t memoryBytes() const;

private:
    struct Step {
        GameRecord::Snapshot Record;
        uint64_t State = 0;  // which state of the document it is
    };
    // The snapshot remember took becomes a step once the record has changed since; until
    // then the edit may still turn out to change nothing.
    void settle(const GameRecord& r);
    static void step(std::vector<Step>& from, std::vector<Step>& to, uint64_t& current, GameRecord& r, BoardPainter& p);

    std::optional<GameRecord::Snapshot> pending_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    uint64_t current_ = 0;
    uint64_t saved_ = 0;
    uint64_t next_ = 1;
};

}  // namespace tavrin
