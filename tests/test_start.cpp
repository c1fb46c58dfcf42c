// End to end: what the program prints on start-up and on its simplest
// commands, and that it ends cleanly with its input.
#include <gtest/gtest.h>

#include "hilfen.h"

namespace kelpin {
namespace {

using test::programm;

const std::string START =
    "Kelpin 0.2b\tby the Kelpin developers\n"
    "Type help for a list of commands.\n"
    "\n"
    "feature done=0 time=1 draw=0 analyze=0 myname=\"Kelpin 0.2b\"\n"
    "feature ping=1\n"
    "Hashtable size:\t\t56 MB.\n"
    "Hashtable entries:\t1048577.\n"
    "feature done=1\n";

TEST(Start, BannerFeatureZeilenUndEndeDerEingabe) {
    int status = -2;
    EXPECT_EQ(programm("", 20, &status), START);
    EXPECT_EQ(status, 0);
}

TEST(Start, QuitEndetMitStatusNull) {
    int status = -2;
    EXPECT_EQ(programm("quit\nnew\n", 20, &status), START);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(programm("output\nquit\n", 20, &status), START + "h:0> Bye.\n");
    EXPECT_EQ(status, 0);
}

TEST(Start, PingWirdNachDemVorigenBeantwortet) {
    // The answer follows everything before it, a thinking turn included, so
    // a GUI that waits for it has received the engine's last move.
    const std::string aus = programm("new\nst 0\ngo\nping 17\nping\nquit\n");
    const size_t zug = aus.find("\nmove ");
    const size_t pong = aus.find("\npong 17\n");
    ASSERT_NE(zug, std::string::npos);
    ASSERT_NE(pong, std::string::npos);
    EXPECT_LT(zug, pong);
    EXPECT_EQ(aus.find("pong", pong + 2), std::string::npos);  // a bare "ping" has nothing to answer
}

}  // namespace
}  // namespace kelpin
