// The game: a move read from the input is written onto the board and
// answered, the engine's own move is checked, played and announced, the
// game record keeps both, take-backs restore it exactly, and the positions
// since the last capture or pawn move are kept for repetitions.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "driver/driver.h"
#include "eval/eval.h"

namespace kelpin {

PartieEintrag gamehistory[PARTIE_ZUEGE];
Variante letzte_variante;

namespace {

// A line of two moves, to check a reply the table suggests.
Variante kurzlinie;

}  // namespace

namespace {


// The square a pawn passed over with a double step in the game's last move,
// 0 when there is none. The generators know no en passant; the game level
// needs it so that an en-passant capture as the only legal reply is neither
// taken for mate or stalemate nor left unplayed.
int ep_feld;

// The game since it began (new or setboard): the half-moves made, the side
// that was to move first, and for every position its key (placement, side
// to move, castling rights, a possible en-passant capture) and the first
// position of the stretch without capture or pawn move that holds it.
int32_t halbzuege;
int16_t erste_seite = WEISS;
uint64_t kennung_nach[PARTIE_ZUEGE];
int32_t stretch_ab[PARTIE_ZUEGE];
// For every position the half-moves since the last capture or pawn move (the
// fifty-move count; a FEN gives the first position's).
int32_t ohne_nach[PARTIE_ZUEGE];

// The game as it stood before each half-move (index as halbzuege counts
// them, from 1), so that take-backs restore it exactly: the board, the
// castling flags, the side to move, the keys, a pending en passant, the move
// counter and the record entry that the half-move wrote over.
struct Vorher {
    int16_t brett[BRETTGROESSE];
    int16_t bewegt[6];
    int16_t werdran;
    int32_t SpielZugNummer;
    int32_t ep_feld;
    uint64_t schluessel[3];
    PartieEintrag eintrag;
};
Vorher vorher[PARTIE_ZUEGE];

// The record's entry k is the game's half-move aufzeichnung_basis + k; the
// base is even, so that a line of the listing holds a move of each side.
int32_t aufzeichnung_basis;

// The entry of the record that half-move h (counted as SpielZugNummer
// counts) writes, or 0 when the record has no room for it.
int eintrag(int h) {
    const int k = h - aufzeichnung_basis;
    return k >= 1 && k < PARTIE_ZUEGE ? k : 0;
}

int16_t* const BEWEGT[6] = {&a1_bewegt, &h1_bewegt, &h8_bewegt, &a8_bewegt, &e1_bewegt, &e8_bewegt};

void vorher_merken() {
    const int h = halbzuege + 1;
    if (h >= PARTIE_ZUEGE) return;
    Vorher& v = vorher[h];
    memcpy(v.brett, brett, sizeof brett);
    for (int k = 0; k < 6; ++k) v.bewegt[k] = *BEWEGT[k];
    v.werdran = werdran;
    v.SpielZugNummer = SpielZugNummer;
    v.ep_feld = ep_feld;
    v.schluessel[0] = hashindex, v.schluessel[1] = hashkennung, v.schluessel[2] = hashkennung2;
    if (const int k = eintrag(SpielZugNummer + 1); k != 0) v.eintrag = gamehistory[k];
}

uint64_t partie_kennung(int am_zug);

// A half-move has been made on the board and `am_zug` is to move. A capture
// or pawn move (`nullt`) restarts the fifty-move count; it and castling
// (`rochiert`: the rights change) start a new stretch for repetitions.
void stellung_merken(int am_zug, bool nullt, bool rochiert) {
    ausschluss_vergessen();
    ++halbzuege;
    if (halbzuege >= PARTIE_ZUEGE) return;  // a game this long keeps what fits
    kennung_nach[halbzuege] = partie_kennung(am_zug);
    stretch_ab[halbzuege] = nullt || rochiert ? halbzuege : stretch_ab[halbzuege - 1];
    ohne_nach[halbzuege] = nullt ? 0 : ohne_nach[halbzuege - 1] + 1;
}

// The positions before the current one that a search must see as draws.
void vorgeschichte_fuellen() {
    vorgeschichte_anzahl = 0;
    wurzel_rechte = rochaderechte();
    if (halbzuege >= PARTIE_ZUEGE) return;
    for (int h = stretch_ab[halbzuege]; h < halbzuege && vorgeschichte_anzahl < VORGESCHICHTE; ++h)
        vorgeschichte[vorgeschichte_anzahl++] = kennung_nach[h];
}

}  // namespace

int feldnummer(char linie_zeichen, char reihe_zeichen) {
    for (int s = 1; s <= 64; ++s)
        if (feld[s][0] == linie_zeichen && feld[s][1] == reihe_zeichen) return s;
    return 0;
}

namespace {

// True when side s attacks the other side's king.
bool koenig_angreifbar(int s) { return koenig_bedroht(gegenseite(s)); }

// The engine's own move is checked against a list generated at the horizon
// level, the lowest at which castling is offered, so that castling can be
// played.
int pruefliste() { return QSUCHE; }

// Replies are generated at list 1, where castling is not offered: it never
// decides whether a side has a legal move, since with castling open the
// rook's sideways step is legal too.
constexpr int ANTWORTLISTE = 1;

}  // namespace

bool ist_legal(int liste, int i, int farbe) {
    zugausf(liste, i);
    const bool legal = !koenig_bedroht(farbe);
    zugzur(liste, i);
    return legal;
}

namespace {

// An en-passant capture open to `farbe` after the game's last move, as a
// move record, if one is legal; with `nur_von` only the one from that square.
bool ep_schlag(int farbe, ZugEintrag& schlag, int nur_von = 0) {
    if (ep_feld == 0) return false;
    const int vz = farbe == WEISS ? 1 : -1;
    const int bauer = vz * wbauer;
    const int opfer = ep_feld - 8 * vz;
    if (opfer < 1 || opfer > 64 || brett[opfer] != -bauer || brett[ep_feld] != leer) return false;
    for (const int seite : {-1, 1}) {
        const int von = opfer + seite;
        if (nur_von != 0 && von != nur_von) continue;
        if (von < 1 || von > 64 || i_reihe[von] != i_reihe[opfer] || brett[von] != bauer) continue;
        brett[ep_feld] = static_cast<int16_t>(bauer), brett[von] = leer, brett[opfer] = leer;
        const bool legal = !koenig_angreifbar(gegenseite(farbe));
        brett[ep_feld] = leer, brett[von] = static_cast<int16_t>(bauer), brett[opfer] = static_cast<int16_t>(-bauer);
        if (legal) {
            schlag = ZugEintrag{};
            schlag.von = static_cast<uint16_t>(von);
            schlag.nach = static_cast<uint16_t>(ep_feld);
            schlag.figur = static_cast<int16_t>(bauer);
            return true;
        }
    }
    return false;
}

// The key by which the game's positions are compared for repetitions.
uint64_t partie_kennung(int am_zug) {
    uint64_t k = stellungskennung(am_zug) ^ rechte_kennung[rochaderechte()];
    ZugEintrag ep;
    if (ep_schlag(am_zug, ep)) k ^= ep_kennung[i_linie[ep_feld]];
    return k;
}

}  // namespace

bool hat_legalen_zug(int farbe) {
    movegen(ANTWORTLISTE, farbe);
    for (int i = 1; i <= index[ANTWORTLISTE]; ++i)
        if (ist_legal(ANTWORTLISTE, i, farbe)) return true;
    ZugEintrag ep;
    return ep_schlag(farbe, ep);
}

namespace {

// The move of `farbe` from `von` to `nach` that a word names, as a legal
// move of the game: castling with its right and through unattacked squares,
// en passant right after the double step, a promotion with its piece letter
// (lower case); the letter of any other move is not looked at.
bool ist_legaler_zug(int farbe, int von, int nach, char buchstabe, ZugEintrag* m = nullptr) {
    const int liste = pruefliste();
    movegen(liste, farbe);
    for (int i = 1; i <= index[liste]; ++i) {
        const ZugEintrag& z = zug[liste][i];
        if (z.von != von || z.nach != nach) continue;
        if (z.umwandlung == 1 && buchstabe != umwandlungsbuchstabe(z.neue_figur))
            continue;
        if (ist_legal(liste, i, farbe)) {
            if (m != nullptr) *m = z;
            return true;
        }
    }
    ZugEintrag ep;
    if (nach != ep_feld || !ep_schlag(farbe, ep, von)) return false;
    if (m != nullptr) *m = ep;
    return true;
}

void markiere_heimfeld(int s) {
    switch (s) {
        case a1: a1_bewegt = 1; break;
        case h1: h1_bewegt = 1; break;
        case e1: e1_bewegt = 1; break;
        case a8: a8_bewegt = 1; break;
        case h8: h8_bewegt = 1; break;
        case e8: e8_bewegt = 1; break;
        default: break;
    }
}

void protokolliere(const char* text, size_t laenge) {
    const int k = eintrag(SpielZugNummer);
    if (k == 0) return;  // a full record keeps what fits
    PartieEintrag& e = gamehistory[k];
    memcpy(e.zugtext, text, laenge);
    e.zugtext[laenge] = '\0';
    e.schluessel = hashkennung;
}


// Playing the engine's move on the board: the rook comes along in castling
// and an en-passant capture removes the pawn it passes.
void spiele(const ZugEintrag& m) {
    const bool en_passant = (m.figur == wbauer || m.figur == sbauer) && i_linie[m.von] != i_linie[m.nach] &&
                            m.geschlagen == leer && brett[m.nach] == leer;
    brett[m.nach] = m.umwandlung == 1 ? m.neue_figur : m.figur;
    brett[m.von] = leer;
    if (en_passant) brett[m.figur > 0 ? m.nach - 8 : m.nach + 8] = leer;
    if (m.rochade == 1) {
        if (const Turmzug t = rochade_turm(m.von, m.nach); t.von != 0) {
            brett[t.nach] = static_cast<int16_t>(t.turm);
            brett[t.von] = leer;
        }
    }
}

bool ist_doppelschritt(int figur, int von, int nach) {
    return (figur == wbauer || figur == sbauer) && (nach - von == 16 || von - nach == 16);
}

void bericht(int v) {
    eval(0, 0, -32000, 32000);
    const int64_t e1_ms = vergangen(t_start);
    const int64_t e2_ms = vergangen(t_start);
    printf("\n\t\t-------------------------------------\n\t\t| S E A R C H   S T A T I S T I C S |\n"
           "\t\t-------------------------------------\n");
    printf("\n");
    printf("Nodes: %lldK\t\t Time used: %is\t\t Speed: %iKn/s\n", static_cast<long long>(statistik.nodes / 1000),
           static_cast<int>(e2_ms / 1000), static_cast<int>(statistik.nodes / (e1_ms + 1)));
    printf("QNodes: %lld (%i%%)\t Evaluations: %lld\t Check_ext: %i\n", static_cast<long long>(statistik.qnodes),
           static_cast<int>(statistik.qnodes * 100 / (statistik.nodes + 1)), static_cast<long long>(evals),
           statistik.checkextensions);
    printf("Threat_ext: %i\t Null cutoff: %i\t Repetitions: %i\n", statistik.threat_extension, statistik.nullcut,
           statistik.reps);
    printf("Hashtable hits: %i\t Hash alpha cutoff: %i\t Hash beta cutoff: %i\n", statistik.hashtreffer,
           statistik.hashalphacut, statistik.hashbetacut);
    printf("Move ordering: %i%%\t 1Resp_ex: %i\t\t Futility: %i\n",
           static_cast<int>(static_cast<int64_t>(statistik.firstbetacutoff) * 100 /
                            (static_cast<int64_t>(statistik.betacuts) + 1)),
           statistik.one_response, statistik.futility);
    printf("Reductions: %i\tHashtable stores: %i\tCapture_ext: %i\n", statistik.reductions, statistik.hashstores,
           statistik.capture_ext);
    printf("Search returned value: ");
    if (v > MATT_SCHWELLE - 1)
        printf("#%i\n", (KOENIGSWERT - v) / 2);
    else if (v <= -MATT_SCHWELLE)
        printf("-#%i\n", (v + KOENIGSWERT) / 2);
    else
        printf("%i\n", v);
    printf("My move: ");
    zug_drucken(letzte_variante.zuege[0]);
    printf("\n");
    printf("Principal variation: ");
    const int k = letzte_variante.anzahl >= 1 ? letzte_variante.anzahl : 1;
    for (int i = 0; i < k; ++i) {
        zug_drucken(letzte_variante.zuege[i]);
        printf(" ");
    }
}

// After the engine's move (XBoard mode): announce mate or stalemate when the
// opponent has no legal reply.
void partieende() {
    const int gegner = gegenseite(computerfarbe);
    if (hat_legalen_zug(gegner)) return;
    if (koenig_angreifbar(computerfarbe))
        puts(computerfarbe == WEISS ? "1-0 {White mates}" : "0-1 {Black mates}");
    else
        puts("1/2-1/2 {Stalemate}");
    fflush(stdout);
}

// The engine gives the game up (XBoard mode): with a resignation, or with the
// result line given.
void aufgeben(const char* ergebnis = nullptr) {
    puts(ergebnis != nullptr ? ergebnis : (computerfarbe == WEISS ? "0-1 {White resigns}" : "1-0 {Black resigns}"));
    fflush(stdout);
}

}  // namespace

void partie_neu(int ep, int32_t halbzugzaehler) {
    ausschluss_vergessen();
    ep_feld = ep;
    halbzuege = 0;
    erste_seite = werdran;
    kennung_nach[0] = partie_kennung(werdran);
    stretch_ab[0] = 0;
    ohne_nach[0] = halbzugzaehler < 0 ? 0 : (halbzugzaehler > 100 ? 100 : halbzugzaehler);
}

void aufzeichnung_neu(int32_t zugnummer) {
    const int32_t n = zugnummer < 1 ? 1 : (zugnummer > ZUEGE_GROESST ? ZUEGE_GROESST : zugnummer);
    SpielZugNummer = 2 * (n - 1) + (werdran == SCHWARZ ? 1 : 0);
    aufzeichnung_basis = 2 * (n - 1);
    for (PartieEintrag& e : gamehistory) e = PartieEintrag{};
}

int en_passant_feld() { return ep_feld; }

bool legaler_zug(int von, int nach, char umwandlung, ZugEintrag& m) {
    return ist_legaler_zug(werdran, von, nach, umwandlung, &m);
}

bool buchzug_finden(ZugEintrag& m, int& v) {
    Buchzug b{};
    uint64_t summe = 0;
    // A root restricted by the interface is searched: the book knows nothing of it.
    if (wurzel_eingeschraenkt() || !buch_fuer_partie(b, summe) || !legaler_zug(b.von, b.nach, b.umwandlung, m))
        return false;
    char text[6];
    buchzug_text(b, text);
    if (uci_modus)
        mitteilung("book move %s (weight %u of %llu)", text, b.gewicht, static_cast<unsigned long long>(summe));
    // The score an interface shows beside the move: the first iteration
    // with the root held to the book move, a millisecond or so.
    wurzel_auswahl[0] = m;
    wurzel_auswahl_anzahl = 1;
    Suchauftrag a;
    a.tiefe = 1;
    vorgeschichte_fuellen();
    v = denken(&letzte_variante, a);
    wurzel_auswahl_anzahl = 0;
    letzte_variante.zuege[0] = m;
    if (letzte_variante.anzahl < 1) letzte_variante.anzahl = 1;
    return true;
}


void partie_vorgeschichte() { vorgeschichte_fuellen(); }

int gespielte_zuege() { return (halbzuege + (erste_seite == SCHWARZ ? 1 : 0)) / 2; }

Unterbrechung unterbrechung;

bool zug_finden(const Suchauftrag& auftrag, ZugEintrag& m, int& v) {
    if (!hat_legalen_zug(computerfarbe)) return false;
    bool frisch = false;
    vorgeschichte_fuellen();
    unterbrechung = Unterbrechung::KEINE;
    v = staerke_begrenzt(auftrag) ? staerke_denken(&letzte_variante, auftrag, &frisch)
                                  : denken(&letzte_variante, auftrag, &frisch);
    if (unterbrechung == Unterbrechung::VERWERFEN) return false;

    // The move to play must be legal here: the line's first move when this
    // turn's search produced one and it is legal; else (a search stopped
    // before it finished any root move, or whose stopped iteration only
    // finished an illegal one) the legal move its ordering put first; else
    // the first legal move of the root's set (en passant when nothing else is).
    const int liste = pruefliste();
    const auto legal_hier = [liste](const ZugEintrag& v) {
        movegen(liste, computerfarbe);
        for (int i = 1; i <= index[liste]; ++i) {
            const ZugEintrag& z = zug[liste][i];
            if (derselbe_zug(z, v) && ist_legal(liste, i, computerfarbe)) return true;
        }
        return false;
    };
    ZugEintrag vorschlag{};
    if (frisch && legal_hier(letzte_variante.zuege[0])) {
        m = letzte_variante.zuege[0];
        return true;
    }
    if (!wurzel_vorschlag(vorschlag) || !legal_hier(vorschlag)) {
        movegen(liste, computerfarbe);
        int erster = 0;
        for (int i = 1; i <= index[liste] && erster == 0; ++i)
            if (in_wurzel_auswahl(zug[liste][i]) && ist_legal(liste, i, computerfarbe)) erster = i;
        if (erster != 0)
            vorschlag = zug[liste][erster];
        else
            ep_schlag(computerfarbe, vorschlag);
    }
    letzte_variante.zuege[0] = vorschlag;
    letzte_variante.anzahl = 1;
    m = vorschlag;
    return true;
}

namespace {

// Plays the move found for computerfarbe on the board and announces it
// (XBoard: the move, and the result when it ends the game); false when the
// engine resigns instead.
bool eigenen_zug_spielen(const ZugEintrag& m, int v) {
    // Resignation, XBoard mode only.
    if (ausgabe == 0 && v <= -MATT_SCHWELLE) {
        aufgeben();
        return false;
    }

    if (ausgabe == 1) printf("\n");
    const bool nullt = m.figur == wbauer || m.figur == sbauer || brett[m.nach] != leer;
    spiele(m);
    markiere_heimfeld(m.von);
    ep_feld = ist_doppelschritt(m.figur, m.von, m.nach) ? (m.von + m.nach) / 2 : 0;
    stellung_merken(gegenseite(computerfarbe), nullt, m.rochade == 1);
    if (ausgabe == 1) bericht(v);
    ++SpielZugNummer;
    if (ausgabe == 0) {
        fflush(stdout);
    } else {
        printf("\n");
        printf("\n\a");
    }
    InitStellung();
    if (ausgabe == 0) {
        printf("move %s%s", feld[m.von], feld[m.nach]);
        if (m.umwandlung == 1) printf("%c", umwandlungsbuchstabe(m.neue_figur, true));
        printf("\n");
        fflush(stdout);
        partieende();
    }
    char text[5] = {feld[m.von][0], feld[m.von][1], feld[m.nach][0], feld[m.nach][1], '\0'};
    protokolliere(text, 4);
    werdran = static_cast<int16_t>(gegenseite(werdran));
    return true;
}

// Whether the engine may ponder after its move: pondering on (hard), XBoard
// mode, not in force or analyze mode.
bool ponder_erlaubt() { return opt_ponder != 0 && ausgabe == 0 && forcemode == 0 && !analyse; }

// The reply expected to the move m about to be played, as a word, when the
// engine may ponder on it.
bool ponder_zug(const ZugEintrag& m, char (&text)[8]) {
    ZugEintrag e{};
    if (!ponder_erlaubt() || !erwartete_antwort(m, e)) return false;
    snprintf(text, sizeof text, "%s%s", feld[e.von], feld[e.nach]);
    if (e.umwandlung == 1) text[4] = umwandlungsbuchstabe(e.neue_figur), text[5] = '\0';
    return true;
}

// Thinks on the opponent's time in the game after the expected reply, which
// stands in the game meanwhile. True when the reply came (the search was
// then the real turn and found m); false when anything else came first: the
// search is abandoned and the reply taken back, and the line that ended it
// is carried out by the command loop.
bool pondern_bis_zum_zug(const char* erwartet, ZugEintrag& m, int& v) {
    if (zug_lesen(erwartet) != Eingabe::GESPIELT) {  // a reply that ends the game is no turn to ponder on
        zuruecknehmen(1);
        return false;
    }
    strcpy(ponder_erwartet, erwartet);
    vorher_merken();
    Suchauftrag a = zeitauftrag();
    a.ponder = true;
    a.bei_eingabe = eingabe_beim_pondern;
    unterbrechung = Unterbrechung::KEINE;
    bool gefunden = zug_finden(a, m, v);
    // A search that ended by itself waits for the reply, or for anything else.
    while (gefunden && pondern && unterbrechung == Unterbrechung::KEINE && !eingabe_beendet()) {
        auf_eingabe_warten();
        eingabe_beim_pondern();
    }
    gefunden = gefunden && !pondern && unterbrechung != Unterbrechung::VERWERFEN;
    pondern = false;
    if (!gefunden) zuruecknehmen(1);
    return gefunden;
}

}  // namespace

char ponder_erwartet[8];

void computerzug() {
    forcemode = 0;
    // Mated or stalemated: nothing to play and nothing to think about.
    if (!hat_legalen_zug(computerfarbe)) {
        if (ausgabe == 0) aufgeben(koenig_angreifbar(gegenseite(computerfarbe)) ? nullptr : "1/2-1/2 {Stalemate}");
        return;
    }
    ZugEintrag m{};
    int v = 0;
    // The game as it stands before the turn, for a take-back: thinking
    // recomputes the keys, which a move read leaves as they were.
    vorher_merken();
    // A search abandoned for a command that changes the game plays nothing.
    Suchauftrag auftrag = zeitauftrag();
    auftrag.bei_eingabe = eingabe_beim_denken;
    // Exclusions that leave no legal move are not kept to: a move is due.
    ausschluss_einsetzen();
    const bool aus_dem_buch = buchzug_finden(m, v);
    const bool gefunden = aus_dem_buch || zug_finden(auftrag, m, v);
    ausschluss_abziehen();
    if (!gefunden) return;
    // Pondering, once the engine has left the book: each expected reply that
    // comes is answered by the search that ran meanwhile.
    char erwartet[8];
    bool ponder = !aus_dem_buch && ponder_zug(m, erwartet);
    while (eigenen_zug_spielen(m, v) && ponder && hat_legalen_zug(werdran) && pondern_bis_zum_zug(erwartet, m, v))
        ponder = ponder_zug(m, erwartet);
}

Eingabe zug_lesen(const char* wort) {
    const size_t laenge = strlen(wort);
    if (laenge < 4) return Eingabe::KEIN_ZUG;
    const int von = feldnummer(wort[0], wort[1]);
    const int nach = feldnummer(wort[2], wort[3]);
    if (von == 0 || nach == 0) return Eingabe::KEIN_ZUG;

    // On a board that a game can reach only a legal move of the side to move
    // is taken; on any other board the word is written as it comes, which is
    // also the only way to hand the turn over there.
    if (ist_spielbar(werdran) && !ist_legaler_zug(werdran, von, nach, laenge >= 5 ? wort[4] : '\0'))
        return Eingabe::ILLEGAL;

    // Written onto the board as it comes: castling by the king's two-square
    // step, en passant by a pawn changing its file onto an empty square.
    vorher_merken();
    ++SpielZugNummer;
    const int figur = brett[von];
    const bool nullt = figur == wbauer || figur == sbauer || brett[nach] != leer;
    const bool rochiert = (figur == wkonig || figur == skonig) && (nach - von == 2 || von - nach == 2);
    const Turmzug turm = rochade_turm(von, nach);
    if (turm.von != 0 && figur == (turm.turm == wturm ? wkonig : skonig)) {
        brett[von] = leer, brett[turm.von] = leer;
        brett[turm.nach] = static_cast<int16_t>(turm.turm), brett[nach] = static_cast<int16_t>(figur);
        markiere_heimfeld(turm.von);
    } else {
        if ((figur == wbauer || figur == sbauer) && i_linie[von] != i_linie[nach] && brett[nach] == leer) {
            const int hinter = figur == wbauer ? nach - 8 : nach + 8;
            if (hinter >= 1 && hinter <= 64) brett[hinter] = leer;
        }
        brett[nach] = brett[von];
        brett[von] = leer;
    }
    if (laenge >= 5) {
        const int neu = umwandlungsfigur(wort[4]);
        if (neu != leer && i_reihe[nach] == 8) brett[nach] = static_cast<int16_t>(neu);
        if (neu != leer && i_reihe[nach] == 1) brett[nach] = static_cast<int16_t>(-neu);
    }
    // The squares a move leaves or lands on lose their castling right, so a
    // replayed game or a rook taken at home cannot leave a castling behind.
    markiere_heimfeld(von);
    markiere_heimfeld(nach);
    ep_feld = ist_doppelschritt(figur, von, nach) ? (von + nach) / 2 : 0;
    protokolliere(wort, laenge < 5 ? laenge : 5);
    stellung_merken(gegenseite(werdran), nullt, rochiert);

    // The answer check: does the other side have a legal reply? Either way
    // it is that side's turn: a later `go` finds it without a move rather
    // than playing on for the side that has just moved.
    const int mover = werdran;
    const int antwortend = gegenseite(werdran);
    werdran = static_cast<int16_t>(antwortend);
    if (hat_legalen_zug(antwortend)) return Eingabe::GESPIELT;
    return koenig_angreifbar(mover) ? Eingabe::MATT : Eingabe::PATT;
}

bool zugeingabe(const char* wort) {
    const Eingabe e = zug_lesen(wort);
    switch (e) {
        case Eingabe::KEIN_ZUG:
            return false;
        case Eingabe::ILLEGAL:
            printf("Illegal move: %s\n", wort);
            fflush(stdout);
            return true;
        case Eingabe::MATT:
        case Eingabe::PATT:
            if (analyse) return true;
            if (e == Eingabe::PATT)
                puts("result 1/2-1/2 {Stalemate}");
            else
                puts(werdran == SCHWARZ ? "result 1-0 {White mates}" : "result 0-1 {Black mates}");
            fflush(stdout);
            return true;
        case Eingabe::GESPIELT:
            break;
    }
    if (analyse) return true;
    computerfarbe = werdran;
    if (forcemode == 0) computerzug();
    return true;
}

int spielbare_laenge(const Variante& v, int k) {
    // The positions the line passes must be told from the game's: those of
    // the stretch since its last capture or pawn move, the current one
    // included, then the line's own since its last irreversible move.
    static uint64_t gesehen[PARTIE_ZUEGE + VARIANTE_ZUEGE];
    int anzahl = 0;
    if (halbzuege < PARTIE_ZUEGE)
        for (int h = stretch_ab[halbzuege]; h <= halbzuege; ++h) gesehen[anzahl++] = kennung_nach[h];
    int gespielt[EBENEN];
    int n = 0;
    int farbe = werdran;
    int rechte = rochaderechte();
    // The half-moves without capture or pawn move so far: a line ends with
    // the move that brings them to a hundred, where the game is drawn by
    // the fifty-move rule (a game too long for the record is not told).
    int ohne = halbzuege < PARTIE_ZUEGE ? ohne_nach[halbzuege] : 0;
    bool wiederholt = false;
    for (; n < k && !wiederholt && (n == 0 || ohne < 100) && FREIE_LISTE + n < LISTEN; ++n) {
        const ZugEintrag& m = v.zuege[n];
        const int liste = FREIE_LISTE + n;
        movegen(liste, farbe);
        int gefunden = 0;
        for (int i = 1; i <= index[liste] && gefunden == 0; ++i) {
            const ZugEintrag& z = zug[liste][i];
            if (!derselbe_zug(z, m)) continue;
            zugausf(liste, i);
            if (koenig_bedroht(farbe))
                zugzur(liste, i);
            else
                gefunden = i;
        }
        // The generator offers castling by the game's flags, which moves
        // along the line do not change: a right the line has spent by then
        // ends it.
        if (gefunden != 0 && zug[liste][gefunden].rochade == 1) {
            const ZugEintrag& r = zug[liste][gefunden];
            // The right is the one the castling rook's home square carries.
            if ((rechte & rechte_von_feld(rochade_turm(r.von, r.nach).von)) == 0) {
                zugzur(liste, gefunden);
                break;
            }
        }
        if (gefunden == 0) break;
        gespielt[n] = gefunden;
        const ZugEintrag& z = zug[liste][gefunden];
        farbe = gegenseite(farbe);
        rechte &= ~(rechte_von_feld(z.von) | rechte_von_feld(z.nach));
        const bool nullt = z.geschlagen != leer || z.figur == wbauer || z.figur == sbauer;
        if (nullt || z.rochade == 1) anzahl = 0;
        ohne = nullt ? 0 : ohne + 1;
        const uint64_t kennung = stellungskennung(farbe) ^ rechte_kennung[rechte];
        for (int j = 0; j < anzahl && !wiederholt; ++j) wiederholt = gesehen[j] == kennung;
        gesehen[anzahl++] = kennung;
    }
    for (int i = n - 1; i >= 0; --i) zugzur(FREIE_LISTE + i, gespielt[i]);
    return n;
}

bool erwartete_antwort(const ZugEintrag& m, ZugEintrag& antwort) {
    // The line's second move when the line begins with m and goes on legally;
    // else the move the table holds for the position after m, if legal there.
    if (letzte_variante.anzahl >= 2 && letzte_variante.zuege[0].von == m.von &&
        letzte_variante.zuege[0].nach == m.nach && spielbare_laenge(letzte_variante, 2) == 2) {
        antwort = letzte_variante.zuege[1];
        return true;
    }
    Variante& v = kurzlinie;
    v.anzahl = 2;
    v.zuege[0] = m;
    const int liste = FREIE_LISTE;
    movegen(liste, werdran);
    int e = 0;
    for (int i = 1; i <= index[liste] && e == 0; ++i)
        if (derselbe_zug(zug[liste][i], m)) e = i;
    if (e == 0) return false;
    zugausf(liste, e);
    const bool gefunden = tabellenzug_holen(v.zuege[1]);
    zugzur(liste, e);
    if (!gefunden || spielbare_laenge(v, 2) < 2) return false;
    antwort = v.zuege[1];
    return true;
}

bool zuruecknehmen(int halbzuege_zurueck) {
    if (halbzuege_zurueck < 1 || halbzuege < halbzuege_zurueck || halbzuege >= PARTIE_ZUEGE) return false;
    ausschluss_vergessen();
    for (int n = 0; n < halbzuege_zurueck; ++n) {
        const Vorher& v = vorher[halbzuege];
        memcpy(brett, v.brett, sizeof brett);
        for (int k = 0; k < 6; ++k) *BEWEGT[k] = v.bewegt[k];
        werdran = v.werdran;
        SpielZugNummer = v.SpielZugNummer;
        ep_feld = v.ep_feld;
        hashindex = v.schluessel[0], hashkennung = v.schluessel[1], hashkennung2 = v.schluessel[2];
        if (const int k = eintrag(SpielZugNummer + 1); k != 0) gamehistory[k] = v.eintrag;
        --halbzuege;
    }
    return true;
}

void listeausgabe() {
    const int letzter = std::min(SpielZugNummer - aufzeichnung_basis, PARTIE_ZUEGE - 1);
    const auto text = [](int k) { return k < PARTIE_ZUEGE ? gamehistory[k].zugtext : ""; };
    for (int k = 1; k <= letzter; k += 2) printf("%s - %s\n", text(k), text(k + 1));
}

}  // namespace kelpin
