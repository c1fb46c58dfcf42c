// Several lines (MultiPV): an iteration searches the best move of the root's
// set, then the best of the rest with that one excluded, and so on, each to
// an exact score of its own; the lines are shown best first. The moves
// already found are passed over through the root's exclusions, so all the
// extra work is done at the root and a search for one line is untouched.
#include <algorithm>
#include <cstdio>

#include "driver/driver.h"

namespace kelpin {

namespace {

constexpr int GEMERKT_ZUEGE = 128;  // moves kept of a line

struct Gefunden {
    int wert;
    int anzahl;
    ZugEintrag zuege[GEMERKT_ZUEGE];
};

// The lines of the iteration that runs, and of the last one finished in
// this turn (best first; they give the next iteration its windows and hints).
Gefunden laufend[MEHRFACH_GROESST];
Gefunden fertig[MEHRFACH_GROESST];
int fertig_anzahl;
int letzte_ebene;  // root level of the latest call: a call at or below it begins a new turn
Variante puffer;

void merken(Gefunden& g, int wert, const Variante& v) {
    g.wert = wert;
    g.anzahl = std::min(v.anzahl, GEMERKT_ZUEGE);
    std::copy(v.zuege, v.zuege + g.anzahl, g.zuege);
}

void auspacken(const Gefunden& g, Variante& v) {
    v.anzahl = g.anzahl;
    std::copy(g.zuege, g.zuege + g.anzahl, v.zuege);
}

}  // namespace

int wurzel_legale() {
    movegen(FREIE_LISTE, computerfarbe);
    int n = 0;
    for (int i = 1; i <= index[FREIE_LISTE]; ++i)
        n += in_wurzel_auswahl(zug[FREIE_LISTE][i]) && ist_legal(FREIE_LISTE, i, computerfarbe);
    return n;
}

int mehrfach_iteration(int linien, int d, int& alpha, int& beta, Variante* variante) {
    if (d <= letzte_ebene) fertig_anzahl = 0;
    letzte_ebene = d;
    const int n = std::min({linien, MEHRFACH_GROESST, wurzel_legale()});
    if (n < 1) return AlphaBeta(d, alpha, beta, computerfarbe, variante);

    const int ausgeschlossen = wurzel_ausschluss_anzahl;  // the interface's exclusions stay
    int gefunden = 0;
    int erster_wert = 0;
    for (int k = 0; k < n; ++k) {
        // The first line keeps the driver's window; the others start around
        // their last score, or open.
        int a = -FENSTER_OFFEN, b = FENSTER_OFFEN;
        if (k == 0) {
            a = alpha, b = beta;
        } else if (k < fertig_anzahl) {
            a = fertig[k].wert - FENSTER_HALB, b = fertig[k].wert + FENSTER_HALB;
            // The line this rank had last time gives the hints, as the best line does.
            hinweise_setzen(fertig[k].zuege, fertig[k].anzahl, d);
        }
        int v;
        for (;;) {
            puffer.anzahl = 0;
            v = AlphaBeta(d, a, b, computerfarbe, &puffer);
            if (abgebrochen) break;
            if (v <= a && a > -FENSTER_OFFEN)
                a = -FENSTER_OFFEN;
            else if (v >= b && b < FENSTER_OFFEN)
                b = FENSTER_OFFEN;
            else
                break;
        }
        if (abgebrochen || puffer.anzahl < 1) {
            if (k == 0) {
                wurzel_ausschluss_anzahl = ausgeschlossen;
                variante->anzahl = puffer.anzahl;
                std::copy(puffer.zuege, puffer.zuege + puffer.anzahl, variante->zuege);
                return v;
            }
            break;
        }
        if (k == 0) alpha = a, beta = b, erster_wert = v;
        merken(laufend[k], v, puffer);
        wurzel_ausschluss[wurzel_ausschluss_anzahl++] = puffer.zuege[0];
        gefunden = k + 1;
    }
    wurzel_ausschluss_anzahl = ausgeschlossen;

    // Stopped after the first line: that line is this depth's best move, and
    // the lines of the last finished iteration stay.
    if (abgebrochen) {
        auspacken(laufend[0], *variante);
        return erster_wert;
    }
    // A later line may come back above an earlier one (the searches differ
    // in their windows): best first all the same, equal scores in the order
    // found.
    int rang[MEHRFACH_GROESST];
    for (int i = 0; i < gefunden; ++i) {
        int j = i;
        for (; j > 0 && laufend[rang[j - 1]].wert < laufend[i].wert; --j) rang[j] = rang[j - 1];
        rang[j] = i;
    }
    for (int i = 0; i < gefunden; ++i) fertig[i] = laufend[rang[i]];
    fertig_anzahl = gefunden;
    auspacken(fertig[0], *variante);
    const int v = fertig[0].wert;
    alpha = std::min(alpha, v - 1);
    beta = std::max(beta, v + 1);
    return v;
}

int mehrfach_anzahl() { return fertig_anzahl; }

int mehrfach_wert(int rang) { return fertig[rang].wert; }

void mehrfach_linie(int rang, Variante& v) { auspacken(fertig[rang], v); }

void mehrfach_zeigen(int tiefe, int64_t ms) {
    const int n = std::min(fertig_anzahl, static_cast<int>(opt_mehrfach));
    for (int r = 0; r < n; ++r) {
        auspacken(fertig[r], puffer);
        const int k = puffer.anzahl >= 1 ? puffer.anzahl : 1;
        denkzeile(tiefe, fertig[r].wert, ms, puffer, k, "", opt_mehrfach > 1 ? r + 1 : 0);
        // The console ends a line where the next begins; its last line is
        // ended by the thinking driver.
        if (ausgabe == 1 && !uci_modus && r + 1 < n) printf("\n");
    }
}

}  // namespace kelpin
