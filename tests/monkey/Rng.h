#pragma once
// The monkey's one source of chance: a seeded 64-bit generator with the few draws it needs,
// computed the same way on every platform so a seed names one run.

#include <cstdint>
#include <random>
#include <vector>

namespace tavrin::monkey {

class Rng {
public:
    explicit Rng(std::uint64_t seed) : Engine(seed) {}

    std::uint64_t next() { return Engine(); }
    // 0 <= result < n (0 when n <= 0).
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // lo <= result <= hi.
    int between(int lo, int hi) { return hi < lo ? lo : lo + below(hi - lo + 1); }
    // True with the given chance in percent.
    bool percent(int p) { return below(100) < p; }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }

private:
    std::mt19937_64 Engine;
};

}  // namespace tavrin::monkey
