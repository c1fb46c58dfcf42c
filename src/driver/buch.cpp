// The opening book: a Polyglot file read whole, its key computed from the
// game's own state, and a move drawn by weight among the entries that are
// legal in the game.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "driver/buch_zufall.h"
#include "driver/driver.h"

namespace kelpin {

namespace {

struct Eintrag {
    uint64_t schluessel;
    uint16_t zug;
    uint16_t gewicht;
};

// A file larger than this is refused rather than read into memory: the
// books in use are a few megabytes, the largest known a few hundred.
constexpr int64_t BUCH_GROESSTE_BYTES = int64_t{1} << 30;
constexpr int EINTRAG_BYTES = 16;

std::vector<Eintrag> buch;
bool offen = false;
std::string pfad_in_gebrauch;
std::string warnung;
int illegale = 0;

// The path as it goes into a warning line: control characters would break
// the line the interface reads.
std::string zeigbar(const char* pfad) {
    std::string s = pfad;
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
    return s;
}

bool abweisen(const char* pfad, const std::string& grund) {
    warnung = "book " + zeigbar(pfad) + " not used: " + grund;
    return false;
}

uint64_t gross_endian(const unsigned char* b, int bytes) {
    uint64_t x = 0;
    for (int i = 0; i < bytes; ++i) x = (x << 8) | b[i];
    return x;
}


// An entry's move in the game's terms. The book writes castling as the king
// taking its own rook; with the king at home that is the king's two-square
// step, the only way the game knows castling.
Buchzug entschluesseln(const Eintrag& e) {
    const int nach = (e.zug & 077) + 1;
    const int von = ((e.zug >> 6) & 077) + 1;
    // The top bit is unused by the format: an entry that sets it names no move.
    constexpr char stuecke[16] = {0, 'n', 'b', 'r', 'q', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?'};
    Buchzug z{von, nach, stuecke[e.zug >> 12], e.gewicht};
    if (von == e1 && brett[e1] == wkonig) {
        if (nach == h1) z.nach = g1;
        if (nach == a1) z.nach = c1;
    } else if (von == e8 && brett[e8] == skonig) {
        if (nach == h8) z.nach = g8;
        if (nach == a8) z.nach = c8;
    }
    return z;
}

// A book move the game may play: legal for the side to move, with a piece
// letter exactly when a pawn reaches its last rank (the game's own test
// does not look at the letter of any other move, and a letter there would
// reach the interface).
bool spielbar(const Buchzug& z) {
    const int p = brett[z.von];
    const bool umwandlung = (p == wbauer && i_reihe[z.nach] == 8) || (p == sbauer && i_reihe[z.nach] == 1);
    if (umwandlung != (z.umwandlung != 0)) return false;
    ZugEintrag m{};
    return legaler_zug(z.von, z.nach, z.umwandlung, m);
}

// The entries of the game position that are legal moves; those that are not
// go to `nicht_legal` (a null move a1a1 is a gap in the book, not an error,
// and is passed over silently).
std::vector<Buchzug> legale_eintraege(std::vector<Buchzug>* nicht_legal = nullptr) {
    std::vector<Buchzug> legal;
    if (!offen) return legal;
    const uint64_t k = buch_schluessel();
    const auto [anfang, ende] =
        std::equal_range(buch.begin(), buch.end(), Eintrag{k, 0, 0},
                         [](const Eintrag& a, const Eintrag& b) { return a.schluessel < b.schluessel; });
    for (auto it = anfang; it != ende; ++it) {
        if (it->zug == 0) continue;
        const Buchzug z = entschluesseln(*it);
        if (spielbar(z))
            legal.push_back(z);
        else if (nicht_legal != nullptr)
            nicht_legal->push_back(z);
    }
    return legal;
}

}  // namespace

uint64_t polyglot_schluessel(const int16_t* felder, int am_zug, const bool rochade[4], int ep_feld) {
    uint64_t k = 0;
    // Kinds run black pawn 0, white pawn 1, black knight 2 ... white king 11.
    for (int s = 1; s <= 64; ++s) {
        const int p = felder[s];
        if (p == leer || p < skonig || p > wkonig) continue;
        const int art = 2 * ((p > 0 ? p : -p) - 1) + (p > 0 ? 1 : 0);
        k ^= BUCH_ZUFALL[64 * art + s - 1];
    }
    for (int i = 0; i < 4; ++i)
        if (rochade[i]) k ^= BUCH_ZUFALL[BUCH_ZUFALL_ROCHADE + i];
    // The file of a double step counts only when a pawn of the side to move
    // stands beside the pawn that made it, whether or not it may take.
    const bool weiss = am_zug == WEISS;
    if (ep_feld >= 1 && ep_feld <= 64 && i_reihe[ep_feld] == (weiss ? 6 : 3)) {
        const int gezogen = weiss ? ep_feld - 8 : ep_feld + 8;
        const int eigener = weiss ? wbauer : sbauer;
        const bool daneben = (i_linie[gezogen] > 1 && felder[gezogen - 1] == eigener) ||
                             (i_linie[gezogen] < 8 && felder[gezogen + 1] == eigener);
        if (felder[gezogen] == -eigener && daneben) k ^= BUCH_ZUFALL[BUCH_ZUFALL_EN_PASSANT + i_linie[ep_feld] - 1];
    }
    if (weiss) k ^= BUCH_ZUFALL[BUCH_ZUFALL_WEISS];
    return k;
}

uint64_t buch_schluessel() {
    const bool weiss_heim = e1_bewegt == 0 && brett[e1] == wkonig;
    const bool schwarz_heim = e8_bewegt == 0 && brett[e8] == skonig;
    const bool rochade[4] = {
        weiss_heim && h1_bewegt == 0 && brett[h1] == wturm,
        weiss_heim && a1_bewegt == 0 && brett[a1] == wturm,
        schwarz_heim && h8_bewegt == 0 && brett[h8] == sturm,
        schwarz_heim && a8_bewegt == 0 && brett[a8] == sturm,
    };
    return polyglot_schluessel(brett, werdran, rochade, en_passant_feld());
}

bool buch_laden(const char* pfad) {
    buch_schliessen();
    warnung.clear();
    if (pfad == nullptr || *pfad == '\0') {
        warnung = "no book file named";
        return false;
    }

    // Opened before it is looked at, so that what is checked is what is read;
    // without blocking, so that a pipe in its place cannot hold the engine.
    const int fd = open(pfad, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return abweisen(pfad, std::strerror(errno));
    struct stat st {};
    std::string grund;
    if (fstat(fd, &st) != 0)
        grund = std::strerror(errno);
    else if (S_ISDIR(st.st_mode))
        grund = "a directory";
    else if (!S_ISREG(st.st_mode))
        grund = "not a regular file";
    else if (st.st_size == 0)
        grund = "empty";
    else if (st.st_size % EINTRAG_BYTES != 0)
        grund = "its " + std::to_string(st.st_size) + " bytes are not a multiple of 16";
    else if (st.st_size > BUCH_GROESSTE_BYTES)
        grund = "larger than " + std::to_string(BUCH_GROESSTE_BYTES >> 20) + " MiB";
    if (!grund.empty()) {
        close(fd);
        return abweisen(pfad, grund);
    }

    // Read in blocks and decoded as it comes; the keys must never go down.
    std::vector<Eintrag> neu;
    const int64_t anzahl = st.st_size / EINTRAG_BYTES;
    neu.reserve(static_cast<size_t>(anzahl));
    unsigned char block[EINTRAG_BYTES * 4096];
    int64_t gelesen = 0;  // bytes of the file
    size_t im_block = 0;  // bytes in `block` not yet decoded
    while (gelesen < st.st_size) {
        const ssize_t n = read(fd, block + im_block, sizeof block - im_block);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        gelesen += n;
        im_block += static_cast<size_t>(n);
        size_t i = 0;
        for (; i + EINTRAG_BYTES <= im_block; i += EINTRAG_BYTES) {
            const Eintrag e{gross_endian(block + i, 8), static_cast<uint16_t>(gross_endian(block + i + 8, 2)),
                            static_cast<uint16_t>(gross_endian(block + i + 10, 2))};
            if (!neu.empty() && e.schluessel < neu.back().schluessel) grund = "not sorted by key";
            neu.push_back(e);
        }
        memmove(block, block + i, im_block - i);
        im_block -= i;
        if (!grund.empty()) break;
    }
    close(fd);
    if (grund.empty() && (gelesen != st.st_size || static_cast<int64_t>(neu.size()) != anzahl))
        grund = "could not be read whole";
    if (!grund.empty()) return abweisen(pfad, grund);

    buch = std::move(neu);
    offen = true;
    pfad_in_gebrauch = pfad;
    return true;
}

void buch_schliessen() {
    buch.clear();
    buch.shrink_to_fit();
    offen = false;
    pfad_in_gebrauch.clear();
    illegale = 0;
}

bool buch_offen() { return offen; }

const char* buch_warnung() { return warnung.c_str(); }

int buch_eintraege(uint64_t schluessel, Buchzug* ziel, int max) {
    if (!offen || ziel == nullptr) return 0;
    const auto anfang = std::lower_bound(buch.begin(), buch.end(), schluessel,
                                         [](const Eintrag& e, uint64_t k) { return e.schluessel < k; });
    int n = 0;
    for (auto it = anfang; it != buch.end() && it->schluessel == schluessel && n < max; ++it)
        ziel[n++] = entschluesseln(*it);
    return n;
}

bool buch_waehlen(Buchzug& gewaehlt, uint64_t* summe_aus) {
    std::vector<Buchzug> nicht_legal;
    const std::vector<Buchzug> legal = legale_eintraege(&nicht_legal);
    if (!nicht_legal.empty()) {
        if (illegale == 0) {
            char text[6];
            buchzug_text(nicht_legal.front(), text);
            warnung = "book " + zeigbar(pfad_in_gebrauch.c_str()) + ": entry " + text +
                      " is no legal move in its position, ignored";
        }
        illegale += static_cast<int>(nicht_legal.size());
    }
    uint64_t summe = 0;
    for (const Buchzug& z : legal) summe += z.gewicht;
    if (summe_aus != nullptr) *summe_aus = summe;
    if (summe == 0) return false;
    uint64_t r = zufallszahl(summe);
    for (const Buchzug& z : legal) {
        if (r < z.gewicht) {
            gewaehlt = z;
            return true;
        }
        r -= z.gewicht;
    }
    return false;  // not reached: r < summe
}

int buch_illegale() { return illegale; }

namespace {

bool versucht;        // the file of the options has been opened (or refused)
bool warnung_offen;   // a refusal not told yet (the interface was not known)
bool verlassen;       // this game has met a position without a book move

// Opens the file the options name, unless that has been tried; a refusal
// is told now or, `still`, at the next use.
void oeffnen(bool still) {
    if (versucht) {
        if (warnung_offen && !still) mitteilung("%s", buch_warnung());
        warnung_offen = warnung_offen && still;
        return;
    }
    versucht = true;
    if (opt_eigenes_buch == 0 || opt_buchdatei[0] == '\0' || buch_laden(opt_buchdatei)) return;
    warnung_offen = still;
    if (!still) mitteilung("%s", buch_warnung());
}

}  // namespace

void buch_vergessen() {
    // Opened at once, before the next move's clock runs.
    buch_schliessen();
    versucht = false;
    oeffnen(false);
}

void buch_vorbereiten() { oeffnen(true); }

void buch_neue_partie() { verlassen = false; }

bool buch_fuer_partie(Buchzug& z, uint64_t& summe) {
    if (opt_eigenes_buch == 0 || verlassen || SpielZugNummer / 2 + 1 > opt_buchtiefe) return false;
    oeffnen(false);
    if (!offen) return false;
    const int schon = illegale;
    const bool gefunden = buch_waehlen(z, &summe);
    if (schon == 0 && illegale > 0) mitteilung("%s", buch_warnung());
    if (!gefunden) verlassen = true;
    return gefunden;
}

void buch_liste_fuer_partie() {
    oeffnen(false);
    buch_liste();
}

void buch_liste() {
    if (!offen) {
        puts(" no opening book in use");
    } else {
        std::vector<Buchzug> legal = legale_eintraege();
        std::stable_sort(legal.begin(), legal.end(),
                         [](const Buchzug& a, const Buchzug& b) { return a.gewicht > b.gewicht; });
        uint64_t summe = 0;
        for (const Buchzug& z : legal) summe += z.gewicht;
        if (legal.empty()) puts(" no book move in this position");
        for (const Buchzug& z : legal) {
            char text[6];
            buchzug_text(z, text);
            const uint64_t anteil = summe == 0 ? 0 : (uint64_t{z.gewicht} * 100 + summe / 2) / summe;
            printf(" %s %u%%\n", text, static_cast<unsigned>(anteil));
        }
    }
    puts("");
    fflush(stdout);
}

void buchzug_text(const Buchzug& z, char (&text)[6]) {
    const bool felder = z.von >= 1 && z.von <= 64 && z.nach >= 1 && z.nach <= 64;
    const char* von = felder ? feld[z.von] : "??";
    const char* nach = felder ? feld[z.nach] : "??";
    text[0] = von[0], text[1] = von[1], text[2] = nach[0], text[3] = nach[1];
    text[4] = z.umwandlung;
    text[5] = '\0';
}

namespace {

// The generator of the book's and the strength setting's draws: seeded on
// first use from the wall clock, the steady clock and the process id, so
// that every run plays its own games. It is their own, since rand() fills
// the position keys.
std::mt19937_64& erzeuger() {
    static std::mt19937_64 g = [] {
        const uint64_t zeit = static_cast<uint64_t>(std::time(nullptr));
        const uint64_t fein = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        const uint64_t pid = static_cast<uint64_t>(getpid());
        std::seed_seq saat{static_cast<uint32_t>(zeit), static_cast<uint32_t>(zeit >> 32), static_cast<uint32_t>(fein),
                           static_cast<uint32_t>(fein >> 32), static_cast<uint32_t>(pid)};
        return std::mt19937_64(saat);
    }();
    return g;
}

}  // namespace

uint64_t zufallszahl(uint64_t n) { return std::uniform_int_distribution<uint64_t>(0, n - 1)(erzeuger()); }

}  // namespace kelpin
