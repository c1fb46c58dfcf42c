// The game position and its set-up: brettinit, the FEN piece placement and the
// built-in test positions.
#include "board/board.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kelpin {

int16_t brett[BRETTGROESSE];
int16_t werdran = WEISS;
int16_t a1_bewegt, h1_bewegt, h8_bewegt, a8_bewegt, e1_bewegt, e8_bewegt;
int32_t SpielZugNummer;
int16_t teststellung_an;
int distance[65][65];

const char* const feld[65] = {
    "",
    "a1", "b1", "c1", "d1", "e1", "f1", "g1", "h1", "a2", "b2", "c2", "d2", "e2", "f2", "g2", "h2",
    "a3", "b3", "c3", "d3", "e3", "f3", "g3", "h3", "a4", "b4", "c4", "d4", "e4", "f4", "g4", "h4",
    "a5", "b5", "c5", "d5", "e5", "f5", "g5", "h5", "a6", "b6", "c6", "d6", "e6", "f6", "g6", "h6",
    "a7", "b7", "c7", "d7", "e7", "f7", "g7", "h7", "a8", "b8", "c8", "d8", "e8", "f8", "g8", "h8",
};

namespace {

void leere_brett() {
    for (int s = 1; s <= 64; ++s) brett[s] = leer;
}

int figur_von_buchstabe(char c) {
    switch (c) {
        case 'K': return wkonig;
        case 'Q': return wdame;
        case 'R': return wturm;
        case 'B': return wlaufer;
        case 'N': return wspringer;
        case 'P': return wbauer;
        case 'k': return skonig;
        case 'q': return sdame;
        case 'r': return sturm;
        case 'b': return slaufer;
        case 'n': return sspringer;
        case 'p': return sbauer;
        default: return leer;
    }
}

// Walks a FEN piece placement onto the board (which the caller has cleared).
// The cursor starts one before a8; '/' moves it before file a of the next
// lower rank whatever the finished rank described, so a short rank
// resynchronises. Placements outside 1 ... 64 are dropped: a digit 9, too
// many squares or pieces after a last '/' must not write past the board.
// Returns false when the text stopped at a blank.
bool platziere(const char* text) {
    long cursor = 56;
    for (size_t k = 0; k <= strlen(text); ++k) {
        const char c = text[k];
        const char ziffer[2] = {c, '\0'};
        const int wert = atoi(ziffer);
        if (wert != 0) {
            cursor += wert;
        } else if (c == ' ') {
            return false;
        } else if (c == '/') {
            const int linie = (cursor >= 0 && cursor < BRETTGROESSE) ? i_linie[cursor] : 0;
            cursor = cursor - linie - 8;
        } else if (const int p = figur_von_buchstabe(c); p != leer) {
            ++cursor;
            if (cursor >= 1 && cursor <= 64) brett[cursor] = static_cast<int16_t>(p);
        }
    }
    return true;
}

// Side effect of a test position on the game state besides the board.
enum Folge : int8_t { KEINE, TESTSTELLUNG, MITTELSPIEL };

struct Testpos {
    const char* stellung;
    Folge folge;
};

// Position 14 changes the board in place and has no placement of its own.
constexpr Testpos testpos[TESTSTELLUNGEN + 1] = {
    {"", KEINE},
    {"3n4/p2N2p1/1p6/2p2N2/3n1pP1/1P6/P2PP3/8", KEINE},
    {"q5k1/5p1p/5Qp1/8/8/8/P4PPP/2B3K1", TESTSTELLUNG},
    {"r3k3/ppp5/n7/3N4/8/8/2PP1P2/3K1B2", KEINE},
    {"4r2k/qp4pp/8/6N1/4P3/PQ1P4/2P3P1/7K", TESTSTELLUNG},
    {"7k/8/8/pppppppp/PPPPPPPP/8/8/K7", KEINE},
    {"6k1/8/R7/5K2/8/8/8/8", TESTSTELLUNG},
    {"1r3rk1/1q4p1/6P1/8/6P1/8/PPP3P1/1K1QR2R", TESTSTELLUNG},
    {"kbK5/pp6/1P6/8/8/8/8/R7", TESTSTELLUNG},
    {"3R4/6k1/5Np1/4K1P1/8/8/8/8", KEINE},
    {"6B1/3K4/3p1Pkp/2p3np/1n3R1P/4p1R1/4Q1pp/6bb", KEINE},
    {"8/8/8/3K1k2/2Q5/8/8/8", KEINE},
    {"5rk1/5ppp/8/8/8/1B6/6PP/2R2RK1", KEINE},
    {"r7/pp4k1/2p1r1P1/4p3/3nBpb1/P1BP4/1PP2PK1/R4R2", MITTELSPIEL},
    {"", KEINE},
    {"r6k/1P6/8/8/8/8/8/7K", KEINE},
    {"6rk/8/8/8/8/8/1p6/R1R4K", KEINE},
    {"8/8/5k2/1P6/p7/8/6K1/8", KEINE},
    {"6br/5Ppk/7p/8/8/8/8/7K", KEINE},
    {"8/5ppp/8/5PPP/8/k7/8/K7", TESTSTELLUNG},
    {"7k/8/8/8/2K5/8/P7/8", MITTELSPIEL},
    {"5k2/8/8/8/8/8/8/4K2R", MITTELSPIEL},
    {"2krr3/2pb2pp/1p1p1p2/p2P4/P1P2PP1/1P2R2P/3B4/2KR4", KEINE},
    {"5RKb/4P1n1/2p4p/3p2p1/3B2Q1/5B2/r6k/4r3", KEINE},
    {"4k3/pppppppp/8/8/8/8/PPPPPPPP/4K3", KEINE},
    {"4k3/p7/8/8/8/8/P7/4K3", KEINE},
    {"8/5ppp/8/5PPP/8/k7/8/K7", TESTSTELLUNG},
    {"8/8/p3R3/1p5p/7p/6rp/5K1p/7k", KEINE},
    {"k6K/8/p7/8/8/8/8/8", KEINE},
    {"8/k7/3p4/p2P1p2/P2P1P2/8/8/K7", TESTSTELLUNG},
    {"k7/8/8/8/8/8/8/K6R", KEINE},
    {"k7/8/8/8/8/8/BB6/K7", TESTSTELLUNG},
    {"8/5k1p/1R2Rn2/5q2/1p6/6P1/5P2/6K1", KEINE},
    {"7k/8/8/8/8/8/8/K7", TESTSTELLUNG},
    {"8/k1P1q3/8/8/8/8/7P/7K", KEINE},
    {"5r1k/q7/6Q1/8/8/8/8/7K", TESTSTELLUNG},
    {"7k/8/8/8/3pP3/8/8/7K", TESTSTELLUNG},
    {"r1q1r1k1/pp4bp/4n1p1/nP1Q1p2/P2P4/4B3/4BPPP/R3R1K1", TESTSTELLUNG},
    {"7k/8/8/8/8/8/R7/K7", TESTSTELLUNG},
    {"8/8/8/8/8/1kq5/8/RK6", TESTSTELLUNG},
    {"3k4/8/8/8/4K3/4P3/8/8", TESTSTELLUNG},
    {"8/8/5ppp/8/5PPP/K7/8/k7", MITTELSPIEL},
    {"r4rk1/3q3p/bppPp2P/p3Pp2/3P1P2/N4N2/2Q2K2/6RR", MITTELSPIEL},
    {"6R1/p1p5/2kr3p/8/1P3p1P/P7/4r1P1/5NK1", MITTELSPIEL},
    {"8/kp6/4R3/1P2K3/8/3pp3/8/8", MITTELSPIEL},
    {"4rr2/p5pk/1p1p3p/2pPpn2/q1P5/2P2P1P/PR1BQP1K/6R1", MITTELSPIEL},
    {"8/PPP4k/8/8/8/8/4Kppp/8", MITTELSPIEL},
    {"rn3rk1/pbppq1pp/1p2pb2/4N2Q/3PN3/3B4/PPP2PPP/R3K2R", MITTELSPIEL},
    {"kbK5/pp6/1P6/8/8/8/8/R7", MITTELSPIEL},
    {"8/8/8/4np1K/1NN2k2/1R6/1P5P/3n4", MITTELSPIEL},
};

// Past the first eight half-moves, out of reach of the opening depth limit.
constexpr int32_t MITTELSPIEL_ZUG = 25;

}  // namespace

