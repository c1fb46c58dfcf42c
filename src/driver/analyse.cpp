// Analyze mode: the position searched without end until a line arrives, and
// the status line that `.` asks for. The commands that enter and leave the
// mode and the lines read meanwhile are the XBoard loop's (spiel.cpp).
#include <cstdio>

#include "driver/driver.h"

namespace kelpin {

// The status line of analyze mode: time in centiseconds, nodes, depth, root
// moves still to search and in all, the one being searched.
void analyse_status() {
    printf("stat01: %lld %lld %d %d %d", static_cast<long long>(vergangen(t_start) / 10),
           static_cast<long long>(statistik.nodes), MAXTIEFE - QSUCHE_START, wurzel_offen, wurzel_zuege);
    if (wurzel_aktuell.von != 0) printf(" %s%s", feld[wurzel_aktuell.von], feld[wurzel_aktuell.nach]);
    printf("\n");
    fflush(stdout);
}

// One stretch of analysis: the side to move is searched without end until a
// line arrives; a search that ends by itself (a position without moves, or
// every move excluded, the level limit) waits for the next line.
void analysieren() {
    const int16_t spieler = computerfarbe;
    computerfarbe = werdran;
    Suchauftrag a;
    a.endlos = true;
    a.linien = static_cast<int>(opt_mehrfach);
    a.bei_eingabe = eingabe_beim_denken;
    unterbrechung = Unterbrechung::KEINE;
    if (hat_legalen_zug(werdran) && ausschluss_einsetzen()) {
        partie_vorgeschichte();
        denken(&letzte_variante, a);
        ausschluss_abziehen();
    }
    computerfarbe = spieler;
    if (unterbrechung == Unterbrechung::KEINE) auf_eingabe_warten();
}

}  // namespace kelpin
