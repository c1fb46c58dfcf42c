// The engine's shortcuts against the plain computation they stand for.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "hilfen.h"

namespace kelpin {
namespace {

bool gleich(const ZugEintrag& x, const ZugEintrag& y) {
    return std::tie(x.von, x.nach, x.figur, x.geschlagen, x.umwandlung, x.rochade, x.ep_linie, x.reserve, x.sortwert,
                    x.neue_figur) == std::tie(y.von, y.nach, y.figur, y.geschlagen, y.umwandlung, y.rochade, y.ep_linie,
                                              y.reserve, y.sortwert, y.neue_figur);
}

bool gleich(const Lage& x, const Lage& y) {
    return std::equal(std::begin(x.maske), std::end(x.maske), std::begin(y.maske)) &&
           std::equal(std::begin(x.anzahl), std::end(x.anzahl), std::begin(y.anzahl)) &&
           std::tie(x.material, x.leicht, x.schwer) == std::tie(y.material, y.leicht, y.schwer);
}

Lage frisch() {
    Lage l;
    lage_aus_brett(l);
    return l;
}

// The same list generated twice, into list 200, from brett and from the summary.
template <typename A, typename B>
void gleiche_listen(A aus_brett, B aus_lage, const char* was) {
    aus_brett();
    ZugEintrag erwartet[PLAETZE];
    const int anzahl = index[200];
    std::copy(zug[200], zug[200] + anzahl + 1, erwartet);
    aus_lage();
    ASSERT_EQ(index[200], anzahl) << was;
    for (int i = 1; i <= anzahl; ++i) ASSERT_TRUE(gleich(zug[200][i], erwartet[i])) << was << " move " << i;
}

// Random games with promotions and castling, checked after every make and unmake.
TEST(Schnellwege, InZufallspartienWieFrischBerechnet) {
    // The table starts all zero, which must be what a board without pawns gives.
    test::stellung("k7/8/8/8/8/8/8/K7");
    EXPECT_EQ(bauernbefund_neu(), Bauernbefund{});
    EXPECT_EQ(bauernbefund(), Bauernbefund{});

    std::mt19937 zufall(14);
    auto fenster_unten = [&] { return static_cast<int>(zufall() % 1200) - 600; };
    auto breite = [&] { return 1 + static_cast<int>(zufall() % 400); };
    constexpr int PLIES = 60;
    for (const char* start : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", "4k3/pppppppp/8/8/8/8/PPPPPPPP/4K3",
                              "r3k3/1P5p/8/2pP4/8/8/p5PP/4K2R", "8/5k1p/1R2Rn2/5q2/1p6/6P1/5P2/6K1"}) {
        for (int partie = 0; partie < 5; ++partie) {
            test::stellung(start);
            int farbe = WEISS;
            int gespielt[PLIES + 1] = {};
            Lage lage[PLIES + 1];
            lage[0] = frisch();
            int n = 0;
            while (n < PLIES) {
                const int liste = 10 + n;
                movegen(liste, farbe);
                if (index[liste] == 0) break;
                // Every move the table keeps comes back whole; whether it leaves a
                // king to be taken is told from the summary as by making it.
                for (int i = 1; i <= index[liste]; ++i) {
                    ASSERT_TRUE(gleich(als_zug(tabellenzug(zug[liste][i])), zug[liste][i])) << start << " ply " << n;
                    zugausf(liste, i);
                    const bool bedroht = koenig_bedroht(farbe);
                    zugzur(liste, i);
                    ASSERT_EQ(koenig_bedroht_nach(farbe, lage[n], zug[liste][i]), bedroht) << start << " ply " << n;
                }
                gespielt[n] = static_cast<int>(zufall() % index[liste]) + 1;
                zugausf(liste, gespielt[n]);
                lage_nach_zug(lage[n], zug[liste][gespielt[n]], lage[n + 1]);
                ++n;
                ASSERT_TRUE(gleich(lage[n], frisch())) << start << " after ply " << n;
                ASSERT_EQ(bauernbefund(), bauernbefund_neu()) << start << " after ply " << n;
                // Under another window, answered from the latest evaluation as anew.
                for (int fenster = 0; fenster < 4; ++fenster) {
                    const int a1 = fenster_unten(), b1 = a1 + breite();
                    const int a2 = fenster_unten(), b2 = a2 + breite();
                    const int neu = eval(0, 0, a2, b2);
                    eval(0, 0, a1, b1);
                    const int64_t vorher = evals;
                    ASSERT_EQ(eval_nochmals(a2, b2), neu) << start << " after ply " << n;
                    ASSERT_EQ(evals, vorher + 1);
                }
                // The evaluation, the lists and the check from the summary as from the board.
                ASSERT_EQ(eval_aus(lage[n], -32000, 32000), eval(0, 0, -32000, 32000)) << start << " after ply " << n;
                for (const int seite : {WEISS, SCHWARZ}) {
                    ASSERT_NO_FATAL_FAILURE(gleiche_listen([&] { qmovegen(200, seite); },
                                                           [&] { qmovegen_aus(200, seite, lage[n]); }, start));
                    ASSERT_NO_FATAL_FAILURE(
                        gleiche_listen([&] { movegen(200, seite); }, [&] { movegen_aus(200, seite, lage[n]); }, start));
                    ASSERT_EQ(koenig_bedroht_aus(seite, lage[n]), koenig_bedroht(seite)) << start << " after ply " << n;
                }
                farbe = farbe == WEISS ? SCHWARZ : WEISS;
            }
            while (n > 0) {
                --n;
                zugzur(10 + n, gespielt[n]);
                ASSERT_TRUE(gleich(lage[n], frisch())) << start << " back at ply " << n;
                ASSERT_EQ(bauernbefund(), bauernbefund_neu()) << start << " back at ply " << n;
            }
        }
    }
}

// Lists with equal scores and king captures: place by place, and the flag, as the whole sort.
TEST(Sortierung, PlatzweiseWieImGanzen) {
    std::mt19937 zufall(4);
    constexpr int EBENE = 9;
    for (int runde = 0; runde < 3000; ++runde) {
        const int n = 1 + static_cast<int>(zufall() % 100);
        const int spanne = 1 + static_cast<int>(zufall() % 12);
        index[EBENE] = n;
        for (int i = 1; i <= n; ++i) {
            ZugEintrag& m = zug[EBENE][i] = ZugEintrag{};
            m.von = static_cast<uint16_t>(i);
            m.sortwert = static_cast<int32_t>(zufall() % spanne) * 1000 - 3000;
            if (zufall() % 40 == 0) m.geschlagen = zufall() % 2 ? wkonig : skonig;
        }
        ZugEintrag roh[PLAETZE], ganz[PLAETZE];
        std::copy(zug[EBENE], zug[EBENE] + n + 1, roh);
        GeschKonig = 0;
        qmoveorder(EBENE, 1, n);
        const int16_t erwartet = GeschKonig;
        std::copy(zug[EBENE], zug[EBENE] + n + 1, ganz);
        std::copy(roh, roh + n + 1, zug[EBENE]);  // back to the list as generated

        GeschKonig = 0;
        ordnung_beginnen(EBENE, n);
        ASSERT_EQ(GeschKonig, erwartet) << "round " << runde;
        if (erwartet == 1) continue;
        // Stopping early must not change the places read before.
        const int bis = zufall() % 3 == 0 ? n : 1 + static_cast<int>(zufall() % n);
        for (int k = n; k >= bis; --k)
            ASSERT_EQ(zug[EBENE][ordnung_platz(EBENE, k)].von, ganz[k].von) << "round " << runde << " place " << k;
    }
}

// Every middle entry the lowest of its range: the ranges still to sort must not outgrow their table.
TEST(Sortierung, MitteStetsAmKleinsten) {
    constexpr int EBENE = EBENEN - 1, N = MAXZUEGE;
    int platz[N + 1];
    for (int i = 0; i <= N; ++i) platz[i] = i;
    for (int a = 1; a <= N; ++a) {
        const int mitte = (a + N) / 2;
        zug[EBENE][platz[mitte]] = ZugEintrag{};
        zug[EBENE][platz[mitte]].von = static_cast<uint16_t>(platz[mitte]);
        zug[EBENE][platz[mitte]].sortwert = a;
        std::swap(platz[mitte], platz[N]);
        std::swap(platz[a], platz[N]);
    }
    ZugEintrag roh[PLAETZE];
    std::copy(zug[EBENE], zug[EBENE] + N + 1, roh);
    qmoveorder(EBENE, 1, N);
    ZugEintrag ganz[PLAETZE];
    std::copy(zug[EBENE], zug[EBENE] + N + 1, ganz);
    std::copy(roh, roh + N + 1, zug[EBENE]);
    ordnung_beginnen(EBENE, N);
    for (int k = N; k >= 1; --k) ASSERT_EQ(zug[EBENE][ordnung_platz(EBENE, k)].von, ganz[k].von) << "place " << k;
}

}  // namespace
}  // namespace kelpin
