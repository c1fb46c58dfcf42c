// Evaluation and search speed for make bench, each the median of three runs,
// and the search signature with its node total; with --einmal a single run
// in plain figures, which tools/bench.sh alternates with an earlier build's.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "driver/driver.h"
#include "eval/eval.h"
#include "signatur.h"

namespace {

using kelpin::eval;

// The process's CPU time, not the wall clock: on a machine that runs other
// work beside the bench, time spent waiting for a core is not counted
// against the engine.
double sekunden() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Thinking lines would swamp the report: standard output goes to /dev/null
// while a search runs.
struct Stumm {
    int gesichert;
    Stumm() {
        fflush(stdout);
        gesichert = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~Stumm() {
        fflush(stdout);
        dup2(gesichert, 1);
        close(gesichert);
    }
};

double evals_pro_sekunde(int aufrufe) {
    const double t0 = sekunden();
    for (int i = 0; i < aufrufe; ++i) eval(0, 0, -32000, 32000);
    return aufrufe / (sekunden() - t0);
}

// Varied positions for the evaluation: opening, middlegames, endgames.
constexpr const char* EVAL_STELLUNGEN[8] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R",
    "r1q1r1k1/pp4bp/4n1p1/nP1Q1p2/P2P4/4B3/4BPPP/R3R1K1",
    "rn3rk1/pbppq1pp/1p2pb2/4N2Q/3PN3/3B4/PPP2PPP/R3K2R",
    "2krr3/2pb2pp/1p1p1p2/p2P4/P1P2PP1/1P2R2P/3B4/2KR4",
    "6R1/p1p5/2kr3p/8/1P3p1P/P7/4r1P1/5NK1",
    "8/k7/3p4/p2P1p2/P2P1P2/8/8/K7",
    "8/5k1p/1R2Rn2/5q2/1p6/6P1/5P2/6K1",
};

}  // namespace

// With --tabelle the signature positions are searched once and printed as
// table lines, to record a deliberate change of the search.
int neue_tabelle(const char* tabelle) {
    for (const auto& z : kelpin::signatur::lade(tabelle)) {
        kelpin::signatur::Ergebnis e;
        {
            Stumm stumm;
            e = kelpin::signatur::suche(z);
        }
        printf("%s %c %d %lld %s\n", z.stellung.c_str(), z.farbe == kelpin::WEISS ? 'w' : 'b', z.tiefe, e.knoten,
               e.zug.c_str());
    }
    return 0;
}

// One pass over the three measures.
struct Lauf {
    double eval4;      // evaluations per second on test position 4
    double eval8;      // mean over the eight varied positions
    long long knoten;  // signature nodes
    double zeit;       // seconds for the signature searches
    std::vector<kelpin::signatur::Ergebnis> ergebnisse;
};

Lauf messen(const std::vector<kelpin::signatur::Zeile>& zeilen) {
    Lauf l{};
    kelpin::teststellung(4);
    l.eval4 = evals_pro_sekunde(3000000);
    for (const char* s : EVAL_STELLUNGEN) {
        if (kelpin::epd(s)) kelpin::InitHash();
        l.eval8 += evals_pro_sekunde(1000000) / 8;
    }
    for (const auto& z : zeilen) {
        const double t0 = sekunden();
        kelpin::signatur::Ergebnis e;
        {
            Stumm stumm;
            e = kelpin::signatur::suche(z);
        }
        l.zeit += (sekunden() - t0);
        l.knoten += e.knoten;
        l.ergebnisse.push_back(e);
    }
    return l;
}

bool wie_aufgezeichnet(const kelpin::signatur::Zeile& z, const kelpin::signatur::Ergebnis& e) {
    return e.knoten == z.knoten && e.zug == z.zug;
}

// With --einmal: one pass, printed as plain figures for tools/bench.sh, which
// runs this program alternately with an earlier build's and takes medians.
int einmal(const std::vector<kelpin::signatur::Zeile>& zeilen) {
    const Lauf l = messen(zeilen);
    bool gleich = true;
    for (size_t i = 0; i < zeilen.size(); ++i) {
        const bool ok = wie_aufgezeichnet(zeilen[i], l.ergebnisse[i]);
        gleich = gleich && ok;
        printf("stellung %s %c %d %lld %s %d\n", zeilen[i].stellung.c_str(),
               zeilen[i].farbe == kelpin::WEISS ? 'w' : 'b', zeilen[i].tiefe, l.ergebnisse[i].knoten,
               l.ergebnisse[i].zug.c_str(), ok);
    }
    printf("eval4 %.0f\neval8 %.0f\nsuche %lld %.0f %d\n", l.eval4, l.eval8, l.knoten, l.knoten / l.zeit, gleich);
    return gleich ? 0 : 2;
}

int main(int argc, char** argv) {
    const bool tabelle_schreiben = argc > 1 && strcmp(argv[1], "--tabelle") == 0;
    const bool nur_einmal = argc > 1 && strcmp(argv[1], "--einmal") == 0;
    const int pfad = 1 + (tabelle_schreiben || nur_einmal);
    const char* tabelle = argc > pfad ? argv[pfad] : "bench/signatur.txt";
    kelpin::InitZobrist();
    kelpin::InitHash();
    kelpin::brettinit();
    if (tabelle_schreiben) return neue_tabelle(tabelle);
    const auto zeilen = kelpin::signatur::lade(tabelle);
    if (zeilen.empty()) {
        printf("search signature: no table at %s\n", tabelle);
        return 1;
    }
    if (nur_einmal) return einmal(zeilen);

    std::vector<double> eval4, eval8, raten;
    std::vector<kelpin::signatur::Ergebnis> ergebnisse;
    long long gesamt = 0;
    for (int lauf = 0; lauf < 3; ++lauf) {
        Lauf l = messen(zeilen);
        eval4.push_back(l.eval4);
        eval8.push_back(l.eval8);
        raten.push_back(l.knoten / l.zeit);
        gesamt = l.knoten;
        ergebnisse = std::move(l.ergebnisse);
    }
    printf("eval  test position 4:          %6.2f M evals/s\n", median(eval4) / 1e6);
    printf("eval  mean of 8 positions:      %6.2f M evals/s\n", median(eval8) / 1e6);
    bool gleich = true;
    for (size_t i = 0; i < zeilen.size(); ++i) {
        const bool ok = wie_aufgezeichnet(zeilen[i], ergebnisse[i]);
        gleich = gleich && ok;
        printf("search %-52s %c %2d: %9lld nodes  %-6s%s\n", zeilen[i].stellung.c_str(),
               zeilen[i].farbe == kelpin::WEISS ? 'w' : 'b', zeilen[i].tiefe, ergebnisse[i].knoten,
               ergebnisse[i].zug.c_str(), ok ? "" : "  (table differs!)");
    }
    printf("search signature: %lld nodes in total, %6.2f M nodes/s%s\n", gesamt, median(raten) / 1e6,
           gleich ? "" : "  -- DIFFERS FROM THE TABLE");
    return gleich ? 0 : 2;
}
