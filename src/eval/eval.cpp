// The static evaluation: one scan of the board collects material, piece-square
// values and the per-file facts; global terms and four lazy exits follow, then
// king safety (middlegame only) and the per-file pawn and rook terms. What the
// pawns alone decide is kept in a table by placement of the pawns.
#include "eval/eval.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "search/search.h"

namespace kelpin {

uint64_t eval_masken[13];

namespace {

// Everything the scan learns about the board and the later blocks read; the
// pawns' part comes from the pawn table.
struct Befund {
    int wk, bk, wq, bq;
    int nws, nss, nwl, nsl;  // knight and bishop counts, White and Black
    unsigned tdatei;         // bit f: rooks or queens on file f
    int8_t tW[9], tB[9];     // rooks and queens per file
    const Bauernbefund* bauern;
    // The square lists come last: only their first nws ... nsl entries are
    // ever read, so they are not cleared for each call.
    int ws[64], ss[64], wl[64], sl[64];
};

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

// The pawns' part of the scan and of the per-file terms, squares ascending
// as the scan visits them, so the last White pawn met on a file is its most
// advanced and the last Black one its least advanced.
void bauern_auswerten(uint64_t weiss, uint64_t schwarz, Bauernbefund& p) {
    memset(&p, 0, sizeof p);
    p.weiss = weiss;
    p.schwarz = schwarz;
    unsigned wd = 0, sd = 0, wdd = 0, sdd = 0;
    for (uint64_t q = weiss; q != 0; ++p.anzahl_w) {
        const int s = naechstes_feld(q);
        const int linie = i_linie[s];
        wdd |= (wd >> linie & 1u) << linie;
        wd |= 1u << linie;
        p.rW[linie] = static_cast<int8_t>(i_reihe[s]);
        ++p.nW[linie];
        p.B += 2 * bfiguren_w[s];
    }
    for (uint64_t q = schwarz; q != 0; ++p.anzahl_s) {
        const int s = naechstes_feld(q);
        const int linie = i_linie[s];
        sdd |= (sd >> linie & 1u) << linie;
        sd |= 1u << linie;
        p.rB[linie] = static_cast<int8_t>(i_reihe[s]);
        ++p.nB[linie];
        p.B += 2 * bfiguren_s[s] - zentrum[s];
    }
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
}

inline const Bauernbefund& bauern(uint64_t weiss, uint64_t schwarz) {
    Bauernbefund& p = bauernplatz(weiss, schwarz);
    if (p.weiss != weiss || p.schwarz != schwarz) bauern_auswerten(weiss, schwarz, p);
    return p;
}

// Reads a square that may lie off the board (a bishop on the last rank
// looking past it) as empty.
inline int inhalt(int s) { return (s >= 1 && s <= 64) ? brett[s] : leer; }

inline int rang(int s) { return i_reihe[s]; }

// One mask per piece code (index code + 6): bit s - 1 for every square s
// holding that piece.
inline void figurenmasken(uint64_t (&m)[13]) {
#if defined(__SSE2__)
    // The board as 64 bytes. The sign bit of each byte is the colour; the
    // three low bits of its magnitude (kinds 1 ... 6) are moved one at a
    // time into the sign bit's place: four byte masks give every code.
    uint64_t schwarz = 0, b0 = 0, b1 = 0, b2 = 0;
    const __m128i null = _mm_setzero_si128();
    for (int k = 0; k < 4; ++k) {
        const __m128i b = _mm_packs_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(brett + 1 + 16 * k)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(brett + 9 + 16 * k)));
        const __m128i negativ = _mm_cmplt_epi8(b, null);
        const __m128i betrag = _mm_sub_epi8(_mm_xor_si128(b, negativ), negativ);
        // Bit 7 of each byte as 16 bits, placed for squares 16k + 1 ... 16k + 16.
        const auto vorzeichen = [k](__m128i x) {
            return static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(x))) << (16 * k);
        };
        schwarz |= vorzeichen(b);
        b0 |= vorzeichen(_mm_slli_epi16(betrag, 7));
        b1 |= vorzeichen(_mm_slli_epi16(betrag, 6));
        b2 |= vorzeichen(_mm_slli_epi16(betrag, 5));
    }
    const uint64_t weiss = ~schwarz;
    const uint64_t n0 = ~b0, n1 = ~b1, n2 = ~b2;
    const uint64_t bauer = b0 & n1 & n2, springer = n0 & b1 & n2, laeufer = b0 & b1 & n2;
    const uint64_t turm = n0 & n1 & b2, dame = b0 & n1 & b2, koenig = n0 & b1 & b2;
    m[wbauer + 6] = bauer & weiss, m[sbauer + 6] = bauer & schwarz;
    m[wspringer + 6] = springer & weiss, m[sspringer + 6] = springer & schwarz;
    m[wlaufer + 6] = laeufer & weiss, m[slaufer + 6] = laeufer & schwarz;
    m[wturm + 6] = turm & weiss, m[sturm + 6] = turm & schwarz;
    m[wdame + 6] = dame & weiss, m[sdame + 6] = dame & schwarz;
    m[wkonig + 6] = koenig & weiss, m[skonig + 6] = koenig & schwarz;
    m[6] = 0;  // empty squares are not visited
