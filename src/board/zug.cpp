// Making and unmaking a move given by its record. The record itself is the undo
// record, so the two must pair up last-in first-out with the record unchanged.
// Beside them the board's summary (Lage), taken from brett or carried on by a
// move.
#include <array>
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include "board/board.h"

namespace kelpin {

namespace {

// The piece-square values of the evaluation that depend on the square alone,
// by code + 6 and square: the minor-piece sum and the rook/queen/centre sum.
struct Lagewerte {
    std::array<std::array<int32_t, 65>, 13> leicht{}, schwer{};
};

constexpr Lagewerte lagewerte = [] {
    Lagewerte w;
    for (int s = 1; s <= 64; ++s) {
        w.leicht[wspringer + 6][s] = 3 * sfiguren_w[s];
        w.schwer[wspringer + 6][s] = zentrum[s];
        w.leicht[sspringer + 6][s] = 3 * sfiguren_s[s] - zentrum[s];
        w.leicht[wlaufer + 6][s] = 3 * lfiguren_w[s];
        w.schwer[wlaufer + 6][s] = zentrum[s];
        w.leicht[slaufer + 6][s] = 3 * lfiguren_s[s] - zentrum[s];
        w.schwer[wturm + 6][s] = tfiguren_w[s];
        w.schwer[sturm + 6][s] = tfiguren_s[s];
        w.schwer[wdame + 6][s] = dfiguren_w[s] + zentrum[s];
        w.schwer[sdame + 6][s] = dfiguren_s[s] - zentrum[s];
    }
    return w;
}();

#if defined(__SSE2__)
// The board as 64 bytes. The sign bit of each byte is the colour; its three
// low bits tell the kind (for Black as two's complement leaves them: -1 ...
// -6 end in 111, 110, ... 010), each moved in turn into the sign bit's
// place: four byte masks, the board's bit planes, give every code.
struct Bitebenen {
    uint64_t vorzeichen, b0, b1, b2;
};

inline Bitebenen bitebenen() {
    Bitebenen e{};
    for (int k = 0; k < 4; ++k) {
        const __m128i b = _mm_packs_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(brett + 1 + 16 * k)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(brett + 9 + 16 * k)));
        // Bit 7 of each byte as 16 bits, placed for squares 16k + 1 ... 16k + 16.
        const auto vorzeichen = [k](__m128i x) {
            return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(x))) << (16 * k);
        };
        e.vorzeichen |= vorzeichen(b);
        e.b0 |= vorzeichen(_mm_slli_epi16(b, 7));
        e.b1 |= vorzeichen(_mm_slli_epi16(b, 6));
        e.b2 |= vorzeichen(_mm_slli_epi16(b, 5));
    }
    return e;
}

#if defined(__GNUC__) && defined(__x86_64__)
// The same 32 squares at a time, for processors with the wide vector
// instructions: the packing works within 16-byte halves, so the middle two
// quarters are swapped back into square order.
[[gnu::target("avx2")]] inline uint64_t vorzeichen_breit(__m256i unten, __m256i oben) {
    return static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(unten))) |
           static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(oben))) << 32;
}

[[gnu::target("avx2")]] inline Bitebenen bitebenen_breit() {
    const __m256i* b = reinterpret_cast<const __m256i*>(brett + 1);  // 16 squares each
    const __m256i unten =
        _mm256_permute4x64_epi64(_mm256_packs_epi16(_mm256_loadu_si256(b), _mm256_loadu_si256(b + 1)), 0xD8);
    const __m256i oben =
        _mm256_permute4x64_epi64(_mm256_packs_epi16(_mm256_loadu_si256(b + 2), _mm256_loadu_si256(b + 3)), 0xD8);
    return {vorzeichen_breit(unten, oben),
            vorzeichen_breit(_mm256_slli_epi16(unten, 7), _mm256_slli_epi16(oben, 7)),
            vorzeichen_breit(_mm256_slli_epi16(unten, 6), _mm256_slli_epi16(oben, 6)),
            vorzeichen_breit(_mm256_slli_epi16(unten, 5), _mm256_slli_epi16(oben, 5))};
}
#endif
#endif

