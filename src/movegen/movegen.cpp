// The move generators: every pseudo-legal move of a side (movegen) or only
// its captures (qmovegen), scored for the sort as each record is written;
// the check test and the path counter built on them.
#include "movegen/movegen.h"

#include <array>
#include <cstdio>
#include <initializer_list>

#include "search/search.h"

namespace kelpin {

ZugEintrag zug[LISTEN][PLAETZE];
int32_t index[LISTEN];
CapMove capmove[LISTEN];
int64_t perftnodes;
int32_t debugmode;

namespace {

// Piece-square table of a mover by code + 6; the king has none (its moves
// score no positional term).
constexpr const int* figurentabelle[13] = {
    nullptr,    dfiguren_s, tfiguren_s, lfiguren_s, sfiguren_s, bfiguren_s, nullptr,
    bfiguren_w, sfiguren_w, lfiguren_w, tfiguren_w, dfiguren_w, nullptr,
};

constexpr int SCHLAG_BONUS = 10000;
constexpr int KOENIGSSCHLAG_BONUS = 9910;
constexpr int HINWEIS_BONUS[4] = {0, 15000, 7500, 90};

// Everything the score of a move needs that does not depend on the move:
// read once per generator call.
struct Bewerter {
    const int32_t (*history)[65];
    int32_t faktor;
    int32_t writes;
    int hinweis_von[4];
    int hinweis_nach[4];

    explicit Bewerter(int tiefe)
        : history(history_heuristic[tiefe]), faktor(kelpin::faktor), writes(historywrites) {
        for (int k = 1; k <= 3; ++k) {
            hinweis_von[k] = killer[tiefe][k].von;
            hinweis_nach[k] = killer[tiefe][k].nach;
        }
    }

    int32_t wert(int von, int nach, int figur, int geschlagen) const {
        int32_t w = history[von][nach] * faktor;
        if (writes != 1) w /= writes;
        if (const int* t = figurentabelle[figur + 6]) w += figur > 0 ? t[nach] - t[von] : t[von] - t[nach];
        if (geschlagen != leer) {
            const int opfer = figurenwert[geschlagen + 6] < 0 ? -figurenwert[geschlagen + 6] : figurenwert[geschlagen + 6];
            if (figur == wkonig || figur == skonig) {
                w += KOENIGSSCHLAG_BONUS + opfer;
            } else {
                const int zehntel = figurenwert[figur + 6] / 10;
                w += SCHLAG_BONUS + opfer - (zehntel < 0 ? -zehntel : zehntel);
            }
        }
        for (int k = 1; k <= 3; ++k)
            if (hinweis_von[k] == von && hinweis_nach[k] == nach) w += HINWEIS_BONUS[k];
        return w;
    }
};

// Writes one record into the list. A full list takes nothing more: whatever
// position setboard produced, no list runs into the next one.
struct Schreiber {
    ZugEintrag* liste;
    int32_t& n;
    const Bewerter& bewerter;

    ZugEintrag* zug(int von, int nach, int figur, int geschlagen) {
        if (n >= MAXZUEGE) return nullptr;
        ZugEintrag& m = liste[++n];
        m.von = static_cast<uint16_t>(von);
        m.nach = static_cast<uint16_t>(nach);
        m.figur = static_cast<int16_t>(figur);
        m.geschlagen = static_cast<int16_t>(geschlagen);
        m.umwandlung = 0;
        m.rochade = 0;
        m.ep_linie = 0;
        m.reserve = 0;
        m.sortwert = bewerter.wert(von, nach, figur, geschlagen);
        m.neue_figur = leer;
        return &m;
    }

