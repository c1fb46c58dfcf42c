// The static evaluation: the board's summary (Lage) brings material, piece
// counts, masks and the piece-square values; the terms that look at other
// squares are taken from the masks, the per-file facts from the masks and the
// pawn table; global terms and four lazy exits follow, then king safety
// (middlegame only) and the per-file pawn and rook terms. What the pawns alone
// decide is kept in a table by placement of the pawns.
#include "eval/eval.h"

#include <array>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace kelpin {

int32_t nrPIECES;
int32_t nrBAUERN;
int16_t eval_iwkonig;
int16_t eval_iskonig;
int64_t evals;

namespace {

// Everything the scan learns about the board and the later blocks read; the
// pawns' part comes from the pawn table.
struct Befund {
    int wk, bk, wq, bq;
    int nws, nss, nwl, nsl;  // knight and bishop counts, White and Black
    int belegte, bauern_n;   // occupied squares and pawns, as nrPIECES and nrBAUERN
    uint64_t wt, st;         // the rooks and queens of White and Black
    const Bauernbefund* bauern;
    const uint64_t* maske;  // the piece masks, by code + 6
};

// Squares as masks (bit s - 1 for square s): files, ranks and the edge ring.
constexpr uint64_t LINIE_A = 0x0101010101010101ull;
constexpr uint64_t LINIE_H = LINIE_A << 7;
constexpr uint64_t INNEN = ~(LINIE_A | LINIE_H);  // files b ... g
constexpr uint64_t REIHE_1 = 0xFFull;
constexpr uint64_t REIHE_8 = REIHE_1 << 56;
constexpr uint64_t REIHEN_1_2 = 0xFFFFull;
constexpr uint64_t REIHEN_1_4 = 0xFFFFFFFFull;
constexpr uint64_t RAND = LINIE_A | LINIE_H | REIHE_1 | REIHE_8;  // brettrand 1
constexpr uint64_t UNTER_H7 = (uint64_t{1} << 55) - 1;            // squares 1 ... 55

constexpr bool rand_stimmt() {
    for (int s = 1; s <= 64; ++s)
        if (((RAND >> (s - 1)) & 1) != (brettrand[s] == 1)) return false;
    return true;
}
static_assert(rand_stimmt());

// The squares of a mask: with the processor's counting instruction (ZB) or,
// where it has none, one square at a time (they are few here). The
// evaluation is compiled both ways and the way is chosen at start-up.
template <bool ZB>
[[gnu::always_inline]] inline int bits(uint64_t m) {
    if constexpr (ZB) {
        return __builtin_popcountll(m);
    } else {
        int n = 0;
        for (; m != 0; m &= m - 1) ++n;
        return n;
    }
}

// The highest square of a mask, 0 for none: the scan's "last met".
inline int hoechstes_feld(uint64_t m) { return m == 0 ? 0 : 64 - __builtin_clzll(m); }

// The squares of the files of a file set (bit f for file f).
inline uint64_t felder_der_linien(unsigned linien) { return ((linien >> 1) & 0xFF) * LINIE_A; }

// The squares of file l; file 0 (a missing piece's) has none.
constexpr auto linie_maske = [] {
    std::array<uint64_t, 9> m{};
    for (int l = 1; l <= 8; ++l) m[l] = LINIE_A << (l - 1);
    return m;
}();

template <bool ZB>
[[gnu::always_inline]] inline int auf_linie(uint64_t m, int l) {
    return bits<ZB>(m & linie_maske[l]);
}

constexpr unsigned RANDLINIEN = 1u << 1 | 1u << 8;

// Five partial sums: material, minor pieces, rooks/queens/centre, pawns and
// king safety. Only the final combination halves L, T and B.
struct Summen {
    int M, L, T, B, K;
};

// Visits the files of a mask (bit f for file f), lowest first.
template <typename F>
inline void je_linie(unsigned maske, F&& tue) {
    for (; maske != 0; maske &= maske - 1) tue(__builtin_ctz(maske));
}

// A pawn is isolated without own pawns on the neighbour files, passed
// without enemy pawns on its own file and the neighbour files (bit f of each
// mask stands for file f).
inline unsigned isoliert(unsigned eigene) { return eigene & ~((eigene << 1) | (eigene >> 1)); }
inline unsigned frei(unsigned eigene, unsigned fremde) { return eigene & ~(fremde | (fremde << 1) | (fremde >> 1)); }

// Step 6 by the number of pawns on the board.
constexpr auto bauernzahl_wert = [] {
    std::array<int8_t, 65> w{};
    w[10] = 15, w[8] = 25, w[12] = 5;
    return w;
}();

// The number of files in a set of eight (bit f - 1 for file f).
constexpr auto linien_zahl = [] {
    std::array<int8_t, 256> z{};
    for (int m = 1; m < 256; ++m) z[m] = static_cast<int8_t>(z[m >> 1] + (m & 1));
    return z;
}();

// The pawns king safety asks about, as bits of Bauernbefund::schild: each
// question's answer for the pawns alone, so that the board is not read for
// them in every evaluation. A board without pawns answers every one with 0.
enum Schild : uint16_t {
    F2 = 1,                // a White pawn on f2
    F7 = 2,                // a Black pawn on f7
    G3_H2 = 4,             // White pawns on g3 and h2
    G3 = 8,                // a White pawn on g3
    B3 = 16,               // a White pawn on b3
    G6_H7 = 32,            // Black pawns on g6 and h7
    G6 = 64,               // a Black pawn on g6
    B6 = 128,              // a Black pawn on b6
    W_KURZ_DICHT = 256,    // White pawns on g2 or g3, and on h2
    W_LANG_DICHT = 512,    // White pawns on b2, c2 or c3, and a2
    S_LANG_DICHT = 1024,   // Black pawns on b7, c7 or c6, and a7
    G7_H7 = 2048,          // Black pawns on g7 and h7
};

// The pawn table: one entry per slot, the slot chosen from both pawn masks,
// replaced whenever another placement of the pawns needs the slot. Pawns
// move seldom against everything else, so most evaluations find their
// pawns here. The table starts all zero, which is the right entry for a
// board without pawns, the only placement whose masks are zero.
inline constexpr int BAUERN_BITS = 12;
Bauernbefund bauerntabelle[1 << BAUERN_BITS];

inline Bauernbefund& bauernplatz(uint64_t weiss, uint64_t schwarz) {
    const uint64_t h = weiss * 0x9E3779B97F4A7C15ull ^ schwarz * 0xC2B2AE3D27D4EB4Full;
    return bauerntabelle[h >> (64 - BAUERN_BITS)];
}

// The file set (bit f for file f) of a mask's squares.
inline unsigned linien_von(uint64_t m) {
    m |= m >> 32;
    m |= m >> 16;
    m |= m >> 8;
    return static_cast<unsigned>(m & 0xFF) << 1;
}

// The squares above a mask's squares on their files.
inline uint64_t ueber(uint64_t m) {
    m <<= 8;
    m |= m << 8;
    m |= m << 16;
    return m | m << 32;
}

// The pawns' part of the scan and of the per-file terms, squares ascending
// as the scan visits them, so the last White pawn met on a file is its most
// advanced and the last Black one its least advanced.
void bauern_auswerten(uint64_t weiss, uint64_t schwarz, Bauernbefund& p) {
    memset(&p, 0, sizeof p);
    p.weiss = weiss;
    p.schwarz = schwarz;
    int B = 0, anzahl_w = 0, anzahl_s = 0;
    for (uint64_t q = weiss; q != 0; ++anzahl_w) {
        const int s = naechstes_feld(q);
        const int linie = i_linie[s];
        p.rW[linie] = static_cast<int8_t>(i_reihe[s]);
        ++p.nW[linie];
        B += 2 * bfiguren_w[s];
    }
    for (uint64_t q = schwarz; q != 0; ++anzahl_s) {
        const int s = naechstes_feld(q);
        const int linie = i_linie[s];
        p.rB[linie] = static_cast<int8_t>(i_reihe[s]);
        ++p.nB[linie];
        B += 2 * bfiguren_s[s] - zentrum[s];
    }
    p.anzahl_w = static_cast<int16_t>(anzahl_w);
    p.anzahl_s = static_cast<int16_t>(anzahl_s);
    p.B = B;
    // The files with pawns, and those with two or more: a pawn with an own
    // pawn below it on its file.
    const unsigned wd = linien_von(weiss), sd = linien_von(schwarz);
    const unsigned wdd = linien_von(weiss & ueber(weiss)), sdd = linien_von(schwarz & ueber(schwarz));
    p.wdatei = static_cast<uint16_t>(wd);
    p.sdatei = static_cast<uint16_t>(sd);
    p.wiso = static_cast<uint16_t>(isoliert(wd));
    p.siso = static_cast<uint16_t>(isoliert(sd));

    // Isolated pawns, worse the further back they stand; doubled pawns,
    // worse again on a file without enemy pawns.
    je_linie(p.wiso, [&](int l) { p.struktur -= 9 * (9 - p.rW[l]); });
    je_linie(p.siso, [&](int l) { p.struktur += 9 * p.rB[l]; });
    je_linie(wdd, [&](int l) {
        const int n = p.nW[l];
        p.struktur -= n == 2 ? 27 : (n == 3 ? 83 : 40 * n);
        if (!((sd >> l) & 1)) p.struktur -= 33;
    });
    je_linie(sdd, [&](int l) {
        const int n = p.nB[l];
        p.struktur += n == 2 ? 27 : (n == 3 ? 83 : 40 * n);
        if (!((wd >> l) & 1)) p.struktur += 33;
    });

    // Passed pawns, less on the edge.
    je_linie(frei(wd, sd), [&](int l) {
        const int c1 = (l == 1 || l == 8) ? 2 : 9;
        const int c2 = l == 1 ? 3 : (l == 8 ? 2 : 10);
        p.frei += 35 + c1 * p.rW[l];
        p.frei_wenige += c2 * p.rW[l];
    });
    je_linie(frei(sd, wd), [&](int l) {
        const int c1 = (l == 1 || l == 8) ? 2 : 9;
        const int c2 = l == 1 ? 3 : (l == 8 ? 2 : 10);
        p.frei -= 35 + c1 * (9 - p.rB[l]);
        p.frei_wenige -= c2 * (9 - p.rB[l]);
    });

    // The pawn count's term, and what the piece and file terms ask of the
    // pawns: the squares, the file sets and the half-open files' own term.
    p.B += bauernzahl_wert[p.anzahl_w + p.anzahl_s];
    p.w_stuetze = INNEN & ~REIHEN_1_4 & ((weiss << 9) | (weiss << 7));
    p.s_stuetze = INNEN & REIHEN_1_4 & ((schwarz >> 9) | (schwarz >> 7));
    p.w_schraeg = INNEN & ((weiss >> 7) | (weiss >> 9));
    p.s_schraeg = INNEN & ((schwarz << 7) | (schwarz << 9));
    p.halboffen = 13 * (linien_zahl[(sd & ~wd) >> 1 & 0xFF] - linien_zahl[(wd & ~sd) >> 1 & 0xFF]);
    p.halb_w = felder_der_linien(sd & ~wd);
    p.halb_s = felder_der_linien(wd & ~sd);
    p.mit_bauern = felder_der_linien(wd | sd);
    const unsigned s_ziel = p.siso & ~wd, w_ziel = p.wiso & ~sd;
    p.iso_s_rand = felder_der_linien(s_ziel & RANDLINIEN);
    p.iso_s_innen = felder_der_linien(s_ziel & ~RANDLINIEN);
    p.iso_w_rand = felder_der_linien(w_ziel & RANDLINIEN);
    p.iso_w_innen = felder_der_linien(w_ziel & ~RANDLINIEN);

    const auto w = [weiss](int f) { return static_cast<unsigned>(weiss >> (f - 1)) & 1; };
    const auto b = [schwarz](int f) { return static_cast<unsigned>(schwarz >> (f - 1)) & 1; };
    p.schild = static_cast<uint16_t>(
        w(f2) * F2 | b(f7) * F7 | (w(g3) & w(h2)) * G3_H2 | w(g3) * G3 | w(b3) * B3 | (b(g6) & b(h7)) * G6_H7 |
        b(g6) * G6 | b(b6) * B6 | ((w(g2) | w(g3)) & w(h2)) * W_KURZ_DICHT |
        (w(b2) & (w(c2) | w(c3)) & w(a2)) * W_LANG_DICHT | (b(b7) & (b(c7) | b(c6)) & b(a7)) * S_LANG_DICHT |
        (b(g7) & b(h7)) * G7_H7);
}

inline const Bauernbefund& bauern_von(uint64_t weiss, uint64_t schwarz) {
    Bauernbefund& p = bauernplatz(weiss, schwarz);
    if (p.weiss != weiss || p.schwarz != schwarz) bauern_auswerten(weiss, schwarz, p);
    return p;
}

inline int rang(int s) { return i_reihe[s]; }

// What each square means to a king standing on it: the wings of the pawn
// storm and shelter rules (each king is asked only about its own), and the
// score of step 11 for a White and for a Black king.
enum Zone : uint8_t {
    W_LANG = 1,   // c2, c1, b1
    W_LANG4 = 2,  // a1, b1, c1, c2
    W_KURZ = 4,   // g1, h1, h2, g2
    W_C1B1 = 8,
    S_KURZ = 16,   // g8, h8, h7, g7
    S_LANG = 32,   // c7, c8, b8
    S_LANG4 = 64,  // a8, b8, c8, c7
    S_C8B8 = 128,
};
struct Koenigsfeld {
    uint8_t zone;
    int8_t wert_w, wert_s;
};
constexpr auto koenigsfelder = [] {
    std::array<Koenigsfeld, 65> z{};
    auto setze = [&z](std::initializer_list<int> felder, uint8_t zone) {
        for (const int s : felder) z[s].zone |= zone;
    };
    setze({c2, c1, b1}, W_LANG), setze({a1, b1, c1, c2}, W_LANG4), setze({g1, h1, h2, g2}, W_KURZ);
    setze({c1, b1}, W_C1B1);
    setze({g8, h8, h7, g7}, S_KURZ), setze({c7, c8, b8}, S_LANG), setze({a8, b8, c8, c7}, S_LANG4);
    setze({c8, b8}, S_C8B8);
    z[f1].wert_w = -37, z[e1].wert_w = -25, z[e2].wert_w = -30, z[f2].wert_w = -50, z[d1].wert_w = -31;
    z[d2].wert_w = -33;
    z[e8].wert_s = 25, z[f8].wert_s = 37, z[e7].wert_s = 30, z[f7].wert_s = 50, z[d8].wert_s = 31, z[d7].wert_s = 33;
    return z;
}();

// The rules of steps 8 and 12 that a pair of king squares brings into play,
// by the White king's wing bits (the low four of its zone) and the Black
// king's (the high four): the pawn storms that apply, and the wings whose
// shelter is asked about, as the low four bits of an index of schutzwert.
enum Sturm : uint8_t {
    STURM_S_KURZ = 1,  // White, castled long, storms a Black king castled short
    STURM_W_KURZ = 2,  // Black, castled long, storms a White king castled short
    STURM_S_LANG = 4,  // White, castled short, storms a Black king castled long
    STURM_W_LANG = 8,  // Black, castled short, storms a White king castled long
};
struct Koenigsregel {
    uint8_t sturm, schutz;
};
constexpr auto koenigsregeln = [] {
    std::array<Koenigsregel, 256> r{};
    for (int i = 0; i < 256; ++i) {
        const bool w_lang = i & W_LANG, w_lang4 = i & W_LANG4, w_kurz = i & W_KURZ;
        const bool s_kurz = i & S_KURZ, s_lang = i & S_LANG, s_lang4 = i & S_LANG4;
        r[i].sturm = static_cast<uint8_t>((w_lang && s_kurz) * STURM_S_KURZ | (s_lang && w_kurz) * STURM_W_KURZ |
                                          (w_kurz && s_lang4) * STURM_S_LANG | (s_kurz && w_lang4) * STURM_W_LANG);
        r[i].schutz = static_cast<uint8_t>(w_kurz * 1 | ((i & W_C1B1) != 0) * 2 | ((i & S_C8B8) != 0) * 4 | s_kurz * 8);
    }
    return r;
}();

static_assert((W_LANG | W_LANG4 | W_KURZ | W_C1B1) == 0x0F && (S_KURZ | S_LANG | S_LANG4 | S_C8B8) == 0xF0);
static_assert(W_KURZ_DICHT == 16 << 4 && W_LANG_DICHT == 32 << 4 && S_LANG_DICHT == 64 << 4 && G7_H7 == 128 << 4);

// Step 12 by the wings asked about (low four bits, as Koenigsregel::schutz)
// and the pawns' answers (high four: W_KURZ_DICHT, W_LANG_DICHT,
// S_LANG_DICHT and G7_H7 of Bauernbefund::schild, shifted down by 4).
constexpr auto schutzwert = [] {
    std::array<int8_t, 256> w{};
    for (int i = 0; i < 256; ++i) {
        int k = 0;
        if ((i & 1) && (i & 16)) k += 47;
        if (i & 2) k += (i & 32) ? 40 : -5;
        if (i & 4) k += (i & 64) ? -40 : 5;
        if ((i & 8) && !(i & 128)) k += 35;
        w[i] = static_cast<int8_t>(k);
    }
    return w;
}();

// Step 3 by the rank of the king that walked out (rank 0: no king).
constexpr int AUSFLUG_SCHWARZ[9] = {200, 200, 200, 200, 130, 70, 55, 0, 0};
constexpr int AUSFLUG_WEISS[9] = {0, 0, 0, 55, 70, 130, 200, 200, 200};

// Distance d of an attacker to the enemy king: within 5 it earns the table's
// value, within 2 it also counts as a near attacker. A missing piece or
// king has square 0 and distance 0: one near attacker, no value. Kept as
// value * 256 + near, so that a side's attackers are summed without a
// branch; the low byte of the sum counts the near ones.
constexpr auto naehe_tabelle(std::array<int, 6> wert) {
    std::array<int32_t, 8> t{};
    for (int d = 0; d <= 5; ++d) t[d] = wert[d] * 256 + (d <= 2);
    return t;
}
constexpr auto SPRINGER_NAEHE = naehe_tabelle({0, 40, 58, 35, 25, 15});
constexpr auto LAEUFER_NAEHE = naehe_tabelle({0, 55, 60, 45, 20, 6});
constexpr auto DAMEN_NAEHE = naehe_tabelle({0, 85, 60, 45, 15, 10});

inline bool auf(int s, int figur) { return brett[s] == figur; }

// Pawn storm against a king on the other wing: per file weight x (7 - d),
// d measured from the king to the square numbered like the storming side's
// pawn count on that file.
inline int bauernsturm(int koenig, const int8_t (&anzahl)[9], int f1, int f2, int f3, int w1, int w2, int w3) {
    return w1 * (7 - distance[koenig][anzahl[f1]]) + w2 * (7 - distance[koenig][anzahl[f2]]) +
           w3 * (7 - distance[koenig][anzahl[f3]]);
}

template <bool ZB>
[[gnu::always_inline]] inline void koenigssicherheit(const Befund& f, Summen& z) {
    int aW = 0, aB = 0;  // the attackers' sums as the near tables give them
    int& K = z.K;
    int& L = z.L;

    // 1. Uncastled king without its f-pawn.
    const Bauernbefund& p = *f.bauern;
    const unsigned schild = p.schild;
    if (f.bk == e8 && !(schild & F7)) K += 15;
    if (f.wk == e1 && !(schild & F2)) K -= 15;

    // 2./3. Knights: edge, in front of an own pawn, blockading an enemy pawn,
    //       near the enemy king.
    const uint64_t* const m = f.maske;
    const uint64_t wp = m[wbauer + 6], bp = m[sbauer + 6];
    const uint64_t wn = m[wspringer + 6], bn = m[sspringer + 6];
    const uint64_t wl = m[wlaufer + 6], sl = m[slaufer + 6];
    //       Each side's block scores nothing without such a piece, and is
    //       passed over then (here and below).
    if (wn != 0) {
        L -= 15 * bits<ZB>(wn & RAND) + 3 * bits<ZB>(wn & (wp << 8));
        for (uint64_t q = wn & (bp >> 8); q != 0;) L += 17 * (8 - rang(naechstes_feld(q)));
        for (uint64_t q = wn; q != 0;) aW += SPRINGER_NAEHE[distance[naechstes_feld(q)][f.bk]];
    }
    if (bn != 0) {
        L += 15 * bits<ZB>(bn & RAND) + 3 * bits<ZB>(bn & (bp >> 8));
        for (uint64_t q = bn & (wp << 8); q != 0;) L -= 17 * (rang(naechstes_feld(q)) - 1);
        for (uint64_t q = bn; q != 0;) aB += SPRINGER_NAEHE[distance[naechstes_feld(q)][f.wk]];
    }

    // 4./5. Bishops: edge, hemmed in by own pawns (seen from below the last
    //       rank; the neighbours of an a- or h-file bishop wrap to the other
    //       edge, as the squares' numbers do), near the enemy king.
    if (wl != 0) {
        L -= 13 * (bits<ZB>(wl & RAND) + bits<ZB>(wl & ~REIHE_8 & (wp >> 7)) +
                   bits<ZB>(wl & ~REIHE_8 & (wp >> 9))) +
             30 * bits<ZB>(wl & (wp << 8));
        for (uint64_t q = wl; q != 0;) aW += LAEUFER_NAEHE[distance[naechstes_feld(q)][f.bk]];
    }
    if (sl != 0) {
        L += 13 * (bits<ZB>(sl & RAND) + bits<ZB>(sl & ~REIHE_1 & (bp << 7)) +
                   bits<ZB>(sl & ~REIHE_1 & (bp << 9))) +
             30 * bits<ZB>(sl & (bp >> 8));
        for (uint64_t q = sl; q != 0;) aB += LAEUFER_NAEHE[distance[naechstes_feld(q)][f.wk]];
    }

    // 6./7. Queens near the king, then the attack mass.
    aW += DAMEN_NAEHE[distance[f.wq][f.bk]];
    aB += DAMEN_NAEHE[distance[f.bq][f.wk]];
    K += (aW >> 8) - (aB >> 8);
    const int nah_w = aW & 255, nah_b = aB & 255;
    if (nah_w > 2) K += 30 * nah_w;
    if (nah_b > 2) K -= 30 * nah_b;

    // 8. Pawn storms against kings castled on opposite wings.
    const int wk = f.wk, bk = f.bk;
    const Koenigsregel regel = koenigsregeln[(koenigsfelder[wk].zone & 0x0F) | (koenigsfelder[bk].zone & 0xF0)];
    if (regel.sturm != 0) [[unlikely]] {
        if (regel.sturm & STURM_S_KURZ) K += bauernsturm(bk, p.nW, 6, 7, 8, 8, 9, 9);
        if (regel.sturm & STURM_W_KURZ) K -= bauernsturm(wk, p.nB, 6, 7, 8, 8, 9, 9);
        if (regel.sturm & STURM_S_LANG) K += bauernsturm(bk, p.nW, 1, 2, 3, 9, 8, 8);
        if (regel.sturm & STURM_W_LANG) K -= bauernsturm(wk, p.nB, 1, 2, 3, 9, 8, 8);
    }

    // 9. King left in the centre with its rook moved over.
    if (wk == e1 && (auf(g1, wturm) || auf(f1, wturm))) K -= 40;
    if (bk == e8 && (auf(g8, sturm) || auf(f8, sturm))) K += 40;

    // 10. Fianchetto holes (none without a pawn on g3, b3, g6 or b6).
    if (schild & (G3_H2 | G3 | B3 | G6_H7 | G6 | B6)) {
        if ((schild & G3_H2) && !auf(g2, wlaufer)) L -= 18;
        if ((schild & G3) && f.nwl == 0) L -= 8;
        if ((schild & B3) && f.nwl == 0) L -= 5;
        if ((schild & G6_H7) && !auf(g7, slaufer)) L += 18;
        if ((schild & G6) && f.nsl == 0) L += 8;
        if ((schild & B6) && f.nsl == 0) L += 5;
    }

    // 11. King squares.
    K += koenigsfelder[wk].wert_w + koenigsfelder[bk].wert_s;

    // 12. Pawn shelters (the four rules are not mirror images).
    K += schutzwert[regel.schutz | (schild >> 4 & 0xF0)];

    // 13. Open files at the kings.
    const int lw = i_linie[wk];
    if ((f.st & linie_maske[lw]) != 0 && p.nB[lw] == 0) {
        K -= 41;
        if (p.nW[lw] == 0) K -= 67;
    }
    const int ls = i_linie[bk];
    if ((f.wt & linie_maske[ls]) != 0 && p.nW[ls] == 0) {
        K += 41;
        if (p.nB[ls] == 0) K += 67;
    }
}

// The per-file terms, each visiting only the files it can score on: a file
// without pawns, rooks and queens scores nothing. The pawns' own terms come
// ready from the pawn table.
template <bool ZB>
[[gnu::always_inline]] inline void linien(const Befund& f, Summen& z) {
    int& B = z.B;
    int& T = z.T;
    const Bauernbefund& p = *f.bauern;
    const unsigned W = p.wdatei, S = p.sdatei;

    // 1. Unstoppable pawns in pawn endings: the enemy king is behind the
    //    pawn or outside its square.
    if (f.bauern_n + 2 == f.belegte) {
        const int rang_bk = i_reihe[f.bk], linie_bk = i_linie[f.bk];
        const int rang_wk = i_reihe[f.wk], linie_wk = i_linie[f.wk];
        je_linie(frei(W, S), [&](int l) {
            const int r = p.rW[l];
            if (r >= rang_bk + 2 || !(9 - r > std::abs(l - linie_bk + 2))) B += 100 + 30 * r;
        });
        je_linie(frei(S, W), [&](int l) {
            const int r = p.rB[l];
            if (r <= rang_wk - 2 || !(r > std::abs(l - linie_wk - 2))) B -= 100 + 30 * (9 - r);
        });
    }

    // 2.-5. Isolated and doubled pawns.
    B += p.struktur;

    // 6. Passed pawns, once the board has thinned out.
    if (f.belegte <= 20) {
        B += p.frei;
        if (f.belegte <= 8) B += p.frei_wenige;
    }

    // 7. Half-open and open files, by file and by rook or queen on them; the
    //    half-open bonus comes even without a rook or queen to use it.
    T += p.halboffen + 23 * (bits<ZB>(f.wt & p.halb_w) - bits<ZB>(f.st & p.halb_s)) +
         22 * (bits<ZB>(f.wt & ~p.mit_bauern) - bits<ZB>(f.st & ~p.mit_bauern));

    // 8. Heavy pieces against isolated pawns, less on the edge files.
    T += 12 * (bits<ZB>(f.wt & p.iso_s_rand) - bits<ZB>(f.st & p.iso_w_rand)) +
         16 * (bits<ZB>(f.wt & p.iso_s_innen) - bits<ZB>(f.st & p.iso_w_innen));

    // 9. Files of the kings (a missing king has file 0, which holds nothing).
    if (f.belegte > 15) {
        const int lb = i_linie[f.bk];
        if (p.nW[lb] == 0) {
            const int n = auf_linie<ZB>(f.wt, lb);
            T += 21 * n;
            if (p.nB[lb] == 0) T += 42 * n;
        }
        const int lw = i_linie[f.wk];
        if (p.nB[lw] == 0) {
            const int n = auf_linie<ZB>(f.st, lw);
            T -= 21 * n;
            if (p.nW[lw] == 0) T -= 42 * n;
        }
    }

    // 10. Files of the queens (a missing queen matches no file).
    const int lsq = i_linie[f.bq], lwq = i_linie[f.wq];
    if (p.nW[lsq] == 0 && (f.wt & linie_maske[lsq]) != 0) T += 12;
    if (p.nB[lwq] == 0 && (f.st & linie_maske[lwq]) != 0) T -= 12;
}

// What the latest evaluation found on its way, exit by exit. Every sum
// there depends on the board alone; only which exit is taken depends on the
// window. `stufe` says how far the latest call got: 1 it stopped at step 1
// or 2, 8 at step 8, 11 at step 10 or 11, 13 at step 13, 15 it went through.
struct Zwischenstand {
    int M, belegte, bauern, wk, bk;
    int stufe;
    int summe8, rueck8;  // step 8: the sum tested and the sum returned
    int rueck10, rueck11;
    int summe13;
    int ende;
};
Zwischenstand stand;

#ifndef NDEBUG
// The board the latest evaluation saw, for eval_nochmals' precondition.
int16_t bewertetes_brett[BRETTGROESSE];
inline void brett_merken() { memcpy(bewertetes_brett, brett, sizeof brett); }
inline bool brett_unveraendert() { return memcmp(bewertetes_brett, brett, sizeof brett) == 0; }
#else
inline void brett_merken() {}
#endif

}  // namespace

