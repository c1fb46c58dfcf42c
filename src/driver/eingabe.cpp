// Standard input, read so that it can be looked at while the engine thinks:
// what arrives is kept as it came, and the command loop takes it line by
// line. A line is cut after `zeilengrenze` characters (255, as a line buffer
// of 256 would cut it; longer for UCI, whose position lines carry whole
// games): the rest follows as a line of its own.
//
// The queue grows with what arrives: however much an interface sends while
// the engine thinks, nothing is lost and a `stop` behind it is still read.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driver/driver.h"

namespace kelpin {

namespace {

constexpr size_t LESEN_MINDESTENS = 1 << 16;  // room asked of each read

// Read and not yet taken, in the order it came: bytes anfang ... ende_roh.
std::vector<char> roh(1 << 17);
size_t anfang, ende_roh;
size_t gesehen;  // offset past the complete lines the thinking driver has looked at
bool ende;       // standard input is closed (or broken)
size_t zeilengrenze = 255;

char neue_zeile[ZEILE_MAX + 1];  // the line last handed out while thinking
size_t neue_anfang, neue_laenge;

// The length of the line that starts at `ab`, its newline included; 0 when
// it is not complete yet (more may come).
size_t zeilenlaenge(size_t ab) {
    size_t n = 0;
    while (ab + n < ende_roh && n < zeilengrenze && roh[ab + n] != '\n') ++n;
    if (ab + n < ende_roh && n < zeilengrenze) return n + 1;  // with its newline
    if (n == zeilengrenze || (ende && n > 0)) return n;       // a full piece, or the rest at the end
    return 0;
}

// Room for one more read: taken lines are dropped from the front first,
// then the queue grows.
void platz_schaffen() {
    if (roh.size() - ende_roh >= LESEN_MINDESTENS) return;
    if (anfang > 0) {
        memmove(roh.data(), roh.data() + anfang, ende_roh - anfang);
        ende_roh -= anfang, gesehen -= anfang;
        if (neue_anfang >= anfang)
            neue_anfang -= anfang;
        else
            neue_laenge = 0;
        anfang = 0;
    }
    if (roh.size() - ende_roh < LESEN_MINDESTENS) roh.resize(2 * roh.size());
}

// One read(2): blocks only when `warten` is set; else only when poll says
// that something is there.
void lesen(bool warten) {
    if (ende) return;
    if (!warten) {
        pollfd p{0, POLLIN, 0};
        if (poll(&p, 1, 0) <= 0) return;
    }
    platz_schaffen();
    ssize_t n;
    do n = read(0, roh.data() + ende_roh, roh.size() - ende_roh);
    while (n < 0 && errno == EINTR);
    if (n <= 0)
        ende = true;
    else
        ende_roh += static_cast<size_t>(n);
}

}  // namespace

void zeilengrenze_setzen(int zeichen) {
    zeilengrenze = static_cast<size_t>(zeichen < 1 ? 1 : (zeichen < ZEILE_MAX ? zeichen : ZEILE_MAX));
}

bool zeile_holen(char* zeile, size_t groesse) {
    size_t n;
    while ((n = zeilenlaenge(anfang)) == 0) {
        if (ende) return false;
        lesen(true);
    }
    const size_t k = n < groesse - 1 ? n : groesse - 1;
    memcpy(zeile, roh.data() + anfang, k);
    zeile[k] = '\0';
    anfang += n;
    if (gesehen < anfang) gesehen = anfang;
    if (anfang == ende_roh) anfang = ende_roh = gesehen = 0;
    return true;
}

bool eingabe_pruefen() {
    lesen(false);
    return zeilenlaenge(gesehen) > 0;
}

const char* naechste_neue_zeile() {
    if (gesehen < anfang) gesehen = anfang;
    const size_t n = zeilenlaenge(gesehen);
    if (n == 0) return nullptr;
    memcpy(neue_zeile, roh.data() + gesehen, n);
    neue_zeile[n] = '\0';
    neue_anfang = gesehen, neue_laenge = n;
    gesehen += n;
    return neue_zeile;
}

void neue_zeile_verwerfen() {
    memmove(roh.data() + neue_anfang, roh.data() + neue_anfang + neue_laenge, ende_roh - neue_anfang - neue_laenge);
    ende_roh -= neue_laenge;
    gesehen -= neue_laenge;
    neue_laenge = 0;
}

bool eingabe_wartet() {
    lesen(false);
    return zeilenlaenge(anfang) > 0;
}

bool eingabe_zu() { return ende && anfang == ende_roh; }

bool eingabe_beendet() { return ende; }

void auf_eingabe_warten() {
    if (gesehen < anfang) gesehen = anfang;
    while (zeilenlaenge(gesehen) == 0 && !ende) lesen(true);
}

void auf_eingabe_warten(int ms) {
    if (gesehen < anfang) gesehen = anfang;
    if (zeilenlaenge(gesehen) != 0 || ende) return;
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, ms > 0 ? ms : 0) > 0) lesen(false);
}

void programm_beenden() {
    if (ausgabe == 1 && !uci_modus) puts("Bye.");
    fflush(stdout);
    exit(0);
}

}  // namespace kelpin
