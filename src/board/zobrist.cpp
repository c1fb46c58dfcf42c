// The three position keys: the random table, the from-scratch computation and
// the generator that fills the table.
#include <cstdlib>

#include "board/board.h"

namespace kelpin {

uint64_t zufall[65][13][2];
uint64_t hashindex;
uint64_t hashkennung;
uint64_t hashkennung2 = KENNUNG2_START;

// Four 15-bit draws of the unseeded generator: the table is the same in every
// run, which keeps searches repeatable.
uint64_t rand64() {
    const uint64_t r1 = static_cast<uint64_t>(rand());
    const uint64_t r2 = static_cast<uint64_t>(rand());
    const uint64_t r3 = static_cast<uint64_t>(rand());
    const uint64_t r4 = static_cast<uint64_t>(rand());
    return (r1 << 48) + (r2 << 32) + (r3 << 16) + r4;
}

int InitZobrist() {
    for (int s = 0; s <= 64; ++s)
        for (int p = 0; p < 13; ++p)
            for (int w = 0; w < 2; ++w) zufall[s][p][w] = rand64();
    return 0;
}

int InitStellung() {
    hashindex = 0;
    hashkennung = 0;
    hashkennung2 = KENNUNG2_START;
    for (int s = 1; s <= 64; ++s) {
        const int p = brett[s];
        if (p == leer) continue;
        hashindex ^= zufall[s][p + 6][0];
        hashkennung ^= zufall[s][p + 6][1];
        hashkennung2 ^= zufall[s][p + 6][0];
    }
    return 0;
}

}  // namespace kelpin