#else
    for (uint64_t& maske : m) maske = 0;
    for (int s = 1; s <= 64; ++s) m[brett[s] + 6] |= uint64_t{1} << (s - 1);
#endif
}

inline bool innen(int linie) { return linie >= 2 && linie <= 7; }

constexpr int SPRINGER_NAEHE[6] = {0, 40, 58, 35, 25, 15};
constexpr int LAEUFER_NAEHE[6] = {0, 55, 60, 45, 20, 6};
constexpr int DAMEN_NAEHE[6] = {0, 85, 60, 45, 15, 10};

// Distance d of an attacker to the enemy king: within 5 it earns the table's
// value, within 2 it also counts as a near attacker. A missing piece or
// king has square 0 and distance 0: one near attacker, no value.
inline void naehe(int d, const int (&wert)[6], int& nah, int& K, int vz) {
    if (d > 5) return;
    if (d <= 2) ++nah;
    K += vz * wert[d];
}

inline bool auf(int s, int figur) { return brett[s] == figur; }

// Pawn storm against a king on the other wing: per file weight x (7 - d),
// d measured from the king to the square numbered like the storming side's
// pawn count on that file.
inline int bauernsturm(int koenig, const int8_t (&anzahl)[9], int f1, int f2, int f3, int w1, int w2, int w3) {
    return w1 * (7 - distance[koenig][anzahl[f1]]) + w2 * (7 - distance[koenig][anzahl[f2]]) +
           w3 * (7 - distance[koenig][anzahl[f3]]);
}

