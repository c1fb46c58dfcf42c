// The search: its signature, the sort, the table, mates, stalemate,
// repetition, and the thinking driver's stop and window rules.
#include <gtest/gtest.h>

#include <regex>

#include "hilfen.h"
#include "signatur.h"

namespace kelpin {
namespace {

using test::programm;

// --- the signature --------------------------------------------------------

// Every position of the recorded table gives its node count and move, twice
// in one process: a search that depended on state left by an earlier one
// would drift on the second pass.
TEST(Signatur, ZweimalWieAufgezeichnet) {
    test::neustart();
    const auto zeilen = signatur::lade(KELPIN_SIGNATUR);
    ASSERT_GE(zeilen.size(), 6u);
    for (int lauf = 0; lauf < 2; ++lauf) {
        for (const auto& z : zeilen) {
            testing::internal::CaptureStdout();
            const auto e = signatur::suche(z);
            testing::internal::GetCapturedStdout();
            EXPECT_EQ(e.knoten, z.knoten) << z.stellung << " pass " << lauf;
            EXPECT_EQ(e.zug, z.zug) << z.stellung << " pass " << lauf;
            EXPECT_EQ(QSUCHE, QSUCHE_START);
            EXPECT_EQ(schachext + onerep_extended + extended + reduction + nullstatus, 0);
        }
    }
}

// --- the sort -------------------------------------------------------------

void liste(int ebene, std::initializer_list<std::pair<int, int>> werte) {
    index[ebene] = 0;
    for (const auto& [wert, geschlagen] : werte) {
        ZugEintrag& m = zug[ebene][++index[ebene]];
        m = ZugEintrag{};
        m.von = static_cast<uint16_t>(index[ebene]);
        m.nach = 20;
        m.sortwert = wert;
        m.geschlagen = static_cast<int16_t>(geschlagen);
    }
}

TEST(Sortierung, AufsteigendUndVollstaendig) {
    liste(7, {{5, 0}, {-3, 0}, {900, 0}, {5, 0}, {1016, 0}, {0, 0}, {12000, 0}, {-3, 0}, {7, 0}});
    GeschKonig = 0;
    qmoveorder(7, 1, 9);
    int gesehen = 0;
    for (int i = 1; i <= 9; ++i) {
        if (i > 1) {
            EXPECT_LE(zug[7][i - 1].sortwert, zug[7][i].sortwert);
        }
        gesehen |= 1 << zug[7][i].von;
    }
    EXPECT_EQ(gesehen, 0x3FE);  // every record still there, once
    EXPECT_EQ(GeschKonig, 0);
}

TEST(Sortierung, KoenigsschlagImPaarHaeltAn) {
    // The lower of two entries takes a king: flag raised, nothing exchanged.
    liste(7, {{30000, skonig}, {10, 0}});
    GeschKonig = 0;
    qmoveorder(7, 1, 2);
    EXPECT_EQ(GeschKonig, 1);
    EXPECT_EQ(zug[7][1].sortwert, 30000);
    // A single entry is left alone, even a king capture.
    liste(7, {{30000, wkonig}});
    GeschKonig = 0;
    qmoveorder(7, 1, 1);
    EXPECT_EQ(GeschKonig, 0);
}

// --- the table and the node procedure ---------------------------------------

struct Knoten : testing::Test {
    Variante linie_{};
    void SetUp() override {
        test::stellung("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R");
        InitSearch();
        MAXTIEFE = QSUCHE + 4;
    }
    HashEintrag& eintrag(int ebene, int wert, int flag) {
        HashEintrag& h = hashtable[hashindex % HASHEINTRAEGE];
        h = HashEintrag{};
        h.kennung = hashkennung;
        h.kennung2 = hashkennung2;
        h.tiefe = static_cast<uint16_t>(ebene);
        h.wert = wert;
        h.flag = static_cast<int16_t>(flag);
        h.bestzug.von = g1;
        h.bestzug.nach = g5;
        return h;
    }
};

TEST_F(Knoten, UntergrenzeSchneidetMitBeta) {
    eintrag(QSUCHE + 2, 5000, HASH_UNTERGRENZE);
    hashbetacut = 0;
    EXPECT_EQ(AlphaBeta(QSUCHE + 2, -100, 100, WEISS, &linie_), 100);
    EXPECT_EQ(hashbetacut, 1);
}

TEST_F(Knoten, ExakterTrefferGibtWertUndEinenZug) {
    eintrag(QSUCHE + 3, 42, HASH_EXAKT);
    linie_.anzahl = 7;
    EXPECT_EQ(AlphaBeta(QSUCHE + 2, -100, 100, WEISS, &linie_), 42);
    EXPECT_EQ(linie_.anzahl, 1);
    EXPECT_EQ(linie_.zuege[0].von, g1);
}

TEST_F(Knoten, FlacherEintragIstNurEinHinweis) {
    // Stored one level lower than the node: no cutoff, but its move becomes
    // hint slot 1 and the previous iteration's move slot 2.
    eintrag(QSUCHE + 1, 5000, HASH_UNTERGRENZE);
    oldhvar[QSUCHE + 2].von = e1;
    oldhvar[QSUCHE + 2].nach = g1;
    hashbetacut = 0;
    const int nodes_vorher = nodes;
    AlphaBeta(QSUCHE + 2, -100, 100, WEISS, &linie_);
    EXPECT_EQ(hashbetacut, 0);
    EXPECT_GT(nodes - nodes_vorher, 1);
    EXPECT_EQ(killer[QSUCHE + 2][1].nach, g5);
    EXPECT_EQ(killer[QSUCHE + 2][2].nach, g1);
}

TEST_F(Knoten, DritteWiederholungAufDemPfadIstRemis) {
    // A full-width node seven levels below the root whose position already
    // stands three times on the path above it, root included: a draw.
    MAXTIEFE = QSUCHE + 10;
    const int ebene = QSUCHE + 3;
    for (int j = ebene + 1; j <= MAXTIEFE; ++j) wiederholung[j] = {0, 0};
    for (int j : {MAXTIEFE, ebene + 4, ebene + 2}) wiederholung[j] = {hashkennung, hashindex};
    reps = 0;
    EXPECT_EQ(AlphaBeta(ebene, -100, 100, WEISS, &linie_), 0);
    EXPECT_EQ(reps, 1);
    // Twice above it only: searched as usual.
    wiederholung[MAXTIEFE] = {0, 0};
    for (int j : {ebene + 4, ebene + 2}) wiederholung[j] = {hashkennung, hashindex};
    AlphaBeta(ebene, -100, 100, WEISS, &linie_);
    EXPECT_EQ(reps, 1);
}

TEST_F(Knoten, PfadzustandNachDerSucheZurueck) {
    MAXTIEFE = QSUCHE + 6;
    AlphaBeta(MAXTIEFE, -28000, 28000, WEISS, &linie_);
    EXPECT_EQ(QSUCHE, QSUCHE_START);
    EXPECT_EQ(schachext + onerep_extended + extended + reduction + nullstatus, 0);
    EXPECT_TRUE(brett_ist_ok());
}

// --- mates, checked against a plain minimax over legal moves ----------------

// Mate in n or fewer for `farbe` by brute force: every legal move tried, no
// pruning, no ordering. Lists 10 and up are free outside a search.
bool setzt_matt(int n, int farbe, int ebene = 20);

bool hat_ausweg(int n, int farbe, int ebene) {
    movegen(ebene, farbe);
    bool legal_gefunden = false;
    for (int i = 1; i <= index[ebene]; ++i) {
        zugausf(ebene, i);
        const bool legal = !inSchach(farbe);
        const bool rettet = legal && (n == 0 || !setzt_matt(n, farbe == WEISS ? SCHWARZ : WEISS, ebene - 1));
        zugzur(ebene, i);
        legal_gefunden = legal_gefunden || legal;
        if (rettet) return true;
    }
    return !legal_gefunden && !inSchach(farbe);  // stalemate is an escape
}

bool setzt_matt(int n, int farbe, int ebene) {
    if (n == 0) return false;
    const int gegner = farbe == WEISS ? SCHWARZ : WEISS;
    movegen(ebene, farbe);
    for (int i = 1; i <= index[ebene]; ++i) {
        zugausf(ebene, i);
        const bool matt = !inSchach(farbe) && !hat_ausweg(n - 1, gegner, ebene - 1);
        zugzur(ebene, i);
        if (matt) return true;
    }
    return false;
}

struct Matt {
    const char* stellung;
    int zuege;
};

TEST(Matt, GefundenUndGespielt) {
    const Matt aufgaben[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1", 1},      // back rank
        {"kbK5/pp6/1P6/8/8/8/8/R7", 2},      // the rook sacrifice on a6
        {"7k/8/8/8/8/8/R7/1R4K1", 2},        // two rooks
        {"3k4/8/8/8/8/8/8/RR4K1", 3},        // two rooks, king further out
    };
    for (const Matt& a : aufgaben) {
        test::stellung(a.stellung);
        ASSERT_TRUE(setzt_matt(a.zuege, WEISS)) << a.stellung;
        ASSERT_FALSE(setzt_matt(a.zuege - 1, WEISS)) << a.stellung;

        const std::string aus = programm(std::string("output\nsetboard ") + a.stellung + "\nst 2\ngo\nquit\n");
        EXPECT_NE(aus.find("Search returned value: #" + std::to_string(a.zuege) + "\n"), std::string::npos)
            << a.stellung;
        std::smatch treffer;
        ASSERT_TRUE(std::regex_search(aus, treffer, std::regex("My move: ([a-h][1-8])([a-h][1-8])"))) << aus;
        // The move played keeps the mate: after it, no defence escapes.
        test::stellung(a.stellung);
        const std::string gespielt = treffer[1].str() + treffer[2].str();
        movegen(30, WEISS);
        bool gefunden = false;
        for (int i = 1; i <= index[30]; ++i) {
            const ZugEintrag& m = zug[30][i];
            if (std::string(feld[m.von]) + feld[m.nach] != gespielt) continue;
            gefunden = true;
            zugausf(30, i);
            EXPECT_FALSE(hat_ausweg(a.zuege - 1, SCHWARZ, 29)) << a.stellung << " " << gespielt;
            zugzur(30, i);
        }
        EXPECT_TRUE(gefunden) << gespielt;
    }
}

TEST(Matt, PattfalleUmgangen) {
    // Rg7 stalemates at once; the rook must not go there, the king walks.
    const std::string aus = programm("setboard 7k/8/5K2/8/8/8/8/6R1\nst 1\ngo\nquit\n");
    EXPECT_EQ(aus.find("move g1g7"), std::string::npos) << aus;
    EXPECT_NE(aus.find("move "), std::string::npos);
}

TEST(Matt, OhneLegalenZugWirdNichtsGespielt) {
    // Mated: resignation in XBoard mode. Stalemated: the draw, no move.
    std::string aus = programm("new\nforce\nf2f3\ne7e5\ng2g4\nd8h4\ngo\nquit\n");
    EXPECT_NE(aus.find("result 0-1 {Black mates}"), std::string::npos) << aus;
    aus = programm("new\nforce\ne2e4\nsetboard 7k/5Q2/6K1/8/8/8/8/8\ngo\nquit\n");
    EXPECT_EQ(aus.find("move "), std::string::npos) << aus;
    EXPECT_NE(aus.find("\n1/2-1/2 {Stalemate}\n"), std::string::npos) << aus;
}

// --- the thinking driver ----------------------------------------------------

std::vector<int> tiefen(const std::string& aus) {
    std::vector<int> t;
    const std::regex zeile("^(\\d+) -?\\d+ \\d+ \\d+ ");
    std::istringstream s(aus);
    std::string z;
    while (std::getline(s, z)) {
        std::smatch m;
        if (std::regex_search(z, m, zeile)) t.push_back(std::stoi(m[1]));
    }
    return t;
}

TEST(Denken, EroeffnungsgrenzeSechsHalbzuege) {
    // In the first half-moves of a new game the search stops at depth 6,
    // however long it could think; the same position set up is searched on.
    const auto neu = tiefen(programm("new\nst 30\ne2e4\nquit\n"));
    ASSERT_FALSE(neu.empty());
    EXPECT_EQ(neu.front(), 4);
    EXPECT_EQ(neu.back(), 6);
    const auto gesetzt = tiefen(programm("setboard rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR\nst 1\nwhite\ngo\nquit\n"));
    ASSERT_FALSE(gesetzt.empty());
    EXPECT_GT(gesetzt.back(), 6);
}

TEST(Denken, StNullDenktEineSekunde) {
    const std::string aus = programm("output\nst 0\ngo\nst\nquit\n");
    EXPECT_NE(aus.find("Allocated time: 0 seconds.\n"), std::string::npos);
    // The 0-to-1 rule leaves the allocation at 1 second.
    EXPECT_NE(aus.find("Allocated time set to 1s.\n"), std::string::npos);
}

TEST(Denken, FensterFehlschlagWiederholtDieTiefe) {
    // The score jumps at depth 5 here: the window slides ("!") and the same
    // depth is searched again before the next.
    const std::string aus =
        programm("output\nsetboard r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R\nst 1\ngo\nquit\n");
    EXPECT_TRUE(std::regex_search(aus, std::regex("\t5/\\d+\t\\d+K\t-?\\d+\t[^\n]*[!?]\n(Thinking: [a-h1-8]{4}\r)*\\d+\t5/")))
        << aus;
}

TEST(Denken, ZeitgrenzenOhneUeberlauf) {
    // A negative allocation ends the turn after its first iteration; a huge
    // one is still capped by the opening limit.
    auto t = tiefen(programm("new\nst -2147483648\ngo\nquit\n"));
    EXPECT_EQ(t, std::vector<int>{4});
    t = tiefen(programm("new\nst 2147483647\ngo\ntime -99999999999\ngo\nquit\n"));
    EXPECT_EQ(t, (std::vector<int>{4, 5, 6, 4}));
}

}  // namespace
}  // namespace kelpin
