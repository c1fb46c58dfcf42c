// End to end: `ping` as an interface uses it, and the end of the input.
// Start-up, the silent protocol words and the console are in the transcript.
#include <gtest/gtest.h>

#include "hilfen.h"

namespace kelpin {
namespace {

TEST(Start, PingWirdNachDemVorigenBeantwortet) {
    // The answer follows everything before it, a thinking turn included, so
    // a GUI that waits for it has received the engine's last move.
    int status = -2;
    const std::string aus = test::programm("new\nst 0\ngo\nping 17\nping\n", 60, &status);
    EXPECT_EQ(status, 0);  // the end of the input ends the program
    const size_t zug = aus.find("\nmove ");
    const size_t pong = aus.find("\npong 17\n");
    ASSERT_NE(zug, std::string::npos);
    ASSERT_NE(pong, std::string::npos);
    EXPECT_LT(zug, pong);
    EXPECT_EQ(aus.find("pong", pong + 2), std::string::npos);  // a bare "ping" has nothing to answer
}

}  // namespace
}  // namespace kelpin
