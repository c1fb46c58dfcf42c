// The two fixed console texts: the board diagram and the command list.
#include <cstdio>

#include "driver/driver.h"

namespace kelpin {

int brettanz() {
    constexpr const char* trenner = "   --------------------------------------------------";
    printf("%s\n", trenner);
    for (int r = 8; r >= 1; --r) {
        printf("%i  ", r);
        printf("|");
        for (int l = 1; l <= 8; ++l) printf("  %c  |", figurensymbol[brett[(r - 1) * 8 + l] + 6]);
        printf("\n%s\n", trenner);
    }
    return printf("      A     B     C     D     E     F     G     H\n");
}

int help() {
    static constexpr const char* zeilen[] = {
        NAME,
        "Commands currently available:",
        "black...............Player is black, computer is white.",
        "display.............Displays the current board in nice ASCII",
        "                     fashion.",
        "eval................Displays static evaluation.",
        "evalperft <i>.......Measures how fast the evaluation function",
        "                     is (it is slow ;-). <i> is the time in",
        "                     seconds for this test.",
        "force...............Sets forcemode on / off.",
        "go..................Sets computer color to current side to move",
        "                     and produces a blunder (move).",
        "help................Displays the nonsense you're currently reading.",
        "new.................Resets the game.",
        "perft <i>...........Runs a movegen() benchmark. It measures how",
        "                     many nodes per second can be generated, made",
        "                     and unmade. <i> is the depth to reach, i.e.",
        "                     'perft 3' generates all moves up to depth 3.",
        "quit................Does just that.",
        "setboard <FEN>......Sets the current board to the position in <FEN>",
        "                     format.",
        "showmoves...........Show all pseudolegal moves for the side to move.",
        "st <i>..............Sets the thinking time to <i> seconds per move.",
        "time <i>............Sets time for the whole game.",
        "white...............Player is white, computer is black.",
    };
    int r = 0;
    for (const char* z : zeilen) r = puts(z);
    return r;
}

}  // namespace kelpin
