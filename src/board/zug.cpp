// Making and unmaking a move given by its record. The record itself is the undo
// record, so the two must pair up last-in first-out with the record unchanged.
// Beside them the board's summary (Lage), taken from brett or carried on by a
// move.
#include "board/board.h"

namespace kelpin {

namespace {

inline uint64_t feldbit(int s) { return uint64_t{1} << (s - 1); }

#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("popcnt")]] void lage_gezaehlt(Lage& l) { lage_fuellen<true>(l); }
[[gnu::target("avx2,bmi,bmi2,lzcnt,popcnt")]] void lage_breit(Lage& l) { lage_fuellen<true, true>(l); }

#else
void lage_gezaehlt(Lage& l) { lage_fuellen<false>(l); }
void lage_breit(Lage& l) { lage_fuellen<false>(l); }
#endif

}  // namespace

#if defined(__GNUC__) && defined(__x86_64__)
const bool zaehlbefehl = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") != 0;
}();
const bool breitbefehl = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
           __builtin_cpu_supports("abm") && __builtin_cpu_supports("popcnt");
}();
#else
const bool zaehlbefehl = false;
const bool breitbefehl = false;
#endif

void lage_aus_brett(Lage& l) {
    if (breitbefehl)
        lage_breit(l);
    else if (zaehlbefehl)
        lage_gezaehlt(l);
    else
        lage_fuellen<false>(l);
}

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

}  // namespace

void besonders_machen(const ZugEintrag& m) {
    brett[m.nach] = m.umwandlung == 1 ? m.neue_figur : m.figur;
    schluessel_ziehen(m);
    brett[m.von] = leer;
    if (m.rochade == 1) {
        if (const Turmzug t = rochade_turm(m.von, m.nach); t.von != 0) {
            brett[t.nach] = static_cast<int16_t>(t.turm);
            brett[t.von] = leer;
        }
    }
}

void besonders_nehmen(const ZugEintrag& m) {
    brett[m.von] = m.figur;
    brett[m.nach] = m.geschlagen;
    schluessel_ziehen(m);
    if (m.rochade == 1) {
        if (const Turmzug t = rochade_turm(m.von, m.nach); t.von != 0) {
            brett[t.von] = static_cast<int16_t>(t.turm);
            brett[t.nach] = leer;
            (t.von == h1 ? h1_bewegt : t.von == a1 ? a1_bewegt : t.von == h8 ? h8_bewegt : a8_bewegt) = 0;
            (m.von == e1 ? e1_bewegt : e8_bewegt) = 0;
        }
    }
}

void lage_nach_zug(const Lage& vor, const ZugEintrag& m, Lage& nach) {
    if (!gewoehnlicher_zug(m)) return lage_aus_brett(nach);
    nach = vor;
    const int p = m.figur + 6, g = m.geschlagen + 6;
    const uint64_t v = feldbit(m.von), n = feldbit(m.nach);
    nach.maske[p] ^= v | n;
    nach.maske[g] ^= n;  // the victim, or for a quiet move the empty square
    nach.maske[leer + 6] ^= v;
    nach.material -= figurenwert[g];
    --nach.anzahl[g];
    ++nach.anzahl[leer + 6];
    nach.leicht += lagewerte.leicht[p][m.nach] - lagewerte.leicht[p][m.von] - lagewerte.leicht[g][m.nach];
    nach.schwer += lagewerte.schwer[p][m.nach] - lagewerte.schwer[p][m.von] - lagewerte.schwer[g][m.nach];
}

}  // namespace kelpin