void koenigssicherheit(const Befund& f, Summen& z) {
    int aW = 0, aB = 0;
    int& K = z.K;
    int& L = z.L;

    // 1. Uncastled king without its f-pawn.
    if (f.bk == e8 && !auf(f7, sbauer)) K += 15;
    if (f.wk == e1 && !auf(f2, wbauer)) K -= 15;

    // 2./3. Knights: edge, in front of an own pawn, blockading an enemy pawn,
    //       near the enemy king.
    for (int k = 0; k < f.nws; ++k) {
        const int s = f.ws[k];
        if (brettrand[s] == 1) L -= 15;
        if (s > 8 && auf(s - 8, wbauer)) L -= 3;
        if (s <= 56 && auf(s + 8, sbauer)) L += 17 * (8 - rang(s));
        naehe(distance[s][f.bk], SPRINGER_NAEHE, aW, K, 1);
    }
    for (int k = 0; k < f.nss; ++k) {
        const int s = f.ss[k];
        if (brettrand[s] == 1) L += 15;
        if (s <= 56 && auf(s + 8, sbauer)) L += 3;
        if (s > 8 && auf(s - 8, wbauer)) L -= 17 * (rang(s) - 1);
        naehe(distance[s][f.wk], SPRINGER_NAEHE, aB, K, -1);
    }

    // 4./5. Bishops: edge, hemmed in by own pawns, near the enemy king. The
    //       neighbours of an a- or h-file bishop wrap to the other edge.
    for (int k = 0; k < f.nwl; ++k) {
        const int s = f.wl[k];
        if (brettrand[s] == 1) L -= 13;
        if (s <= 56) {
            if (auf(s + 7, wbauer)) L -= 13;
            if (auf(s + 9, wbauer)) L -= 13;
        }
        if (s > 8 && auf(s - 8, wbauer)) L -= 30;
        naehe(distance[s][f.bk], LAEUFER_NAEHE, aW, K, 1);
    }
    for (int k = 0; k < f.nsl; ++k) {
        const int s = f.sl[k];
        if (brettrand[s] == 1) L += 13;
        if (s > 8) {
            if (auf(s - 7, sbauer)) L += 13;
            if (auf(s - 9, sbauer)) L += 13;
        }
        if (s <= 56 && auf(s + 8, sbauer)) L += 30;
        naehe(distance[s][f.wk], LAEUFER_NAEHE, aB, K, -1);
    }

    // 6./7. Queens near the king, then the attack mass.
    naehe(distance[f.wq][f.bk], DAMEN_NAEHE, aW, K, 1);
    naehe(distance[f.bq][f.wk], DAMEN_NAEHE, aB, K, -1);
    if (aW > 2) K += 30 * aW;
    if (aB > 2) K -= 30 * aB;

    // 8. Pawn storms against kings castled on opposite wings.
    const int wk = f.wk, bk = f.bk;
    const bool w_lang = wk == c2 || wk == c1 || wk == b1;
    const bool w_lang4 = wk == a1 || wk == b1 || wk == c1 || wk == c2;
    const bool w_kurz = wk == g1 || wk == h1 || wk == h2 || wk == g2;
    const bool s_kurz = bk == g8 || bk == h8 || bk == h7 || bk == g7;
    const bool s_lang = bk == c7 || bk == c8 || bk == b8;
    const bool s_lang4 = bk == a8 || bk == b8 || bk == c8 || bk == c7;
    const Bauernbefund& p = *f.bauern;
    if (w_lang && s_kurz) K += bauernsturm(bk, p.nW, 6, 7, 8, 8, 9, 9);
    if (s_lang && w_kurz) K -= bauernsturm(wk, p.nB, 6, 7, 8, 8, 9, 9);
    if (w_kurz && s_lang4) K += bauernsturm(bk, p.nW, 1, 2, 3, 9, 8, 8);
    if (s_kurz && w_lang4) K -= bauernsturm(wk, p.nB, 1, 2, 3, 9, 8, 8);

    // 9. King left in the centre with its rook moved over.
    if (wk == e1 && (auf(g1, wturm) || auf(f1, wturm))) K -= 40;
    if (bk == e8 && (auf(g8, sturm) || auf(f8, sturm))) K += 40;

    // 10. Fianchetto holes.
    if (auf(g3, wbauer) && auf(h2, wbauer) && !auf(g2, wlaufer)) L -= 18;
    if (auf(g3, wbauer) && f.nwl == 0) L -= 8;
    if (auf(b3, wbauer) && f.nwl == 0) L -= 5;
    if (auf(g6, sbauer) && auf(h7, sbauer) && !auf(g7, slaufer)) L += 18;
    if (auf(g6, sbauer) && f.nsl == 0) L += 8;
    if (auf(b6, sbauer) && f.nsl == 0) L += 5;

    // 11. King squares.
    switch (wk) {
        case f1: K -= 37; break;
        case e1: K -= 25; break;
        case e2: K -= 30; break;
        case f2: K -= 50; break;
        case d1: K -= 31; break;
        case d2: K -= 33; break;
        default: break;
    }
    switch (bk) {
        case e8: K += 25; break;
        case f8: K += 37; break;
        case e7: K += 30; break;
        case f7: K += 50; break;
        case d8: K += 31; break;
        case d7: K += 33; break;
        default: break;
    }

    // 12. Pawn shelters (the four rules are not mirror images).
    if (w_kurz && (auf(g2, wbauer) || auf(g3, wbauer)) && auf(h2, wbauer)) K += 47;
    if (wk == c1 || wk == b1) {
        if (auf(b2, wbauer) && (auf(c2, wbauer) || auf(c3, wbauer)) && auf(a2, wbauer))
            K += 40;
        else
            K -= 5;
    }
    if (bk == c8 || bk == b8) {
        if (auf(b7, sbauer) && (auf(c7, sbauer) || auf(c6, sbauer)) && auf(a7, sbauer))
            K -= 40;
        else
            K += 5;
    }
    if (s_kurz && !(auf(g7, sbauer) && auf(h7, sbauer))) K += 35;

    // 13. Open files at the kings.
    const int lw = i_linie[wk];
    if (f.tB[lw] > 0 && p.nB[lw] == 0) {
        K -= 41;
        if (p.nW[lw] == 0) K -= 67;
    }
    const int ls = i_linie[bk];
    if (f.tW[ls] > 0 && p.nW[ls] == 0) {
        K += 41;
        if (p.nB[ls] == 0) K += 67;
    }
}

