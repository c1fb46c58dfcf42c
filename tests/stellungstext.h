// The board as a FEN piece placement, written out square by square with its
// own letters, so that a placement can be compared with a diagram text
// without trusting the engine's parser for the comparison.
#pragma once
#include <string>

#include "board/board.h"

namespace kelpin::test {

inline std::string platzierung() {
    static const char weiss[] = " PNBRQK";
    static const char schwarz[] = " pnbrqk";
    std::string text;
    for (int reihe = 8; reihe >= 1; --reihe) {
        int frei = 0;
        for (int linie = 1; linie <= 8; ++linie) {
            const int p = brett[(reihe - 1) * 8 + linie];
            if (p == leer) {
                ++frei;
                continue;
            }
            if (frei > 0) text += static_cast<char>('0' + frei);
            frei = 0;
            text += p > 0 ? weiss[p] : schwarz[-p];
        }
        if (frei > 0) text += static_cast<char>('0' + frei);
        if (reihe > 1) text += '/';
    }
    return text;
}

}  // namespace kelpin::test
