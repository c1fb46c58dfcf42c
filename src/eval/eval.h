// Evaluation: the static score of the board, White-positive, from one scan of
// the board followed by global terms, lazy exits, king safety and file terms.
#pragma once

#include "board/board.h"

namespace kelpin {

// The first two arguments are ignored (the search passes its level and side);
// alpha and beta bound the range in which the caller needs an exact value.
int eval(int ebene, int farbe, int alpha, int beta);

}  // namespace kelpin