// The per-file terms, each visiting only the files it can score on: a file
// without pawns, rooks and queens scores nothing. The pawns' own terms come
// ready from the pawn table.
void linien(const Befund& f, Summen& z) {
    int& B = z.B;
    int& T = z.T;
    const Bauernbefund& p = *f.bauern;
    const unsigned W = p.wdatei, S = p.sdatei;
    const unsigned w_iso = p.wiso, s_iso = p.siso;

    // 1. Unstoppable pawns in pawn endings: the enemy king is behind the
    //    pawn or outside its square.
    if (nrBAUERN + 2 == nrPIECES) {
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
    if (nrPIECES <= 20) {
        B += p.frei;
        if (nrPIECES <= 8) B += p.frei_wenige;
    }

    // 7. Half-open and open files; the half-open bonus comes even without a
    //    rook or queen to use it.
    je_linie(S & ~W, [&](int l) { T += 13 + 23 * f.tW[l]; });
    je_linie(W & ~S, [&](int l) { T -= 13 + 23 * f.tB[l]; });
    je_linie(f.tdatei & ~(W | S), [&](int l) { T += 22 * f.tW[l] - 22 * f.tB[l]; });

    // 8. Heavy pieces against isolated pawns.
    je_linie(s_iso & ~W & f.tdatei, [&](int l) { T += ((l == 1 || l == 8) ? 12 : 16) * f.tW[l]; });
    je_linie(w_iso & ~S & f.tdatei, [&](int l) { T -= ((l == 1 || l == 8) ? 12 : 16) * f.tB[l]; });

    // 9. Files of the kings (a missing king has file 0, whose counts are 0).
    if (nrPIECES > 15) {
        const int lb = i_linie[f.bk];
        if (p.nW[lb] == 0) {
            T += 21 * f.tW[lb];
            if (p.nB[lb] == 0) T += 42 * f.tW[lb];
        }
        const int lw = i_linie[f.wk];
        if (p.nB[lw] == 0) {
            T -= 21 * f.tB[lw];
            if (p.nW[lw] == 0) T -= 42 * f.tB[lw];
        }
    }

    // 10. Files of the queens (a missing queen matches no file).
    const int lsq = i_linie[f.bq], lwq = i_linie[f.wq];
    if (p.nW[lsq] == 0 && f.tW[lsq] > 0) T += 12;
    if (p.nB[lwq] == 0 && f.tB[lwq] > 0) T -= 12;
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

}  // namespace

int eval(int, int, int alpha, int beta) {
    ++evals;
    Befund f;
    memset(&f, 0, offsetof(Befund, ws));
    Summen z{};
    int& M = z.M;
    int& L = z.L;
    int& T = z.T;
    int& B = z.B;
    int& K = z.K;

    // The one board scan, piece kind by piece kind: every kind's squares in
    // ascending order, so "last met" still means the highest square. The
    // pawns' part comes from the pawn table.
    uint64_t* const m = eval_masken;
    figurenmasken(eval_masken);
    int anzahl[13] = {};  // pieces by code + 6
    const Bauernbefund& bauernteil = bauern(m[wbauer + 6], m[sbauer + 6]);
    f.bauern = &bauernteil;
    anzahl[wbauer + 6] = bauernteil.anzahl_w;
    anzahl[sbauer + 6] = bauernteil.anzahl_s;
    B = bauernteil.B;
    for (uint64_t q = m[wspringer + 6]; q != 0; ++anzahl[wspringer + 6]) {
        const int s = naechstes_feld(q);
        const int r = i_reihe[s];
        f.ws[f.nws++] = s;
        L += 3 * sfiguren_w[s];
        T += zentrum[s];
        if (innen(i_linie[s]) && r > 4 && (brett[s - 9] == wbauer || brett[s - 7] == wbauer)) L += 5 * r;
    }
    for (uint64_t q = m[sspringer + 6]; q != 0; ++anzahl[sspringer + 6]) {
        const int s = naechstes_feld(q);
        const int r = i_reihe[s];
        f.ss[f.nss++] = s;
        if (innen(i_linie[s]) && r <= 4 && (brett[s + 9] == sbauer || brett[s + 7] == sbauer)) L -= 5 * (9 - r);
        L += 3 * sfiguren_s[s] - zentrum[s];
    }
    for (uint64_t q = m[wlaufer + 6]; q != 0; ++anzahl[wlaufer + 6]) {
        const int s = naechstes_feld(q);
        f.wl[f.nwl++] = s;
        L += 3 * lfiguren_w[s];
        T += zentrum[s];
        if (innen(i_linie[s]) && (inhalt(s + 7) == wbauer || inhalt(s + 9) == wbauer)) L -= 8;
        if (s > h2 && brett[s - 8] == wbauer) L -= 16;
    }
    for (uint64_t q = m[slaufer + 6]; q != 0; ++anzahl[slaufer + 6]) {
        const int s = naechstes_feld(q);
        f.sl[f.nsl++] = s;
        L += 3 * lfiguren_s[s] - zentrum[s];
        if (innen(i_linie[s]) && (inhalt(s - 7) == sbauer || inhalt(s - 9) == sbauer)) L += 8;
        if (s < h7 && brett[s + 8] == sbauer) L += 5 * (9 - i_reihe[s]);
    }
    for (uint64_t q = m[wturm + 6]; q != 0; ++anzahl[wturm + 6]) {
        const int s = naechstes_feld(q);
        const int linie = i_linie[s];
        T += tfiguren_w[s];
        ++f.tW[linie];
        f.tdatei |= 1u << linie;
        if (innen(linie) && brett[s - 1] > 0 && brett[s + 1] > 0) T -= 18;
    }
    for (uint64_t q = m[sturm + 6]; q != 0; ++anzahl[sturm + 6]) {
        const int s = naechstes_feld(q);
        const int linie = i_linie[s];
        T += tfiguren_s[s];
        ++f.tB[linie];
        f.tdatei |= 1u << linie;
        if (innen(linie) && brett[s - 1] < 0 && brett[s + 1] < 0) T += 18;
    }
    for (uint64_t q = m[wdame + 6]; q != 0; ++anzahl[wdame + 6]) {
        const int s = naechstes_feld(q);
        const int linie = i_linie[s];
        f.wq = s;
        T += dfiguren_w[s] + zentrum[s];
        ++f.tW[linie];
        f.tdatei |= 1u << linie;
    }
    for (uint64_t q = m[sdame + 6]; q != 0; ++anzahl[sdame + 6]) {
        const int s = naechstes_feld(q);
        const int linie = i_linie[s];
        f.bq = s;
        T += dfiguren_s[s] - zentrum[s];
        ++f.tB[linie];
        f.tdatei |= 1u << linie;
    }
    for (uint64_t q = m[wkonig + 6]; q != 0; ++anzahl[wkonig + 6]) f.wk = naechstes_feld(q);
    for (uint64_t q = m[skonig + 6]; q != 0; ++anzahl[skonig + 6]) f.bk = naechstes_feld(q);
    // Material from the counts of each kind, White's less Black's.
    int belegte = 0;
    for (const int n : anzahl) belegte += n;
    for (int art = wbauer; art <= wkonig; ++art) M += figurenwert[art + 6] * (anzahl[art + 6] - anzahl[6 - art]);
    const int bauern = anzahl[wbauer + 6] + anzahl[sbauer + 6];
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
    if (nrPIECES == 2) return 0;

    // 3. A king walking out early while the enemy queen is on the board.
    if (nrPIECES > 20) {
        if (f.wq != 0) {
            const int r = i_reihe[f.bk];
            if (r == 6) K += 55;
            else if (r == 5) K += 70;
            else if (r == 4) K += 130;
            else if (r <= 3) K += 200;
        }
        if (f.bq != 0) {
            const int r = i_reihe[f.wk];
            if (r == 3) K -= 55;
            else if (r == 4) K -= 70;
            else if (r == 5) K -= 130;
            else if (r >= 6) K -= 200;
        }
    }

    // 4.-7. Bishop pair, knights in closed positions, pawn count, a king's
    //       bishop shut in by its own queen.
    if (f.nwl == 2) L += 33;
    if (f.nsl == 2) L -= 33;
    if (nrBAUERN > 9) {
        if (f.nws > 0) L += 10;
        if (f.nss > 0) L -= 10;
    }
    if (nrBAUERN == 10) B += 15;
    else if (nrBAUERN == 8) B += 25;
    else if (nrBAUERN == 12) B += 5;
    if (auf(f8, slaufer) && auf(e7, sdame)) L += 20;
    if (auf(f1, wlaufer) && auf(e2, wdame)) L -= 20;

    // 8. Lazy exit above the window.
    stand.summe8 = M + L + K + B + T;
    stand.rueck8 = M + L + B + T;
    stand.stufe = 8;
    if (M + L + K + B + T >= beta + 100) return M + L + B + T;

    // 9. Endgame: kings belong in the centre, away from the edge.
    if (nrPIECES <= 13) {
        K += 6 * zentrum[f.wk] - 6 * zentrum[f.bk];
        if (nrPIECES <= 8) {
            K += 3 * zentrum[f.wk] - 3 * zentrum[f.bk];
            if (nrPIECES <= 5) {
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
    if (nrPIECES > 13) koenigssicherheit(f, z);
    const int S = M + K + L;
    stand.summe13 = S;
    stand.stufe = 13;
    if (S > beta + 150 || S < alpha - 150) return S;

    // 14./15. Pawn structure and files, then the halved combination.
    linien(f, z);
    stand.ende = M + K + L / 2 + T / 2 + B / 2;
    stand.stufe = 15;
    return stand.ende;
}

int eval_nochmals(int alpha, int beta) {
    // The exits in eval's order; where the latest call stopped short of the
    // one this window takes, the board is evaluated anew.
    const Zwischenstand& z = stand;
    int wert;
    if (z.M <= alpha - 100) {
        wert = z.M;
    } else if (z.belegte == 2) {
        wert = 0;
    } else if (z.stufe < 8) {
        return eval(0, 0, alpha, beta);
    } else if (z.summe8 >= beta + 100) {
        wert = z.rueck8;
    } else if (z.stufe < 11) {
        return eval(0, 0, alpha, beta);
    } else if (z.rueck10 >= beta + 100) {
        wert = z.rueck10;
    } else if (z.rueck11 < alpha - 100) {
        wert = z.rueck11;
    } else if (z.stufe < 13) {
        return eval(0, 0, alpha, beta);
    } else if (z.summe13 > beta + 150 || z.summe13 < alpha - 150) {
        wert = z.summe13;
    } else if (z.stufe < 15) {
        return eval(0, 0, alpha, beta);
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

const Bauernbefund& bauernbefund() {
    uint64_t m[13];
    figurenmasken(m);
    return bauern(m[wbauer + 6], m[sbauer + 6]);
}

Bauernbefund bauernbefund_neu() {
    uint64_t m[13];
    figurenmasken(m);
    Bauernbefund p;
    bauern_auswerten(m[wbauer + 6], m[sbauer + 6], p);
    return p;
}

}  // namespace kelpin