int brettinit() {
    for (int x = 1; x <= 64; ++x)
        for (int y = 1; y <= 64; ++y)
            distance[x][y] = std::max(std::abs(i_reihe[x] - i_reihe[y]), std::abs(i_linie[x] - i_linie[y]));
    SpielZugNummer = 0;
    leere_brett();
    for (int s = a2; s <= h2; ++s) brett[s] = wbauer;
    for (int s = a7; s <= h7; ++s) brett[s] = sbauer;
    constexpr int16_t grundreihe[8] = {wturm, wspringer, wlaufer, wdame, wkonig, wlaufer, wspringer, wturm};
    for (int f = 0; f < 8; ++f) {
        brett[a1 + f] = grundreihe[f];
        brett[a8 + f] = static_cast<int16_t>(-grundreihe[f]);
    }
    a1_bewegt = h1_bewegt = h8_bewegt = a8_bewegt = e1_bewegt = e8_bewegt = 0;
    werdran = WEISS;
    return 0;
}

int epd(const char* text) {
    teststellung_an = 1;
    leere_brett();
    if (!platziere(text)) return 0;  // a blank ends the text before the keys
    InitStellung();
    return 1;
}

bool zahl_lesen(const char* text, int64_t& wert, const char** ende) {
    char* e = nullptr;
    const long long n = strtoll(text, &e, 10);
    if (e == text) return false;
    wert = n;
    if (ende != nullptr) *ende = e;
    return true;
}