template <bool ZB>
[[gnu::always_inline]] inline int bewerten(const Lage& lage, int alpha, int beta) {
    ++evals;
    brett_merken();
    Befund f;
    Summen z{};
    int& M = z.M;
    int& L = z.L;
    int& T = z.T;
    int& B = z.B;
    int& K = z.K;

    // The board's summary gives material, counts and the piece-square values,
    // all that the first two exits need; the terms that look at other
    // squares come from the masks, the pawns' part from the pawn table.
    const uint64_t* const m = lage.maske;
    M = lage.material;
    f.wk = hoechstes_feld(m[wkonig + 6]);
    f.bk = hoechstes_feld(m[skonig + 6]);
    const int belegte = 64 - lage.anzahl[leer + 6];
    const int bauern = lage.anzahl[wbauer + 6] + lage.anzahl[sbauer + 6];
    eval_iwkonig = static_cast<int16_t>(f.wk);
    eval_iskonig = static_cast<int16_t>(f.bk);
    nrBAUERN = bauern;
    nrPIECES = belegte;
    if (f.wk == 0 || f.bk == 0) printf("BUH!");
    stand.M = M;
    stand.belegte = belegte;
    stand.bauern = bauern;
    stand.wk = f.wk;
    stand.bk = f.bk;
    stand.stufe = 1;

    // 1./2. Hopeless on material alone, or bare kings.
    if (M <= alpha - 100) return M;
    if (belegte == 2) return 0;

    const uint64_t wp = m[wbauer + 6], bp = m[sbauer + 6];
    const uint64_t wn = m[wspringer + 6], bn = m[sspringer + 6];
    const uint64_t wl = m[wlaufer + 6], sl = m[slaufer + 6];
    const uint64_t wt = m[wturm + 6] | m[wdame + 6], st = m[sturm + 6] | m[sdame + 6];
    const uint64_t weiss = wp | wn | wl | wt | m[wkonig + 6];
    const uint64_t schwarz = bp | bn | sl | st | m[skonig + 6];
    const Bauernbefund& bauernteil = bauern_von(wp, bp);
    f.bauern = &bauernteil;
    f.maske = m;
    f.belegte = belegte;
    f.bauern_n = bauern;
    L = lage.leicht;
    T = lage.schwer;
    B = bauernteil.B;
    f.nws = lage.anzahl[wspringer + 6];
    f.nss = lage.anzahl[sspringer + 6];
    f.nwl = lage.anzahl[wlaufer + 6];
    f.nsl = lage.anzahl[slaufer + 6];

    // Knights off the edge files backed by a pawn diagonally behind them
    // (White from the fifth rank up, Black from the fourth down).
    for (uint64_t q = wn & bauernteil.w_stuetze; q != 0;) L += 5 * rang(naechstes_feld(q));
    for (uint64_t q = bn & bauernteil.s_stuetze; q != 0;) L -= 5 * (9 - rang(naechstes_feld(q)));
    // Bishops off the edge files with an own pawn diagonally ahead, and
    // bishops right in front of an own pawn (White above its second rank,
    // Black below h7).
    if ((wl | sl) != 0) {  // nothing to score without bishops
        L -= 8 * bits<ZB>(wl & bauernteil.w_schraeg) + 16 * bits<ZB>(wl & ~REIHEN_1_2 & (wp << 8));
        L += 8 * bits<ZB>(sl & bauernteil.s_schraeg);
        for (uint64_t q = sl & UNTER_H7 & (bp >> 8); q != 0;) L += 5 * (9 - rang(naechstes_feld(q)));
    }
    // Rooks off the edge files between two pieces of their own side.
    T += 18 * (bits<ZB>(m[sturm + 6] & INNEN & (schwarz << 1) & (schwarz >> 1)) -
               bits<ZB>(m[wturm + 6] & INNEN & (weiss << 1) & (weiss >> 1)));
    // The highest queen of each side.
    f.wt = wt;
    f.st = st;
    f.wq = hoechstes_feld(m[wdame + 6]);
    f.bq = hoechstes_feld(m[sdame + 6]);

    // 3. A king walking out early while the enemy queen is on the board.
    if (belegte > 20) {
        if (f.wq != 0) K += AUSFLUG_SCHWARZ[i_reihe[f.bk]];
        if (f.bq != 0) K -= AUSFLUG_WEISS[i_reihe[f.wk]];
    }

    // 4.-7. Bishop pair, knights in closed positions, a king's bishop shut
    //       in by its own queen (the pawn count's term came with B).
    if (f.nwl == 2) L += 33;
    if (f.nsl == 2) L -= 33;
    if (bauern > 9) {
        if (f.nws > 0) L += 10;
        if (f.nss > 0) L -= 10;
    }
    if (auf(f8, slaufer) && auf(e7, sdame)) L += 20;
    if (auf(f1, wlaufer) && auf(e2, wdame)) L -= 20;

    // 8. Lazy exit above the window.
    stand.summe8 = M + L + K + B + T;
    stand.rueck8 = M + L + B + T;
    stand.stufe = 8;
    if (M + L + K + B + T >= beta + 100) return M + L + B + T;

    // 9. Endgame: kings belong in the centre, away from the edge.
    if (belegte <= 13) {
        K += 6 * zentrum[f.wk] - 6 * zentrum[f.bk];
        if (belegte <= 8) {
            K += 3 * zentrum[f.wk] - 3 * zentrum[f.bk];
            if (belegte <= 5) {
                if (brettrand[f.wk] == 1) K -= 50;
                else if (brettrand[f.wk] == 2) K -= 25;
                if (brettrand[f.bk] == 1) K += 50;
                else if (brettrand[f.bk] == 2) K += 25;
            }
        }
    }

    // 10./11. Lazy exits.
    stand.rueck10 = M + L + T + K;
    stand.rueck11 = M + K;
    stand.stufe = 11;
    if (M + L + T + K >= beta + 100) return M + L + T + K;
    if (M + K < alpha - 100) return M + K;

    // 12./13. King safety in the middlegame, then the last lazy exit.
    if (belegte > 13) koenigssicherheit<ZB>(f, z);
    const int S = M + K + L;
    stand.summe13 = S;
    stand.stufe = 13;
    if (S > beta + 150 || S < alpha - 150) return S;

    // 14./15. Pawn structure and files, then the halved combination.
    linien<ZB>(f, z);
    stand.ende = M + K + L / 2 + T / 2 + B / 2;
    stand.stufe = 15;
    return stand.ende;
}