    // A pawn reaching the last rank: the record just written becomes the
    // queen promotion and rook, knight and bishop follow with the same score.
    void umwandlungen(ZugEintrag* m, int farbe_vz) {
        if (m == nullptr) return;
        m->umwandlung = 1;
        m->neue_figur = static_cast<int16_t>(farbe_vz * wdame);
        const ZugEintrag dame = *m;
        for (const int neu : {wturm, wspringer, wlaufer}) {
            if (n >= MAXZUEGE) return;
            ZugEintrag& k = liste[++n];
            k = dame;
            k.neue_figur = static_cast<int16_t>(farbe_vz * neu);
        }
    }
};

// A step from square s by d stays on the board: the number lies in 1 ... 64
// and an east or west component did not wrap to the other edge.
constexpr bool auf_brett(int t, int d) {
    if (t < 1 || t > 64) return false;
    const int spalte = t % 8;
    if ((d == 1 || d == 9 || d == -7) && spalte == 1) return false;
    if ((d == -1 || d == -9 || d == 7) && spalte == 0) return false;
    return true;
}

struct Sprung {
    int d;
    int linie_min, linie_max;
    int s_min, s_max;
};
constexpr Sprung springer_spruenge[8] = {
    {-17, 2, 8, 18, 64}, {-15, 1, 7, 17, 64}, {17, 1, 7, 1, 47}, {15, 2, 8, 1, 48},
    {-10, 3, 8, 11, 64}, {6, 3, 8, 1, 56},    {-6, 1, 6, 9, 64}, {10, 1, 6, 1, 54},
};

constexpr int damen_strahlen[8] = {9, 7, -9, -7, 1, -1, 8, -8};  // bishop rays first, then rook rays
constexpr int LAEUFER_STRAHLEN = 0, TURM_STRAHLEN = 4;
constexpr int koenig_schritte[8] = {1, -1, 8, -8, 9, 7, -7, -9};

// The board's geometry worked out once: for every square the knight and king
// targets in the generator's order and the squares of each ray up to the
// edge, so the generators never test for wrapping.
struct Ziele {
    int8_t n;
    int8_t feld[8];
};

constexpr std::array<Ziele, 65> springer_ziele = [] {
    std::array<Ziele, 65> z{};
    for (int s = 1; s <= 64; ++s)
        for (const Sprung& j : springer_spruenge) {
            const int linie = (s - 1) % 8 + 1;
            if (linie >= j.linie_min && linie <= j.linie_max && s >= j.s_min && s <= j.s_max)
                z[s].feld[z[s].n++] = static_cast<int8_t>(s + j.d);
        }
    return z;
}();

constexpr std::array<Ziele, 65> koenig_ziele = [] {
    std::array<Ziele, 65> z{};
    for (int s = 1; s <= 64; ++s)
        for (const int d : koenig_schritte)
            if (auf_brett(s + d, d)) z[s].feld[z[s].n++] = static_cast<int8_t>(s + d);
    return z;
}();

struct Strahl {
    int8_t n;
    int8_t feld[7];
};

constexpr std::array<std::array<Strahl, 8>, 65> strahlen = [] {
    std::array<std::array<Strahl, 8>, 65> z{};
    for (int s = 1; s <= 64; ++s)
        for (int r = 0; r < 8; ++r) {
            const int d = damen_strahlen[r];
            for (int t = s + d; auf_brett(t, d); t += d) z[s][r].feld[z[s][r].n++] = static_cast<int8_t>(t);
        }
    return z;
}();

// The same targets as bit masks (bit s - 1 for square s), by side (White 0,
// Black 1), piece kind and square: the capture generator passes over a piece
// at once when no enemy piece stands on any square it could reach.
constexpr auto reichweite = [] {
    std::array<std::array<std::array<uint64_t, 65>, 7>, 2> r{};
    auto bit = [](int t) { return uint64_t{1} << (t - 1); };
    for (int s = 1; s <= 64; ++s) {
        uint64_t springer = 0, koenig = 0, laeufer = 0, turm = 0;
        for (int k = 0; k < springer_ziele[s].n; ++k) springer |= bit(springer_ziele[s].feld[k]);
        for (int k = 0; k < koenig_ziele[s].n; ++k) koenig |= bit(koenig_ziele[s].feld[k]);
        for (int a = 0; a < 8; ++a)
            for (int k = 0; k < strahlen[s][a].n; ++k) (a < 4 ? laeufer : turm) |= bit(strahlen[s][a].feld[k]);
        const int linie = (s - 1) % 8 + 1;
        for (int seite = 0; seite < 2; ++seite) {
            r[seite][wspringer][s] = springer;
            r[seite][wlaufer][s] = laeufer;
            r[seite][wturm][s] = turm;
            r[seite][wdame][s] = laeufer | turm;
            r[seite][wkonig][s] = koenig;
        }
        if (linie != 8 && s + 9 <= 64) r[0][wbauer][s] |= bit(s + 9);
        if (linie != 1 && s + 7 <= 64) r[0][wbauer][s] |= bit(s + 7);
        if (linie != 1 && s - 9 >= 1) r[1][wbauer][s] |= bit(s - 9);
        if (linie != 8 && s - 7 >= 1) r[1][wbauer][s] |= bit(s - 7);
    }
    return r;
}();

static_assert(springer_ziele[b1].n == 3 && springer_ziele[d4].n == 8 && koenig_ziele[a1].n == 3);
static_assert(strahlen[a1][0].n == 7 && strahlen[h1][0].n == 0 && strahlen[d4][5].n == 3);

inline bool gegner(int inhalt, int vz) { return inhalt * vz < 0; }

// All rays of a slider advance together, distance by distance, so its moves
// are listed by distance first and ray second.
template <int ERSTER, int N>
void gleiter(Schreiber& w, int s, int figur, int vz) {
    const auto& rays = strahlen[s];
    unsigned offen = (1u << N) - 1;
    for (int k = 0; k < 7 && offen != 0; ++k) {
        for (int r = 0; r < N; ++r) {
            if (!(offen & (1u << r))) continue;
            const Strahl& st = rays[ERSTER + r];
            if (k >= st.n) {
                offen &= ~(1u << r);
                continue;
            }
            const int t = st.feld[k];
            const int inhalt = brett[t];
            if (inhalt == leer) {
                w.zug(s, t, figur, leer);
                continue;
            }
            offen &= ~(1u << r);
            if (gegner(inhalt, vz)) w.zug(s, t, figur, inhalt);
        }
    }
}

// Captures only: each ray yields at most its first occupied square; the
// captures are written in the same order as above, by distance, then ray.
template <int ERSTER, int N>
void gleiter_schlaege(Schreiber& w, int s, int figur, int vz) {
    const auto& rays = strahlen[s];
    int abstand[N];
    int ziel[N];
    int offen = 0;
    for (int r = 0; r < N; ++r) {
        const Strahl& st = rays[ERSTER + r];
        abstand[r] = -1;
        for (int k = 0; k < st.n; ++k) {
            const int inhalt = brett[st.feld[k]];
            if (inhalt == leer) continue;
            if (gegner(inhalt, vz)) {
                abstand[r] = k;
                ziel[r] = st.feld[k];
                ++offen;
            }
            break;
        }
    }
    for (int k = 0; offen > 0; ++k)
        for (int r = 0; r < N; ++r)
            if (abstand[r] == k) {
                w.zug(s, ziel[r], figur, brett[ziel[r]]);
                --offen;
            }
}

template <bool NUR_SCHLAEGE, int ERSTER, int N>
inline void gleite(Schreiber& w, int s, int figur, int vz) {
    if (NUR_SCHLAEGE)
        gleiter_schlaege<ERSTER, N>(w, s, figur, vz);
    else
        gleiter<ERSTER, N>(w, s, figur, vz);
}

// A pawn of side vz could capture on s (were s occupied): the squares from
// which a pawn's capture lands on s, with the generator's file conditions.
bool bauer_schlaegt(int s, int vz) {
    if (vz > 0) {
        return (s - 9 >= 1 && i_linie[s - 9] != 8 && brett[s - 9] == wbauer) ||
               (s - 7 >= 1 && i_linie[s - 7] != 1 && brett[s - 7] == wbauer);
    }
    return (s + 9 <= 64 && i_linie[s + 9] != 1 && brett[s + 9] == sbauer) ||
           (s + 7 <= 64 && i_linie[s + 7] != 8 && brett[s + 7] == sbauer);
}

// A knight, king, bishop, rook or queen of side vz could move to s (were s
// empty or the other side's). Knight and king geometry is symmetric: the
// squares a piece on s could reach are those from which it reaches s.
bool stueck_erreicht(int s, int vz) {
    const Ziele& sz = springer_ziele[s];
    for (int k = 0; k < sz.n; ++k)
        if (brett[sz.feld[k]] == vz * wspringer) return true;
    const Ziele& kz = koenig_ziele[s];
    for (int k = 0; k < kz.n; ++k)
        if (brett[kz.feld[k]] == vz * wkonig) return true;
    // Sliders: walk outward from s until the first piece.
    for (int r = 0; r < 8; ++r) {
        const Strahl& st = strahlen[s][r];
        const int eigene = vz * (r >= TURM_STRAHLEN ? wturm : wlaufer);
        for (int k = 0; k < st.n; ++k) {
            const int inhalt = brett[st.feld[k]];
            if (inhalt == leer) continue;
            if (inhalt == eigene || inhalt == vz * wdame) return true;
            break;
        }
    }
    return false;
}

}  // namespace

bool zug_endet_auf(int x, int g) {
    const int vz = g == WEISS ? 1 : -1;
    const int inhalt = brett[x];
    if (inhalt * vz > 0) return false;
    if (inhalt == leer) {
        const int einer = x - 8 * vz;
        const int zweier = x - 16 * vz;
        if (einer >= 1 && einer <= 64 && brett[einer] == vz * wbauer) return true;
        const bool grundreihe = vz > 0 ? (zweier >= a2 && zweier <= h2) : (zweier >= a7 && zweier <= h7);
        if (grundreihe && brett[zweier] == vz * wbauer && brett[einer] == leer) return true;
    } else if (bauer_schlaegt(x, vz)) {
        return true;
    }
    return stueck_erreicht(x, vz);
}

namespace {

// Castling: no move of the opponent's complete list may end on the king's
// square or a square it crosses or lands on (the opponent's own castling
// never ends on this side's rank, so it does not count), and no opponent pawn
// may attack one of them: a pawn's diagonal attack on an empty square is not
// a move. Offered only at levels from the horizon up.
void rochaden(Schreiber& w, int tiefe, int farbe) {
    if (tiefe < QSUCHE) return;
    const bool weiss = farbe == WEISS;
    const int gegner = weiss ? SCHWARZ : WEISS;
    const int gvz = weiss ? -1 : 1;
    const int16_t& k_bewegt = weiss ? e1_bewegt : e8_bewegt;
    const int16_t& kurz_bewegt = weiss ? h1_bewegt : h8_bewegt;
    const int16_t& lang_bewegt = weiss ? a1_bewegt : a8_bewegt;
    const int k = weiss ? e1 : e8;
    const int turm = weiss ? wturm : sturm;
    const int koenig = weiss ? wkonig : skonig;
    auto frei = [&](int x) { return !zug_endet_auf(x, gegner) && !bauer_schlaegt(x, gvz); };

    if (kurz_bewegt == 0 && k_bewegt == 0 && brett[k + 1] == leer && brett[k + 2] == leer && brett[k + 3] == turm &&
        frei(k) && frei(k + 1) && frei(k + 2))
        if (ZugEintrag* m = w.zug(k, k + 2, koenig, leer)) m->rochade = 1;
    if (lang_bewegt == 0 && k_bewegt == 0 && brett[k - 1] == leer && brett[k - 2] == leer &&
        brett[k - 3] == leer && brett[k - 4] == turm && frei(k) && frei(k - 1) && frei(k - 2))
        if (ZugEintrag* m = w.zug(k, k - 2, koenig, leer)) m->rochade = 1;
}

// Knight jumps and king steps: onto an empty square (not when only captures
// are wanted) or an enemy piece.
template <bool NUR_SCHLAEGE>
inline void sprung(Schreiber& w, int s, int figur, int vz, const Ziele& ziele) {
    for (int k = 0; k < ziele.n; ++k) {
        const int t = ziele.feld[k];
        const int inhalt = brett[t];
        if (inhalt == leer ? !NUR_SCHLAEGE : gegner(inhalt, vz)) w.zug(s, t, figur, inhalt);
    }
}

template <bool NUR_SCHLAEGE>
void generiere(int tiefe, int farbe) {
    index[tiefe] = 0;
    if (farbe != WEISS && farbe != SCHWARZ) return;
    const Bewerter bewerter(tiefe);
    Schreiber w{zug[tiefe], index[tiefe], bewerter};
    const int vz = farbe == WEISS ? 1 : -1;

    const uint64_t feinde = NUR_SCHLAEGE ? besetzt(-vz) : 0;
    for (uint64_t eigene = besetzt(vz); eigene != 0;) {
        const int s = naechstes_feld(eigene);
        const int figur = brett[s];
        if (NUR_SCHLAEGE && !(reichweite[vz < 0][figur * vz][s] & feinde)) continue;
        switch (figur * vz) {
            case wbauer: {
                const int vor = 8 * vz;
                const int linie = i_linie[s];
                const bool grundreihe = vz > 0 ? (s >= a2 && s <= h2) : (s >= a7 && s <= h7);
                const int letzte_reihe = vz > 0 ? 8 : 1;
                if (!NUR_SCHLAEGE) {
                    if (grundreihe && brett[s + vor] == leer && brett[s + 2 * vor] == leer)
                        if (ZugEintrag* m = w.zug(s, s + 2 * vor, figur, leer)) m->ep_linie = static_cast<int16_t>(linie);
                    const int t = s + vor;
                    if (t >= 1 && t <= 64 && brett[t] == leer) {
                        ZugEintrag* m = w.zug(s, t, figur, leer);
                        if (i_reihe[t] == letzte_reihe) w.umwandlungen(m, vz);
                    }
                }
                // The diagonal toward the h-file for White (+9) and the a-file
                // for Black (-9) first, then the other one.
                const int schlag[2] = {9 * vz, 7 * vz};
                const bool erlaubt[2] = {vz > 0 ? linie != 8 : linie != 1, vz > 0 ? linie != 1 : linie != 8};
                for (int k = 0; k < 2; ++k) {
                    const int t = s + schlag[k];
                    if (!erlaubt[k] || t < 1 || t > 64 || !gegner(brett[t], vz)) continue;
                    ZugEintrag* m = w.zug(s, t, figur, brett[t]);
                    if (i_reihe[t] == letzte_reihe) w.umwandlungen(m, vz);
                }
                break;
            }
            case wspringer:
                sprung<NUR_SCHLAEGE>(w, s, figur, vz, springer_ziele[s]);
                break;
            case wlaufer:
                gleite<NUR_SCHLAEGE, LAEUFER_STRAHLEN, 4>(w, s, figur, vz);
                break;
            case wturm:
                gleite<NUR_SCHLAEGE, TURM_STRAHLEN, 4>(w, s, figur, vz);
                break;
            case wdame:
                gleite<NUR_SCHLAEGE, LAEUFER_STRAHLEN, 8>(w, s, figur, vz);
                break;
            case wkonig:
                if (!NUR_SCHLAEGE && s == (vz > 0 ? e1 : e8)) rochaden(w, tiefe, farbe);
                sprung<NUR_SCHLAEGE>(w, s, figur, vz, koenig_ziele[s]);
                break;
        }
    }
}

}  // namespace

int movegen(int tiefe, int farbe) {
    generiere<false>(tiefe, farbe);
    if (debugmode == 1) {
        for (int i = 1; i <= index[tiefe]; ++i) printf("%s%s ", feld[zug[tiefe][i].von], feld[zug[tiefe][i].nach]);
        printf("\n");
    }
    return 0;
}

int qmovegen(int tiefe, int farbe) {
    generiere<true>(tiefe, farbe);
    return 0;
}

bool angegriffen(int s, int angreifer) {
    const int vz = angreifer == WEISS ? 1 : -1;
    return bauer_schlaegt(s, vz) || stueck_erreicht(s, vz);
}

bool koenig_bedroht(int farbe) {
    const int angreifer = farbe == WEISS ? SCHWARZ : WEISS;
    for (uint64_t koenige = felder_mit(farbe == WEISS ? wkonig : skonig); koenige != 0;)
        if (angegriffen(naechstes_feld(koenige), angreifer)) return true;
    return false;
}

int inSchach(int farbe) {
    qmovegen(0, farbe == WEISS ? SCHWARZ : WEISS);
    for (int i = 1; i <= index[0]; ++i)
        if (zug[0][i].geschlagen == wkonig || zug[0][i].geschlagen == skonig) return 1;
    return 0;
}

int perft(int tiefe, int farbe) {
    movegen(tiefe, farbe);
    for (int i = 1; i <= index[tiefe]; ++i) {
        if (tiefe == 0) ++perftnodes;
        zugausf(tiefe, i);
        if (tiefe > 0 && (farbe == WEISS || farbe == SCHWARZ)) perft(tiefe - 1, farbe == WEISS ? SCHWARZ : WEISS);
        zugzur(tiefe, i);
    }
    return 0;
}

}  // namespace kelpin
