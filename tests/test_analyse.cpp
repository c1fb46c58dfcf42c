// Analysis and strength: the root's move set, the mate search, the strength mapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "hilfen.h"

namespace kelpin {
namespace {

std::string text(const ZugEintrag& m) { return std::string(feld[m.von]) + feld[m.nach]; }

struct Wurzelfall {
    const char* fen;
    int linien;
    const char* suchzuege;                // "": no searchmoves
    std::vector<std::string> ausschluss;  // XBoard's exclude; "+m" includes m again
    std::vector<std::string> erlaubt;     // the first moves allowed; empty: any
    int anzahl;                           // lines found (0: searchmoves left nothing)
    std::vector<std::string> reihenfolge; // the first lines' moves, in order
};

TEST(Wurzel, MengeMehrereLinienUndAusschluss) {
    const char* const START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    // Queen, rook and knight hang, each to its own pawn.
    const char* const SCHLAEGE = "7k/8/5r2/n2q2P1/1P2P3/8/8/6K1 w - - 0 1";
    const Wurzelfall faelle[] = {
        {START, 3, "", {}, {}, 3, {}},
        {START, 1, "a2a3 h2h3", {}, {"a2a3", "h2h3"}, 1, {}},
        {START, 5, "a2a3 h2h3 a2a3", {}, {"a2a3", "h2h3"}, 2, {}},
        {START, 2, "e2e5 g1f3 zz", {}, {"g1f3"}, 1, {}},
        {START, 2, "e2e5 e1e2", {}, {}, 0, {}},
        {START, 3, "", {"e2e4", "d2d4", "g1f3"}, {}, 3, {}},
        {START, 4, "", {"all", "+h2h4", "+b1a3"}, {"h2h4", "b1a3"}, 2, {}},
        {START, 2, "b1c3 g1f3 e2e4", {"e2e4"}, {"b1c3", "g1f3"}, 2, {}},
        {SCHLAEGE, 3, "", {}, {}, 3, {"e4d5", "g5f6", "b4a5"}},
        {SCHLAEGE, 1, "", {"e4d5"}, {"g5f6"}, 1, {"g5f6"}},
        {"7k/8/8/8/8/8/6q1/7K w - - 0 1", 64, "", {}, {"h1g2"}, 1, {"h1g2"}},
    };
    for (const Wurzelfall& f : faelle) {
        const std::string was = std::string(f.fen) + " / " + std::to_string(f.linien) + " / " + f.suchzuege;
        test::neustart();
        testing::internal::CaptureStdout();
        uci_befehl((std::string("position fen ") + f.fen).c_str());
        computerfarbe = werdran;
        const bool gesetzt =
            f.suchzuege[0] == '\0' || suchzuege_setzen((std::string("go searchmoves ") + f.suchzuege).c_str());
        for (const std::string& a : f.ausschluss)
            ausschluss_befehl((a[0] == '+' ? "include " + a.substr(1) : "exclude " + a).c_str(), a[0] != '+');
        const bool eingesetzt = ausschluss_einsetzen();
        Variante& l = letzte_variante;
        if (gesetzt) {
            partie_vorgeschichte();
            Suchauftrag a;
            a.tiefe = 5;
            a.linien = f.linien;
            denken(&l, a);
        }
        ausschluss_abziehen();
        suchzuege_aufheben();
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(eingesetzt) << was;
        EXPECT_EQ(wurzel_eingeschraenkt(), false) << was;
        if (f.anzahl == 0) {
            EXPECT_FALSE(gesetzt) << was;
            continue;
        }
        ASSERT_TRUE(gesetzt) << was;
        std::vector<std::string> erste;
        std::vector<int> werte;
        if (f.linien == 1) {
            erste.push_back(text(l.zuege[0]));
        } else {
            ASSERT_EQ(mehrfach_anzahl(), f.anzahl) << was;
            for (int r = 0; r < mehrfach_anzahl(); ++r) {
                Variante v;
                mehrfach_linie(r, v);
                ASSERT_GE(v.anzahl, 1) << was;
                erste.push_back(text(v.zuege[0]));
                werte.push_back(mehrfach_wert(r));
            }
            EXPECT_EQ(text(l.zuege[0]), erste[0]) << was;
        }
        std::vector<std::string> sortiert = erste;
        std::sort(sortiert.begin(), sortiert.end());
        EXPECT_EQ(std::unique(sortiert.begin(), sortiert.end()), sortiert.end()) << was << ": a move twice";
        EXPECT_TRUE(std::is_sorted(werte.rbegin(), werte.rend())) << was << ": not best first";
        // Exact scores, not the bound of a window.
        for (int w : werte) EXPECT_TRUE(w > -19000 && w < 19000) << was << ": " << w;
        for (const std::string& m : erste) {
            if (!f.erlaubt.empty()) {
                EXPECT_NE(std::find(f.erlaubt.begin(), f.erlaubt.end(), m), f.erlaubt.end()) << was << ": " << m;
            }
            EXPECT_EQ(std::find(f.ausschluss.begin(), f.ausschluss.end(), m), f.ausschluss.end()) << was << ": " << m;
        }
        for (size_t i = 0; i < f.reihenfolge.size(); ++i) EXPECT_EQ(erste.at(i), f.reihenfolge[i]) << was;
    }
    // An exclusion holds for its position only.
    test::neustart();
    computerfarbe = werdran;
    ausschluss_befehl("exclude all", true);
    ASSERT_FALSE(ausschluss_einsetzen());
    ASSERT_EQ(zug_lesen("e2e4"), Eingabe::GESPIELT);
    computerfarbe = werdran;
    EXPECT_TRUE(ausschluss_einsetzen());
    EXPECT_EQ(wurzel_ausschluss_anzahl, 0);
    test::neustart();
}

// go mate N ends once the mate is proven, with its exact score and move; a longer one at stop.
TEST(Matt, GoMateBisZumBeweis) {
    test::Prozess kelpin;
    kelpin.sende("uci");
    ASSERT_TRUE(test::bis(kelpin, "uciok"));
    kelpin.sende("setoption name OwnBook value false");
    const std::tuple<const char*, int, const char*> aufgaben[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1", 1, "a1a8"},   // back rank
        {"kbK5/pp6/1P6/8/8/8/8/R7", 2, "a1a6"},   // the rook sacrifice on a6
        {"3k4/8/8/8/8/8/8/RR4K1", 3, ""},         // two rooks, more than one way
    };
    for (const auto& [stellung, n, zug] : aufgaben) {
        kelpin.sende(std::string("position fen ") + stellung + " w - - 0 1");
        kelpin.sende("go mate " + std::to_string(n));
        std::vector<std::string> info;
        ASSERT_TRUE(test::bis(kelpin, "bestmove", &info)) << stellung;
        ASSERT_FALSE(info.empty());
        const std::string& letzte = info.back();
        const size_t p = letzte.find(" score mate ");
        ASSERT_NE(p, std::string::npos) << letzte;
        EXPECT_EQ(std::stoi(letzte.substr(p + 12)), n) << letzte;
        kelpin.sende("isready");
        std::vector<std::string> danach;
        ASSERT_TRUE(test::bis(kelpin, "readyok", &danach));
        EXPECT_TRUE(danach.empty()) << "a bestmove that came before the search ended";
        if (zug[0] != '\0') {
            EXPECT_NE(letzte.find(std::string(" pv ") + zug), std::string::npos) << letzte;
        }
    }
    kelpin.sende("position fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1");
    kelpin.sende("go mate 1");
    ASSERT_TRUE(test::bis(kelpin, "info depth 8 "));
    kelpin.sende("stop");
    std::string z;
    while (kelpin.zeile(z) && z.rfind("bestmove", 0) != 0) {}
    EXPECT_EQ(z.rfind("bestmove a1a6", 0), 0u) << z;
    kelpin.beende();
}

// More points: no fewer nodes, more lines or wider spread; values in range, the top full strength.
TEST(Staerke, AbbildungMonotonUndBeschraenkt) {
    const auto knoten = [](const Staerke& s) { return s.knoten == 0 ? INT64_MAX : s.knoten; };
    Staerke vorher = staerke(ELO_MIN);
    for (int elo = ELO_MIN; elo <= ELO_MAX; ++elo) {
        const Staerke s = staerke(elo);
        EXPECT_GE(knoten(s), knoten(vorher)) << elo;
        EXPECT_LE(s.streuung, vorher.streuung) << elo;
        EXPECT_TRUE(s.knoten >= 0 && s.knoten <= 100000000) << elo;
        EXPECT_TRUE(s.linien >= 1 && s.linien <= MEHRFACH_GROESST) << elo;
        EXPECT_TRUE(s.streuung >= 0 && s.streuung <= 1000) << elo;
        EXPECT_TRUE(s.streuung == 0 || s.linien > 1) << elo;
        vorher = s;
    }
    EXPECT_GT(staerke(ELO_MIN).streuung, 0);
    const Staerke voll = staerke(ELO_MAX);
    EXPECT_TRUE(voll.knoten == 0 && voll.linien == 1 && voll.streuung == 0);
    EXPECT_EQ(staerke(-5).streuung, staerke(ELO_MIN).streuung);
    EXPECT_EQ(staerke(100000).knoten, 0);
    // Only a turn with the setting on, below the top and not an analysis.
    Suchauftrag zug, analyse;
    analyse.endlos = true;
    const int64_t an = opt_staerke, elo = opt_elo;
    opt_staerke = 0, opt_elo = ELO_MIN;
    EXPECT_FALSE(staerke_begrenzt(zug));
    opt_staerke = 1;
    EXPECT_TRUE(staerke_begrenzt(zug));
    EXPECT_FALSE(staerke_begrenzt(analyse));
    opt_elo = ELO_MAX;
    EXPECT_FALSE(staerke_begrenzt(zug));
    opt_staerke = an, opt_elo = elo;
}

}  // namespace
}  // namespace kelpin
