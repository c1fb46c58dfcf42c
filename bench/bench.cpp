// Evaluation and search speed for make bench, each the median of three runs,
// and the search signature with its node total.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "driver/driver.h"
#include "eval/eval.h"
#include "signatur.h"

namespace {

using namespace std::chrono;
using kelpin::eval;

double sekunden_seit(steady_clock::time_point t0) { return duration<double>(steady_clock::now() - t0).count(); }

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
    std::vector<double> raten;
    for (int lauf = 0; lauf < 3; ++lauf) {
        const auto t0 = steady_clock::now();
        for (int i = 0; i < aufrufe; ++i) eval(0, 0, -32000, 32000);
        raten.push_back(aufrufe / sekunden_seit(t0));
    }
    return median(raten);
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

int main(int argc, char** argv) {
    const bool tabelle_schreiben = argc > 1 && strcmp(argv[1], "--tabelle") == 0;
    const char* tabelle = argc > 1 + tabelle_schreiben ? argv[1 + tabelle_schreiben] : "bench/signatur.txt";
    kelpin::InitZobrist();
    kelpin::InitHash();
    kelpin::brettinit();
    if (tabelle_schreiben) return neue_tabelle(tabelle);
    kelpin::teststellung(4);
    printf("eval  test position 4:          %6.2f M evals/s\n", evals_pro_sekunde(3000000) / 1e6);
    double summe = 0;
    for (const char* s : EVAL_STELLUNGEN) {
        kelpin::epd(s);
        summe += evals_pro_sekunde(1000000);
    }
    printf("eval  mean of 8 positions:      %6.2f M evals/s\n", summe / 8 / 1e6);

    const auto zeilen = kelpin::signatur::lade(tabelle);
    if (zeilen.empty()) {
        printf("search signature: no table at %s\n", tabelle);
        return 1;
    }
    long long gesamt = 0;
    bool gleich = true;
    std::vector<double> raten;
    std::vector<kelpin::signatur::Ergebnis> ergebnisse;
    for (int lauf = 0; lauf < 3; ++lauf) {
        long long knoten = 0;
        double zeit = 0;
        ergebnisse.clear();
        for (const auto& z : zeilen) {
            const auto t0 = steady_clock::now();
            kelpin::signatur::Ergebnis e;
            {
                Stumm stumm;
                e = kelpin::signatur::suche(z);
            }
            zeit += sekunden_seit(t0);
            knoten += e.knoten;
            ergebnisse.push_back(e);
        }
        raten.push_back(knoten / zeit);
        gesamt = knoten;
    }
    for (size_t i = 0; i < zeilen.size(); ++i) {
        const bool ok = ergebnisse[i].knoten == zeilen[i].knoten && ergebnisse[i].zug == zeilen[i].zug;
        gleich = gleich && ok;
        printf("search %-52s %c %2d: %9lld nodes  %-6s%s\n", zeilen[i].stellung.c_str(),
               zeilen[i].farbe == kelpin::WEISS ? 'w' : 'b', zeilen[i].tiefe, ergebnisse[i].knoten,
               ergebnisse[i].zug.c_str(), ok ? "" : "  (table differs!)");
    }
    printf("search signature: %lld nodes in total, %6.2f M nodes/s%s\n", gesamt, median(raten) / 1e6,
           gleich ? "" : "  -- DIFFERS FROM THE TABLE");
    return gleich ? 0 : 2;
}
