// Playing strength below the engine's own (UCI_LimitStrength, UCI_Elo): a
// setting is turned into a node budget per move and, in the lower part of
// the range, a move drawn from the best few by their scores. The budget is
// in nodes, not time, so that a setting plays alike at every time control;
// a search that was over quickly is followed by a pause, so that the clock
// is used as a player uses it. The draws come from zufallszahl, seeded in
// every run.
#include <algorithm>
#include <cmath>

#include "driver/driver.h"

namespace kelpin {

namespace {

// From ELO_STUFE up the move played is the best of a search of a node
// budget that doubles every ELO_JE_VERDOPPLUNG points (KNOTEN_STUFE nodes at
// ELO_STUFE are about the first iteration). Below it a move is searched to
// the first iteration's depth only, with STUFE_LINIEN best moves, and the
// move played is drawn from them with a spread that grows towards ELO_MIN,
// along the points of STREUUNG (linear between them). Both were measured by
// matches (see the README): the budget against Stockfish's UCI_Elo, the
// spread between the engine's own settings.
constexpr int ELO_STUFE = 1300;
constexpr int64_t KNOTEN_STUFE = 6000;
constexpr int ELO_JE_VERDOPPLUNG = 90;
constexpr int STUFE_LINIEN = 6;
struct Punkt {
    int elo;
    int streuung;  // centipawns
};
constexpr Punkt STREUUNG[] = {{ELO_MIN, 900}, {1100, 300}, {1200, 100}, {ELO_STUFE, 0}};
static_assert(ELO_MIN < 1100 && 1200 < ELO_STUFE && ELO_STUFE < ELO_MAX);

// The pause after a quick search ends at this share of the target, drawn
// anew every move (per cent).
constexpr int PAUSE_VON = 30, PAUSE_BIS = 70;

// The move played among the setting's lines of the last finished
// iteration: the one whose score, raised by a random share of the spread,
// is highest. A move more than the spread below the best is never played.
int waehlen(int streuung, int linien) {
    const int n = std::min(mehrfach_anzahl(), linien);
    if (streuung <= 0 || n < 2) return 0;
    int beste = 0, bester_wert = 0;
    for (int r = 0; r < n; ++r) {
        const int w = mehrfach_wert(r) + static_cast<int>(zufallszahl(static_cast<uint64_t>(streuung)));
        if (r == 0 || w > bester_wert) beste = r, bester_wert = w;
    }
    return beste;
}

// Waits until the turn has taken its drawn share of the target, reading
// the input as the search does: what would stop a search ends the pause.
void pause(const Suchauftrag& a) {
    if (a.ziel_ms <= 0 || wurzel_legale() < 2) return;
    const int anteil = PAUSE_VON + static_cast<int>(zufallszahl(PAUSE_BIS - PAUSE_VON + 1));
    const int64_t ende = std::min(a.ziel_ms * anteil / 100, a.hart_ms);
    for (int64_t jetzt; (jetzt = vergangen(t_start)) < ende;) {
        if (a.bei_eingabe != nullptr && eingabe_pruefen() && a.bei_eingabe()) return;
        if (eingabe_beendet()) return;
        auf_eingabe_warten(static_cast<int>(std::min<int64_t>(ende - jetzt, 50)));
    }
}

}  // namespace

Staerke staerke(int elo) {
    const int e = std::clamp(elo, ELO_MIN, ELO_MAX);
    if (e >= ELO_MAX) return {0, 1, 0};
    if (e < ELO_STUFE) {
        int i = 0;
        while (STREUUNG[i + 1].elo <= e) ++i;
        const Punkt& a = STREUUNG[i];
        const Punkt& b = STREUUNG[i + 1];
        // One node: no iteration after the first.
        return {1, STUFE_LINIEN, a.streuung + (b.streuung - a.streuung) * (e - a.elo) / (b.elo - a.elo)};
    }
    const double verdopplungen = static_cast<double>(e - ELO_STUFE) / ELO_JE_VERDOPPLUNG;
    return {static_cast<int64_t>(std::llround(static_cast<double>(KNOTEN_STUFE) * std::exp2(verdopplungen))), 1, 0};
}

bool staerke_begrenzt(const Suchauftrag& a) { return opt_staerke != 0 && opt_elo < ELO_MAX && !a.endlos; }

int staerke_denken(Variante* variante, const Suchauftrag& auftrag, bool* frisch) {
    const Staerke s = staerke(static_cast<int>(opt_elo));
    Suchauftrag a = auftrag;
    // More lines than the setting's, asked for by MultiPV, cost about as
    // many times the nodes: the budget grows with them.
    a.ziel_knoten = s.knoten * std::max(1, auftrag.linien / s.linien);
    a.linien = std::max(a.linien, s.linien);
    int v = denken(variante, a, frisch);
    if (unterbrechung == Unterbrechung::VERWERFEN) return v;
    if (const int r = waehlen(s.streuung, s.linien); r > 0) {
        mehrfach_linie(r, *variante);
        v = mehrfach_wert(r);
    }
    // A move asked for at once comes at once.
    if (unterbrechung == Unterbrechung::KEINE) pause(auftrag);
    return v;
}

}  // namespace kelpin
