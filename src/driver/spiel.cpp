// The XBoard and console command loop: one line at a time, its first word
// tested against every keyword in turn, and otherwise taken as a move; the
// lines that arrive while the engine thinks or ponders.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/driver.h"
#include "eval/eval.h"

namespace kelpin {

int16_t ausgabe;
int16_t forcemode;
int16_t computerfarbe = WEISS;
bool analyse;
bool denkausgabe = true;

namespace {

constexpr int ZEILE = 256;  // XBoard mode takes lines of up to 255 characters whole

int32_t befehlszahl;  // the number slot of perft, evalperft and time

// Reads "<keyword> %d" from the start of the line the way sscanf would:
// the keyword literally, any white space, then a decimal number. Out-of-range
// numbers are clamped to 32 bits instead of overflowing. Leaves `ziel` alone
// and returns false when no number follows.
bool lies_zahl(const char* zeile, const char* wort, int32_t& ziel) {
    const size_t n = strlen(wort);
    if (strncmp(zeile, wort, n) != 0) return false;
    int64_t wert = 0;
    if (!zahl_lesen(zeile + n, wert)) return false;
    ziel = static_cast<int32_t>(wert < INT_MIN ? INT_MIN : (wert > INT_MAX ? INT_MAX : wert));
    return true;
}

inline bool ist(const char* wort, const char* schluessel) { return strncmp(wort, schluessel, strlen(schluessel)) == 0; }

// undo and remove: one or two half-moves back, or an error line and nothing
// changed.
void zuruecknehmen_befehl(const char* befehl, int halbzuege) {
    if (zuruecknehmen(halbzuege)) return;
    printf("Error (nothing to take back): %s\n", befehl);
    fflush(stdout);
}

void perft_befehl(const char* zeile) {
    lies_zahl(zeile, "perft", befehlszahl);
    t_start = timer();
    perftnodes = 0;
    if (befehlszahl == 0) befehlszahl = 1;
    const int n = befehlszahl;
    // The lists hold levels 0 ... 255: a depth outside 1 ... 256 counts nothing.
    if (n >= 1 && n <= LISTEN) perft(n - 1, WEISS);
    printf("movegen() to depth %i -> %lld nodes\n", n, static_cast<long long>(perftnodes));
    const double rate = static_cast<double>(perftnodes) * 1000 / (static_cast<double>(vergangen(t_start)) + 0.01);
    befehlszahl = rate >= INT_MAX ? INT_MAX : (rate <= INT_MIN ? INT_MIN : static_cast<int32_t>(rate));
    printf("%i nodes per second\n", befehlszahl);
}

void evalperft_befehl(const char* zeile) {
    lies_zahl(zeile, "evalperft", befehlszahl);
    if (befehlszahl == 0) befehlszahl = 1;
    teststellung(4);
    const int32_t t0 = timer();
    const int64_t dauer = static_cast<int64_t>(befehlszahl) * 1000;
    // The clock is read after every 64th call: reading it costs a fair part
    // of one evaluation, and the count may run past the end by 63 calls. A
    // time of 0 or less is up after the first call.
    long long aufrufe = 0;
    do {
        ++aufrufe;
        eval(0, 0, -32000, 32000);
    } while (dauer > 0 && (aufrufe % 64 != 0 || vergangen(t0) < dauer));
    const long long e = vergangen(t0);
    const long long je_ms = aufrufe / (e > 0 ? e : 1);  // a negative time runs one call in no time
    printf("%lld eval() calls in %lld seconds: %lld evals/sec\n", aufrufe, e / 1000, je_ms * 1000);
    printf("eval() of test position 4 (intern): %i\n", eval(0, 0, -32000, 32000));
}

// level MPS BASE INC: moves per session (0: the whole game), the base in
// minutes or minutes:seconds, the increment in seconds, fractions allowed.
// A line that does not read as that changes nothing.
void level_befehl(const char* zeile) {
    char mps[64], basis[64], inkrement[64];
    if (sscanf(zeile, "level %63s %63s %63s", mps, basis, inkrement) != 3) return;
    int64_t zuege = 0, minuten = 0, sekunden = 0;
    if (!ganze_zahl(mps, zuege)) return;
    zuege = std::min<int64_t>(zuege, ZUEGE_GROESST);
    const char* ende = nullptr;
    if (!zahl_lesen(basis, minuten, &ende)) return;
    if (*ende == ':' && !zahl_lesen(ende + 1, sekunden, &ende)) return;
    if (*ende != '\0') return;
    char* inc_ende = nullptr;
    const double inc = strtod(inkrement, &inc_ende);
    if (inc_ende == inkrement || *inc_ende != '\0' || !(inc >= 0 && inc < 1e6) || minuten < 0 || minuten > 1000000 ||
        sekunden < 0 || sekunden > 1000000)
        return;
    uhr_level(static_cast<int>(zuege), (static_cast<int64_t>(minuten) * 60 + sekunden) * 1000,
              static_cast<int64_t>(inc * 1000));
}

}  // namespace

// Lines that arrive while the engine thinks. On its own move: `?` plays at
// once, `quit` ends the program, a command that changes the game abandons
// the search and then takes effect; everything else waits for the move. In
// analyze mode `.` is answered at once and every other line ends the search
// of this position, to be carried out before the analysis goes on.
bool eingabe_beim_denken() {
    static constexpr const char* VERWERFENDE[] = {"new", "force", "setboard", "undo", "remove", "result", "white",
                                                  "black"};
    while (const char* z = naechste_neue_zeile()) {
        char wort[ZEILE];
        if (sscanf(z, "%255s", wort) != 1) continue;
        if (ist(wort, "quit")) programm_beenden();
        if (analyse) {
            if (ist(wort, ".")) {
                neue_zeile_verwerfen();
                analyse_status();
                continue;
            }
            unterbrechung = Unterbrechung::VERWERFEN;
            return true;
        }
        if (ist(wort, "?")) {
            neue_zeile_verwerfen();
            unterbrechung = Unterbrechung::ZIEHEN;
            return true;
        }
        for (const char* v : VERWERFENDE)
            if (ist(wort, v)) {
                unterbrechung = Unterbrechung::VERWERFEN;
                return true;
            }
    }
    return false;
}

bool eingabe_beim_pondern() {
    // What an interface sends on the opponent's turn besides the move: done
    // at once, since no move of the engine's comes to wait for.
    static constexpr const char* SOFORT[] = {"time", "otim", "post", "nopost", "hard", "ping", "?", "."};
    if (!pondern) return eingabe_beim_denken();
    while (const char* z = naechste_neue_zeile()) {
        char wort[ZEILE];
        if (sscanf(z, "%255s", wort) != 1) continue;
        if (ist(wort, "quit")) programm_beenden();
        if (strcmp(wort, ponder_erwartet) == 0) {
            neue_zeile_verwerfen();
            const Suchauftrag echt = zeitauftrag();
            ponder_treffer(&echt);
            return eingabe_beim_denken();
        }
        bool sofort = false;
        for (const char* k : SOFORT) sofort = sofort || ist(wort, k);
        if (!sofort) {
            unterbrechung = Unterbrechung::VERWERFEN;
            return true;
        }
        char zeile[ZEILE];
        snprintf(zeile, sizeof zeile, "%s", z);
        neue_zeile_verwerfen();
        if (!ist(wort, "?") && !ist(wort, ".")) befehl(zeile);
    }
    return false;
}

// The keywords, tested in this order; a word runs every keyword it begins
// with (so "evalperft" also runs "eval"), then is tried as a move:
//   eval display st black white help go showmoves setboard time evalperft
//   list perft output quit force new otim level sd post nopost undo remove
//   analyze exit . ping bench option bk hard easy exclude include
// go leaves the chain for a thinking turn and quit ends the program.
void befehl(const char* zeile) {
    char wort[ZEILE];
    if (sscanf(zeile, "%255s", wort) != 1) return;

    if (ist(wort, "eval")) printf("eval() to current position: %i\n", eval(0, 0, -32000, 32000));
    if (ist(wort, "display")) brettanz();
    if (ist(wort, "st")) {
        if (lies_zahl(zeile, "st", THINKTIME)) uhr_st();
        if (ausgabe == 1) printf("Allocated time set to %is.\n", THINKTIME);
    }
    if (ist(wort, "black")) {
        computerfarbe = WEISS;
        if (ausgabe == 1) puts("Players color will be BLACK, mine will be WHITE.");
    }
    if (ist(wort, "white")) {
        computerfarbe = SCHWARZ;
        if (ausgabe == 1) puts("Players color will be WHITE, mine will be BLACK.");
    }
    if (ist(wort, "help")) help();
    if (ist(wort, "go") && !analyse) {
        computerfarbe = werdran;
        computerzug();
        return;
    }
    if (ist(wort, "showmoves")) {
        debugmode = 1;
        movegen(0, werdran);
        debugmode = 0;
        printf("\n");
    }
    if (ist(wort, "setboard")) setboard(zeile);
    if (ist(wort, "time") && lies_zahl(zeile, "time", befehlszahl)) uhr_zeit(static_cast<int64_t>(befehlszahl) * 10);
    if (ist(wort, "evalperft")) evalperft_befehl(zeile);
    if (ist(wort, "list")) listeausgabe();
    if (ist(wort, "perft")) perft_befehl(zeile);
    if (ist(wort, "output")) ausgabe = 1;
    if (ist(wort, "quit")) programm_beenden();
    if (ist(wort, "force")) {
        forcemode = 1;
        if (ausgabe == 1) puts("Force mode set to 1.");
    }
    if (ist(wort, "new")) neues_spiel();
    if (ist(wort, "otim")) {
        int32_t cs = 0;
        if (lies_zahl(zeile, "otim", cs)) uhr_gegner(static_cast<int64_t>(cs) * 10);
    }
    if (ist(wort, "level")) level_befehl(zeile);
    if (ist(wort, "sd")) {
        int32_t n = 0;
        if (lies_zahl(zeile, "sd", n)) tiefengrenze = tiefenbegrenzung(n);
    }
    if (ist(wort, "post")) denkausgabe = true;
    if (ist(wort, "nopost")) denkausgabe = false;
    if (ist(wort, "undo")) zuruecknehmen_befehl("undo", 1);
    if (ist(wort, "remove")) zuruecknehmen_befehl("remove", 2);
    if (ist(wort, "analyze")) analyse = true;
    if (ist(wort, "exit")) analyse = false;
    if (ist(wort, ".") && analyse) analyse_status();
    if (ist(wort, "ping")) {
        // Answered only once the commands before it are done, a thinking turn
        // included: a GUI that waits for the answer before it starts the next
        // game cannot receive a move of the last one in the new one.
        int32_t n = 0;
        if (lies_zahl(zeile, "ping", n)) {
            printf("pong %d\n", n);
            fflush(stdout);
        }
    }
    if (ist(wort, "bench")) bench();
    if (ist(wort, "option")) option_xboard(zeile);
    if (ist(wort, "bk")) buch_liste_fuer_partie();
    if (ist(wort, "hard")) opt_ponder = 1;
    if (ist(wort, "easy")) opt_ponder = 0;
    if (ist(wort, "exclude")) ausschluss_befehl(zeile, true);
    if (ist(wort, "include")) ausschluss_befehl(zeile, false);
    zugeingabe(wort);
}

int spiel() {
    befehlszahl = 0;
    fehlversuche = 0;
    for (int i = 0; i < 500; ++i)
        letzte_variante.zuege[i].von = letzte_variante.zuege[i].nach = 0, letzte_variante.zuege[i].neue_figur = leer;

    char zeile[ZEILE];
    for (bool erste = true;;) {
        if (analyse && !eingabe_wartet() && !eingabe_zu()) {
            analysieren();
            continue;
        }
        if (ausgabe == 1) printf("h:%i> ", static_cast<int32_t>(static_cast<uint32_t>(hashkennung)));
        if (!zeile_holen(zeile, sizeof zeile)) return 0;
        // A first command `uci` makes this a UCI run from here on.
        char wort[ZEILE];
        if (erste && sscanf(zeile, "%255s", wort) == 1) {
            erste = false;
            if (strcmp(wort, "uci") == 0) {
                uci_befehl(zeile);
                return uci_schleife();
            }
        }
        if (zeile[0] == '\n') continue;
        befehl(zeile);
    }
}

}  // namespace kelpin
