// Game driver: start-up, the command loop, moves read from the input and the
// game flow, the thinking driver, the clock, the board display and help.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "search/search.h"

namespace kelpin {

inline constexpr const char* NAME = "Kelpin 0.2b";

extern int16_t ausgabe;        // 0 XBoard mode, 1 console mode (for good)
extern int16_t forcemode;      // 1: moves read are played, not answered
extern bool analyse;           // analyze mode: the position is searched until told otherwise
extern bool denkausgabe;       // post / nopost: XBoard thinking lines on or off
extern bool uci_modus;         // the run speaks UCI (after a first `uci`)
extern int16_t computerfarbe;  // the side the engine plays
extern int32_t THINKTIME;      // seconds per move (st)
extern int32_t t_start;        // clock at the start of a turn or a perft
extern int32_t tiefengrenze;   // sd: nominal depth limit, 0 for none

// --- game record ------------------------------------------------------------

inline constexpr int PARTIE_ZUEGE = 1000;  // entries 1 ... 999; 0 stays unused

struct PartieEintrag {
    char zugtext[256];
    uint64_t schluessel;
};
extern PartieEintrag gamehistory[PARTIE_ZUEGE];

// --- the clock and the budget ------------------------------------------------

// A monotonic clock in milliseconds, wrapping in 32 bits; only differences count.
int32_t timer();
// Milliseconds since an earlier reading, right across the 32-bit wrap.
int64_t vergangen(int32_t seit);

// The time situation of one turn, in milliseconds.
struct Uhrstand {
    static constexpr int64_t KEINE = INT64_MIN;
    int64_t fest_ms = KEINE;      // a fixed time per move (st); negative: one iteration
    int64_t rest_ms = KEINE;      // the engine's clock
    int64_t gegner_ms = KEINE;    // the opponent's clock
    int64_t inkrement_ms = 0;     // added to the clock after each move
    int zuege_bis_kontrolle = 0;  // moves to the next control; 0 for the rest of the game
};

// After the target no new iteration starts; at the hard limit the search is
// stopped wherever it is.
struct Zeitbudget {
    int64_t ziel_ms;
    int64_t hart_ms;
    bool voll = false;  // a fixed time: iterations go on up to the hard limit
};

// The constants of the budget, chosen by measurement (see the README).
inline constexpr int64_t ZEIT_UEBERTRAGUNG_MS = 50;  // lost per move between engine and interface
inline constexpr int64_t ZEIT_MINDESTENS_MS = 10;    // the least hard limit
inline constexpr int ZEIT_HORIZONT = 30;             // moves assumed still to play in sudden death
inline constexpr int64_t ZEIT_HART_FAKTOR = 4;       // hard limit over target
inline constexpr int64_t ZEIT_WACHSTUM_ZEHNTEL = 15; // the next iteration takes at least 1.5 times this one

// `uebertragung_ms`: what a move loses between engine and interface (the
// Move Overhead option), set aside for every move still to come.
Zeitbudget budget(const Uhrstand& u, int64_t uebertragung_ms = ZEIT_UEBERTRAGUNG_MS);

// What an interface sends is held where it is read to what no arithmetic
// on it can overflow: times and node counts to a thousand years in
// milliseconds, moves to a control to ZUEGE_GROESST, a depth limit to the
// nominal depths the engine has (below the first iteration's it means the
// first iteration, above the deepest level the deepest).
inline constexpr int64_t SCHNITTSTELLE_GROESST = int64_t{1000} * 366 * 24 * 3600 * 1000;
inline constexpr int ZUEGE_GROESST = 100000;
inline int64_t schnittstellenzahl(long long n) {
    return n > SCHNITTSTELLE_GROESST ? SCHNITTSTELLE_GROESST
                                     : (n < -SCHNITTSTELLE_GROESST ? -SCHNITTSTELLE_GROESST : n);
}
int tiefenbegrenzung(int64_t tiefe);

// What the interface said, kept until it says otherwise.
void uhr_st();  // st: THINKTIME is now a fixed ceiling per move
void uhr_level(int zuege, int64_t basis_ms, int64_t inkrement_ms);
void uhr_zeit(int64_t ms);    // time
void uhr_gegner(int64_t ms);  // otim
void uhr_neue_partie();       // new: clocks unknown again, no depth limit
void uhr_anfang();            // as at start-up: nothing said, 10 seconds a move
// The situation of the side to move, `gespielt` moves into the game.
Uhrstand uhrstand(int gespielt);

// --- input -------------------------------------------------------------------

// Standard input as a queue of lines, filled whenever it is looked at, also
// while the engine thinks; lines keep their order and nothing is lost.
inline constexpr int ZEILE_MAX = 65535;  // the longest line ever taken whole
// Lines are cut after this many characters (255 until UCI asks for more).
void zeilengrenze_setzen(int zeichen);
// The next line (blocking); false once the input has ended and all is read.
bool zeile_holen(char* zeile, size_t groesse);

// The words of a line one after the other (the line is copied first).
struct Woerter {
    char kopie[ZEILE_MAX + 1];
    char* rest;
    explicit Woerter(const char* text) {
        strncpy(kopie, text, ZEILE_MAX);
        kopie[ZEILE_MAX] = '\0';
        rest = kopie;
    }
    const char* naechstes() {
        static constexpr const char* TRENNER = " \t\r\n";
        rest += strspn(rest, TRENNER);
        if (*rest == '\0') return nullptr;
        char* wort = rest;
        rest += strcspn(rest, TRENNER);
        if (*rest != '\0') *rest++ = '\0';
        return wort;
    }
};
// Reads what has arrived without blocking; true when the queue holds lines
// that naechste_neue_zeile has not handed out yet.
bool eingabe_pruefen();
// Queued lines not looked at before, one at a time, oldest first; the last
// one handed out can be taken off the queue (a command done at once).
const char* naechste_neue_zeile();
void neue_zeile_verwerfen();
// `quit` in either loop, also in the middle of a search: what is written is
// flushed (the console says goodbye) and the program ends with status 0.
[[noreturn]] void programm_beenden();
// True when a line waits (reads what has arrived first).
bool eingabe_wartet();
// True when the input has ended and every line has been taken.
bool eingabe_zu();
// True when the input has ended (lines may still be queued).
bool eingabe_beendet();
// Blocks until a line is queued or the input has ended.
void auf_eingabe_warten();
// The same, for at most `ms` milliseconds.
void auf_eingabe_warten(int ms);

// --- options ------------------------------------------------------------------

// The options, printed and set through one table (optionen.cpp): UCI's
// `option` lines and `setoption`, XBoard's `feature option` lines and
// `option NAME=VALUE`. Their values:
inline constexpr int OPTION_TEXT = 4096;  // the longest text value, its end included
extern int64_t opt_hash;          // Hash: the table's MiB
extern int64_t opt_eigenes_buch;  // OwnBook
extern char opt_buchdatei[OPTION_TEXT];  // BookFile ("" for none)
extern int64_t opt_buchtiefe;     // BookDepth: moves of the game the book may give
extern int64_t opt_ponder;        // Ponder (UCI; XBoard's hard and easy)
extern int64_t opt_mehrfach;      // MultiPV: the best moves each iteration searches and shows
extern int64_t opt_aufschlag;     // Move Overhead: ms a move loses between engine and interface
extern int64_t opt_staerke;       // UCI_LimitStrength
extern int64_t opt_elo;           // UCI_Elo
// The defaults that depend on the machine (the book where Debian puts it).
void optionen_anfang();
void optionen_uci();
void optionen_xboard();
// setoption / option lines; false (and the option as it was) when refused,
// which is said in one line.
bool option_uci(const char* zeile);
bool option_xboard(const char* zeile);
// One line to the user: `info string` in UCI, `telluser` in XBoard mode,
// plain in console mode.
void mitteilung(const char* format, ...) __attribute__((format(printf, 1, 2)));

// --- start-up and the command loop -------------------------------------------

// Reads and carries out commands until the input ends; returns 0 then.
int spiel();
// Runs one line of input: the keyword chain, then the word as a move.
void befehl(const char* zeile);
// The UCI command loop, for the rest of the run; returns at the end of input.
int uci_schleife();
// Runs one UCI command line.
void uci_befehl(const char* zeile);
// The info line of an iteration in UCI: nominal depth, score from the side
// to move (mates in moves), the first k moves of the line; `grenze` is ""
// or " lowerbound" / " upperbound" for a score outside the window.
void uci_denkzeile(int tiefe, int wert, int64_t ms, const Variante& variante, int k, const char* grenze,
                   int nummer = 0);
// A full FEN as the game's position, for both protocols: read, checked and
// set up; false (and nothing changed) when it is no FEN or no position a
// game can reach.
bool fen_setzen(const char* text);
// The initial position as the start of a game, keys computed.
void grundstellung();
// `new`: a new game from the initial position, the engine playing Black,
// force mode and the depth limit left, the clocks back to the session's base.
void neues_spiel();
// XBoard's setboard: a placement alone is put on the board as it comes, the
// side to move and the castling flags left as they are. A full FEN (placement
// and at least the side to move) sets up the whole position, or, when it is
// no position a game can reach, is refused (and said to be) and changes nothing.
void setboard(const char* zeile);
// True when a FEN read is a position a game can reach (the board is left
// as it is).
bool fen_spielbar(const Fen& f);
// Sets up the position of a FEN read and begins the game from it: a
// castling right whose king or rook is not at home is dropped, an
// en-passant square kept only when the pawn that passed it stands beyond.
void fen_aufstellen(const Fen& f);
// Analyze mode: one stretch of analysis of the side to move, until a line
// arrives (analyse.cpp); the `stat01` status line.
void analysieren();
void analyse_status();
// XBoard and console: looks at the lines that arrive while the engine
// thinks (the thinking driver asks; true stops the search).
bool eingabe_beim_denken();
// The same while it ponders on the reply `ponder_erwartet`: that reply is
// the ponder hit; the clock commands, post, nopost, hard, ping and `?` are
// carried out at once; anything else ends the pondering (true, with
// `unterbrechung` VERWERFEN) and waits to be carried out.
bool eingabe_beim_pondern();
extern char ponder_erwartet[8];

// --- moves and the game flow ------------------------------------------------

// What a word read as a move came to.
enum class Eingabe : int8_t {
    KEIN_ZUG,  // its first four characters are no two square names
    ILLEGAL,   // not a legal move here: nothing changed
    GESPIELT,  // played; the other side has a legal reply and is to move
    MATT,      // played; the other side is mated (and to move)
    PATT,      // played; the other side is stalemated (and to move)
};
// Plays a word as a move of the game: on a board that a game can reach only
// a legal move of the side to move, on any other board whatever it says.
Eingabe zug_lesen(const char* wort);
// The same with the game flow around it (XBoard and console): the illegal
// move or the result announced, otherwise the engine answers unless in force
// or analyze mode. False when the word is no move.
bool zugeingabe(const char* wort);
// Takes back half-moves of the game exactly; false (and nothing changed)
// when there are not that many to take back.
bool zuruecknehmen(int halbzuege);
// True when the board is a position a game can reach with `am_zug` to move:
// one king each, no pawn on the first or last rank, the side not to move
// not in check.
bool ist_spielbar(int am_zug);
// The square a pawn passed over with a double step in the game's last
// move, 0 for none.
int en_passant_feld();
// How many of the line's first k moves can be played one after the other
// from the game position: an interface may refuse a line that goes on past
// a mate with a move that is not legal, or past a repetition or the
// fifty-move rule (the line ends with the move that repeats a position of
// the game or of the line, or that makes a hundred half-moves without
// capture or pawn move; the first move is always kept).
int spielbare_laenge(const Variante& v, int k);
// The reply the engine expects to its move m in the game position (before
// m is played): the second move of the line that found m, or the table's
// move for the position after m, when it is legal there.
bool erwartete_antwort(const ZugEintrag& m, ZugEintrag& antwort);
// Move lists from this level up are free between searches and between the
// iterations of one (the driver's own checks use lower ones); they offer
// castling.
inline constexpr int FREIE_LISTE = 200;
// True when `farbe` has a legal move in the game position.
bool hat_legalen_zug(int farbe);
// True when entry i of list `liste`, a move of `farbe`, leaves its king safe.
bool ist_legal(int liste, int i, int farbe);
// The square a word's file and rank letters name ("e", "4"), 0 for none.
int feldnummer(char linie_zeichen, char reihe_zeichen);
// Hands the search the game's positions since its last capture or pawn move.
void partie_vorgeschichte();
void listeausgabe();
// The game begins anew from the board as it stands (new, setboard): what the
// game level knows beyond the board (the positions so far) is forgotten, and
// the side to move is the one that moves first; `ep` is the square a pawn
// has just passed over, if any, and `halbzugzaehler` the half-moves since the
// last capture or pawn move (a FEN's counter).
void partie_neu(int ep = 0, int32_t halbzugzaehler = 0);
// The record begins afresh at move `zugnummer` (as a FEN numbers it) with
// the side to move: numbering from it, no moves recorded.
void aufzeichnung_neu(int32_t zugnummer);
// The move number of the side to move less one, counted from 1 at the
// game's start as an interface counts moves for a time control: a game
// that Black begins gives White's first move the number 2.
int gespielte_zuege();

// The command loop's line record: every search returns its line here, and
// the slots keep their contents from one search to the next.
extern Variante letzte_variante;
// Iterations that ended outside their window since the last one inside.
extern int fehlversuche;

// What a thinking turn may spend.
struct Suchauftrag {
    int64_t ziel_ms = -1;  // no iteration starts after it; -1 for no clock
    int64_t hart_ms = -1;  // the search is stopped there; -1 for never
    int tiefe = 0;         // nominal depth limit, 0 for none
    int64_t knoten = 0;    // node limit, 0 for none (checked every few thousand nodes)
    bool voll = false;     // no iteration is held back for fear of not finishing
    bool endlos = false;   // only a stop, a limit above or the level limit end it
    bool ponder = false;   // on the opponent's time: no limit holds until the ponder hit
    int matt = 0;          // ends once a mate in at most this many moves is proven; 0 for none
    int64_t ziel_knoten = 0;  // no iteration starts that would likely end past this many nodes; 0 for none
    int linien = 1;        // the best root moves searched per iteration, each with a line of its own
    // Asked when lines have arrived while the search runs: true stops it
    // (the command loop sets `unterbrechung` to say how). nullptr: input
    // is not looked at.
    bool (*bei_eingabe)() = nullptr;
};

// A thinking turn: returns the score of the last iteration and leaves the line
// in `variante`; `frisch` tells whether some iteration of this turn returned a
// line at all. A search stopped by the hard limit leaves the line of the last
// completed iteration, or of a root move that the stopped iteration had
// searched to its end and found better.
int denken(Variante* variante, const Suchauftrag& auftrag, bool* frisch = nullptr);
// What a UCI `go` line asks of the search for the side to move: the budget
// from its clock (wtime or btime, the increment, movestogo) or movetime,
// depth, nodes and mate; infinite or no limit at all: until `stop`.
Suchauftrag go_auftrag(const char* zeile);
// The thinking line of an iteration as the mode shows it (UCI info, XBoard
// `ply score time nodes line`, the console's columns): nominal depth, score,
// the first k moves of the line; `grenze` as for uci_denkzeile; `nummer`
// the line's rank among several (UCI multipv), 0 when there is one.
void denkzeile(int tiefe, int wert, int64_t ms, const Variante& variante, int k, const char* grenze, int nummer);
// Why a thinking turn was cut short by input.
enum class Unterbrechung : int8_t {
    KEINE,
    ZIEHEN,     // play the best move so far (?, stop)
    VERWERFEN,  // play nothing: a command changes the game
};
extern Unterbrechung unterbrechung;

// Pondering: the search runs on the opponent's time in the position after
// the move it expects. While `pondern` holds, no limit of the clock (target,
// hard limit, nodes) applies; the ponder hit (the expected move came, or
// UCI's ponderhit) turns the search into the real turn, with the budget
// `echt` (nullptr: the one the search was given) counted from the moment of
// the hit.
extern bool pondern;
void ponder_treffer(const Suchauftrag* echt = nullptr);

// The budget of the engine's next move from what the interface said.
Suchauftrag zeitauftrag();
// Thinks for computerfarbe and finds a legal move to play; false when it has
// none or the search was abandoned. `v` receives the score.
bool zug_finden(const Suchauftrag& auftrag, ZugEintrag& m, int& v);
// The root's window: fully open, and the half-width around the last score
// that an iteration (and each further line of MultiPV) starts with.
inline constexpr int FENSTER_OFFEN = 28000;
inline constexpr int FENSTER_HALB = 50;

// A thinking turn and the move it plays on the board.
void computerzug();
void zug_drucken(const ZugEintrag& m);

// --- the root's move set and several lines -----------------------------------

// MultiPV's most lines.
inline constexpr int MEHRFACH_GROESST = 64;

// One iteration at root level d that searches the best `linien` moves of the
// root's set one after the other, each with the ones before it excluded and
// with a window of its own opened until its score is exact; capped at the
// legal moves of the set. Returns the best score, its line in `variante`, and
// leaves alpha < score < beta (the window widened if need be). Stopped, it
// gives the first line if that was finished, else what AlphaBeta gave.
int mehrfach_iteration(int linien, int d, int& alpha, int& beta, Variante* variante);
// The lines of the last iteration mehrfach_iteration finished in this turn
// (0 before one has), best first: their number, a line's score and its
// moves (written to `v`).
int mehrfach_anzahl();
int mehrfach_wert(int rang);
void mehrfach_linie(int rang, Variante& v);
// Prints the lines of the last finished iteration that MultiPV asks for,
// best first, as thinking lines of nominal depth `tiefe`.
void mehrfach_zeigen(int tiefe, int64_t ms);

// Legal moves of computerfarbe (the root's side) in the game position that
// the root's set lets through (the generator's moves: en passant is not
// among them).
int wurzel_legale();
// UCI `go ... searchmoves m1 m2 ...`: the root's set from those moves; a
// word that is no legal move is dropped and said to be so. False when moves
// were given and none is left (the set is then empty); no searchmoves at
// all: every move. suchzuege_aufheben ends it after the search.
bool suchzuege_setzen(const char* go_zeile);
void suchzuege_aufheben();
// XBoard's `exclude MOVE|all` and `include MOVE|all` on the game position;
// the exclusions hold until the position changes (ausschluss_vergessen).
// ausschluss_einsetzen hands them to the search for one turn (false and
// nothing handed over when they leave no legal move), ausschluss_abziehen
// takes them back.
void ausschluss_befehl(const char* zeile, bool ausschliessen);
void ausschluss_vergessen();
bool ausschluss_einsetzen();
void ausschluss_abziehen();

// --- strength -----------------------------------------------------------------

// UCI_Elo's range: below the engine's full strength, which the top stands for.
inline constexpr int ELO_MIN = 800;
inline constexpr int ELO_MAX = 1900;
inline constexpr int ELO_STANDARD = 1500;

// How a setting weakens the engine: nodes a turn may spend (no iteration
// starts that would likely end past them; 0 for no limit), best moves
// searched, and the spread in centipawns by which the move played may fall
// short of the best (0: always the best).
struct Staerke {
    int64_t knoten;
    int linien;
    int streuung;
};
Staerke staerke(int elo);
// True when the strength setting weakens a turn with this order: on, below
// the top, and not an analysis.
bool staerke_begrenzt(const Suchauftrag& a);
// A thinking turn as denken, weakened: the node budget, a move drawn from
// the best lines by their scores, and a natural pause when the search was
// quick. Leaves the move played first in `variante`.
int staerke_denken(Variante* variante, const Suchauftrag& auftrag, bool* frisch);

// --- opening book -----------------------------------------------------------

// A book in the Polyglot format: 16-byte entries (key, move, weight, learn;
// big-endian), sorted by key. The book is read whole when it is opened and
// only looked at outside the search.
inline constexpr const char* BUCH_STANDARD = "/usr/share/games/gnuchess/book.bin";

// A number drawn evenly from 0 ... n - 1 (n >= 1), from a generator of the
// driver's own seeded afresh in every run (the book's and the strength
// setting's draws).
uint64_t zufallszahl(uint64_t n);

// One entry of the book as a move: squares 1 ... 64, the promotion piece as
// its letter ('q', 'r', 'b', 'n'; '?' for a code that names no piece; 0 for
// none). Castling, written in the book as the king taking its own rook, is
// given as the king's two-square step when the game's king stands at home.
struct Buchzug {
    int von;
    int nach;
    char umwandlung;
    uint16_t gewicht;  // the chance of the move against the others of its position
};

// The book key of a position: the pieces on squares 1 ... 64 of `felder`
// (Kelpin codes), the side to move, the castling rights K, Q, k, q and the
// square a pawn has just passed with a double step (0 for none), which
// counts only when a pawn of the side to move stands beside that pawn.
// Touches no global.
uint64_t polyglot_schluessel(const int16_t* felder, int am_zug, const bool rochade[4], int ep_feld);
// The book key of the game position: the board, the side to move, a
// castling right where neither king nor rook has moved and both stand at
// home, the pending double step.
uint64_t buch_schluessel();

// Opens a book file, closing the one in use. A file that is no book (missing,
// not a regular file, empty, not a multiple of 16 bytes, entries out of key
// order, too large) is refused: false, no book in use, and buch_warnung()
// says why in one line.
bool buch_laden(const char* pfad);
void buch_schliessen();
bool buch_offen();
// The latest warning: why a file was refused, or the first book entry met
// by buch_waehlen that is no legal move of its position. One line, no
// newline; "" when there is none.
const char* buch_warnung();

// The entries of a key in file order, at most `max` of them written to
// `ziel`; returns how many were written.
int buch_eintraege(uint64_t schluessel, Buchzug* ziel, int max);
// Draws a book move for the game position, each legal entry with a chance
// proportional to its weight; an entry of weight 0 is never drawn. False
// when no entry can be drawn (no book, no entry, none legal with a weight).
// The generator is seeded once per run from the time and the process id.
bool buch_waehlen(Buchzug& gewaehlt, uint64_t* summe = nullptr);
// Entries met by buch_waehlen since the book was opened that are no legal
// move of their position (ignored).
int buch_illegale();
// XBoard's `bk` answer for the game position: the legal book moves, each on
// a line beginning with a blank, with its share in percent, then an empty
// line; without a book or a book move a line that says so, then the empty line.
void buch_liste();
// The move as coordinates: "e2e4", "e7e8q".
void buchzug_text(const Buchzug& z, char (&text)[6]);

// The book as the options have it (OwnBook, BookFile, BookDepth): the file is
// opened on first use, and a refused file or an illegal entry is told once.
// A game that meets a position without a book move has left the book for
// good; one past BookDepth moves takes nothing more from it.
// buch_vergessen: an option changed, the file is opened anew at once (a
// refusal told at once). buch_vorbereiten: at start-up, the file opened
// before any clock runs; a refusal is told when the book is first used.
void buch_vergessen();
void buch_vorbereiten();
void buch_neue_partie();
// A book move for the game position, and the weights of its position in all.
bool buch_fuer_partie(Buchzug& z, uint64_t& summe);
// `bk`: the book moves of the game position (the file opened if need be).
void buch_liste_fuer_partie();

// True when the move is legal in the game for the side to move (castling
// as the king's two-square step; `umwandlung` is the promotion's letter and
// not looked at for any other move); m: its record as the generator writes it.
bool legaler_zug(int von, int nach, char umwandlung, ZugEintrag& m);
// The book's move for the engine in the game position, with a score from a
// shallow search of that move alone (the thinking line shows it); false
// when the book has none.
bool buchzug_finden(ZugEintrag& m, int& v);

// --- the bench ----------------------------------------------------------------

// A signature position: searched to its nominal depth from an empty table
// and with nothing remembered from an earlier search, it takes the same
// number of nodes on every machine and in every build. The counts and moves
// are recorded in bench/signatur.txt, in the order of `benchstellungen`.
struct Benchstellung {
    const char* stellung;  // FEN piece placement
    int farbe;             // side to move
    int tiefe;             // nominal depth of the last iteration
};
inline constexpr int BENCH_STELLUNGEN = 8;
extern const Benchstellung benchstellungen[BENCH_STELLUNGEN];

struct BenchErgebnis {
    int64_t knoten;  // nodes of the whole turn
    char zug[6];     // the move found, as the table records it
};
// Searches one signature position through the thinking driver, printing
// nothing; the board is left holding that position.
BenchErgebnis bench_suche(const Benchstellung& s);
// `bench` (also `kelpin bench`): every signature position searched, one line
// each (placement, side, depth, nodes, move: a table line), then
// "<total> nodes <nps> nps". The game is then as after `new`.
void bench();

// --- display ----------------------------------------------------------------

int brettanz();
int help();

}  // namespace kelpin
