// Waits out the real 20-second read time-out: kept apart from the quick tests.
#include <chrono>

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
