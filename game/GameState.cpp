#include "game/GameState.h"

#include <algorithm>

namespace tavrin {

int& RecordColumn::grow(std::size_t i) {
    if (i > static_cast<std::size_t>(RecordCapacity)) {
        thread_local int nowhere = 0;
        nowhere = 0;
        return nowhere;
    }
    // Doubling keeps a record read move by move linear.
    v_.resize(std::max({i + 1, v_.size() * 2, std::size_t{64}}));
    return v_[i];
}

std::vector<int> RecordColumn::slice(std::size_t from, std::size_t to) const {
    std::vector<int> out;
    out.reserve(to > from ? to - from : 0);
    for (std::size_t i = from; i < to; ++i) out.push_back((*this)[i]);
    return out;
}

bool RecordColumn::operator==(const RecordColumn& o) const {
    const std::size_t common = std::min(v_.size(), o.v_.size());
    const auto zero = [](int x) { return x == 0; };
    return std::equal(v_.begin(), v_.begin() + static_cast<std::ptrdiff_t>(common), o.v_.begin()) &&
           std::all_of(v_.begin() + static_cast<std::ptrdiff_t>(common), v_.end(), zero) &&
           std::all_of(o.v_.begin() + static_cast<std::ptrdiff_t>(common), o.v_.end(), zero);
}

}  // namespace tavrin
