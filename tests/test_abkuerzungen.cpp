// The search asks "is this king attacked" and the castling test "does any
// opponent move end here" without generating lists. Both answers must equal
// what generating the list and looking at it gives, on every kind of board.
#include <gtest/gtest.h>

#include <random>

#include "hilfen.h"

namespace kelpin {
namespace {

constexpr int LISTE = 30;  // below the horizon: no castling in the lists

// Boards from random play out of varied starts, and random placements with
// many pieces and missing or extra kings.
template <typename Pruefe>
void auf_vielen_brettern(Pruefe pruefe) {
    std::mt19937 zufall(2026);
    const char* starts[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8",
        "r4rk1/3q3p/bppPp2P/p3Pp2/3P1P2/N4N2/2Q2K2/6RR",
    };
    for (const char* start : starts) {
        test::stellung(start);
        int farbe = WEISS;
        for (int zug_nr = 0; zug_nr < 60; ++zug_nr) {
            pruefe();
            movegen(LISTE, farbe);
            if (index[LISTE] == 0) break;
            zugausf(LISTE, 1 + static_cast<int>(zufall() % index[LISTE]));
            farbe = farbe == WEISS ? SCHWARZ : WEISS;
        }
    }
    const char figuren[] = "PNBRQKpnbrqk";
    for (int n = 0; n < 300; ++n) {
        test::neustart();
        for (int s = 1; s <= 64; ++s) {
            const int w = static_cast<int>(zufall() % 24);
            brett[s] = 0;
            if (w < 12) {
                const char c = figuren[w];
                const int art = static_cast<int>(std::string("pnbrqk").find(static_cast<char>(tolower(c)))) + 1;
                brett[s] = static_cast<int16_t>(isupper(c) ? art : -art);
            }
        }
        pruefe();
    }
}

TEST(Abkuerzung, KoenigBedrohtWieInSchach) {
    int bedroht = 0;
    auf_vielen_brettern([&] {
        for (const int farbe : {WEISS, SCHWARZ}) {
            const bool schnell = koenig_bedroht(farbe);
            ASSERT_EQ(schnell, inSchach(farbe) == 1) << "side " << farbe;
            bedroht += schnell;
        }
    });
    EXPECT_GT(bedroht, 100);  // the boards do contain checks
}

TEST(Abkuerzung, ZugEndetAufWieDieListe) {
    int erreicht = 0;
    auf_vielen_brettern([&] {
        for (const int g : {WEISS, SCHWARZ}) {
            movegen(LISTE, g);
            bool ziel[65] = {};
            for (int i = 1; i <= index[LISTE]; ++i) ziel[zug[LISTE][i].nach] = true;
            for (int x = 1; x <= 64; ++x) {
                ASSERT_EQ(zug_endet_auf(x, g), ziel[x]) << "square " << feld[x] << " side " << g;
                erreicht += ziel[x];
            }
        }
    });
    EXPECT_GT(erreicht, 1000);
}

}  // namespace
}  // namespace kelpin
