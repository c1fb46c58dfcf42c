// "Is this king attacked" and "does a move end here" answered without lists, as the list gives.
#include <gtest/gtest.h>

#include <random>

#include "hilfen.h"

namespace kelpin {
namespace {

constexpr int LISTE = 30;  // below the horizon: no castling in the lists

TEST(Abkuerzung, KoenigBedrohtUndZugEndetAufWieDieListe) {
    std::mt19937 zufall(2026);
    int bedroht = 0, erreicht = 0;
    auto vergleiche = [&] {
        Lage lage;
        lage_aus_brett(lage);
        for (const int g : {WEISS, SCHWARZ}) {
            ASSERT_EQ(koenig_bedroht(g), inSchach(g) == 1) << "side " << g;
            ASSERT_EQ(koenig_bedroht_aus(g, lage), inSchach(g) == 1) << "side " << g << ", from the summary";
            bedroht += koenig_bedroht(g);
            movegen(LISTE, g);
            bool ziel[65] = {};
            for (int i = 1; i <= index[LISTE]; ++i) ziel[zug[LISTE][i].nach] = true;
            for (int x = 1; x <= 64; ++x) {
                ASSERT_EQ(zug_endet_auf(x, g), ziel[x]) << "square " << feld[x] << " side " << g;
                erreicht += ziel[x];
            }
        }
    };
    // Random play from varied starts ...
    for (const char* start : {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R",
                              "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8", "r4rk1/3q3p/bppPp2P/p3Pp2/3P1P2/N4N2/2Q2K2/6RR"}) {
        test::stellung(start);
        for (int n = 0, farbe = WEISS; n < 60; ++n, farbe = farbe == WEISS ? SCHWARZ : WEISS) {
            ASSERT_NO_FATAL_FAILURE(vergleiche()) << start << " move " << n;
            movegen(LISTE, farbe);
            if (index[LISTE] == 0) break;
            zugausf(LISTE, 1 + static_cast<int>(zufall() % index[LISTE]));
        }
    }
    // ... and random placements: pawns on the last ranks, kings missing or many.
    for (int n = 0; n < 300; ++n) {
        for (int s = 1; s <= 64; ++s) brett[s] = static_cast<int16_t>(zufall() % 2 ? 0 : int(zufall() % 13) - 6);
        ASSERT_NO_FATAL_FAILURE(vergleiche()) << "placement " << n;
    }
    EXPECT_GT(bedroht, 100);  // the boards do contain checks
    EXPECT_GT(erreicht, 1000);
}

}  // namespace
}  // namespace kelpin
