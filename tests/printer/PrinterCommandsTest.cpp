#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "PtyLinkFixture.h"

using namespace std::string_literals;

namespace {

const std::string kLayout = "051020070515081015030560121520304050"; // 36 digits
const std::string ESC = "\x1B";

int32_t field(uint32_t code, const std::string &text)
{
    return Lumora_CampoCheque(PtyLink::kPort, code, text.c_str());
}

} // namespace

TEST_F(PtyLink, FieldFramesGoOutAtOnceExceptTheAmount)
{
    openLink();
    EXPECT_EQ(field(LUMORA_CAMPO_BANCO, "237"), 1);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    EXPECT_EQ(peer.receiveAll(), ESC + "B237");
    EXPECT_EQ(field(LUMORA_CAMPO_FAVORECIDO, "JOS\xC9 DA SILVA"), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "FJOS\xC9 DA SILVA$");
    EXPECT_EQ(field(LUMORA_CAMPO_CIDADE, "Campinas"), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "CCampinas$");
    EXPECT_EQ(field(LUMORA_CAMPO_DATA, "081226"), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "D081226");

    EXPECT_EQ(field(LUMORA_CAMPO_VALOR, "123456"), 1);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    EXPECT_EQ(peer.receiveAll(100), "");
    EXPECT_EQ(Lumora_ImprimeCheque(kPort), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "V123456$");
    // The held frame is not cleared by printing.
    EXPECT_EQ(Lumora_ImprimeCheque(kPort), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "V123456$");
}

TEST_F(PtyLink, PermanentFieldBehavesTheSame)
{
    openLink();
    EXPECT_EQ(Lumora_CampoChequePermanente(kPort, LUMORA_CAMPO_CIDADE, "Santos"), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "CSantos$");
    EXPECT_EQ(Lumora_CampoChequePermanente(kPort, LUMORA_CAMPO_VALOR, "990"), 1);
    EXPECT_EQ(Lumora_CampoChequePermanente(kPort, 6, "x"), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_NAO_SUPORTADO);
    EXPECT_EQ(Lumora_ImprimeCheque(kPort), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "V990$");
}

TEST_F(PtyLink, OneChequeInTheProgramsOrderEndsWithTheAmount)
{
    openLink();
    EXPECT_EQ(field(LUMORA_CAMPO_BANCO, "001"), 1);
    EXPECT_EQ(field(LUMORA_CAMPO_FAVORECIDO, "MARIA"), 1);
    EXPECT_EQ(field(LUMORA_CAMPO_CIDADE, "RECIFE"), 1);
    EXPECT_EQ(field(LUMORA_CAMPO_DATA, "311226"), 1);
    EXPECT_EQ(field(LUMORA_CAMPO_VALOR, "50000"), 1);
    EXPECT_EQ(Lumora_ImprimeCheque(kPort), 1);
    EXPECT_EQ(peer.receiveAll(),
              ESC + "B001" + ESC + "FMARIA$" + ESC + "CRECIFE$" + ESC + "D311226" + ESC + "V50000$");
}

