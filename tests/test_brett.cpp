// The board: set-up from a FEN placement, the position keys, the built-in
// test positions, and making and taking back moves.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "hilfen.h"
#include "stellungstext.h"

namespace kelpin {
namespace {

using test::neustart;
using test::platzierung;
using test::stellung;

const char* const GRUNDSTELLUNG = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";

// Everything make and unmake may touch, to compare before and after.
struct Abbild {
    std::array<int16_t, BRETTGROESSE> feld;
    uint64_t index, kennung, kennung2;
    std::array<int16_t, 6> bewegt;
    int16_t am_zug;
    bool operator==(const Abbild&) const = default;
};

Abbild aufnahme() {
    Abbild a{};
    for (int s = 0; s < BRETTGROESSE; ++s) a.feld[s] = brett[s];
    a.index = hashindex, a.kennung = hashkennung, a.kennung2 = hashkennung2;
    a.bewegt = {a1_bewegt, h1_bewegt, h8_bewegt, a8_bewegt, e1_bewegt, e8_bewegt};
    a.am_zug = werdran;
    return a;
}

int finde(int liste, int von, int nach) {
    for (int i = 1; i <= index[liste]; ++i)
        if (zug[liste][i].von == von && zug[liste][i].nach == nach) return i;
    return 0;
}

TEST(Aufstellung, GrundstellungstextGleichBrettinit) {
    neustart();
    EXPECT_EQ(platzierung(), GRUNDSTELLUNG);
    const Abbild grund = aufnahme();
    // epd leaves side to move, castling flags and move counter alone.
    werdran = SCHWARZ, e1_bewegt = 1, SpielZugNummer = 7;
    epd(GRUNDSTELLUNG);
    EXPECT_EQ(aufnahme().feld, grund.feld);
    EXPECT_EQ(hashkennung, grund.kennung);
    EXPECT_EQ(werdran + e1_bewegt + SpielZugNummer, SCHWARZ + 1 + 7);
    EXPECT_EQ(teststellung_an, 1);

    // brettinit resets what epd left alone.
    brettinit();
    EXPECT_EQ(aufnahme().bewegt, (std::array<int16_t, 6>{}));
    EXPECT_EQ(werdran + SpielZugNummer, WEISS);
}

TEST(Aufstellung, LeeresBrettUndLeererText) {
    for (const char* text : {"8/8/8/8/8/8/8/8", ""}) {
        neustart();
        hashtable[5].kennung = 4711;
        epd(text);
        EXPECT_EQ(platzierung(), "8/8/8/8/8/8/8/8") << text;
        EXPECT_EQ(hashindex, 0u);
        EXPECT_EQ(hashkennung, 0u);
        EXPECT_EQ(hashkennung2, 31337u);
        EXPECT_EQ(hashtable[5].kennung, 0u) << "the table is cleared";
    }
}

TEST(Aufstellung, KoenigeUndKurzeReihe) {
    // 4 moves the cursor from 56 to 60, so k lands on 61 = e8; after the last
    // '/' the cursor is 0 and K lands on 5 = e1.
    stellung("4k3/8/8/8/8/8/8/4K3");
    EXPECT_EQ(brett[e8], skonig);
    EXPECT_EQ(brett[e1], wkonig);
    EXPECT_EQ(platzierung(), "4k3/8/8/8/8/8/8/4K3");
    // Three pawns on the seventh rank: the '/' after them still starts the
    // next field at a6, and d7 ... h7 stay empty.
    stellung("rnbqkbnr/ppp/p7/8/8/8/PPPPPPPP/RNBQKBNR");
    EXPECT_EQ(platzierung(), "rnbqkbnr/ppp5/p7/8/8/8/PPPPPPPP/RNBQKBNR");
}

TEST(Aufstellung, LeerzeichenEndetVorSchluesselnUndTabelle) {
    neustart();
    const Abbild vorher = aufnahme();
    hashtable[7].kennung = 4711;
    epd("4k3 /8/8/8/8/8/8/4K3");
    EXPECT_EQ(platzierung(), "4k3/8/8/8/8/8/8/8") << "only what stood before the blank";
    EXPECT_EQ(teststellung_an, 1);
    EXPECT_EQ(hashindex, vorher.index);
    EXPECT_EQ(hashkennung, vorher.kennung);
    EXPECT_EQ(hashkennung2, vorher.kennung2);
    EXPECT_EQ(hashtable[7].kennung, 4711u);
}

TEST(Aufstellung, UeberlangeTexteSchreibenNurAufsBrett) {
    // 74 black pawns: the first eight fill a8 ... h8, the rest fall off the
    // board. After eight complete ranks the last '/' leaves the cursor at -8,
    // so a ninth field lands on -7 ... 0 and nothing of it is placed.
    const char* const faelle[][2] = {
        {"pppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppp", "pppppppp/8/8/8/8/8/8/8"},
        {"8/8/8/8/8/8/8/8/PPPPPPPP/KKKK", "8/8/8/8/8/8/8/8"},
        // Where the cursor runs far off the board only safety can be asked for.
        {"9999999999/ppppppppppppppppp//////KKKK", nullptr},
        {"99999999999999999999k", nullptr},
        {"////////////////kkkk", nullptr},
        {"k9/K9/q9/Q9/r9/R9/b9/B9/n9/N9", nullptr},
    };
    for (const auto& f : faelle) {
        stellung(f[0]);
        if (f[1] != nullptr) {
            EXPECT_EQ(platzierung(), f[1]) << f[0];
        }
        EXPECT_EQ(brett[0], leer) << f[0];
        for (int s = 65; s < BRETTGROESSE; ++s) EXPECT_EQ(brett[s], leer) << f[0] << " element " << s;
        EXPECT_TRUE(brett_ist_ok()) << f[0];
    }
}

// The keys change by word 0 (hashindex, hashkennung2) and word 1
// (hashkennung) of exactly the listed [square][code + 6] entries.
void erwarte_aenderung(const Abbild& vorher, std::initializer_list<std::array<int, 2>> eintraege) {
    uint64_t w0 = 0, w1 = 0;
    for (const auto& [feld_nr, code6] : eintraege) w0 ^= zufall[feld_nr][code6][0], w1 ^= zufall[feld_nr][code6][1];
    EXPECT_EQ(hashindex ^ vorher.index, w0);
    EXPECT_EQ(hashkennung ^ vorher.kennung, w1);
    EXPECT_EQ(hashkennung2 ^ vorher.kennung2, w0);
}

TEST(Schluessel, ZugAendertGenauDieGenanntenEintraege) {
    neustart();
    const Abbild start = aufnahme();
    werdran = SCHWARZ;
    InitStellung();
    EXPECT_EQ(hashkennung, start.kennung) << "the side to move is no part of the keys";

    // e2-e4: the pawn leaves e2 (13), arrives on e4 (29), plus the promotion
    // term (leer, code + 6 = 6) and the castling term (flag 0) of e4.
    movegen(1, WEISS);
    zugausf(1, finde(1, e2, e4));
    erwarte_aenderung(start, {{13, 7}, {29, 7}, {29, 6}, {29, 0}});

    // A Black move adds the side key [15][6].
    const Abbild vor_e5 = aufnahme();
    movegen(2, SCHWARZ);
    zugausf(2, finde(2, e7, e5));
    erwarte_aenderung(vor_e5, {{53, 5}, {37, 5}, {37, 6}, {37, 0}, {15, 6}});
}

TEST(Teststellung, PlatzierungUndNebenwirkung) {
    enum Folge { KEINE, TESTSTELLUNG, MITTELSPIEL };
    const struct {
        int n;
        const char* text;
        Folge folge;
    } zeilen[] = {
        {1, "3n4/p2N2p1/1p6/2p2N2/3n1pP1/1P6/P2PP3/8", KEINE},
        {4, "4r2k/qp4pp/8/6N1/4P3/PQ1P4/2P3P1/7K", TESTSTELLUNG},
        {13, "r7/pp4k1/2p1r1P1/4p3/3nBpb1/P1BP4/1PP2PK1/R4R2", MITTELSPIEL},
        {37, "r1q1r1k1/pp4bp/4n1p1/nP1Q1p2/P2P4/4B3/4BPPP/R3R1K1", TESTSTELLUNG},
        {49, "8/8/8/4np1K/1NN2k2/1R6/1P5P/3n4", MITTELSPIEL},
    };
    for (const auto& z : zeilen) {
        neustart();
        werdran = SCHWARZ;
        Abbild vorher = aufnahme();
        EXPECT_EQ(teststellung(z.n), 0);
        EXPECT_EQ(platzierung(), z.text) << z.n;
        EXPECT_EQ(teststellung_an, z.folge == TESTSTELLUNG ? 1 : 0) << z.n;
        EXPECT_EQ(SpielZugNummer, z.folge == MITTELSPIEL ? 25 : 0) << z.n;
        vorher.feld = aufnahme().feld;
        EXPECT_EQ(aufnahme(), vorher) << "side to move, flags and keys stay the caller's business";
    }
}

TEST(Teststellung, VierzehnUndUngueltigeNummern) {
    neustart();
    teststellung(14);
    EXPECT_EQ(platzierung(), "r2qkbnr/ppp2ppp/3p4/4p3/2BnP1b1/2NP1N2/PPP2PPP/R1BQK2R");
    // On an empty board only the pieces it puts remain: no kings.
    stellung("8/8/8/8/8/8/8/8");
    teststellung(14);
    EXPECT_EQ(platzierung(), "8/8/3p4/4p3/2BnP1b1/2NP1N2/8/8");

    for (const int n : {0, 50, -1}) {
        neustart();
        SpielZugNummer = 3;
        EXPECT_EQ(teststellung(n), 0);
        EXPECT_EQ(platzierung(), GRUNDSTELLUNG) << n;
        EXPECT_EQ(teststellung_an + SpielZugNummer, 3) << n;
    }
}

TEST(ZugAusfuehren, RochadeUndZuruecknahme) {
    stellung("4k3/8/8/8/8/8/8/4K2R");
    a8_bewegt = 1;  // unrelated: a flag zugausf must leave as it is
    const Abbild vorher = aufnahme();
    movegen(QSUCHE, WEISS);
    const int i = finde(QSUCHE, e1, g1);
    ASSERT_NE(i, 0);
    zugausf(QSUCHE, i);
    EXPECT_EQ(platzierung(), "4k3/8/8/8/8/8/8/5RK1");
    EXPECT_EQ(aufnahme().bewegt, vorher.bewegt);
    // The castling term takes flag 1 as the index; the rook adds no term.
    erwarte_aenderung(vorher, {{e1, 12}, {g1, 12}, {g1, 6}, {g1, 1}});
    // The game would have marked king and rook by now; taking the castling
    // back gives both their right again.
    e1_bewegt = h1_bewegt = 1;
    zugzur(QSUCHE, i);
    EXPECT_EQ(aufnahme(), vorher);
}

// Random play from several positions: at every position reached, each move
// of the list is made and taken back and must restore board, keys, flags and
// side to move bit for bit; at the end the whole path is taken back as well.
TEST(ZugAusfuehren, ZufallspartienStellenAllesWiederHer) {
    // Generation one list above the horizon, so castling is offered and its
    // test nests just once; the moves of the path are kept in a list of their
    // own, since make and unmake read the record in place.
    const int liste = QSUCHE_START + 1;
    constexpr int PFAD = 250;
    std::mt19937 zufallszahl(20240611);
    int rochaden = 0, umwandlungen = 0, schlaege = 0;
    for (const char* start :
         {GRUNDSTELLUNG, "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R", "1n2k1r1/P5P1/8/8/8/8/p5p1/1N2K1R1",
          "rn3rk1/pbppq1pp/1p2pb2/4N2Q/3PN3/3B4/PPP2PPP/R3K2R", "6B1/3K4/3p1Pkp/2p3np/1n3R1P/4p1R1/4Q1pp/6bb"}) {
        for (int partie = 0; partie < 4; ++partie) {
            stellung(start);
            const Abbild anfang = aufnahme();
            int seite = WEISS, laenge = 0;
            while (laenge < 60) {
                movegen(liste, seite);
                if (index[liste] == 0) break;
                const Abbild hier = aufnahme();
                for (int i = 1; i <= index[liste]; ++i) {
                    const ZugEintrag& m = zug[liste][i];
                    rochaden += m.rochade, umwandlungen += m.umwandlung, schlaege += m.geschlagen != leer;
                    zugausf(liste, i);
                    EXPECT_EQ(hashkennung2 ^ hashindex, 31337u);
                    EXPECT_EQ(aufnahme().bewegt, hier.bewegt);
                    EXPECT_EQ(werdran, hier.am_zug);
                    zugzur(liste, i);
                    ASSERT_EQ(aufnahme(), hier) << start << " move " << feld[m.von] << feld[m.nach];
                }
                zug[PFAD][++laenge] = zug[liste][1 + zufallszahl() % index[liste]];
                zugausf(PFAD, laenge);
                seite = seite == WEISS ? SCHWARZ : WEISS;
            }
            for (; laenge > 0; --laenge) zugzur(PFAD, laenge);
            EXPECT_EQ(aufnahme(), anfang) << start;
        }
    }
    // The play must really have met every kind of move.
    EXPECT_GT(rochaden, 0);
    EXPECT_GT(umwandlungen, 0);
    EXPECT_GT(schlaege, 0);
}

}  // namespace
}  // namespace kelpin