namespace {

// The evaluation with the counting instruction, for processors that have it
// (most x86-64 ones since about 2008, but the portable build may not assume
// it).
#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("popcnt")]] int bewerten_gezaehlt(const Lage& lage, int alpha, int beta) {
    return bewerten<true>(lage, alpha, beta);
}
// And with the bit-manipulation instructions of the processors that have the
// wide vector ones (breitbefehl): shifts and masks in fewer instructions.
[[gnu::target("avx2,bmi,bmi2,lzcnt,popcnt")]] int bewerten_breit_aus(const Lage& lage, int alpha, int beta) {
    return bewerten<true>(lage, alpha, beta);
}
#else
int bewerten_gezaehlt(const Lage& lage, int alpha, int beta) { return bewerten<false>(lage, alpha, beta); }
int bewerten_breit_aus(const Lage& lage, int alpha, int beta) { return bewerten<false>(lage, alpha, beta); }
#endif

}  // namespace

int eval_aus(const Lage& lage, int alpha, int beta) {
    if (breitbefehl) return bewerten_breit_aus(lage, alpha, beta);
    return zaehlbefehl ? bewerten_gezaehlt(lage, alpha, beta) : bewerten<false>(lage, alpha, beta);
}

namespace {

// eval_nochmals, evaluating anew from `lage` when given, else from brett.
int nochmals(const Lage* lage, int alpha, int beta) {
    // The exits in eval's order; where the latest call stopped short of the
    // one this window takes, the board is evaluated anew.
    assert(brett_unveraendert() && "eval_nochmals on a board other than the latest evaluated");
    const Zwischenstand& z = stand;
    int wert;
    if (z.M <= alpha - 100) {
        wert = z.M;
    } else if (z.belegte == 2) {
        wert = 0;
    } else if (z.stufe < 8) {
        return lage != nullptr ? eval_aus(*lage, alpha, beta) : eval(0, 0, alpha, beta);
    } else if (z.summe8 >= beta + 100) {
        wert = z.rueck8;
    } else if (z.stufe < 11) {
        return lage != nullptr ? eval_aus(*lage, alpha, beta) : eval(0, 0, alpha, beta);
    } else if (z.rueck10 >= beta + 100) {
        wert = z.rueck10;
    } else if (z.rueck11 < alpha - 100) {
        wert = z.rueck11;
    } else if (z.stufe < 13) {
        return lage != nullptr ? eval_aus(*lage, alpha, beta) : eval(0, 0, alpha, beta);
    } else if (z.summe13 > beta + 150 || z.summe13 < alpha - 150) {
        wert = z.summe13;
    } else if (z.stufe < 15) {
        return lage != nullptr ? eval_aus(*lage, alpha, beta) : eval(0, 0, alpha, beta);
    } else {
        wert = z.ende;
    }
    // What an evaluation leaves behind, as eval would.
    ++evals;
    eval_iwkonig = static_cast<int16_t>(z.wk);
    eval_iskonig = static_cast<int16_t>(z.bk);
    nrBAUERN = z.bauern;
    nrPIECES = z.belegte;
    if (z.wk == 0 || z.bk == 0) printf("BUH!");
    return wert;
}

}  // namespace

