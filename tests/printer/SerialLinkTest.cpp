#include <sys/file.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "PtyLinkFixture.h"

using namespace std::string_literals;

namespace {

termios lineOf(int fd)
{
    termios t{};
    tcgetattr(fd, &t);
    return t;
}

// A second process that tries to open the port when told to.
class OtherProcess {
public:
    enum Outcome { Opened = 10, Refused = 11, OtherError = 12 };

    explicit OtherProcess(int port)
    {
        if (pipe(go_) != 0)
            throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            char c;
            (void)!read(go_[0], &c, 1);
            const int opened = Lumora_Abre(port);
            const int code = Lumora_UltimoErro();
            Lumora_Fecha();
            _exit(opened ? Opened : code == LUMORA_ERR_PORTA ? Refused : OtherError);
        }
    }
    ~OtherProcess()
    {
        if (pid_ > 0 && !done_)
            tryOpen();
        close(go_[0]);
        close(go_[1]);
    }
    int tryOpen()
    {
        (void)!write(go_[1], "x", 1);
        int status = 0;
        waitpid(pid_, &status, 0);
        done_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    int go_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool done_ = false;
};

bool waitForByte()
{
    for (int i = 0; i < 100; i++) {
        if (Lumora_HaByte() == 1)
            return true;
        usleep(10000);
    }
    return false;
}

} // namespace

TEST_F(PtyLink, OpenSetsRawLine9600N82AndCloseEndsTheConnection)
{
    openLink();
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    const termios t = lineOf(peer.slaveFd());
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_EQ(cfgetispeed(&t), B9600);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_TRUE((t.c_cflag & (CLOCAL | CREAD)) == (CLOCAL | CREAD));
    EXPECT_FALSE(t.c_cflag & (HUPCL | CRTSCTS));
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_oflag & OPOST);

    EXPECT_EQ(Lumora_Fecha(), 1);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    EXPECT_EQ(Lumora_Fecha(), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
}

// A pseudo-terminal always reads back as 8 bits without parity, so only the
// speed and the stop bits can be seen here (the RFC 2217 tests see the rest).
TEST_F(PtyLink, AbreEXAppliesCallerSettingsAndKeepsWhatTermiosCannotSay)
{
    ASSERT_EQ(Lumora_AbreEX(kPort, 2400, 1, 7, 1.0f), 1);
    termios t = lineOf(peer.slaveFd());
    EXPECT_EQ(cfgetospeed(&t), B2400);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    ASSERT_EQ(Lumora_Fecha(), 1);

    // 1.5 stop bits stays as read: one, from the open before.
    ASSERT_EQ(Lumora_AbreEX(kPort, 9600, 2, 5, 1.5f), 1);
    t = lineOf(peer.slaveFd());
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    ASSERT_EQ(Lumora_Fecha(), 1);

    ASSERT_EQ(Lumora_AbreEX(kPort, 9600, 0, 8, 2.0f), 1);
    EXPECT_TRUE(lineOf(peer.slaveFd()).c_cflag & CSTOPB);
    ASSERT_EQ(Lumora_Fecha(), 1);

    // Stop bits are never rejected; a value with no meaning changes nothing.
    ASSERT_EQ(Lumora_AbreEX(kPort, 2400, 0, 8, 7.25f), 1);
    t = lineOf(peer.slaveFd());
    EXPECT_EQ(cfgetospeed(&t), B2400);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
}

TEST_F(PtyLink, AbreEXChecksArgumentsBeforeTouchingThePort)
{
    // COM9 leads nowhere: an argument error must come before the open fails.
    map.set(9, "/nonexistent/ttyX");
    const struct { int baud, parity, data; } bad[] = {
        {4800, 0, 8}, {0, 0, 8}, {9600, 3, 8}, {9600, -1, 8}, {9600, 0, 4}, {9600, 0, 9}, {4800, 3, 9},
    };
    for (const auto &b : bad) {
        EXPECT_EQ(Lumora_AbreEX(9, b.baud, b.parity, b.data, 2.0f), 0);
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO) << b.baud << " " << b.parity << " " << b.data;
    }
    EXPECT_EQ(Lumora_AbreEX(9, 9600, 0, 8, 2.0f), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
}

TEST_F(PtyLink, FailedOpensLeaveTheLibraryClosedWithCode1)
{
    map.set(4, "/nonexistent/ttyX");
    map.set(5, "/dev/null");
    for (const int port : {4, 5, 0, -1, 256}) {
        EXPECT_EQ(Lumora_Abre(port), 0) << port;
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA) << port;
        EXPECT_EQ(Lumora_EnviaByte(port, 'x'), 0);
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    }
    EXPECT_EQ(peer.receiveAll(100), "");
}

