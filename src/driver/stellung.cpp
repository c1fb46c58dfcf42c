// Positions for both protocols: a FEN checked and set up (XBoard's setboard,
// UCI's position), the initial position, a new game, and the test whether a
// board is one a game can reach. Reading a FEN's fields is the board's
// (fen_lesen); what the game records from here on is partie.cpp's.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "driver/driver.h"

namespace kelpin {

namespace {

constexpr int ZEILE = 256;  // the longest setboard line XBoard mode takes whole

char fen[ZEILE];     // the last placement given to setboard
bool fen_gelesen;    // false until a setboard line carried a placement

// Reads "setboard %s": the first token after the keyword.
bool lies_fen(const char* zeile) {
    constexpr size_t n = sizeof "setboard" - 1;
    if (strncmp(zeile, "setboard", n) != 0) return false;
    const char* p = zeile + n;
    while (*p != '\0' && isspace(static_cast<unsigned char>(*p))) ++p;
    size_t k = 0;
    while (p[k] != '\0' && !isspace(static_cast<unsigned char>(p[k])) && k < ZEILE - 1) ++k;
    if (k == 0) return false;
    memcpy(fen, p, k);
    fen[k] = '\0';
    return true;
}

// The line without its line end, for messages that repeat it.
void zeile_ohne_ende(const char* zeile, char* ziel, size_t groesse) {
    size_t n = strcspn(zeile, "\r\n");
    if (n >= groesse) n = groesse - 1;
    memcpy(ziel, zeile, n);
    ziel[n] = '\0';
}

}  // namespace

bool ist_spielbar(int am_zug) {
    int koenige[2] = {0, 0};
    for (int s = 1; s <= 64; ++s) {
        const int p = brett[s];
        if (p == wkonig) ++koenige[0];
        if (p == skonig) ++koenige[1];
        if ((p == wbauer || p == sbauer) && (i_reihe[s] == 1 || i_reihe[s] == 8)) return false;
    }
    return koenige[0] == 1 && koenige[1] == 1 && !koenig_bedroht(gegenseite(am_zug));
}

bool fen_spielbar(const Fen& f) {
    int16_t gesichert[BRETTGROESSE];
    memcpy(gesichert, brett, sizeof brett);
    for (int s = 1; s <= 64; ++s) brett[s] = f.brett[s];
    const bool gut = ist_spielbar(f.am_zug);
    memcpy(brett, gesichert, sizeof brett);
    return gut;
}

void fen_aufstellen(const Fen& f) {
    // As a placement set up, but the table is left alone: every thinking
    // turn clears it anyway, and a UCI interface sends a position per move.
    for (int s = 1; s <= 64; ++s) brett[s] = f.brett[s];
    teststellung_an = 1;
    InitStellung();
    werdran = static_cast<int16_t>(f.am_zug);
    // A right whose king or rook has left its home square is dropped.
    const bool K = f.rochade[0] && brett[e1] == wkonig && brett[h1] == wturm;
    const bool Q = f.rochade[1] && brett[e1] == wkonig && brett[a1] == wturm;
    const bool k = f.rochade[2] && brett[e8] == skonig && brett[h8] == sturm;
    const bool q = f.rochade[3] && brett[e8] == skonig && brett[a8] == sturm;
    h1_bewegt = !K, a1_bewegt = !Q, e1_bewegt = !(K || Q);
    h8_bewegt = !k, a8_bewegt = !q, e8_bewegt = !(k || q);
    // The square a pawn just passed, if that pawn stands beyond it.
    const int e = f.ep_feld;
    const bool weiss_zieht = f.am_zug == WEISS;
    const bool ep = e != 0 && i_reihe[e] == (weiss_zieht ? 6 : 3) && brett[e] == leer &&
                    brett[weiss_zieht ? e - 8 : e + 8] == (weiss_zieht ? sbauer : wbauer) &&
                    brett[weiss_zieht ? e + 8 : e - 8] == leer;
    partie_neu(ep ? e : 0, f.halbzugzaehler);
    aufzeichnung_neu(f.zugnummer);
}

bool fen_setzen(const char* text) {
    Fen f;
    if (!fen_lesen(text, f) || !fen_spielbar(f)) return false;
    fen_aufstellen(f);
    return true;
}

void grundstellung() {
    brettinit();
    InitStellung();
    teststellung_an = 0;
    werdran = WEISS;
    aufzeichnung_neu(1);
    partie_neu();
}

void neues_spiel() {
    grundstellung();
    InitHash();
    computerfarbe = SCHWARZ;
    forcemode = 0;
    uhr_neue_partie();
    buch_neue_partie();
    if (ausgabe == 1) puts("New game.");
}

// setboard: a placement alone is put on the board as it comes, the side to
// move and the castling flags left as they are. A full FEN (placement and at
// least the side to move) sets up the whole position, or, when it is no
// position a game can reach, is refused and changes nothing.
void setboard(const char* zeile) {
    const char* rest = zeile + strlen("setboard");
    char zweites[4];
    if (sscanf(rest, "%*s %3s", zweites) != 1) {
        if (lies_fen(zeile)) fen_gelesen = true;
        if (fen_gelesen) {
            if (epd(fen)) InitHash();
            partie_neu();
        }
        return;
    }
    if (!fen_setzen(rest)) {
        if (ausgabe == 0) {
            puts("tellusererror Illegal position");
        } else {
            char text[ZEILE];
            zeile_ohne_ende(zeile, text, sizeof text);
            printf("Error (illegal position): %s\n", text);
        }
        fflush(stdout);
        return;
    }
    buch_neue_partie();
}

}  // namespace kelpin
