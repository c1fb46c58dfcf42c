// Shared test helpers: a clean engine state for unit tests and a way to run
// the real program on a command text for end-to-end tests.
#pragma once
#include <chrono>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "eval/eval.h"

namespace kelpin::test {

// Fills the key table (once per process) and resets the game, the search
// settings and the output mode to what a fresh program has after start-up
// and "new", with the keys computed from the board.
void neustart();

// Puts a FEN piece placement on an otherwise empty board with keys computed
// and the castling flags cleared; the side to move is set as given.
void stellung(const char* placement, int am_zug = WEISS);

// Runs build/kelpin with `eingabe` on its standard input (and `argumente` on
// its command line) and returns what it wrote to standard output. The run is
// killed after `sekunden`; `status` receives the exit status (-1 when it did
// not end by itself).
std::string programm(const std::string& eingabe, int sekunden = 60, int* status = nullptr,
                     const std::string& argumente = "");

// What the program wrote after its start-up lines (the last of which is
// "feature done=1").
std::string nach_start(const std::string& aus);

// What the game level holds, as a text to compare: board, side to move,
// keys, castling flags, move counter, the record up to past its end, the
// pending double step and the positions since the last capture or pawn move.
std::string spielstand();

// The legal moves of the side to move in the game position, as words, en passant included.
std::vector<std::string> legale_woerter();

// Runs command lines through the XBoard/console loop in this process and
// returns what they printed.
std::string befehle(const std::string& zeilen);

// Wall-clock seconds since t0 (bounds of 2 s or more only: the machine is shared).
inline double sekunden_seit(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The lines of a text, without their newlines.
std::string zeile(const std::string& text, int n);
int zeilen(const std::string& text);

// The program as a child process, spoken to line by line as an interface
// does. The constructor waits for the start-up lines.
class Prozess {
public:
    Prozess();
    ~Prozess();
    void sende(const std::string& z);
    // The next output line; false at the end of the output or after a silent
    // minute (a hang).
    bool zeile(std::string& z);
    // Sends `quit`: the program must end with status 0.
    void beende();

private:
    int pid_ = -1;
    int schreiben_ = -1, lesen_ = -1;
    std::string puffer_;
};

// Reads lines up to one that starts with `anfang`; the lines before it go to `davor`.
bool bis(Prozess& p, const std::string& anfang, std::vector<std::string>* davor = nullptr);

}  // namespace kelpin::test
