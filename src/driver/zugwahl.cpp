// The root's move set as an interface chooses it: UCI's `go searchmoves`
// for one search, XBoard's `exclude` and `include` for the game position
// until it changes. Both are handed to the search as its root set.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "driver/driver.h"

namespace kelpin {

namespace {

// XBoard's exclusions in the game position.
ZugEintrag ausgeschlossen[MAXZUEGE];
int ausgeschlossen_anzahl;

// A word as a legal move of the side to move: "e2e4", "e7e8q".
bool als_zug(const char* wort, ZugEintrag& m) {
    const size_t n = strlen(wort);
    if (n < 4 || n > 5) return false;
    const int von = feldnummer(wort[0], wort[1]);
    const int nach = feldnummer(wort[2], wort[3]);
    return von != 0 && nach != 0 && legaler_zug(von, nach, n == 5 ? wort[4] : '\0', m);
}

bool enthalten(const ZugEintrag* menge, int n, const ZugEintrag& m) {
    for (int i = 0; i < n; ++i)
        if (derselbe_zug(menge[i], m)) return true;
    return false;
}

}  // namespace

bool suchzuege_setzen(const char* zeile) {
    static constexpr const char* GO_WOERTER[] = {"wtime", "btime",    "winc",     "binc",   "movestogo", "depth",
                                                 "nodes", "mate",     "movetime", "ponder", "infinite",  "searchmoves"};
    wurzel_auswahl_anzahl = 0;
    Woerter w(zeile);
    bool gegeben = false;
    bool darin = false;
    for (const char* wort; (wort = w.naechstes()) != nullptr;) {
        bool schluesselwort = false;
        for (const char* g : GO_WOERTER) schluesselwort |= strcmp(wort, g) == 0;
        if (schluesselwort) {
            darin = strcmp(wort, "searchmoves") == 0;
            continue;
        }
        if (!darin) continue;
        gegeben = true;
        ZugEintrag m{};
        if (!als_zug(wort, m)) {
            mitteilung("searchmoves: %s is no legal move here, left out", wort);
        } else if (!enthalten(wurzel_auswahl, wurzel_auswahl_anzahl, m) && wurzel_auswahl_anzahl < MAXZUEGE) {
            wurzel_auswahl[wurzel_auswahl_anzahl++] = m;
        }
    }
    return !gegeben || wurzel_auswahl_anzahl > 0;
}

void suchzuege_aufheben() { wurzel_auswahl_anzahl = 0; }

void ausschluss_befehl(const char* zeile, bool ausschliessen) {
    char befehl[16], wort[16];
    if (sscanf(zeile, "%15s %15s", befehl, wort) != 2) return;
    if (strcmp(wort, "all") == 0) {
        ausgeschlossen_anzahl = 0;
        if (!ausschliessen) return;
        movegen(FREIE_LISTE, werdran);
        for (int i = 1; i <= index[FREIE_LISTE]; ++i) {
            const ZugEintrag& m = zug[FREIE_LISTE][i];
            if (ist_legal(FREIE_LISTE, i, werdran) && !enthalten(ausgeschlossen, ausgeschlossen_anzahl, m))
                ausgeschlossen[ausgeschlossen_anzahl++] = m;
        }
        return;
    }
    ZugEintrag m{};
    if (!als_zug(wort, m)) {
        printf("Error (illegal move): %s %s\n", befehl, wort);
        fflush(stdout);
        return;
    }
    const bool schon = enthalten(ausgeschlossen, ausgeschlossen_anzahl, m);
    if (ausschliessen && !schon && ausgeschlossen_anzahl < MAXZUEGE) ausgeschlossen[ausgeschlossen_anzahl++] = m;
    if (!ausschliessen && schon) {
        int j = 0;
        for (int i = 0; i < ausgeschlossen_anzahl; ++i)
            if (!derselbe_zug(ausgeschlossen[i], m)) ausgeschlossen[j++] = ausgeschlossen[i];
        ausgeschlossen_anzahl = j;
    }
}

void ausschluss_vergessen() { ausgeschlossen_anzahl = 0; }

bool ausschluss_einsetzen() {
    std::copy(ausgeschlossen, ausgeschlossen + ausgeschlossen_anzahl, wurzel_ausschluss);
    wurzel_ausschluss_anzahl = ausgeschlossen_anzahl;
    if (ausgeschlossen_anzahl == 0 || wurzel_legale() > 0) return true;
    wurzel_ausschluss_anzahl = 0;
    return false;
}

void ausschluss_abziehen() { wurzel_ausschluss_anzahl = 0; }

}  // namespace kelpin
