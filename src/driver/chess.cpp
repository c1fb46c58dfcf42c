// Kelpin: a chess engine for XBoard-protocol interfaces and the console.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "driver/driver.h"

int main(int argc, char** argv) {
    // `kelpin bench`, the one argument read: the signature searches and their
    // node total, which a test framework compares across machines. Nothing
    // else is printed and no input is read.
    if (argc > 1 && strcmp(argv[1], "bench") == 0) {
        kelpin::InitZobrist();
        kelpin::InitHash();
        kelpin::brettinit();
        kelpin::bench();
        return 0;
    }

    printf("%s\t%s", kelpin::NAME, "by the Kelpin developers");
    printf("\nType help for a list of commands.\n\n");
    printf("feature done=0 time=1 draw=0 analyze=0 myname=\"%s\"", kelpin::NAME);
    printf("\n");
    // With ping the GUI learns when a move it no longer wants has been sent:
    // a game lost on time while the engine still thinks ends with a move
    // that must not arrive in the next game.
    printf("feature ping=1\n");
    // Positions come whole with setboard (side to move, castling, en
    // passant), and analyze mode is there: the first line's analyze=0 is
    // overruled. Root moves can be left out of the search (exclude, include).
    printf("feature setboard=1 analyze=1 exclude=1\n");
    fflush(stdout);

    kelpin::InitZobrist();
    kelpin::InitHash();
    // The search's tables as every turn starts them, touched now so that the
    // first turn does not pay for bringing their pages in.
    kelpin::InitSearch();
    // An interface may interrupt an engine that has not said otherwise; the
    // engine neither dies of it nor cuts a thinking turn short.
    signal(SIGINT, SIG_IGN);
    // The initial position as a new game has it: the first position of the
    // game's record and of its repetitions.
    kelpin::grundstellung();
    kelpin::THINKTIME = 10;
    printf("Hashtable size:\t\t%i MB.\nHashtable entries:\t%i.\n", 56, static_cast<int>(kelpin::HASHEINTRAEGE));
    // The options an XBoard interface may set with `option NAME=VALUE`.
    kelpin::optionen_anfang();
    kelpin::optionen_xboard();
    printf("feature done=1");
    printf("\n");
    fflush(stdout);

    // The program ends with its input: a closed pipe must not leave it running.
    kelpin::spiel();
    fflush(stdout);
    return 0;
}
