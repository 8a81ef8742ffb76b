// Waits out the real 20-second read time-out: kept apart from the quick tests.
#include <chrono>

#include "FloodingServer.h"
#include "PtyLinkFixture.h"

TEST_F(PtyLink, SilentPrinterTimesTheReadOutAfterTwentySeconds)
{
    openLink();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Lumora_RecebeByte(), 256);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_TEMPO_LEITURA);
    EXPECT_GE(waited, std::chrono::milliseconds(20001));
    EXPECT_LT(waited, std::chrono::seconds(25));
}

// Telnet commands are no data: a server that sends nothing else keeps the
// read waiting only for its own time-out.
TEST(Rfc2217FloodSlow, CommandFloodTimesTheReadOutAfterTwentySeconds)
{
    PortMapFile map;
    FloodingServer server({.flood = "\xFF\xFD\x63", .seconds = 40});
    map.set(7, server.url());
    ASSERT_EQ(Lumora_Abre(7), 1) << Lumora_UltimoErro();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Lumora_RecebeByte(), 256);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_TEMPO_LEITURA);
    EXPECT_LT(waited, std::chrono::seconds(25));
    Lumora_Fecha();
}
