// The library against the project's virtual printer over RFC 2217.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
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

namespace {

// A client that sends its bytes in one go and closes at once, as a script or
// a device server dropping the line would.
void sendAndClose(const std::string &url, const std::string &bytes)
{
    const int port = std::stoi(url.substr(url.rfind(':') + 1));
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        ASSERT_GT(n, 0);
        sent += static_cast<std::size_t>(n);
    }
    close(fd);
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

// A megabyte of text is more than one document may hold: the printer keeps
// the first part, says so, and prints it even though the client is gone.
TEST_F(VirtualPrinter, HugeDocumentFromAClientThatLeavesIsPrintedCutAndLogged)
{
    sendAndClose(printer.url(), std::string(1 << 20, 'x') + "\f");
    const std::string page = printer.page("document-0001.txt", 20000);
    EXPECT_EQ(page.size(), 300u * 81u);
    EXPECT_TRUE(printer.waitForLog("document text beyond 64 KiB was dropped", 20000)) << printer.output();
    EXPECT_TRUE(printer.waitForLog("document cut after 300", 20000));
    EXPECT_TRUE(printer.waitForLog("saved as ", 20000));
    EXPECT_LT(printer.peakMemoryKb(), 200 * 1024);
}

// 50,000 documents: the line, the modem state and the signals are served
// while the pages are made; what cannot wait is refused and logged.
TEST_F(VirtualPrinter, FloodOfDocumentsKeepsTheLineServedAndStopsOnSigterm)
{
    std::string flood;
    for (int i = 0; i < 50000; i++)
        flood += "x\f";
    sendAndClose(printer.url(), flood);
    ASSERT_TRUE(printer.waitForLog("document of 1 lines printed", 20000));

    const auto start = std::chrono::steady_clock::now();
    const Lines lines = jobStatus();
    EXPECT_EQ(lines, (Lines{1, 0, 0}));
    EXPECT_LT(secondsSince(start), 5.0);
    EXPECT_EQ(printer.control("state").rfind("ok power=on", 0), 0u);
    EXPECT_TRUE(printer.waitForLog("pages are waiting to be saved (no page)", 20000));

    const auto stopping = std::chrono::steady_clock::now();
    EXPECT_TRUE(printer.stop(10000));
    EXPECT_LT(secondsSince(stopping), 10.0);
}