TEST_F(PtyLink, DeviceIsHeldExclusively)
{
    // Held by someone else who took the lock first.
    const int other = open(peer.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(Lumora_Abre(kPort), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    close(other);

    // Forked before the open, so they inherit no connection of ours.
    OtherProcess whileOpen(kPort), afterClose(kPort);
    openLink();
    EXPECT_EQ(whileOpen.tryOpen(), OtherProcess::Refused);
    ASSERT_EQ(Lumora_Fecha(), 1);
    EXPECT_EQ(afterClose.tryOpen(), OtherProcess::Opened);

    // Reopening while open closes the earlier connection first.
    openLink();
    EXPECT_EQ(Lumora_Abre(kPort), 1);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
}

TEST_F(PtyLink, SendWritesExactlyTheBlock)
{
    openLink();
    const std::string block = "AB\0\xFF\xE9\n"s;
    EXPECT_EQ(Lumora_EnviaBloco(kPort, block.data(), static_cast<int32_t>(block.size())), 1);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    EXPECT_EQ(peer.receiveAll(), block);

    EXPECT_EQ(Lumora_EnviaByte(kPort, 0x1FF41), 1);
    EXPECT_EQ(peer.receiveAll(), "A");

    // Nothing to send is no failure and puts nothing on the line.
    EXPECT_EQ(Lumora_EnviaBloco(kPort, "x", 0), 1);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    EXPECT_EQ(peer.receiveAll(100), "");
}

TEST_F(PtyLink, SendRejectsBadBuffers)
{
    openLink();
    EXPECT_EQ(Lumora_EnviaBloco(kPort, nullptr, 3), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    EXPECT_EQ(Lumora_EnviaBloco(kPort, "abc", -1), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    EXPECT_EQ(peer.receiveAll(100), "");
}

TEST_F(PtyLink, BackToBackSendsAllReachThePeer)
{
    openLink();
    const std::string frames[] = {"\x1B" "B237", "\x1B" "FFULANO$", "\x1B" "CSAO PAULO$"};
    for (const auto &f : frames)
        ASSERT_EQ(Lumora_EnviaBloco(kPort, f.data(), static_cast<int32_t>(f.size())), 1);
    EXPECT_EQ(peer.receiveAll(), frames[0] + frames[1] + frames[2]);
}

TEST_F(PtyLink, EveryOperationNeedsAnOpenConnection)
{
    openLink();
    ASSERT_EQ(Lumora_Fecha(), 1);
    EXPECT_EQ(Lumora_EnviaBloco(kPort, "abc", 3), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    EXPECT_EQ(peer.receiveAll(100), "");
    EXPECT_EQ(Lumora_HaByte(), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    EXPECT_EQ(Lumora_RecebeByte(), 256);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    EXPECT_EQ(Lumora_Status(kPort, 0), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
}

TEST_F(PtyLink, ReceivesBytesAsUnsignedValues)
{
    openLink();
    EXPECT_EQ(Lumora_HaByte(), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    peer.send("\xE9\x00\xFF"s);
    ASSERT_TRUE(waitForByte());
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    EXPECT_EQ(Lumora_RecebeByte(), 233);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    EXPECT_EQ(Lumora_RecebeByte(), 0);
    EXPECT_EQ(Lumora_RecebeByte(), 255);
    EXPECT_EQ(Lumora_HaByte(), 0);
}

TEST_F(PtyLink, SendDiscardsInputNotYetRead)
{
    openLink();
    peer.send("stale");
    ASSERT_TRUE(waitForByte());
    ASSERT_EQ(Lumora_EnviaByte(kPort, '?'), 1);
    EXPECT_EQ(Lumora_HaByte(), 0);
    EXPECT_EQ(peer.receiveAll(), "?");
    // A reply after the request is kept.
    peer.send("R");
    EXPECT_EQ(Lumora_RecebeByte(), 'R');
}

TEST_F(PtyLink, LostPeerFailsReadsWithCode3AndSendsWithCode2)
{
    openLink();
    peer.closeMaster();
    EXPECT_EQ(Lumora_RecebeByte(), 256);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_LEITURA);
    EXPECT_EQ(Lumora_EnviaByte(kPort, 'x'), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ESCRITA);
    // A status query does not clear the failure.
    Lumora_Status(kPort, 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ESCRITA);
}

// A status finding the far end gone says so by a code: it is no printer
// without its lines, but no link at all.
TEST_F(PtyLink, LostPeerFailsAStatusWithCode1)
{
    openLink();
    peer.closeMaster();
    EXPECT_EQ(Lumora_Status(kPort, 0), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
}

TEST_F(PtyLink, StalledLineTimesTheWriteOutWithCode4)
{
    openLink();
    ASSERT_EQ(tcflow(peer.slaveFd(), TCOOFF), 0);
    EXPECT_EQ(Lumora_EnviaBloco(kPort, "abc", 3), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_TEMPO_ESCRITA);
    ASSERT_EQ(tcflow(peer.slaveFd(), TCOON), 0);
    EXPECT_EQ(Lumora_EnviaBloco(kPort, "abc", 3), 1);
    EXPECT_EQ(peer.receiveAll(), "abc");
}

// A terminal takes a few KB per write; a block is sent only when all of it
// has reached the line.
TEST_F(PtyLink, LargeBlockReachesAReadingPeerWhole)
{
    openLink();
    std::string block(1000000, '\0');
    for (std::size_t i = 0; i < block.size(); i++)
        block[i] = static_cast<char>(i * 7 + i / 251);
    std::string got;
    std::thread reader([&] { got = peer.receive(block.size(), 20000); });
    EXPECT_EQ(Lumora_EnviaBloco(kPort, block.data(), static_cast<int32_t>(block.size())), 1);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    reader.join();
    EXPECT_EQ(got.size(), block.size());
    EXPECT_TRUE(got == block);
}

TEST_F(PtyLink, BlockThePeerStopsTakingIsATimeOutNotASuccess)
{
    openLink();
    const std::string block(65536, 'p');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Lumora_EnviaBloco(kPort, block.data(), static_cast<int32_t>(block.size())), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_TEMPO_ESCRITA);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_LT(peer.receiveAll().size(), block.size());
}
