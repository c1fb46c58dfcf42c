// The bench: the signature positions searched at their fixed depths, each
// from an empty table and with nothing remembered from before, so that the
// node total is the same on every machine and in every build. A test
// framework checks a build by that total; the counts and moves are recorded
// in bench/signatur.txt.
#include <cstdio>
#include <cstring>

#include "driver/driver.h"

namespace kelpin {

const Benchstellung benchstellungen[BENCH_STELLUNGEN] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", WEISS, 8},
    {"r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R", SCHWARZ, 8},
    {"r7/pp4k1/2p1r1P1/4p3/3nBpb1/P1BP4/1PP2PK1/R4R2", WEISS, 7},
    {"r1q1r1k1/pp4bp/4n1p1/nP1Q1p2/P2P4/4B3/4BPPP/R3R1K1", WEISS, 7},
    {"rn3rk1/pbppq1pp/1p2pb2/4N2Q/3PN3/3B4/PPP2PPP/R3K2R", WEISS, 7},
    {"2krr3/2pb2pp/1p1p1p2/p2P4/P1P2PP1/1P2R2P/3B4/2KR4", SCHWARZ, 7},
    {"6R1/p1p5/2kr3p/8/1P3p1P/P7/4r1P1/5NK1", WEISS, 9},
    {"8/k7/3p4/p2P1p2/P2P1P2/8/8/K7", WEISS, 14},
};

namespace {

// The searches print nothing: in XBoard mode with the thinking lines off
// (as after `nopost`) the thinking driver is silent. The interface's
// settings come back afterwards.
struct Stumm {
    int16_t ausgabe_vorher = ausgabe;
    bool denkausgabe_vorher = denkausgabe;
    bool uci_vorher = uci_modus;
    Stumm() { ausgabe = 0, denkausgabe = false, uci_modus = false; }
    ~Stumm() { ausgabe = ausgabe_vorher, denkausgabe = denkausgabe_vorher, uci_modus = uci_vorher; }
};

// Forgets everything a turn leaves for the next one (hints, killers, the
// line record, the aspiration fail counter, the game's positions), so that
// a position is searched the same way whatever ran before it.
void vergessen() {
    hinweise_vergessen();
    memset(&letzte_variante, 0, sizeof letzte_variante);
    fehlversuche = 0;
    vorgeschichte_anzahl = 0;
}

}  // namespace

BenchErgebnis bench_suche(const Benchstellung& s) {
    Stumm stumm;
    vergessen();
    brettinit();
    if (epd(s.stellung)) InitHash();
    werdran = static_cast<int16_t>(s.farbe);
    computerfarbe = static_cast<int16_t>(s.farbe);
    Suchauftrag auftrag;
    auftrag.tiefe = s.tiefe;
    denken(&letzte_variante, auftrag);
    BenchErgebnis e{statistik.nodes, {}};
    const ZugEintrag& m = letzte_variante.zuege[0];
    snprintf(e.zug, sizeof e.zug, "%s%s", feld[m.von], feld[m.nach]);
    if (m.umwandlung == 1) e.zug[4] = umwandlungsbuchstabe(m.neue_figur, m.neue_figur > 0), e.zug[5] = '\0';
    return e;
}

void bench() {
    int64_t gesamt = 0;
    const int32_t t0 = timer();
    for (const Benchstellung& s : benchstellungen) {
        const BenchErgebnis e = bench_suche(s);
        gesamt += e.knoten;
        printf("%s %c %d %lld %s\n", s.stellung, s.farbe == WEISS ? 'w' : 'b', s.tiefe,
               static_cast<long long>(e.knoten), e.zug);
        fflush(stdout);
    }
    const int64_t ms = vergangen(t0);
    // The last position is not the game's: the game starts anew, and the
    // next search sees nothing of the bench's.
    {
        Stumm stumm;
        neues_spiel();
        vergessen();
    }
    printf("%lld nodes %lld nps\n", static_cast<long long>(gesamt),
           static_cast<long long>(gesamt * 1000 / (ms > 0 ? ms : 1)));
    fflush(stdout);
}

}  // namespace kelpin
