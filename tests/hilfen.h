// Shared test helpers: a clean engine state, and the real program run on input.
#pragma once
#include <chrono>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "eval/eval.h"

namespace kelpin::test {

// The state of a fresh program after start-up and "new" (the key table filled once).
void neustart();

// A FEN piece placement set up with its keys, castling flags cleared, `am_zug` to move.
void stellung(const char* placement, int am_zug = WEISS);

// build/kelpin's output for `eingabe`, killed after `sekunden`; `status`: exit status or -1.
std::string programm(const std::string& eingabe, int sekunden = 60, int* status = nullptr,
                     const std::string& argumente = "");

// The output after the start-up lines (up to "feature done=1").
std::string nach_start(const std::string& aus);

// The game level as a text to compare: board, keys, flags, record, double step, repetition history.
std::string spielstand();

// The legal moves of the side to move in the game position, as words, en passant included.
std::vector<std::string> legale_woerter();

// What command lines print, run through the XBoard/console loop in this process.
std::string befehle(const std::string& zeilen);

// Wall-clock seconds since t0 (bounds of 2 s or more only: the machine is shared).
inline double sekunden_seit(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The lines of a text, without their newlines.
std::string zeile(const std::string& text, int n);
int zeilen(const std::string& text);

// The program as a child process spoken to line by line; started up when constructed.
class Prozess {
public:
    Prozess();
    ~Prozess();
    void sende(const std::string& z);
    // The next output line; false at the end or after a silent minute (a hang).
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