// One mask per piece code (index code + 6, bit s - 1 for square s), the
// empty squares at index 6. BREIT: with the wide vector instructions.
template <bool BREIT>
[[gnu::always_inline]] inline void figurenmasken(uint64_t (&m)[13]) {
#if defined(__SSE2__)
    Bitebenen e;
#if defined(__GNUC__) && defined(__x86_64__)
    if constexpr (BREIT)
        e = bitebenen_breit();
    else
#endif
        e = bitebenen();
    const uint64_t schwarz = e.vorzeichen, weiss = ~schwarz;
    const uint64_t b0 = e.b0, b1 = e.b1, b2 = e.b2;
    const uint64_t n0 = ~b0, n1 = ~b1, n2 = ~b2;
    const uint64_t x01 = n0 & b1, x11 = b0 & b1, x00 = n0 & n1, x10 = b0 & n1;  // bits 1 and 0
    m[wbauer + 6] = x10 & n2 & weiss, m[sbauer + 6] = x11 & b2 & schwarz;
    m[wspringer + 6] = x01 & n2 & weiss, m[sspringer + 6] = x01 & b2 & schwarz;
    m[wlaufer + 6] = x11 & n2 & weiss, m[slaufer + 6] = x10 & b2 & schwarz;
    m[wturm + 6] = x00 & b2 & weiss, m[sturm + 6] = x00 & b2 & schwarz;
    m[wdame + 6] = x10 & b2 & weiss, m[sdame + 6] = x11 & n2 & schwarz;
    m[wkonig + 6] = x01 & b2 & weiss, m[skonig + 6] = x01 & n2 & schwarz;
    m[leer + 6] = x00 & n2;
#else
    for (uint64_t& maske : m) maske = 0;
    for (int s = 1; s <= 64; ++s) m[brett[s] + 6] |= uint64_t{1} << (s - 1);
#endif
}

inline uint64_t feldbit(int s) { return uint64_t{1} << (s - 1); }

// The squares of a mask, counted eight bits at a time: for a processor
// without the counting instruction.
inline int zahl_der_felder(uint64_t m) {
    m -= (m >> 1) & 0x5555555555555555ull;
    m = (m & 0x3333333333333333ull) + ((m >> 2) & 0x3333333333333333ull);
    m = (m + (m >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((m * 0x0101010101010101ull) >> 56);
}

// ZB: with the processor's bit-count instruction; BREIT: with the wide
// vector instructions too.
template <bool ZB, bool BREIT = false>
[[gnu::always_inline]] inline void lage_fuellen(Lage& l) {
    figurenmasken<BREIT>(l.maske);
    // Knights, bishops, rooks and queens carry piece-square values and are
    // few: visited one by one. Pawns and kings carry none: only counted.
    int32_t leicht = 0, schwer = 0, material = 0;
    int figuren = 0;
    const auto zaehle = [&](int c, int n) {
        l.anzahl[c + 6] = static_cast<int8_t>(n);
        material += n * figurenwert[c + 6];
        figuren += n;
    };
    const auto besuche = [&](int c) {
        int n = 0;
        for (uint64_t q = l.maske[c + 6]; q != 0; ++n) {
            const int s = naechstes_feld(q);
            leicht += lagewerte.leicht[c + 6][s];
            schwer += lagewerte.schwer[c + 6][s];
        }
        zaehle(c, n);
    };
    besuche(wspringer), besuche(wlaufer), besuche(wturm), besuche(wdame);
    besuche(sspringer), besuche(slaufer), besuche(sturm), besuche(sdame);
    for (const int c : {wbauer, wkonig, sbauer, skonig})
        zaehle(c, ZB ? __builtin_popcountll(l.maske[c + 6]) : zahl_der_felder(l.maske[c + 6]));
    l.leicht = leicht;
    l.schwer = schwer;
    l.material = material;
    l.anzahl[leer + 6] = static_cast<int8_t>(64 - figuren);
}

#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("popcnt")]] void lage_gezaehlt(Lage& l) { lage_fuellen<true>(l); }
[[gnu::target("avx2,popcnt")]] void lage_breit(Lage& l) { lage_fuellen<true, true>(l); }

// Whether the processor has the wide vector instructions (and the counting
// one), checked at start-up.
const bool breitbefehl = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
}();
#else
void lage_gezaehlt(Lage& l) { lage_fuellen<false>(l); }
void lage_breit(Lage& l) { lage_fuellen<false>(l); }
constexpr bool breitbefehl = false;
#endif

}  // namespace

#if defined(__GNUC__) && defined(__x86_64__)
const bool zaehlbefehl = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") != 0;
}();
#else
const bool zaehlbefehl = false;
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
