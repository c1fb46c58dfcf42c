// The thinking driver: iterative deepening with an aspiration window, one
// thinking line per completed iteration, the stop tests between iterations,
// and the hard stop that the search asks for every few thousand nodes.
#include <cstdio>

#include "driver/driver.h"

namespace kelpin {

namespace {

constexpr int FENSTER_SCHRITT = 15;   // slide after a failed iteration
constexpr int ERSTE_TIEFE = 4;        // nominal depth of the first iteration
constexpr int EROEFFNUNG_ZUEGE = 8;
constexpr int EROEFFNUNG_TIEFE = 6;
constexpr int MATT_MINDESTTIEFE = 7;

// The turn's order, for the stop check that the search calls; a ponder hit
// gives it the budget of the real turn.
Suchauftrag laufender_auftrag;
// The clock of the budget: the turn's start, or the ponder hit.
int32_t budget_start;
// Input is looked at once an iteration has come to its end: a move asked
// for at once is then at least the choice of a whole (if shallow) search.
bool iteration_fertig;

bool anhalten_pruefen() {
    const Suchauftrag& a = laufender_auftrag;
    if (!pondern && a.hart_ms >= 0 && vergangen(budget_start) >= a.hart_ms) return true;
    if (!pondern && a.knoten > 0 && statistik.nodes >= a.knoten) return true;
    if (a.bei_eingabe == nullptr || !iteration_fertig) return false;
    if (eingabe_pruefen() && a.bei_eingabe()) return true;
    // A search without end cannot wait for input that will never come.
    return a.endlos && eingabe_beendet();
}

// The console's progress line: the root move being searched.
void wurzelzug_anzeigen(const ZugEintrag& m) { printf("Thinking: %s%s\r", feld[m.von], feld[m.nach]); }

void kopf(const Suchauftrag& a) {
    brettanz();
    printf("\n");
    printf("Position's hashkey: %02x\t", static_cast<uint32_t>(hashkennung));
    // The target, rounded to seconds.
    printf("Allocated time: %i seconds.\n", a.ziel_ms < 0 ? 0 : static_cast<int>((a.ziel_ms + 500) / 1000));
    printf("\n\t\t\t-------------------\n\t\t\t| T H I N K I N G |\n\t\t\t-------------------\n");
    printf("\n");
    printf("time\tdepth\tnodes\tvalue\tprincipal variation");
    printf("\n");
}

}  // namespace

int fehlversuche;
bool pondern;

void ponder_treffer(const Suchauftrag* echt) {
    // The search goes on as the real turn: what it has done counts as done,
    // and the budget of the real turn starts now.
    if (echt != nullptr) {
        laufender_auftrag.ziel_ms = echt->ziel_ms;
        laufender_auftrag.hart_ms = echt->hart_ms;
        laufender_auftrag.voll = echt->voll;
        laufender_auftrag.tiefe = echt->tiefe;
        laufender_auftrag.knoten = echt->knoten;
    }
    budget_start = timer();
    pondern = false;
}

void zug_drucken(const ZugEintrag& m) {
    printf("%s%s", feld[m.von], feld[m.nach]);
    if (m.umwandlung == 1) printf("%c", umwandlungsbuchstabe(m.neue_figur, m.neue_figur > 0));
}

namespace {

// The thinking line in the console's columns: time, depth/selective depth,
// kilonodes, score, line, a mate as #n; the line is ended by the window's
// marks that follow it.
void konsole_denkzeile(int tiefe, int wert, int64_t ms, const Variante& variante, int k) {
    printf("%i", static_cast<int>(ms));
    printf("\t%i/%i\t%lldK\t%i\t", tiefe, sel_gipfel, static_cast<long long>(statistik.nodes / 1000), wert);
    for (int i = 0; i < k; ++i) {
        zug_drucken(variante.zuege[i]);
        printf(" ");
    }
    if (wert > MATT_SCHWELLE) printf("#%i", (KOENIGSWERT - wert) / 2);
    if (wert < -MATT_SCHWELLE) printf("-#%i", (wert + KOENIGSWERT) / 2);
}

// The XBoard thinking line: ply score centiseconds nodes line.
void xboard_denkzeile(int tiefe, int wert, int64_t ms, const Variante& variante, int k) {
    printf("%i %i %i %lld ", tiefe, wert, static_cast<int>(ms / 10), static_cast<long long>(statistik.nodes));
    for (int i = 0; i < k; ++i) {
        zug_drucken(variante.zuege[i]);
        printf(" ");
    }
    printf("\n");
    fflush(stdout);
}

// 1. The turn's preparation: its clock and order, fresh statistics, an empty
//    table, keys from the board, and the stop question handed to the search.
void denken_vorbereiten(const Suchauftrag& auftrag, bool* frisch) {
    t_start = budget_start = timer();
    laufender_auftrag = auftrag;
    pondern = auftrag.ponder;
    if (ausgabe == 1) printf("Clearing hash...done.\n");
    suche_vorbereiten();
    wurzel_anzeige = ausgabe == 1 ? wurzelzug_anzeigen : nullptr;
    if (ausgabe == 1) kopf(auftrag);
    if (frisch != nullptr) *frisch = false;
    anhalten = anhalten_pruefen;
    abgebrochen = false;
    iteration_fertig = false;
}

// The stop tests between iterations: the opening limit, a mate found, the
// level limit, the depth limit, and the target. An iteration that would
// likely end past the target is not started: the next one takes at least
// about as long again as this one did. While pondering no target holds (the
// clock is the opponent's); a search that ends by itself then waits for the
// ponder hit.
bool iterationen_enden(const Suchauftrag& a, int d, int v, int alpha, int64_t knoten_start,
                       int32_t iteration_start) {
    if (!a.endlos) {
        if (SpielZugNummer <= EROEFFNUNG_ZUEGE && d > QSUCHE + EROEFFNUNG_TIEFE - 1 && teststellung_an == 0)
            return true;
        if (v > MATT_SCHWELLE && d > QSUCHE + MATT_MINDESTTIEFE - 1) return true;
    }
    if (d >= EBENEN - 1) return true;
    if (a.tiefe > 0 && d - QSUCHE >= a.tiefe) return true;
    // A mate search ends with a mate short enough (a score above the window
    // is a mate at least that short). A node target holds like the time's,
    // also while pondering: the setting's strength counts every node the
    // turn searched.
    if (a.matt > 0 && v > MATT_SCHWELLE && v > alpha && (KOENIGSWERT - v + 1) / 2 <= a.matt) return true;
    const int64_t nodes = statistik.nodes;
    if (a.ziel_knoten > 0 && 10 * nodes + ZEIT_WACHSTUM_ZEHNTEL * (nodes - knoten_start) > 10 * a.ziel_knoten)
        return true;
    if (!a.endlos && !pondern && a.ziel_ms >= 0) {
        const int64_t jetzt = vergangen(budget_start);
        const int64_t dauer = vergangen(iteration_start);
        if (jetzt >= a.ziel_ms) return true;
        if (!a.voll && 10 * jetzt + ZEIT_WACHSTUM_ZEHNTEL * dauer > 10 * a.ziel_ms) return true;
    }
    return false;
}

// The aspiration window after an iteration that scored v: inside, deepen
// with a window around v; a failure slides the window twice, then opens
// that side, and the same depth is searched again with the line's k moves
// as its hints. The console marks a failure with ? / ?? (low) or ! / !!.
void fenster_nachfuehren(int v, int& d, int& alpha, int& beta, const Variante& variante, int k) {
    if (alpha < v && v < beta) {
        fehlversuche = 0;
        if (ausgabe == 1) printf("\n");
        ++d;
        alpha = v - FENSTER_HALB;
        beta = v + FENSTER_HALB;
        return;
    }
    ++fehlversuche;
    if (v <= alpha) {
        if (fehlversuche > 2) {
            alpha = -FENSTER_OFFEN;
            if (ausgabe == 1) printf("??");
        } else {
            alpha -= FENSTER_SCHRITT;
            beta -= FENSTER_SCHRITT;
            if (ausgabe == 1) printf("?");
        }
    } else {
        if (fehlversuche > 2) {
            beta = FENSTER_OFFEN;
            if (ausgabe == 1) printf("!!");
        } else {
            alpha += FENSTER_SCHRITT;
            beta += FENSTER_SCHRITT;
            if (ausgabe == 1) printf("!");
        }
    }
    hinweise_setzen(variante.zuege, k, d);
    if (ausgabe == 1) printf("\n");
}

}  // namespace

void denkzeile(int tiefe, int wert, int64_t ms, const Variante& variante, int k, const char* grenze, int nummer) {
    if (uci_modus)
        uci_denkzeile(tiefe, wert, ms, variante, k, grenze, nummer);
    else if (ausgabe == 1)
        konsole_denkzeile(tiefe, wert, ms, variante, k);
    else if (denkausgabe)
        xboard_denkzeile(tiefe, wert, ms, variante, k);
}

int denken(Variante* variante, const Suchauftrag& auftrag, bool* frisch) {
    denken_vorbereiten(auftrag, frisch);
    int alpha = -FENSTER_OFFEN;
    int beta = FENSTER_OFFEN;
    int d = QSUCHE + ERSTE_TIEFE;
    int v = 0;
    int letzter_wert = 0;  // of the last iteration that ran to its end
    const Suchauftrag& a = laufender_auftrag;
    for (;;) {
        // 2. One iteration at root level d within the window.
        const int32_t iteration_start = timer();
        const int64_t knoten_start = statistik.nodes;
        MAXTIEFE = d;
        variante->anzahl = 0;
        v = a.linien > 1 ? mehrfach_iteration(a.linien, d, alpha, beta, variante)
                         : AlphaBeta(d, alpha, beta, computerfarbe, variante);

        // A stopped iteration prints no line. Its result counts only when a
        // root move was searched to its end and raised the root's alpha:
        // then the line holds it; else the line's slots still hold the last
        // line returned, and the score is that of the last iteration.
        if (abgebrochen) {
            if (variante->anzahl >= 1) {
                if (frisch != nullptr) *frisch = true;
            } else {
                v = letzter_wert;
            }
            break;
        }
        letzter_wert = v;
        iteration_fertig = true;
        if (variante->anzahl >= 1 && frisch != nullptr) *frisch = true;

        // 3. The thinking line in the mode's format (in XBoard mode unless
        //    switched off); its moves become the next iteration's hints.
        const int64_t e = vergangen(t_start);
        const int k = variante->anzahl >= 1 ? variante->anzahl : 1;
        hinweise_setzen(variante->zuege, k, d + 1);
        if (a.linien > 1)
            mehrfach_zeigen(d - QSUCHE, e);
        else
            denkzeile(d - QSUCHE, v, e, *variante, k, v <= alpha ? " upperbound" : (v >= beta ? " lowerbound" : ""), 0);
        if (THINKTIME == 0) THINKTIME = 1;

        // 4. Stop, or the next iteration's depth and window.
        if (iterationen_enden(a, d, v, alpha, knoten_start, iteration_start)) break;
        fenster_nachfuehren(v, d, alpha, beta, *variante, k);
    }
    anhalten = nullptr;
    return v;
}

}  // namespace kelpin