TEST_F(PtyLink, HeldAmountOutlivesConnectionsAndFailedCalls)
{
    openLink();
    ASSERT_EQ(field(LUMORA_CAMPO_VALOR, "777"), 1);
    ASSERT_EQ(Lumora_Fecha(), 1);
    EXPECT_EQ(field(LUMORA_CAMPO_VALOR, "111"), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    EXPECT_EQ(Lumora_ImprimeCheque(kPort), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    openLink();
    // A field too long for its frame is refused whole, the held one stays.
    EXPECT_EQ(field(LUMORA_CAMPO_VALOR, std::string(509, '9')), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    EXPECT_EQ(Lumora_ImprimeCheque(kPort), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "V777$");
}

TEST_F(PtyLink, FieldTextsMustFitTheFrame)
{
    openLink();
    // Frame and terminator in 512 bytes: 508 characters with "$", 509 without.
    const std::string longest(508, 'a');
    EXPECT_EQ(field(LUMORA_CAMPO_FAVORECIDO, longest), 1);
    EXPECT_EQ(peer.receive(511), ESC + "F" + longest + "$");
    EXPECT_EQ(field(LUMORA_CAMPO_CIDADE, longest + "a"), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    EXPECT_EQ(field(LUMORA_CAMPO_DATA, longest + "b"), 1);
    EXPECT_EQ(peer.receive(511), ESC + "D" + longest + "b");
    EXPECT_EQ(field(LUMORA_CAMPO_BANCO, longest + "bb"), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    EXPECT_EQ(Lumora_CampoCheque(kPort, LUMORA_CAMPO_FAVORECIDO, nullptr), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    EXPECT_EQ(peer.receiveAll(100), "");
}

TEST_F(PtyLink, UnknownFieldsSendNothing)
{
    openLink();
    EXPECT_EQ(field(5, "x"), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_NAO_SUPORTADO);
    EXPECT_EQ(field(6, "x"), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_NAO_SUPORTADO);
    EXPECT_EQ(field(7, "x"), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    EXPECT_EQ(field(0xFFFFFFFFu, "x"), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    EXPECT_EQ(peer.receiveAll(100), "");
    ASSERT_EQ(Lumora_Fecha(), 1);
    EXPECT_EQ(field(LUMORA_CAMPO_CIDADE, "x"), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
}

TEST_F(PtyLink, BankLayoutFrameIs42BytesWithItsZero)
{
    openLink();
    EXPECT_EQ(Lumora_ProgramaBancos(kPort, 7, kLayout.c_str()), 1);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
    EXPECT_EQ(peer.receiveAll(), ESC + "L007" + kLayout + "\0"s);
    EXPECT_EQ(Lumora_ProgramaBancos(kPort, 999, kLayout.c_str()), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "L999" + kLayout + "\0"s);
    EXPECT_EQ(Lumora_ProgramaBancos(kPort, 0, kLayout.c_str()), 1);
    EXPECT_EQ(peer.receiveAll(), ESC + "L000" + kLayout + "\0"s);
}

TEST_F(PtyLink, BankLayoutRejectsBadBanksAndLayouts)
{
    openLink();
    const std::string shortLayout = kLayout.substr(1), longLayout = kLayout + "0";
    EXPECT_EQ(Lumora_ProgramaBancos(kPort, 1000, kLayout.c_str()), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    EXPECT_EQ(Lumora_ProgramaBancos(kPort, -1, kLayout.c_str()), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    for (const char *layout : {shortLayout.c_str(), longLayout.c_str(), "", static_cast<const char *>(nullptr)}) {
        EXPECT_EQ(Lumora_ProgramaBancos(kPort, 7, layout), 0);
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    }
    EXPECT_EQ(peer.receiveAll(100), "");
    ASSERT_EQ(Lumora_Fecha(), 1);
    EXPECT_EQ(Lumora_ProgramaBancos(kPort, 7, kLayout.c_str()), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
}

TEST_F(PtyLink, EjectSendsFormFeed)
{
    openLink();
    EXPECT_EQ(Lumora_Ejeta(kPort), 1);
    EXPECT_EQ(peer.receiveAll(), "\x0C");
    ASSERT_EQ(Lumora_Fecha(), 1);
    EXPECT_EQ(Lumora_Ejeta(kPort), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
}

TEST_F(PtyLink, StatusQueriesKeepTheLastError)
{
    // Out of range and unsupported queries come after the open check.
    EXPECT_EQ(Lumora_Status(kPort, 5), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    openLink();
    EXPECT_EQ(Lumora_Status(kPort, 5), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_NAO_SUPORTADO);
    EXPECT_EQ(Lumora_Status(kPort, 8), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);

    // A pseudo-terminal has no modem lines to read: every line query fails,
    // and none of them touches the code left by the call before.
    for (uint32_t query : {0u, 2u, 3u}) {
        ASSERT_EQ(field(9, "x"), 0);
        EXPECT_EQ(Lumora_Status(kPort, query), 0) << query;
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO) << query;
    }
    // No transmit overflow, and the code still stays.
    EXPECT_EQ(Lumora_Status(kPort, 1), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_ARGUMENTO);
    ASSERT_EQ(Lumora_EnviaByte(kPort, 'x'), 1);
    EXPECT_EQ(Lumora_Status(kPort, 1), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_OK);
}

TEST(LumoraReading, FunctionsAreNotAvailable)
{
    int32_t (*const reading[])() = {Lumora_IniciaLeitura, Lumora_Leitura, Lumora_FinalizaLeitura,
                                    Lumora_SolicitaLeitura};
    for (auto call : reading) {
        EXPECT_EQ(call(), 0);
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_INDISPONIVEL);
    }
    PortMapFile map;
    PtyPeer peer;
    map.set(3, peer.slavePath());
    ASSERT_EQ(Lumora_Abre(3), 1);
    for (auto call : reading) {
        EXPECT_EQ(call(), 0);
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_INDISPONIVEL);
    }
    EXPECT_EQ(peer.receiveAll(100), "");
    Lumora_Fecha();
}

// A copy of the library as a process first loads it, whatever this process
// has done with its own copy.
class FreshLibrary {
public:
    FreshLibrary() : handle_(dlmopen(LM_ID_NEWLM, LUMORA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~FreshLibrary()
    {
        if (handle_)
            dlclose(handle_);
    }
    template <typename F> F *get(const char *name) { return reinterpret_cast<F *>(dlsym(handle_, name)); }
    bool loaded() const { return handle_ != nullptr; }

private:
    void *handle_;
};

TEST(LumoraInitialState, NothingHeldNothingOpenNoError)
{
    PortMapFile map;
    PtyPeer peer;
    map.set(3, peer.slavePath());
    FreshLibrary lib;
    ASSERT_TRUE(lib.loaded()) << dlerror();
    auto ultimoErro = lib.get<int32_t()>("Lumora_UltimoErro");
    auto abre = lib.get<int32_t(int32_t)>("Lumora_Abre");
    auto fecha = lib.get<int32_t()>("Lumora_Fecha");
    auto imprime = lib.get<int32_t(int32_t)>("Lumora_ImprimeCheque");
    ASSERT_TRUE(ultimoErro && abre && fecha && imprime);

    EXPECT_EQ(ultimoErro(), LUMORA_OK);
    EXPECT_EQ(fecha(), 0);
    EXPECT_EQ(ultimoErro(), LUMORA_ERR_PORTA);
    ASSERT_EQ(abre(3), 1);
    // The print command with no amount held sends nothing and succeeds.
    EXPECT_EQ(imprime(3), 1);
    EXPECT_EQ(ultimoErro(), LUMORA_OK);
    EXPECT_EQ(peer.receiveAll(100), "");
    EXPECT_EQ(fecha(), 1);
}
