// The library against the project's virtual printer over RFC 2217.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "Lumora.h"
#include "PortMapFile.h"
#include "VirtualPrinterProcess.h"

namespace {

constexpr int kPort = 8;
const char kLayout[] = "051020070515081015030560121520304050";

struct Lines {
    int32_t on, noPaperOrBusy, off;
    bool operator==(const Lines &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Lines &l)
{
    return out << "{status0=" << l.on << " status2=" << l.noPaperOrBusy << " status3=" << l.off << "}";
}

class VirtualPrinter : public ::testing::Test {
protected:
    VirtualPrinter() { map.set(kPort, printer.url()); }
    void TearDown() override { Lumora_Fecha(); }

    // The three queries of a print job, on a connection of their own.
    Lines jobStatus()
    {
        EXPECT_EQ(Lumora_Abre(kPort), 1) << Lumora_UltimoErro();
        const Lines lines{Lumora_Status(kPort, 0), Lumora_Status(kPort, 2), Lumora_Status(kPort, 3)};
        Lumora_Fecha();
        return lines;
    }

    void command(const std::string &line) { ASSERT_EQ(printer.control(line).rfind("ok", 0), 0u) << line; }

    VirtualPrinterProcess printer{VIRTUAL_PRINTER_PATH};
    PortMapFile map;
};

} // namespace

TEST_F(VirtualPrinter, StatusTellsOnOffNoPaperAndBusy)
{
    EXPECT_EQ(jobStatus(), (Lines{1, 0, 0})) << "ready";
    command("paper off");
    EXPECT_EQ(jobStatus(), (Lines{1, 1, 0})) << "no paper";
    command("paper on");
    command("busy 60000");
    EXPECT_EQ(jobStatus(), (Lines{1, 1, 0})) << "busy";
    command("busy 0");
    EXPECT_EQ(jobStatus(), (Lines{1, 0, 0})) << "ready again";
    command("power off");
    EXPECT_EQ(jobStatus(), (Lines{0, 1, 1})) << "off";
}

TEST_F(VirtualPrinter, StatusFollowsChangesOnAnOpenConnection)
{
    ASSERT_EQ(Lumora_Abre(kPort), 1);
    EXPECT_EQ(Lumora_Status(kPort, 2), 0);
    command("paper off");
    bool seen = false;
    for (int i = 0; i < 100 && !seen; i++, usleep(10000))
        seen = Lumora_Status(kPort, 2) == 1;
    EXPECT_TRUE(seen);
}

TEST_F(VirtualPrinter, ProgrammedLayoutThenChequePrintsAPage)
{
    ASSERT_EQ(Lumora_Abre(kPort), 1);
    ASSERT_EQ(Lumora_ProgramaBancos(kPort, 237, kLayout), 1);
    EXPECT_TRUE(printer.waitForLog("layout of bank 237 stored")) << printer.output();
    ASSERT_EQ(Lumora_Fecha(), 1);

    // The print job as the program runs it.
    ASSERT_EQ(Lumora_Abre(kPort), 1);
    ASSERT_EQ(Lumora_Status(kPort, 0), 1);
    ASSERT_EQ(Lumora_Status(kPort, 2), 0);
    ASSERT_EQ(Lumora_Status(kPort, 3), 0);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_BANCO, "237"), 1);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_FAVORECIDO, "FULANO DE TAL"), 1);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_CIDADE, "SAO PAULO"), 1);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_DATA, "081226"), 1);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_VALOR, "123456"), 1);
    EXPECT_EQ(Lumora_ImprimeCheque(kPort), 1);
    ASSERT_EQ(Lumora_Fecha(), 1);

    const std::string page = printer.page("cheque-0001.txt");
    EXPECT_NE(page.find("FULANO DE TAL"), std::string::npos) << page;
    EXPECT_NE(page.find("SAO PAULO"), std::string::npos) << page;
    EXPECT_NE(page.find("1.234,56"), std::string::npos) << page;
}

TEST_F(VirtualPrinter, CopyTextEndedByFormFeedPrintsADocument)
{
    ASSERT_EQ(Lumora_Abre(kPort), 1);
    const std::string copy = "COPIA DE CHEQUE\nFavorecido: MARIA\nValor: R$ 500,00\n";
    ASSERT_EQ(Lumora_EnviaBloco(kPort, copy.c_str(), static_cast<int32_t>(copy.size())), 1);
    ASSERT_EQ(Lumora_Ejeta(kPort), 1);
    ASSERT_EQ(Lumora_Fecha(), 1);

    const std::string page = printer.page("document-0001.txt");
    EXPECT_NE(page.find("COPIA DE CHEQUE"), std::string::npos) << page;
    EXPECT_NE(page.find("Favorecido: MARIA"), std::string::npos) << page;
    EXPECT_NE(page.find("Valor: R$ 500,00"), std::string::npos) << page;
}
