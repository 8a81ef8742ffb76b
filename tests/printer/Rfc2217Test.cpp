#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "FakeRfc2217Server.h"
#include "FloodingServer.h"
#include "Lumora.h"
#include "PortMapFile.h"

using namespace std::string_literals;

namespace {

constexpr int kPort = 7;
constexpr std::uint8_t IAC = 255, WILL = 251, DONT = 254, DO = 253;
constexpr std::uint8_t SET_BAUDRATE = 1, SET_DATASIZE = 2, SET_PARITY = 3, SET_STOPSIZE = 4,
                       SET_CONTROL = 5, SET_MODEMSTATE_MASK = 11, PURGE_DATA = 12;

std::string b(std::initializer_list<std::uint8_t> list) { return std::string(list.begin(), list.end()); }

bool hasNegotiation(const std::vector<FakeRfc2217Server::Event> &events, std::uint8_t verb, std::uint8_t option)
{
    for (const auto &e : events)
        if (e.kind == FakeRfc2217Server::Event::Negotiation && e.code == verb && e.bytes == b({option}))
            return true;
    return false;
}

// Status answers follow the server's reports as they arrive.
bool statusBecomes(uint32_t query, int32_t expected)
{
    for (int i = 0; i < 100; i++) {
        if (Lumora_Status(kPort, query) == expected)
            return true;
        usleep(10000);
    }
    return false;
}

class Rfc2217Link : public ::testing::Test {
protected:
    explicit Rfc2217Link(FakeRfc2217Server::Options options = {}) : server(options)
    {
        map.set(kPort, server.url());
    }
    void TearDown() override { Lumora_Fecha(); }
    void openLink() { ASSERT_EQ(Lumora_Abre(kPort), 1) << "code " << Lumora_UltimoErro(); }

    FakeRfc2217Server server;
    PortMapFile map;
};

class SilentModemServer : public Rfc2217Link {
protected:
    SilentModemServer() : Rfc2217Link({.reportModemState = false}) {}
};

class NoPurgeAckServer : public Rfc2217Link {
protected:
    NoPurgeAckServer() : Rfc2217Link({.ackPurge = false}) {}
};

} // namespace

TEST_F(Rfc2217Link, OpenNegotiatesComPortAndSetsTheLine)
{
    openLink();
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    const auto events = server.events();
    EXPECT_TRUE(hasNegotiation(events, WILL, 44));
    EXPECT_TRUE(hasNegotiation(events, WILL, 0));
    EXPECT_TRUE(hasNegotiation(events, DO, 0));
    // The server's unasked offer of echo is refused.
    EXPECT_TRUE(hasNegotiation(events, DONT, 1));

    using V = std::vector<std::string>;
    EXPECT_EQ(server.commandValues(SET_BAUDRATE), V{b({0, 0, 0x25, 0x80})});
    EXPECT_EQ(server.commandValues(SET_DATASIZE), V{b({8})});
    EXPECT_EQ(server.commandValues(SET_PARITY), V{b({1})});
    EXPECT_EQ(server.commandValues(SET_STOPSIZE), V{b({2})});
    const V control = server.commandValues(SET_CONTROL);
    EXPECT_NE(std::find(control.begin(), control.end(), b({1})), control.end()) << "flow control off";
    EXPECT_NE(std::find(control.begin(), control.end(), b({6})), control.end()) << "break off";
    EXPECT_EQ(server.commandValues(SET_MODEMSTATE_MASK).size(), 1u);
    EXPECT_EQ(server.data(), "");
}

TEST_F(Rfc2217Link, AbreEXSendsTheCallersSettings)
{
    ASSERT_EQ(Lumora_AbreEX(kPort, 2400, 1, 7, 1.5f), 1);
    using V = std::vector<std::string>;
    EXPECT_EQ(server.commandValues(SET_BAUDRATE), V{b({0, 0, 0x09, 0x60})});
    EXPECT_EQ(server.commandValues(SET_DATASIZE), V{b({7})});
    EXPECT_EQ(server.commandValues(SET_PARITY), V{b({3})}); // even
    EXPECT_EQ(server.commandValues(SET_STOPSIZE), V{b({3})}); // 1.5
    ASSERT_EQ(Lumora_Fecha(), 1);
    server.clearLog();
    ASSERT_EQ(Lumora_AbreEX(kPort, 9600, 2, 8, 3.0f), 1);
    EXPECT_EQ(server.commandValues(SET_PARITY), V{b({2})}); // odd
    EXPECT_TRUE(server.commandValues(SET_STOPSIZE).empty()) << "3 stop bits stay as the server has them";
}

