// The search signature: fixed positions searched to a fixed nominal depth
// through the real thinking driver. Node counts and best moves are recorded
// in bench/signatur.txt, which the unit test and `make bench` both read: a
// change that alters the search shows up as a changed count.
//
// The engine's own list and search of these positions (`benchstellungen`,
// `bench_suche`) are the ones `kelpin bench` runs and the unit test checks
// against the table. kelpin_bench reads the positions from the table and
// searches them with the copy below, because tools/bench.sh compiles it
// against earlier commits too, which have neither.
#pragma once
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver/driver.h"

namespace kelpin::signatur {

struct Zeile {
    std::string stellung;  // FEN piece placement
    int farbe;             // side to move, 1 White, 2 Black
    int tiefe;             // nominal depth of the last iteration
    long long knoten;      // nodes of the whole turn
    std::string zug;       // the move the turn found
};

// Lines: placement, side (w/b), depth, nodes, move; '#' starts a comment.
inline std::vector<Zeile> lade(const char* pfad) {
    std::vector<Zeile> zeilen;
    FILE* f = fopen(pfad, "r");
    if (f == nullptr) return zeilen;
    char puffer[512];
    while (fgets(puffer, sizeof puffer, f) != nullptr) {
        char stellung[256], seite[4], zug[16];
        int tiefe = 0;
        long long knoten = 0;
        if (puffer[0] == '#') continue;
        if (sscanf(puffer, "%255s %3s %d %lld %15s", stellung, seite, &tiefe, &knoten, zug) != 5) continue;
        zeilen.push_back({stellung, seite[0] == 'b' ? SCHWARZ : WEISS, tiefe, knoten, zug});
    }
    fclose(f);
    return zeilen;
}

struct Ergebnis {
    long long knoten;
    std::string zug;
};

// Forgets everything a previous turn leaves for the next one (hints, killers,
// the line record, the aspiration fail counter), so that each position is
// searched the same way whatever ran before it.
inline void vergessen() {
    memset(oldhvar, 0, sizeof oldhvar);
    memset(killer, 0, sizeof killer);
    memset(&letzte_variante, 0, sizeof letzte_variante);
    fehlversuche = 0;
    vorgeschichte_anzahl = 0;
}

// Searches one position; the thinking lines go to standard output.
inline Ergebnis suche(const Zeile& z) {
    vergessen();
    brettinit();
    if (epd(z.stellung.c_str())) InitHash();
    werdran = static_cast<int16_t>(z.farbe);
    computerfarbe = static_cast<int16_t>(z.farbe);
    Suchauftrag auftrag;
    auftrag.tiefe = z.tiefe;
    denken(&letzte_variante, auftrag);
    const ZugEintrag& m = letzte_variante.zuege[0];
    std::string zug = std::string(feld[m.von]) + feld[m.nach];
    if (m.umwandlung == 1) zug += figurensymbol[m.neue_figur + 6];
    return {statistik.nodes, zug};
}

}  // namespace kelpin::signatur
