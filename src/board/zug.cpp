// Making and unmaking a move of a move list. The record itself is the undo
// record, so the two must pair up last-in first-out with the record unchanged.
#include "board/board.h"
#include "movegen/movegen.h"

namespace kelpin {

namespace {

inline void schluessel_xor(uint64_t w0, uint64_t w1) {
    hashindex ^= w0;
    hashkennung2 ^= w0;
    hashkennung ^= w1;
}

// The key terms of a move by the full rule. Every term is an XOR, so the same
// update makes and unmakes. The promotion and castling terms are always
// applied (leer and flag 0 for ordinary moves, folded into zug_hin), and a
// Black move adds the side key (folded into zug_weg).
void schluessel_ziehen(const ZugEintrag& m) {
    const int p = m.figur + 6;
    const auto& ziel = zufall[m.nach];
    const auto& opfer = schlag_weg[m.nach][m.geschlagen + 6];
    schluessel_xor(zug_weg[m.von][p][0] ^ ziel[p][0] ^ ziel[m.neue_figur + 6][0] ^ ziel[m.rochade][0] ^ opfer[0],
                   zug_weg[m.von][p][1] ^ ziel[p][1] ^ ziel[m.neue_figur + 6][1] ^ ziel[m.rochade][1] ^ opfer[1]);
}

// Most moves are neither promotions nor castling (and the generators put
// leer into neue_figur for them): two entries give their keys, and the rest
// of the work stays out of the way, out of line.
inline bool gewoehnlich(const ZugEintrag& m) { return (m.umwandlung | m.rochade | m.neue_figur) == 0; }

inline void gewoehnlich_schluessel(const ZugEintrag& m) {
    const int p = m.figur + 6;
    const int g = m.geschlagen + 6;
    schluessel_xor(zug_weg[m.von][p][0] ^ zug_hin[m.nach][p][0] ^ schlag_weg[m.nach][g][0],
                   zug_weg[m.von][p][1] ^ zug_hin[m.nach][p][1] ^ schlag_weg[m.nach][g][1]);
}

[[gnu::noinline]] void besonders_ausf(const ZugEintrag& m) {
    brett[m.nach] = m.umwandlung == 1 ? m.neue_figur : m.figur;
    schluessel_ziehen(m);
    brett[m.von] = leer;
    if (m.rochade == 1 && (m.von == e1 || m.von == e8)) {
        if (m.nach == g1) {
            brett[f1] = wturm, brett[g1] = wkonig, brett[h1] = leer;
        } else if (m.nach == g8) {
            brett[f8] = sturm, brett[g8] = skonig, brett[h8] = leer;
        } else if (m.nach == c1) {
            brett[d1] = wturm, brett[c1] = wkonig, brett[a1] = leer;
        } else if (m.nach == c8) {
            brett[d8] = sturm, brett[c8] = skonig, brett[a8] = leer;
        }
    }
}

[[gnu::noinline]] void besonders_zur(const ZugEintrag& m) {
    brett[m.von] = m.figur;
    brett[m.nach] = m.geschlagen;
    schluessel_ziehen(m);
    if (m.rochade == 1 && (m.von == e1 || m.von == e8)) {
        if (m.nach == g1) {
            brett[e1] = wkonig, brett[h1] = wturm, brett[f1] = leer, brett[g1] = leer;
            h1_bewegt = 0, e1_bewegt = 0;
        } else if (m.nach == c1) {
            brett[a1] = wturm, brett[d1] = leer, brett[c1] = leer, brett[e1] = wkonig;
            a1_bewegt = 0, e1_bewegt = 0;
        } else if (m.nach == g8) {
            brett[e8] = skonig, brett[h8] = sturm, brett[f8] = leer, brett[g8] = leer;
            h8_bewegt = 0, e8_bewegt = 0;
        } else if (m.nach == c8) {
            brett[a8] = sturm, brett[d8] = leer, brett[c8] = leer, brett[e8] = skonig;
            a8_bewegt = 0, e8_bewegt = 0;
        }
    }
}

}  // namespace

void zugausf(int ply, int i) {
    const ZugEintrag& m = zug[ply][i];
    if (!gewoehnlich(m)) return besonders_ausf(m);
    brett[m.nach] = m.figur;
    brett[m.von] = leer;
    gewoehnlich_schluessel(m);
}

void zugzur(int ply, int i) {
    const ZugEintrag& m = zug[ply][i];
    if (!gewoehnlich(m)) return besonders_zur(m);
    brett[m.von] = m.figur;
    brett[m.nach] = m.geschlagen;
    gewoehnlich_schluessel(m);
}

}  // namespace kelpin
