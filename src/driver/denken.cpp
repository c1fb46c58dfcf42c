// The thinking driver and the clock: iterative deepening with an aspiration
// window, one thinking line per iteration, and the stop tests between
// iterations. The search never reads the clock, so an iteration always ends.
#include <chrono>
#include <cstdio>

#include "driver/driver.h"

namespace kelpin {

int32_t t_start;

int32_t timer() {
    const auto jetzt = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(jetzt).count();
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

int64_t vergangen(int32_t seit) {
    return static_cast<int32_t>(static_cast<uint32_t>(timer()) - static_cast<uint32_t>(seit));
}

namespace {

constexpr int FENSTER_OFFEN = 28000;
constexpr int FENSTER_HALB = 50;      // half-width of the aspiration window
constexpr int FENSTER_SCHRITT = 15;   // slide after a failed iteration
constexpr int MATT_SCHWELLE = 19000;
constexpr int KOENIGSWERT = 20000;
constexpr int ERSTE_TIEFE = 4;        // nominal depth of the first iteration
constexpr int EROEFFNUNG_ZUEGE = 8;
constexpr int EROEFFNUNG_TIEFE = 6;
constexpr int MATT_MINDESTTIEFE = 7;

void zaehler_nullen() {
    nodes = reps = cutoff_zahl = one_response = reductions = cutoff_zaehler = onerep_extended = 0;
    hashbetacut = qnodes = hashalphacut = threat_extension = hashstores = evals = capture_ext = 0;
    hashtreffer = nullcut = futility = betacuts = firstbetacutoff = 0;
}

void kopf() {
    brettanz();
    printf("\n");
    printf("Position's hashkey: %02x\t", static_cast<uint32_t>(hashkennung));
    printf("Allocated time: %i seconds.\n", THINKTIME);
    printf("\n\t\t\t-------------------\n\t\t\t| T H I N K I N G |\n\t\t\t-------------------\n");
    printf("\n");
    printf("time\tdepth\tnodes\tvalue\tprincipal variation");
    printf("\n");
}

}  // namespace

int fehlversuche;

void zug_drucken(const ZugEintrag& m) {
    printf("%s%s", feld[m.von], feld[m.nach]);
    if (m.umwandlung == 1) printf("%c", figurensymbol[m.neue_figur + 6]);
}

int denken(Variante* linie, int nominal_grenze, bool* frisch) {
    // Preparation: fresh counters, an empty table, keys from the board.
    int alpha = -FENSTER_OFFEN;
    int beta = FENSTER_OFFEN;
    zaehler_nullen();
    t_start = timer();
    if (ausgabe == 1) printf("Clearing hash...");
    InitHash();
    if (ausgabe == 1) printf("done.\n");
    InitStellung();
    InitSearch();
    if (ausgabe == 1) kopf();
    if (frisch != nullptr) *frisch = false;

    int d = QSUCHE + ERSTE_TIEFE;
    int v = 0;
    for (;;) {
        MAXTIEFE = d;
        linie->anzahl = 0;
        v = AlphaBeta(d, alpha, beta, computerfarbe, linie);
        if (linie->anzahl >= 1 && frisch != nullptr) *frisch = true;

        // The thinking line; its moves become the next iteration's hints.
        const int64_t e = vergangen(t_start);
        if (ausgabe == 1) {
            printf("%i", static_cast<int>(e));
            printf("\t%i/%i\t%iK\t%i\t", d - QSUCHE, sel_gipfel, nodes / 1000, v);
        } else {
            printf("%i %i %i %i ", d - QSUCHE, v, static_cast<int>(e / 10), nodes);
        }
        const int k = linie->anzahl >= 1 ? linie->anzahl : 1;
        for (int i = 0; i < k; ++i) {
            zug_drucken(linie->zuege[i]);
            printf(" ");
            if (const int ebene = d + 1 - i; ebene >= 0 && ebene < EBENEN) oldhvar[ebene] = linie->zuege[i];
        }
        if (ausgabe == 1) {
            if (v > MATT_SCHWELLE) printf("#%i", (KOENIGSWERT - v) / 2);
            if (v < -MATT_SCHWELLE) printf("-#%i", (v + KOENIGSWERT) / 2);
        } else {
            printf("\n");
            fflush(stdout);
        }
        if (THINKTIME == 0) THINKTIME = 1;

        // Stop tests, only ever between iterations.
        if (SpielZugNummer <= EROEFFNUNG_ZUEGE && d > QSUCHE + EROEFFNUNG_TIEFE - 1 && teststellung_an == 0) break;
        if (v > MATT_SCHWELLE && d > QSUCHE + MATT_MINDESTTIEFE - 1) break;
        if (d >= EBENEN - 1) break;
        if (nominal_grenze > 0) {
            if (d - QSUCHE >= nominal_grenze) break;
        } else if (vergangen(t_start) >= static_cast<int64_t>(THINKTIME) * 1000) {
            break;
        }

        // The aspiration window: inside, deepen with a window around v; a
        // failure slides the window twice, then opens that side.
        if (alpha < v && v < beta) {
            fehlversuche = 0;
            if (ausgabe == 1) printf("\n");
            ++d;
            alpha = v - FENSTER_HALB;
            beta = v + FENSTER_HALB;
            continue;
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
        for (int i = 0; i < k; ++i)
            if (const int ebene = d - i; ebene >= 0 && ebene < EBENEN) oldhvar[ebene] = linie->zuege[i];
        if (ausgabe == 1) printf("\n");
    }
    return v;
}

}  // namespace kelpin
