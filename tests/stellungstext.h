// The board as a FEN piece placement, written without trusting the engine's parser.
#pragma once
#include <string>

#include "board/board.h"

namespace kelpin::test {

inline constexpr const char* GRUNDSTELLUNG = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";

inline std::string platzierung() {
    std::string text;
    for (int k = 0, frei = 0; k < 64; ++k) {
        const int p = brett[(7 - k / 8) * 8 + k % 8 + 1];
        frei += p == leer;
        if (frei > 0 && (p != leer || k % 8 == 7)) text += static_cast<char>('0' + frei), frei = 0;
        if (p != leer) text += (p > 0 ? " PNBRQK" : " pnbrqk")[p > 0 ? p : -p];
        if (k % 8 == 7 && k < 63) text += '/';
    }
    return text;
}

}  // namespace kelpin::test