TEST_F(Rfc2217Link, SendPurgesThenWritesEscapedData)
{
    openLink();
    server.clearLog();
    const std::string block = "A\xFF\xFF" "B\0\xE9"s;
    ASSERT_EQ(Lumora_EnviaBloco(kPort, block.data(), static_cast<int32_t>(block.size())), 1);
    EXPECT_EQ(server.waitForData(block.size()), block);
    EXPECT_NE(server.raw().find("A\xFF\xFF\xFF\xFF" "B\0\xE9"s), std::string::npos);

    const auto events = server.events();
    ASSERT_GE(events.size(), 3u);
    const auto &purge = events[events.size() - 2];
    EXPECT_EQ(purge.kind, FakeRfc2217Server::Event::Command);
    EXPECT_EQ(purge.code, PURGE_DATA);
    EXPECT_EQ(purge.bytes, b({1})) << "the server's transmit buffer may still hold the last frame";
    EXPECT_EQ(events.back().kind, FakeRfc2217Server::Event::Data);
}

TEST_F(Rfc2217Link, ReceivedDataIsUnescapedAndCommandsStayOutOfIt)
{
    openLink();
    server.sendRaw(b({IAC, IAC}) + b({IAC, 241 /* NOP */}) + "\xE9"s
                   + subnegotiation(106, b({0x60})) + "Z");
    EXPECT_EQ(Lumora_RecebeByte(), 255);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    EXPECT_EQ(Lumora_RecebeByte(), 233);
    EXPECT_EQ(Lumora_RecebeByte(), 'Z');
    EXPECT_EQ(Lumora_HaByte(), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
}

TEST_F(Rfc2217Link, SendDiscardsDataNotYetRead)
{
    openLink();
    server.sendData("stale");
    bool waiting = false;
    for (int i = 0; i < 100 && !waiting; i++, usleep(10000))
        waiting = Lumora_HaByte() == 1;
    ASSERT_TRUE(waiting);
    ASSERT_EQ(Lumora_EnviaByte(kPort, '?'), 1);
    EXPECT_EQ(Lumora_HaByte(), 0);
    server.sendData("R");
    EXPECT_EQ(Lumora_RecebeByte(), 'R');
}

TEST_F(Rfc2217Link, StatusFollowsTheModemStateReports)
{
    openLink();
    // Right after the open: the first report (DSR and CTS on) is already in.
    EXPECT_EQ(Lumora_Status(kPort, 0), 1);
    EXPECT_EQ(Lumora_Status(kPort, 2), 0);
    EXPECT_EQ(Lumora_Status(kPort, 3), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);

    server.setModemState(0x20); // no paper: CTS off
    EXPECT_TRUE(statusBecomes(2, 1));
    EXPECT_EQ(Lumora_Status(kPort, 0), 1);
    EXPECT_EQ(Lumora_Status(kPort, 3), 0);

    server.setModemState(0x00); // switched off
    EXPECT_TRUE(statusBecomes(0, 0));
    EXPECT_EQ(Lumora_Status(kPort, 3), 1);

    server.setModemState(0xFF); // every line on; 0xFF goes doubled in the payload
    EXPECT_TRUE(statusBecomes(0, 1));
    EXPECT_EQ(Lumora_Status(kPort, 2), 0);
    EXPECT_EQ(Lumora_Status(kPort, 1), 0);
}

TEST_F(Rfc2217Link, FullChequeReachesTheServerInOrder)
{
    openLink();
    server.clearLog();
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_BANCO, "341"), 1);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_FAVORECIDO, "ANA"), 1);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_CIDADE, "BELEM"), 1);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_DATA, "010127"), 1);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_VALOR, "1999"), 1);
    EXPECT_EQ(Lumora_ImprimeCheque(kPort), 1);
    const std::string expected = "\x1B" "B341\x1B" "FANA$\x1B" "CBELEM$\x1B" "D010127\x1B" "V1999$";
    EXPECT_EQ(server.waitForData(expected.size()), expected);
    EXPECT_TRUE(server.waitForCommand(PURGE_DATA, 5));
}