int eval_nochmals(int alpha, int beta) { return nochmals(nullptr, alpha, beta); }

int eval_nochmals_aus(const Lage& lage, int alpha, int beta) { return nochmals(&lage, alpha, beta); }

namespace {

// A board evaluated on its own: the summary taken from brett and the
// evaluation compiled into one piece of code for each processor kind.
#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("avx2,bmi,bmi2,lzcnt,popcnt")]] int bewerten_breit(int alpha, int beta) {
    Lage l;
    lage_fuellen<true, true>(l);
    return bewerten<true>(l, alpha, beta);
}
[[gnu::target("popcnt")]] int bewerten_brett_gezaehlt(int alpha, int beta) {
    Lage l;
    lage_fuellen<true>(l);
    return bewerten<true>(l, alpha, beta);
}
#endif

}  // namespace

int eval(int, int, int alpha, int beta) {
#if defined(__GNUC__) && defined(__x86_64__)
    if (breitbefehl) return bewerten_breit(alpha, beta);
    if (zaehlbefehl) return bewerten_brett_gezaehlt(alpha, beta);
#endif
    Lage l;
    lage_fuellen<false>(l);
    return bewerten<false>(l, alpha, beta);
}

const Bauernbefund& bauernbefund() {
    Lage l;
    lage_aus_brett(l);
    return bauern_von(l.maske[wbauer + 6], l.maske[sbauer + 6]);
}

Bauernbefund bauernbefund_neu() {
    Lage l;
    lage_aus_brett(l);
    Bauernbefund p;
    bauern_auswerten(l.maske[wbauer + 6], l.maske[sbauer + 6], p);
    return p;
}

}  // namespace kelpin
