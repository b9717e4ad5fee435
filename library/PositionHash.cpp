#include "library/PositionHash.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "game/Engine.h"

namespace tavrin::library {

namespace {

constexpr std::array<int, SymmetryCount> Inverse{0, 1, 2, 3, 4, 6, 5, 7};

// Point (x, y) turned by s on a board whose last line is m.
inline void turn(int s, int m, int& x, int& y) {
    const int a = x, b = y;
    switch (s) {
        case 0:
            x = a;
            y = b;
            break;
        case 1:
            x = m - a;
            y = b;
            break;
        case 2:
            x = a;
            y = m - b;
            break;
        case 3:
            x = m - a;
            y = m - b;
            break;
        case 4:
            x = b;
            y = a;
            break;
        case 5:
            x = m - b;
            y = a;
            break;
        case 6:
            x = b;
            y = m - a;
            break;
        default:
            x = m - b;
            y = m - a;
            break;
    }
}

bool sizeOk(int size) { return size >= MinBoardSize && size <= MaxBoardSize; }

// The random numbers behind the keys. Fixed for ever: the cache keeps hashes made with them.
uint64_t splitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::unique_ptr<SizeKeys> makeKeys(int size) {
    auto k = std::make_unique<SizeKeys>();
    uint64_t state = 0x54617672696E4C62ull ^ (static_cast<uint64_t>(size) << 48);
    const int points = size * size;
    std::array<std::array<uint64_t, MaxBoardSize * MaxBoardSize>, 2> plain{};
    for (int code = 0; code < points; ++code) {
        plain[0][code] = splitMix(state);
        plain[1][code] = splitMix(state);
    }
    k->SizeKey = splitMix(state);
    k->WhiteKey = splitMix(state);
    for (auto& perPos : k->Stone) {
        for (auto& perColour : perPos) perColour.fill(0);
    }
    for (auto& perSym : k->Code) perSym.fill(-1);
    const int stride = size + 2;
    for (int col = 1; col <= size; ++col) {
        for (int row = 1; row <= size; ++row) {
            const int pos = col * stride + row;
            for (int s = 0; s < SymmetryCount; ++s) {
                int x = col - 1, y = row - 1;
                turn(s, size - 1, x, y);
                const int code = y * size + x;
                k->Code[s][pos] = static_cast<int16_t>(code);
                k->Stone[pos][0][s] = plain[0][code];
                k->Stone[pos][1][s] = plain[1][code];
            }
        }
    }
    return k;
}

}  // namespace

int inverseSymmetry(int s) { return Inverse[static_cast<size_t>(s) & 7]; }

const SizeKeys& sizeKeys(int size) {
    static std::array<std::unique_ptr<SizeKeys>, MaxBoardSize + 1> tables;
    static std::array<std::once_flag, MaxBoardSize + 1> made;
    if (!sizeOk(size)) size = MaxBoardSize;  // callers check the size; never out of the table
    std::call_once(made[size], [size] { tables[size] = makeKeys(size); });
    return *tables[size];
}

int pointCode(int pos, int size, int s) {
    if (pos == PassPos) return PassCode;
    if (!sizeOk(size) || pos <= 0) return -1;
    const int stride = size + 2;
    const int col = pos / stride, row = pos % stride;
    if (col < 1 || col > size || row < 1 || row > size) return -1;
    int x = col - 1, y = row - 1;
    turn(s, size - 1, x, y);
    return y * size + x;
}

int codePos(int code, int size) {
    if (code == PassCode) return PassPos;
    if (!sizeOk(size) || code < 0 || code >= size * size) return 0;
    return (code % size + 1) * (size + 2) + code / size + 1;
}

int turnCode(int code, int size, int s) {
    if (!sizeOk(size) || code < 0 || code >= size * size) return code;
    int x = code % size, y = code / size;
    turn(s, size - 1, x, y);
    return y * size + x;
}

int reduceCode(int code, int size, unsigned stabilizer) {
    int best = code;
    for (int s = 1; s < SymmetryCount; ++s) {
        if (stabilizer & (1u << s)) {
            const int c = turnCode(code, size, s);
            if (c < best) best = c;
        }
    }
    return best;
}

PositionKey positionKey(int size, const std::array<int, BoardCells>& board, int sideToMove) {
    if (!sizeOk(size)) return {};
    const SizeKeys& k = sizeKeys(size);
    std::array<uint64_t, SymmetryCount> images{};
    const int stride = size + 2;
    for (int col = 1; col <= size; ++col) {
        for (int row = 1; row <= size; ++row) {
            const int pos = col * stride + row;
            const int c = board[pos];
            if (c != Black && c != White) continue;
            for (int s = 0; s < SymmetryCount; ++s) images[s] ^= k.Stone[pos][c - 1][s];
        }
    }
    PositionKey key;
    key.BoardSize = size;
    const uint64_t fold = k.SizeKey ^ (sideToMove == White ? k.WhiteKey : 0);
    key.Hash = images[0] ^ fold;
    for (int s = 1; s < SymmetryCount; ++s) {
        if ((images[s] ^ fold) < key.Hash) {
            key.Hash = images[s] ^ fold;
            key.Canonical = s;
        }
    }
    // A symmetry maps the position onto itself when every point holds what its image holds.
    for (int s = 1; s < SymmetryCount; ++s) {
        bool same = true;
        for (int col = 1; col <= size && same; ++col) {
            for (int row = 1; row <= size; ++row) {
                const int pos = col * stride + row;
                const int to = codePos(k.Code[s][pos], size);
                const int a = board[pos], b = board[to];
                if ((a == Black || a == White ? a : 0) != (b == Black || b == White ? b : 0)) {
                    same = false;
                    break;
                }
            }
        }
        if (same) key.Stabilizer |= 1u << s;
    }
    return key;
}

PositionKey positionKey(const GameState& g) { return positionKey(g.BoardSize, g.Board, g.SideToMove); }

int sideToMoveAfter(const GameState& g, int moves) {
    const int h = g.HandicapCount;
    const int next = h + moves + 1;
    if (moves < g.MoveCount && next >= 1 && next <= RecordCapacity) {
        const int c = g.MoveColor[next];
        if (c == Black || c == White) return c;
    }
    const int last = h + moves;
    if (last >= 1 && last <= RecordCapacity) {
        const int c = g.MoveColor[last];
        if (c == Black || c == White) return 3 - c;
    }
    return Black;
}

MainLinePositions::MainLinePositions(const GameState& g)
    : g_(g), keys_(sizeOk(g.BoardSize) ? &sizeKeys(g.BoardSize) : nullptr) {
    if (keys_) {
        const int h = g.HandicapCount < RecordCapacity ? g.HandicapCount : RecordCapacity;
        for (int i = 1; i <= h; ++i) put(g.MovePos[i], g.MoveColor[i]);
    }
    settle();
}

void MainLinePositions::put(int pos, int colour) {
    if (pos <= 0 || pos >= BoardCells || (colour != Black && colour != White)) return;
    if (keys_->Code[0][pos] < 0 || board_[pos] != 0) return;
    board_[pos] = colour;
    const auto& key = keys_->Stone[pos][colour - 1];
    for (int s = 0; s < SymmetryCount; ++s) images_[s] ^= key[s];
}

void MainLinePositions::take(int pos, int colour) {
    if (pos <= 0 || pos >= BoardCells || board_[pos] != colour) return;
    board_[pos] = 0;
    const auto& key = keys_->Stone[pos][colour - 1];
    for (int s = 0; s < SymmetryCount; ++s) images_[s] ^= key[s];
}

void MainLinePositions::settle() {
    side_ = sideToMoveAfter(g_, moves_);
    if (!keys_) {
        hash_ = 0;
        canonical_ = 0;
        nextCode_ = NoMoveCode;
        return;
    }
    const uint64_t fold = keys_->SizeKey ^ (side_ == White ? keys_->WhiteKey : 0);
    // The smallest and where it is, by selects: a branch on each comparison of random hashes
    // would be mispredicted half the time.
    std::array<uint64_t, SymmetryCount> v;
    for (int s = 0; s < SymmetryCount; ++s) v[s] = images_[s] ^ fold;
    uint64_t best = v[0];
    int at = 0;
    for (int s = 1; s < SymmetryCount; ++s) {
        const bool less = v[s] < best;
        best = less ? v[s] : best;
        at = less ? s : at;
    }
    hash_ = best;
    canonical_ = at;

    nextCode_ = NoMoveCode;
    if (!atEnd()) {
        const int e = g_.HandicapCount + moves_ + 1;
        const int pos = e >= 1 && e <= RecordCapacity ? g_.MovePos[e] : 0;
        if (pos == PassPos) {
            nextCode_ = PassCode;
        } else if (pos > 0 && pos < BoardCells && keys_->Code[at][pos] >= 0) {
            nextCode_ = keys_->Code[at][pos];
        }
    }
}

int MainLinePositions::nextPos() const {
    if (atEnd()) return 0;
    const int e = g_.HandicapCount + moves_ + 1;
    return e >= 1 && e <= RecordCapacity ? g_.MovePos[e] : 0;
}

void MainLinePositions::advance() {
    if (atEnd()) return;
    const int k = moves_ + 1;
    const int e = g_.HandicapCount + k;
    if (keys_ && e >= 1 && e <= RecordCapacity) {
        const int colour = g_.MoveColor[e];
        const int pos = g_.MovePos[e];
        const int n = g_.MoveCaptures[k];
        // A stone the move replaced (a record's illegal move) goes before the move's own
        // stone comes; every other one after it.
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 1 && pos != PassPos) put(pos, colour);
            for (int j = 1; j <= n && captured_ + j <= RecordCapacity; ++j) {
                const CapturedStone s = capturedStone(g_.CapturedPos[captured_ + j]);
                if (s.replaced == (pass == 0)) take(s.pos, s.own ? colour : 3 - colour);
            }
        }
        if (n > 0) captured_ += n;
    }
    moves_ = k;
    settle();
}

PositionKey MainLinePositions::key() const {
    if (!keys_) return {};
    return positionKey(g_.BoardSize, board_, sideToMove());
}

int firstPass(const GameState& g, const PositionKey& key) {
    if (!key.valid() || key.BoardSize != g.BoardSize) return -1;
    MainLinePositions walk(g);
    while (true) {
        if (walk.hash() == key.Hash) return walk.moves();
        if (walk.atEnd()) return -1;
        walk.advance();
    }
}

}  // namespace tavrin::library