TEST_F(Rfc2217Link, LostServerFailsReadsAndSends)
{
    openLink();
    server.dropClient();
    EXPECT_EQ(Lumora_RecebeByte(), 256);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_LEITURA);
    EXPECT_EQ(Lumora_EnviaByte(kPort, 'x'), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ESCRITA);
    EXPECT_EQ(Lumora_Status(kPort, 0), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ESCRITA);
    EXPECT_EQ(Lumora_Fecha(), 1);
}

// The lines last reported do not outlive the link.
TEST_F(Rfc2217Link, StatusOnALostLinkFailsWithCode1)
{
    openLink();
    server.dropClient();
    EXPECT_TRUE(statusBecomes(0, 0));
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
}

TEST_F(SilentModemServer, StatusFailsWithoutAnyModemReport)
{
    openLink();
    EXPECT_EQ(Lumora_Status(kPort, 0), 0);
    EXPECT_EQ(Lumora_Status(kPort, 3), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
}

TEST_F(NoPurgeAckServer, SendsStillGoThrough)
{
    openLink();
    for (const char c : std::string("abc"))
        ASSERT_EQ(Lumora_EnviaByte(kPort, c), 1);
    EXPECT_EQ(server.waitForData(3), "abc");
}

TEST(Rfc2217Open, UnreachableOrUnwillingServersFailWithCode1)
{
    PortMapFile map;
    // Nobody listens on a port just freed.
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof addr;
    bind(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    getsockname(s, reinterpret_cast<sockaddr *>(&addr), &size);
    close(s);
    map.set(kPort, "rfc2217://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)));
    EXPECT_EQ(Lumora_Abre(kPort), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);

    for (const auto &bad : {"rfc2217://127.0.0.1", "rfc2217://:2217", "rfc2217://host:port"}) {
        map.set(kPort, bad);
        EXPECT_EQ(Lumora_Abre(kPort), 0) << bad;
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA) << bad;
    }

    FakeRfc2217Server refusing({.acceptComPort = false});
    map.set(kPort, refusing.url());
    EXPECT_EQ(Lumora_Abre(kPort), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);

    FakeRfc2217Server mute({.answer = false});
    map.set(kPort, mute.url());
    EXPECT_EQ(Lumora_Abre(kPort), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    EXPECT_EQ(Lumora_EnviaByte(kPort, 'x'), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
}

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

// A server that never stops sending must not keep a call past its deadline;
// the floods below outlast every limit of the library.
TEST(Rfc2217Flood, OpenKeepsItsNineSecondsWhateverTheServerSends)
{
    PortMapFile map;
    for (const auto &flood : {"x"s, "\xFF"s, b({IAC, DO, 99})}) {
        FloodingServer server({.answerOpen = false, .flood = flood, .seconds = 25});
        map.set(kPort, server.url());
        const auto start = Clock::now();
        EXPECT_EQ(Lumora_Abre(kPort), 0);
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
        EXPECT_LT(secondsSince(start), 9.5) << "flood of " << flood.size() << " bytes";
    }
}

TEST(Rfc2217Flood, CloseKeepsItsTwoSecondsAndSendsStillGoOut)
{
    PortMapFile map;
    FloodingServer server({.flood = "x", .seconds = 25, .readInput = true});
    map.set(kPort, server.url());
    ASSERT_EQ(Lumora_Abre(kPort), 1) << Lumora_UltimoErro();
    EXPECT_EQ(Lumora_EnviaBloco(kPort, "abc", 3), 1);
    const auto start = Clock::now();
    EXPECT_EQ(Lumora_Fecha(), 1);
    EXPECT_LT(secondsSince(start), 4.0);
}

// 16 MB is far more than the sockets hold: the bytes that cannot go are a
// time-out, never a success.
TEST(Rfc2217Flood, BlockTheServerNeverTakesFailsWithCode4)
{
    PortMapFile map;
    FloodingServer server({.answerOpen = true, .flood = {}, .seconds = 25});
    map.set(kPort, server.url());
    ASSERT_EQ(Lumora_Abre(kPort), 1) << Lumora_UltimoErro();
    const std::string block(16 << 20, 'c');
    const auto start = Clock::now();
    EXPECT_EQ(Lumora_EnviaBloco(kPort, block.data(), static_cast<int32_t>(block.size())), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_TEMPO_ESCRITA);
    EXPECT_LT(secondsSince(start), 15.0);
}
