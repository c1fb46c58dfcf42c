// The UCI command loop, beside the XBoard one: the interface sends the whole
// position before every search, the engine searches on `go` and answers with
// `bestmove`, reading `stop`, `isready` and `quit` while it thinks. It shares
// with the XBoard loop the positions (stellung.cpp), the game (partie.cpp),
// the input and its end (eingabe.cpp), the clock and the thinking driver.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "driver/driver.h"

namespace kelpin {

bool uci_modus;

namespace {

char zeile[ZEILE_MAX + 1];
// The info line last printed in this `go`: its depth and first move, so
// that the move played is never one that no info line has shown.
bool info_gedruckt;
int info_tiefe;
ZugEintrag info_zug;
// The last position command that was taken: a malformed one after it
// leaves the position it set up.
char letzte_position[ZEILE_MAX + 1] = "position startpos";

void sagen(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    printf("\n");
    fflush(stdout);
}

void zug_uci(const ZugEintrag& m, char* text) {
    snprintf(text, 8, "%s%s", feld[m.von], feld[m.nach]);
    if (m.umwandlung == 1) text[4] = umwandlungsbuchstabe(m.neue_figur), text[5] = '\0';
}

// position startpos|fen <FEN> [moves ...]: taken whole or not at all.
bool position(const char* text, bool melden) {
    Woerter w(text);
    w.naechstes();  // "position"
    const char* art = w.naechstes();
    const char* wort = nullptr;
    if (art != nullptr && strcmp(art, "startpos") == 0) {
        grundstellung();
        wort = w.naechstes();
    } else if (art != nullptr && strcmp(art, "fen") == 0) {
        char fen[ZEILE_MAX + 1] = "";
        while ((wort = w.naechstes()) != nullptr && strcmp(wort, "moves") != 0) {
            if (strlen(fen) + strlen(wort) + 2 > sizeof fen) break;
            if (fen[0] != '\0') strcat(fen, " ");
            strcat(fen, wort);
        }
        if (!fen_setzen(fen)) {
            if (melden) sagen("info string illegal position, the position stays as it was: %s", fen);
            return false;
        }
    } else {
        if (melden) sagen("info string position needs startpos or fen");
        return false;
    }
    if (wort != nullptr && strcmp(wort, "moves") == 0) {
        while ((wort = w.naechstes()) != nullptr) {
            const Eingabe e = zug_lesen(wort);
            if (e == Eingabe::KEIN_ZUG || e == Eingabe::ILLEGAL) {
                if (melden) sagen("info string illegal move %s, the position stays as it was", wort);
                char vorige[ZEILE_MAX + 1];
                strcpy(vorige, letzte_position);
                position(vorige, false);
                return false;
            }
        }
    }
    // A position that does not go on from the last one begins a new game:
    // the book may be used again.
    const size_t n = strcspn(letzte_position, "\r\n");
    if (strncmp(text, letzte_position, n) != 0) buch_neue_partie();
    strcpy(letzte_position, text);
    return true;
}

// While a `go` search runs: `isready` is answered at once, `stop` plays the
// best move so far, `quit` ends the program; every other line waits.
bool eingabe_beim_suchen() {
    while (const char* z = naechste_neue_zeile()) {
        Woerter w(z);
        const char* wort = w.naechstes();
        if (wort == nullptr) continue;
        if (strcmp(wort, "quit") == 0) programm_beenden();
        if (strcmp(wort, "isready") == 0) {
            neue_zeile_verwerfen();
            sagen("readyok");
        } else if (strcmp(wort, "ponderhit") == 0) {
            neue_zeile_verwerfen();
            if (pondern) ponder_treffer();
        } else if (strcmp(wort, "stop") == 0) {
            neue_zeile_verwerfen();
            unterbrechung = Unterbrechung::ZIEHEN;
            return true;
        }
    }
    return false;
}

// The number after a parameter of go, held to what no arithmetic on it can
// overflow; a parameter without one is said to be so and counts as not given.
bool go_zahl(Woerter& w, const char* name, int64_t& ziel) {
    const char* t = w.naechstes();
    int64_t n = 0;
    if (t == nullptr || !ganze_zahl(t, n)) {
        sagen("info string go: %s needs a number", name);
        return false;
    }
    ziel = schnittstellenzahl(n);
    return true;
}

// Once a turn has run a second, the root move being searched and its
// number among the legal moves of this visit of the root.
int wurzel_gezeigt;
void wurzelzug_zeigen(int eintrag) {
    if (wurzel_nummer == 1) wurzel_gezeigt = 0;
    const ZugEintrag& m = zug[MAXTIEFE][eintrag];
    zugausf(MAXTIEFE, eintrag);
    const bool legal = !koenig_bedroht(computerfarbe);
    zugzur(MAXTIEFE, eintrag);
    if (!legal) return;
    ++wurzel_gezeigt;
    if (vergangen(t_start) < 1000) return;
    char text[8];
    zug_uci(m, text);
    sagen("info depth %d currmove %s currmovenumber %d", MAXTIEFE - QSUCHE_START, text, wurzel_gezeigt);
}

void go(const char* text) {
    computerfarbe = werdran;
    if (!hat_legalen_zug(werdran) || !suchzuege_setzen(text)) {
        sagen("bestmove 0000");
        return;
    }
    const Suchauftrag a = go_auftrag(text);
    ZugEintrag m{};
    int v = 0;
    unterbrechung = Unterbrechung::KEINE;
    info_gedruckt = false;
    wurzel_meldung = wurzelzug_zeigen;
    // Analysis (infinite) and pondering never take a book move. The search
    // knows no en passant: a set of such captures alone is played as it is.
    if (wurzel_auswahl_anzahl > 0 && wurzel_legale() == 0)
        m = wurzel_auswahl[0];
    else if (a.endlos || a.ponder || !buchzug_finden(m, v))
        zug_finden(a, m, v);
    wurzel_meldung = nullptr;
    suchzuege_aufheben();
    // A search stopped before it finished an iteration, or whose stopped
    // iteration found a better root move, says so in one more info line.
    if (!info_gedruckt || info_zug.von != m.von || info_zug.nach != m.nach) {
        if (letzte_variante.anzahl < 1 || letzte_variante.zuege[0].von != m.von ||
            letzte_variante.zuege[0].nach != m.nach)
            letzte_variante.anzahl = 1, letzte_variante.zuege[0] = m;
        uci_denkzeile(info_gedruckt ? info_tiefe : 1, v, vergangen(t_start), letzte_variante, letzte_variante.anzahl,
                      "");
    }
    // An endless search that ended by itself waits for `stop` all the same,
    // unless it was a mate search; a ponder search for `ponderhit` or `stop`.
    while (((a.endlos && a.matt == 0) || pondern) && unterbrechung == Unterbrechung::KEINE && !eingabe_beendet()) {
        auf_eingabe_warten();
        eingabe_beim_suchen();
    }
    pondern = false;
    // The reply the line expects, for the interface to ponder on.
    char zugtext[8], ponder[8];
    zug_uci(m, zugtext);
    ZugEintrag antwort{};
    if (erwartete_antwort(m, antwort)) {
        zug_uci(antwort, ponder);
        sagen("bestmove %s ponder %s", zugtext, ponder);
    } else {
        sagen("bestmove %s", zugtext);
    }
}

}  // namespace

Suchauftrag go_auftrag(const char* text) {
    Woerter w(text);
    w.naechstes();  // "go"
    Uhrstand u;
    int64_t zeit[2] = {Uhrstand::KEINE, Uhrstand::KEINE}, inkrement[2] = {0, 0};
    int64_t movetime = Uhrstand::KEINE, tiefe = Uhrstand::KEINE, knoten = 0, matt = 0;
    bool unendlich = false, ponder = false;
    int64_t zuege = 0;
    for (const char* wort; (wort = w.naechstes()) != nullptr;) {
        if (strcmp(wort, "wtime") == 0)
            go_zahl(w, wort, zeit[0]);
        else if (strcmp(wort, "btime") == 0)
            go_zahl(w, wort, zeit[1]);
        else if (strcmp(wort, "winc") == 0)
            go_zahl(w, wort, inkrement[0]);
        else if (strcmp(wort, "binc") == 0)
            go_zahl(w, wort, inkrement[1]);
        else if (strcmp(wort, "movestogo") == 0)
            go_zahl(w, wort, zuege);
        else if (strcmp(wort, "movetime") == 0)
            go_zahl(w, wort, movetime);
        else if (strcmp(wort, "depth") == 0)
            go_zahl(w, wort, tiefe);
        else if (strcmp(wort, "nodes") == 0)
            go_zahl(w, wort, knoten);
        else if (strcmp(wort, "mate") == 0)
            go_zahl(w, wort, matt);
        else if (strcmp(wort, "infinite") == 0)
            unendlich = true;
        else if (strcmp(wort, "ponder") == 0)
            ponder = true;
    }
    u.zuege_bis_kontrolle = zuege > 0 ? static_cast<int>(std::min<int64_t>(zuege, ZUEGE_GROESST)) : 0;
    const int eigen = werdran == WEISS ? 0 : 1;
    Suchauftrag a;
    a.ponder = ponder;
    // A negative movetime is a fixed time too (one iteration, as a negative
    // st): the interface wants a move, not a search without end.
    if (movetime != Uhrstand::KEINE) {
        u.fest_ms = movetime;
    } else if (zeit[eigen] != Uhrstand::KEINE) {
        u.rest_ms = zeit[eigen];
        u.gegner_ms = zeit[1 - eigen];
        u.inkrement_ms = inkrement[eigen] > 0 ? inkrement[eigen] : 0;
    }
    if (u.fest_ms != Uhrstand::KEINE || u.rest_ms != Uhrstand::KEINE) {
        const Zeitbudget b = budget(u, opt_aufschlag);
        a.ziel_ms = b.ziel_ms, a.hart_ms = b.hart_ms, a.voll = b.voll;
    }
    if (tiefe != Uhrstand::KEINE) a.tiefe = tiefenbegrenzung(tiefe);
    a.knoten = knoten > 0 ? knoten : 0;
    // A mate in more moves than the deepest search could see is no limit;
    // infinite means until `stop`, a mate found or not.
    a.matt = matt > 0 && !unendlich ? static_cast<int>(std::min<int64_t>(matt, EBENEN)) : 0;
    a.linien = static_cast<int>(opt_mehrfach);
    // Without any limit (a bare go, or a mate search alone) the search runs
    // until told to stop; a mate search ends by itself too.
    a.endlos = unendlich || (a.ziel_ms < 0 && a.tiefe == 0 && a.knoten == 0);
    a.bei_eingabe = eingabe_beim_suchen;
    return a;
}

void uci_denkzeile(int tiefe, int wert, int64_t ms, const Variante& variante, int k, const char* grenze, int nummer) {
    printf("info depth %d seldepth %d ", tiefe, sel_gipfel > tiefe ? sel_gipfel : tiefe);
    if (nummer > 0) printf("multipv %d ", nummer);
    printf("score ");
    if (wert > MATT_SCHWELLE)
        printf("mate %d", (KOENIGSWERT - wert + 1) / 2);
    else if (wert < -MATT_SCHWELLE)
        printf("mate -%d", (KOENIGSWERT + wert) / 2);
    else
        printf("cp %d", wert);
    printf("%s nodes %lld nps %lld hashfull %d time %lld pv", grenze, static_cast<long long>(statistik.nodes),
           static_cast<long long>(statistik.nodes * 1000 / (ms > 0 ? ms : 1)), hash_promille(),
           static_cast<long long>(ms));
    const int legal = spielbare_laenge(variante, k);
    // The best line is the one the move played must have been shown in.
    if (nummer <= 1) info_gedruckt = true, info_tiefe = tiefe, info_zug = variante.zuege[0];
    for (int i = 0; i < legal; ++i) {
        char text[8];
        zug_uci(variante.zuege[i], text);
        printf(" %s", text);
    }
    printf("\n");
    fflush(stdout);
}

void uci_befehl(const char* text) {
    Woerter w(text);
    const char* wort = w.naechstes();
    if (wort == nullptr) return;
    if (strcmp(wort, "uci") == 0) {
        uci_modus = true;
        zeilengrenze_setzen(ZEILE_MAX);
        sagen("id name %s", NAME);
        sagen("id author the Kelpin developers");
        optionen_uci();
        sagen("uciok");
    } else if (strcmp(wort, "isready") == 0) {
        sagen("readyok");
    } else if (strcmp(wort, "ucinewgame") == 0) {
        position("position startpos", false);
        buch_neue_partie();
    } else if (strcmp(wort, "position") == 0) {
        position(text, true);
    } else if (strcmp(wort, "go") == 0) {
        go(text);
    } else if (strcmp(wort, "quit") == 0) {
        programm_beenden();
    } else if (strcmp(wort, "setoption") == 0) {
        option_uci(text);
    } else if (strcmp(wort, "bench") == 0) {
        bench();
        position("position startpos", false);  // as ucinewgame: the position to fall back on too
    } else if (strcmp(wort, "stop") != 0 && strcmp(wort, "ponderhit") != 0 && strcmp(wort, "debug") != 0 &&
               strcmp(wort, "register") != 0) {
        sagen("info string unknown command: %s", wort);
    }
}

int uci_schleife() {
    while (zeile_holen(zeile, sizeof zeile)) uci_befehl(zeile);
    return 0;
}

}  // namespace kelpin
