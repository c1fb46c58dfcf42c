// The clock and the budget of a thinking turn: what the interface says about
// time (st, level, time, otim, or the clocks of a UCI go) is kept here, and
// turned into a target, after which no new iteration starts, and a hard
// limit, at which the search is stopped wherever it is.
#include <algorithm>
#include <chrono>

#include "driver/driver.h"

namespace kelpin {

int32_t THINKTIME;
int32_t t_start;
int32_t tiefengrenze;

int32_t timer() {
    // A monotonic clock: a wall clock set back or forward during a turn
    // must not end it early or let it run on.
    const auto jetzt = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(jetzt).count();
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

int64_t vergangen(int32_t seit) {
    return static_cast<int32_t>(static_cast<uint32_t>(timer()) - static_cast<uint32_t>(seit));
}

namespace {

// How the interface last set the time control.
enum class Modus : int8_t {
    VORGABE,  // nothing said: THINKTIME per move, or the clock once `time` has come
    FEST,     // st: a fixed ceiling per move
    LEVEL,    // level: moves per session, base, increment
};

Modus modus = Modus::VORGABE;
int level_zuege;  // moves per session, 0 for the whole game
int64_t level_basis_ms;
int64_t level_inkrement_ms;
int64_t eigene_ms = Uhrstand::KEINE;  // the engine's clock from `time`
int64_t gegner_ms = Uhrstand::KEINE;  // the opponent's from `otim`

}  // namespace

Zeitbudget budget(const Uhrstand& u, int64_t uebertragung_ms) {
    Zeitbudget b;
    if (u.fest_ms != Uhrstand::KEINE && u.fest_ms < 0) {  // one iteration, at most a second
        b.ziel_ms = 0;
        b.hart_ms = 1000;
        return b;
    }
    if (u.fest_ms != Uhrstand::KEINE) {
        // An exact ceiling less what the interface loses in passing the move
        // on; 0 is taken as a second. A clock that shows less caps it.
        b.hart_ms = std::max((u.fest_ms == 0 ? 1000 : u.fest_ms) - uebertragung_ms, ZEIT_MINDESTENS_MS);
        if (u.rest_ms != Uhrstand::KEINE)
            b.hart_ms = std::min(b.hart_ms, std::max(u.rest_ms - uebertragung_ms, ZEIT_MINDESTENS_MS));
        b.ziel_ms = b.hart_ms;
        b.voll = true;
        return b;
    }
    // Moves still to play on this clock: the session's, or a horizon that
    // keeps a reserve in sudden death.
    const int64_t zuege = u.zuege_bis_kontrolle > 0 ? u.zuege_bis_kontrolle : ZEIT_HORIZONT;
    // The transfer of every move still to come in the session is paid from
    // the clock; it is set aside first.
    const int64_t verfuegbar = u.rest_ms - uebertragung_ms * std::min<int64_t>(zuege, 20);
    if (verfuegbar <= 0) {
        b.ziel_ms = 0;
        b.hart_ms = std::max((u.rest_ms - uebertragung_ms) / 2, ZEIT_MINDESTENS_MS);
        return b;
    }
    int64_t ziel = verfuegbar / zuege + u.inkrement_ms * 3 / 4;
    // A clock well ahead of the opponent's may be spent a little faster,
    // one well behind a little slower.
    if (u.gegner_ms != Uhrstand::KEINE && u.gegner_ms > 0) {
        if (u.rest_ms > u.gegner_ms * 5 / 4) ziel = ziel * 9 / 8;
        if (u.rest_ms < u.gegner_ms * 3 / 4) ziel = ziel * 7 / 8;
    }
    // Never more than a share of what is left: the last move before the
    // control may take most of it, earlier ones far less. What the last one
    // leaves is the margin against a slow interface.
    const int64_t anteil = zuege == 1 ? verfuegbar * 7 / 10 : (zuege == 2 ? verfuegbar / 2 : verfuegbar * 4 / 10);
    b.hart_ms = std::max(std::min(ziel * ZEIT_HART_FAKTOR, anteil), ZEIT_MINDESTENS_MS);
    b.ziel_ms = std::min(ziel, b.hart_ms);
    return b;
}

int tiefenbegrenzung(int64_t tiefe) {
    // The deepest nominal depth: the root level stops at EBENEN - 1.
    constexpr int64_t GROESST = EBENEN - 1 - QSUCHE_START;
    return static_cast<int>(tiefe < 1 ? 1 : (tiefe > GROESST ? GROESST : tiefe));
}

void uhr_st() { modus = Modus::FEST; }

void uhr_level(int zuege, int64_t basis_ms, int64_t inkrement_ms) {
    modus = Modus::LEVEL;
    level_zuege = std::max(zuege, 0);
    level_basis_ms = basis_ms;
    level_inkrement_ms = std::max<int64_t>(inkrement_ms, 0);
    eigene_ms = gegner_ms = Uhrstand::KEINE;
}

void uhr_zeit(int64_t ms) { eigene_ms = ms; }
void uhr_gegner(int64_t ms) { gegner_ms = ms; }

void uhr_anfang() {
    modus = Modus::VORGABE;
    level_zuege = 0, level_basis_ms = level_inkrement_ms = 0;
    THINKTIME = 10;
    uhr_neue_partie();
}

void uhr_neue_partie() {
    // Until the interface sends the clocks, a session starts from its base;
    // the depth limit ends with the game.
    eigene_ms = gegner_ms = Uhrstand::KEINE;
    tiefengrenze = 0;
}

Uhrstand uhrstand(int gespielt) {
    Uhrstand u;
    const bool uhr_bekannt = eigene_ms != Uhrstand::KEINE;
    if (modus == Modus::FEST || (modus == Modus::VORGABE && !uhr_bekannt)) {
        u.fest_ms = static_cast<int64_t>(THINKTIME) * 1000;
        if (uhr_bekannt) u.rest_ms = eigene_ms;
        return u;
    }
    u.rest_ms = uhr_bekannt ? eigene_ms : level_basis_ms;
    u.gegner_ms = gegner_ms;
    if (modus == Modus::LEVEL) {
        u.inkrement_ms = level_inkrement_ms;
        if (level_zuege > 0) u.zuege_bis_kontrolle = level_zuege - gespielt % level_zuege;
    }
    return u;
}

Suchauftrag zeitauftrag() {
    const Zeitbudget b = budget(uhrstand(gespielte_zuege()), opt_aufschlag);
    Suchauftrag a;
    a.ziel_ms = b.ziel_ms;
    a.hart_ms = b.hart_ms;
    a.voll = b.voll;
    a.tiefe = tiefengrenze;
    a.linien = static_cast<int>(opt_mehrfach);
    return a;
}

}  // namespace kelpin