bool ganze_zahl(const char* wort, int64_t& wert) {
    const char* ende = nullptr;
    int64_t n = 0;
    if (!zahl_lesen(wort, n, &ende) || *ende != '\0') return false;
    wert = n;
    return true;
}

bool fen_lesen(const char* text, Fen& f) {
    char feld_text[6][80];
    const int felder = sscanf(text, "%79s %79s %79s %79s %79s %79s", feld_text[0], feld_text[1], feld_text[2],
                              feld_text[3], feld_text[4], feld_text[5]);
    if (felder < 2) return false;
    f = Fen{};
    f.zugnummer = 1;

    // Placement: eight ranks from the eighth down, each of exactly eight
    // squares, pieces and digits only.
    const char* p = feld_text[0];
    int reihe = 8, linie = 1;
    for (; *p != '\0'; ++p) {
        if (*p == '/') {
            if (linie != 9 || reihe == 1) return false;
            --reihe, linie = 1;
        } else if (*p >= '1' && *p <= '8') {
            linie += *p - '0';
            if (linie > 9) return false;
        } else if (const int figur = figur_von_buchstabe(*p); figur != leer && linie <= 8) {
            f.brett[(reihe - 1) * 8 + linie] = static_cast<int16_t>(figur);
            ++linie;
        } else {
            return false;
        }
    }
    if (reihe != 1 || linie != 9) return false;

    if (strcmp(feld_text[1], "w") == 0) f.am_zug = WEISS;
    else if (strcmp(feld_text[1], "b") == 0) f.am_zug = SCHWARZ;
    else return false;

    if (felder >= 3 && strcmp(feld_text[2], "-") != 0) {
        for (const char* c = feld_text[2]; *c != '\0'; ++c) {
            const char* k = strchr("KQkq", *c);
            if (k == nullptr) return false;
            f.rochade[k - "KQkq"] = true;
        }
    }
    if (felder >= 4 && strcmp(feld_text[3], "-") != 0) {
        const char* e = feld_text[3];
        if (strlen(e) != 2 || e[0] < 'a' || e[0] > 'h' || (e[1] != '3' && e[1] != '6')) return false;
        f.ep_feld = (e[1] - '1') * 8 + (e[0] - 'a') + 1;
    }
    // The counters: whole numbers from 0 to a million.
    auto zaehler = [](const char* t, int32_t& ziel) {
        int64_t n = 0;
        if (!ganze_zahl(t, n) || n < 0 || n > 1000000) return false;
        ziel = static_cast<int32_t>(n);
        return true;
    };
    if (felder >= 5 && !zaehler(feld_text[4], f.halbzugzaehler)) return false;
    if (felder >= 6 && !zaehler(feld_text[5], f.zugnummer)) return false;
    return true;
}

int teststellung(int n) {
    if (n < 1 || n > TESTSTELLUNGEN) return 0;
    if (n == 14) {
        for (int s : {b1, f1, g1, d2, e2, e3, e6, d7, e7, b8, c8}) brett[s] = leer;
        brett[c3] = brett[f3] = wspringer;
        brett[d3] = brett[e4] = wbauer;
        brett[c4] = wlaufer;
        brett[d4] = sspringer;
        brett[g4] = slaufer;
        brett[e5] = brett[d6] = sbauer;
        return 0;
    }
    leere_brett();
    platziere(testpos[n].stellung);
    if (testpos[n].folge == TESTSTELLUNG) teststellung_an = 1;
    if (testpos[n].folge == MITTELSPIEL) SpielZugNummer = MITTELSPIEL_ZUG;
    return 0;
}

bool brett_ist_ok() {
    if (brett[0] != leer) return false;
    for (int s = 65; s < BRETTGROESSE; ++s)
        if (brett[s] != leer) return false;
    for (int s = 1; s <= 64; ++s)
        if (brett[s] < skonig || brett[s] > wkonig) return false;
    return (hashkennung2 ^ hashindex) == KENNUNG2_START;
}

}  // namespace kelpin
