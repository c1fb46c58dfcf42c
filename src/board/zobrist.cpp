// The three position keys: the random table, the from-scratch computation and
// the generator that fills the table.
#include <cstdlib>

#include "board/board.h"

namespace kelpin {

uint64_t zufall[65][13][2];
uint64_t hashindex;
uint64_t hashkennung;
uint64_t hashkennung2 = KENNUNG2_START;
uint64_t zug_weg[65][16][2];
uint64_t zug_hin[65][16][2];
uint64_t schlag_weg[65][16][2];
uint64_t rechte_kennung[16];
uint64_t ep_kennung[9];

namespace {

// One draw of the unseeded generator, cut to 0 ... 32767: the C library here
// returns up to 31 bits, and the four draws of a key must not overlap.
inline uint64_t zug15() { return static_cast<uint64_t>(rand()) & 0x7FFF; }

}  // namespace

// Four 15-bit draws: the table is the same in every run, which keeps searches
// repeatable. Bits 63, 47, 31 and 15 of every value stay 0.
uint64_t rand64() {
    const uint64_t r1 = zug15();
    const uint64_t r2 = zug15();
    const uint64_t r3 = zug15();
    const uint64_t r4 = zug15();
    return (r1 << 48) + (r2 << 32) + (r3 << 16) + r4;
}

int InitZobrist() {
    for (int s = 0; s <= 64; ++s)
        for (int p = 0; p < 13; ++p)
            for (int w = 0; w < 2; ++w) zufall[s][p][w] = rand64();
    for (int s = 0; s <= 64; ++s)
        for (int p = 0; p < 13; ++p)
            for (int w = 0; w < 2; ++w) {
                const uint64_t schwarz = p < leer + 6 ? zufall[SCHWARZ_SCHLUESSEL_FELD][leer + 6][w] : 0;
                zug_weg[s][p][w] = zufall[s][p][w] ^ schwarz;
                zug_hin[s][p][w] = zufall[s][p][w] ^ zufall[s][leer + 6][w] ^ zufall[s][0][w];
                schlag_weg[s][p][w] = p == leer + 6 ? 0 : zufall[s][p][w];
            }
    for (int r = 0; r < 16; ++r) {
        rechte_kennung[r] = 0;
        for (int b = 0; b < 4; ++b)
            if (r & (1 << b)) rechte_kennung[r] ^= zufall[0][1 + b][1];
    }
    for (int f = 1; f <= 8; ++f) ep_kennung[f] = zufall[0][4 + f][1];
    return 0;
}

int rochaderechte() {
    int r = 0;
    if (e1_bewegt == 0 && brett[e1] == wkonig) {
        if (h1_bewegt == 0 && brett[h1] == wturm) r |= RECHT_WK;
        if (a1_bewegt == 0 && brett[a1] == wturm) r |= RECHT_WD;
    }
    if (e8_bewegt == 0 && brett[e8] == skonig) {
        if (h8_bewegt == 0 && brett[h8] == sturm) r |= RECHT_SK;
        if (a8_bewegt == 0 && brett[a8] == sturm) r |= RECHT_SD;
    }
    return r;
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

uint64_t stellungskennung(int am_zug) {
    uint64_t k = am_zug == SCHWARZ ? schwarz_kennung() : 0;
    for (int s = 1; s <= 64; ++s)
        if (brett[s] != leer) k ^= zufall[s][brett[s] + 6][1];
    return k;
}

}  // namespace kelpin
