// Standard input, read so that it can be looked at while the engine thinks:
// what has arrived is cut into lines and queued, and the command loop takes
// them from the queue in order. A line is cut after 255 characters, as a
// line buffer of 256 would cut it; the rest follows as a line of its own.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "driver/driver.h"

namespace kelpin {

namespace {

constexpr int STUECK = 255;       // characters of one queued line at most
constexpr int WARTESCHLANGE = 256;  // lines queued at most; more wait in the pipe

char roh[4096];  // read, not yet cut into lines
int roh_anzahl;
bool ende;       // standard input is closed (or broken)

char zeilen[WARTESCHLANGE][STUECK + 1];
int erste;   // the oldest queued line
int anzahl;  // lines queued
int gesehen; // of these, the ones the thinking driver has looked at

// Cuts what has been read into lines while the queue has room. At the end of
// the input an unterminated rest is a line too.
void schneiden() {
    while (anzahl < WARTESCHLANGE && roh_anzahl > 0) {
        int n = 0;
        while (n < roh_anzahl && n < STUECK && roh[n] != '\n') ++n;
        if (n < roh_anzahl && n < STUECK) ++n;  // the newline belongs to the line
        else if (n < STUECK && !ende) return;   // not complete yet
        char* z = zeilen[(erste + anzahl) % WARTESCHLANGE];
        memcpy(z, roh, n);
        z[n] = '\0';
        ++anzahl;
        roh_anzahl -= n;
        memmove(roh, roh + n, roh_anzahl);
    }
}

// One read(2): blocks only when `warten` is set; else only when poll said
// that something is there.
void lesen(bool warten) {
    if (ende || roh_anzahl == static_cast<int>(sizeof roh)) return;
    if (!warten) {
        pollfd p{0, POLLIN, 0};
        if (poll(&p, 1, 0) <= 0) return;
    }
    ssize_t n;
    do n = read(0, roh + roh_anzahl, sizeof roh - roh_anzahl);
    while (n < 0 && errno == EINTR);
    if (n <= 0) ende = true;
    else roh_anzahl += static_cast<int>(n);
    schneiden();
}

}  // namespace

bool zeile_holen(char* zeile, size_t groesse) {
    while (anzahl == 0) {
        if (ende && roh_anzahl == 0) return false;
        lesen(true);
        if (ende) schneiden();
    }
    const char* z = zeilen[erste];
    const size_t n = strlen(z) < groesse - 1 ? strlen(z) : groesse - 1;
    memcpy(zeile, z, n);
    zeile[n] = '\0';
    erste = (erste + 1) % WARTESCHLANGE;
    --anzahl;
    if (gesehen > 0) --gesehen;
    return true;
}

bool eingabe_pruefen() {
    lesen(false);
    return gesehen < anzahl;
}

const char* naechste_neue_zeile() {
    if (gesehen >= anzahl) return nullptr;
    return zeilen[(erste + gesehen++) % WARTESCHLANGE];
}

void neue_zeile_verwerfen() {
    // The line last handed out by naechste_neue_zeile leaves the queue.
    const int i = gesehen - 1;
    for (int k = i; k < anzahl - 1; ++k)
        memcpy(zeilen[(erste + k) % WARTESCHLANGE], zeilen[(erste + k + 1) % WARTESCHLANGE], STUECK + 1);
    --anzahl;
    --gesehen;
}

bool eingabe_wartet() {
    lesen(false);
    return anzahl > 0;
}

bool eingabe_zu() { return ende && roh_anzahl == 0 && anzahl == 0; }

bool eingabe_beendet() { return ende; }

void auf_eingabe_warten() {
    while (anzahl == 0 && !ende) lesen(true);
}

}  // namespace kelpin
