// Both print jobs end to end: the program's calls, the real library, and the
// project's virtual printer on the other end of an RFC 2217 link.
#include "BankLayout.h"
#include "ChequeCopyText.h"
#include "FakeRfc2217Server.h"
#include "LumoraSpy.h"
#include "PortMapFile.h"
#include "QStringPrinter.h"
#include "RecordingPresenter.h"
#include "VirtualPrinterProcess.h"
#include "uDeclaracoes.h"

#include "Lumora.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr int kPort = 5;

const QString kOpenFailed = QStringLiteral(
    "Não foi possível abrir a porta de comunicação.\n"
    "Por favor certifique-se se você está usando a porta correta.");
const QString kOff = QStringLiteral(
    "Impressora desligada ou sem comunicação.\n"
    "Por favor verifique se a impressora está ligada ou se o cabo está conectado.");
const QString kNoPaperOrBusy = QStringLiteral(
    "Impressora sem papel ou imprimindo cheque.\n"
    "Por favor verifique se o papel está posicionado corretamente, ou se existe um cheque sendo "
    "impresso.");

const QByteArray kStatusOk = "Lumora_Abre Lumora_Status:0 Lumora_Status:2 Lumora_Status:3";

QString notSent(const char *what)
{
    return QStringLiteral("A impressora não recebeu %1.\n"
                          "Por favor verifique a impressora e o cabo, e imprima novamente.")
        .arg(QString::fromUtf8(what));
}

ChequeCopy sampleCopy()
{
    return {QStringLiteral("237"),          QStringLiteral("BRADESCO"), QStringLiteral("0123"),
            QStringLiteral("José da Silva"), QStringLiteral("São Paulo"),
            QStringLiteral("000045"),       QStringLiteral("98765-4"), QStringLiteral("1294,55"),
            QStringLiteral("Aluguel"),      QStringLiteral("3ª/12"),   QDate(2026, 12, 8)};
}

// The amount text read as a screen reads it for the job.
bool printCopy(const ChequeCopy &c, int port = kPort)
{
    const std::optional<Money> valor = LeValorCheque(c.valor);
    return valor
           && ImprimeCopiaCheque(c.numeroBanco, c.nomeBanco, c.agencia, c.favorecido, c.cidade,
                                 c.numeroCheque, c.conta, *valor, c.descricao, c.parcela, c.data,
                                 port);
}

bool printCheque(int port = kPort)
{
    return ImprimeChequeImpressora(QStringLiteral("237"), QStringLiteral("José da Silva"),
                                   QStringLiteral("São Paulo"), Money::fromCentavos(123456),
                                   QDate(2026, 12, 8), port);
}

struct Job {
    const char *name;
    std::function<bool(int)> run;
};

const Job kJobs[] = {
    {"cheque", [](int port) { return printCheque(port); }},
    {"copy", [](int port) { return printCopy(sampleCopy(), port); }},
};

QStringList pageLines(const std::string &page)
{
    QStringList lines = QString::fromStdString(page).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class PrintJobs : public testing::Test {
protected:
    PrintJobs()
    {
        map.set(kPort, printer.url());
        lumoraCalls().clear();
        lumoraRefusing().clear();
    }

    void command(const std::string &line)
    {
        ASSERT_EQ(printer.control(line).rfind("ok", 0), 0u) << line;
    }

    // One error box with the job's title and icon.
    void expectOnlyError(const QString &text)
    {
        ASSERT_EQ(presenter.boxes.size(), 1);
        EXPECT_EQ(presenter.boxes[0].title, QStringLiteral("Norvel Cheque"));
        EXPECT_EQ(presenter.boxes[0].icon, MessagePresenter::Icon::Error);
        EXPECT_EQ(presenter.boxes[0].text, text);
        presenter.boxes.clear();
    }

    // The library holds no connection: the job closed what it opened.
    void expectPortClosed()
    {
        EXPECT_EQ(Lumora_Fecha(), 0);
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
        lumoraCalls().clear();
    }

    const LumoraCall *lastCall(const char *name) const
    {
        for (qsizetype i = lumoraCalls().size() - 1; i >= 0; --i)
            if (lumoraCalls()[i].name == name)
                return &lumoraCalls()[i];
        return nullptr;
    }

    VirtualPrinterProcess printer{VIRTUAL_PRINTER_PATH};
    PortMapFile map;
    RecordingPresenter presenter;
};

} // namespace

TEST_F(PrintJobs, PortThatDoesNotOpenGivesTheFirstMessageAndClosesNothing)
{
    map.set(kPort + 1, "rfc2217://127.0.0.1:1");
    for (const Job &job : kJobs) {
        SCOPED_TRACE(job.name);
        EXPECT_FALSE(job.run(kPort + 1));
        expectOnlyError(kOpenFailed);
        EXPECT_EQ(lumoraCallSummary(), "Lumora_Abre");
        lumoraCalls().clear();
    }
}

TEST_F(PrintJobs, PrinterOffGivesTheSecondMessageAndClosesThePort)
{
    command("power off");
    for (const Job &job : kJobs) {
        SCOPED_TRACE(job.name);
        EXPECT_FALSE(job.run(kPort));
        expectOnlyError(kOff);
        EXPECT_EQ(lumoraCallSummary(), "Lumora_Abre Lumora_Status:0 Lumora_Fecha");
        expectPortClosed();
    }
}

TEST_F(PrintJobs, NoPaperOrBusyGivesTheThirdMessageWithoutAskingQuery3)
{
    for (const char *setting : {"paper off", "busy 60000"}) {
        command(setting);
        for (const Job &job : kJobs) {
            SCOPED_TRACE(std::string(setting) + ", " + job.name);
            EXPECT_FALSE(job.run(kPort));
            expectOnlyError(kNoPaperOrBusy);
            EXPECT_EQ(lumoraCallSummary(), "Lumora_Abre Lumora_Status:0 Lumora_Status:2 Lumora_Fecha");
            expectPortClosed();
        }
        command("paper on");
        command("busy 0");
    }
    EXPECT_EQ(printer.output().find("ESC "), std::string::npos) << "nothing was sent";
}

TEST_F(PrintJobs, ChequeReachesThePrinterInOrderAndIsComposedByTheBankLayout)
{
    {
        PrinterSession session(kPort);
        ASSERT_TRUE(session.isOpen());
        ASSERT_EQ(session.status(), PrinterStatus::Ok);
        ASSERT_TRUE(session.programBankLayout(237, BankLayout().encode()));
    }
    ASSERT_TRUE(printer.waitForLog("layout of bank 237 stored")) << printer.output();
    lumoraCalls().clear();

    EXPECT_TRUE(printCheque());
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(lumoraCallSummary(), kStatusOk + " Lumora_CampoCheque:2 Lumora_CampoCheque:0 "
                                               "Lumora_CampoCheque:1 Lumora_CampoCheque:4 "
                                               "Lumora_CampoCheque:3 Lumora_ImprimeCheque Lumora_Fecha");
    QByteArrayList texts;
    for (const LumoraCall &call : lumoraCalls())
        if (call.name == "Lumora_CampoCheque")
            texts << call.bytes;
    EXPECT_EQ(texts, (QByteArrayList{"237", "Jos\xE9 da Silva", "S\xE3o Paulo", "081226", "123456"}));
    expectPortClosed();

    // The printer saw the frames in that order, the amount last.
    ASSERT_TRUE(printer.waitForLog("cheque printed, bank 237")) << printer.output();
    const std::string page = printer.page("cheque-0001.txt");
    const std::string log = printer.output();
    std::size_t at = log.find("layout of bank 237 stored");
    for (const char *frame : {"ESC B 237", "ESC F \"José da Silva\"", "ESC C \"São Paulo\"",
                              "ESC D 081226", "ESC V \"123456\": cheque printed, bank 237"}) {
        const std::size_t next = log.find(frame, at);
        ASSERT_NE(next, std::string::npos) << frame << "\n" << log;
        at = next;
    }

    // Default layout: value on line 1 up to column 80, words from line 5
    // column 8, payee on line 7 column 1, city ending at column 52 on line 12
    // with day, month and year at columns 54, 60 and 75.
    const QStringList lines = pageLines(page);
    ASSERT_EQ(lines.size(), 20) << page;
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("1.234,56"))) << page;
    EXPECT_EQ(lines[0].size(), 80) << page;
    EXPECT_EQ(lines[4].indexOf(QStringLiteral("UM MIL")), 8) << page;
    EXPECT_EQ(lines[6].indexOf(QStringLiteral("José da Silva")), 1) << page;
    EXPECT_EQ(lines[11].indexOf(QStringLiteral("São Paulo")), 52 - 9) << page;
    EXPECT_EQ(lines[11].indexOf(QStringLiteral("08")), 54) << page;
    EXPECT_EQ(lines[11].indexOf(QStringLiteral("dezembro")), 60) << page;
    EXPECT_EQ(lines[11].indexOf(QStringLiteral("2026")), 75) << page;
}

TEST_F(PrintJobs, FieldTextCannotEndOrOpenAFrame)
{
    PrinterSession session(kPort);
    ASSERT_TRUE(session.isOpen());
    EXPECT_TRUE(session.sendField(ChequeField::Favorecido,
                                  QStringLiteral("Loja $1") + QChar(0x1B) + QStringLiteral("V9")));
    EXPECT_EQ(lastCall("Lumora_CampoCheque")->bytes, QByteArray("Loja ?1?V9"));
}

TEST_F(PrintJobs, CopyWithSeventyCharacterWordsInstallmentAndDescription)
{
    const ChequeCopy copy = sampleCopy();
    EXPECT_TRUE(printCopy(copy));
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(lumoraCallSummary(), kStatusOk + " Lumora_EnviaBloco Lumora_Ejeta Lumora_Fecha");
    const QByteArray sent = lastCall("Lumora_EnviaBloco")->bytes;
    EXPECT_EQ(sent, *chequeCopyText(copy));
    EXPECT_TRUE(sent.contains("CENTAVOS\n" + QByteArray(10, ' ') + "\n\n\n\n"));
    EXPECT_TRUE(sent.contains("Num. Parcela: 3\xA6/12\n"));
    expectPortClosed();

    ASSERT_TRUE(printer.waitForLog("FF after " + std::to_string(sent.size()) + " bytes of text"))
        << printer.output();
    const QStringList lines = pageLines(printer.page("document-0001.txt"));
    ASSERT_EQ(lines.size(), 19) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0], QString(60, u' ') + QStringLiteral("R$ 1294,55"));
    EXPECT_EQ(lines[2], QString(10, u' ')
                            + QStringLiteral("UM MIL, DUZENTOS E NOVENTA E QUATRO REAIS E CINQUENTA E "
                                             "CINCO CENTAVOS"));
    EXPECT_EQ(lines[3], QString()); // the indent-only line
    EXPECT_EQ(lines[7], QString(40, u' ') + QStringLiteral("São Paulo,8 de dezembro de 2026"));
    EXPECT_EQ(lines[11], QStringLiteral("     Num. Parcela: 3ª/12"));
    EXPECT_EQ(lines[17], QString(36, u' ') + QStringLiteral("DESCRICAO"));
    EXPECT_EQ(lines[18], QStringLiteral("     Aluguel"));
}

TEST_F(PrintJobs, CopyWithoutInstallmentOrDescriptionEndsWithTheAccount)
{
    ChequeCopy copy = sampleCopy();
    copy.parcela.clear();
    copy.descricao.clear();
    copy.valor = QStringLiteral("1234,56");
    EXPECT_TRUE(printCopy(copy));
    ASSERT_TRUE(printer.waitForLog("FF after")) << printer.output();
    const QStringList lines = pageLines(printer.page("document-0001.txt"));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), QStringLiteral("     Conta       : 98765-4"));
    EXPECT_FALSE(lines.join(u'\n').contains(QStringLiteral("Parcela")));
    EXPECT_EQ(lines.size(), 14);
}

TEST_F(PrintJobs, CopyNotEjectedWhenTheSendFails)
{
    lumoraRefusing() = "Lumora_EnviaBloco";
    EXPECT_FALSE(printCopy(sampleCopy()));
    expectOnlyError(notSent("a cópia do cheque"));
    EXPECT_EQ(lumoraCallSummary(), kStatusOk + " Lumora_EnviaBloco Lumora_Fecha");
    expectPortClosed();

    lumoraRefusing() = "Lumora_Ejeta";
    EXPECT_FALSE(printCopy(sampleCopy()));
    expectOnlyError(notSent("a cópia do cheque"));
    expectPortClosed();
}

// A refused field or print command is no printed cheque: the job stops at
// the refusal, says so and closes the port.
TEST_F(PrintJobs, ChequeRefusedByTheLibraryIsAFailure)
{
    const std::pair<const char *, QByteArray> cases[] = {
        {"Lumora_CampoCheque", kStatusOk + " Lumora_CampoCheque:2 Lumora_Fecha"},
        {"Lumora_ImprimeCheque", kStatusOk + " Lumora_CampoCheque:2 Lumora_CampoCheque:0 Lumora_CampoCheque:1 "
                                             "Lumora_CampoCheque:4 Lumora_CampoCheque:3 Lumora_ImprimeCheque "
                                             "Lumora_Fecha"},
    };
    for (const auto &[refused, calls] : cases) {
        SCOPED_TRACE(refused);
        lumoraRefusing() = refused;
        EXPECT_FALSE(printCheque());
        expectOnlyError(notSent("o cheque"));
        EXPECT_EQ(lumoraCallSummary(), calls);
        expectPortClosed();
    }
}

TEST_F(PrintJobs, AmountNoChequeCarriesIsRefusedBeforeThePortOpens)
{
    for (const Money valor : {Money::fromCentavos(Money::MaxCentavos + 1), Money::fromCentavos(-5)}) {
        SCOPED_TRACE(valor.toText().toStdString());
        EXPECT_FALSE(ImprimeChequeImpressora(QStringLiteral("237"), QString(), QStringLiteral("Rio"), valor,
                                             QDate(2026, 12, 8), kPort));
        const ChequeCopy c = sampleCopy();
        EXPECT_FALSE(ImprimeCopiaCheque(c.numeroBanco, c.nomeBanco, c.agencia, c.favorecido, c.cidade,
                                        c.numeroCheque, c.conta, valor, c.descricao, c.parcela, c.data, kPort));
        ASSERT_EQ(presenter.boxes.size(), 2);
        for (const auto &box : presenter.boxes)
            EXPECT_EQ(box.text, Money::invalidText(valor.toText()) + QStringLiteral("\nPor favor verifique o valor do cheque."));
        presenter.boxes.clear();
        EXPECT_EQ(lumoraCallSummary(), "");
    }
}

TEST_F(PrintJobs, BankNumberOtherThanThreeDigitsIsRefusedBeforeThePortOpens)
{
    for (const char *bank : {"", "23", "2370", "2a7", "\u0662\u0663\u0667"}) {
        SCOPED_TRACE(bank);
        EXPECT_FALSE(ImprimeChequeImpressora(QString::fromUtf8(bank), QString(), QStringLiteral("Rio"),
                                             Money::fromCentavos(100), QDate(2026, 12, 8), kPort));
        expectOnlyError(QStringLiteral("O número do banco \"%1\" não é válido.\n"
                                       "Por favor informe o número do banco com três dígitos.")
                            .arg(QString::fromUtf8(bank)));
        EXPECT_EQ(lumoraCallSummary(), "");
    }
}

TEST_F(PrintJobs, CopyOfAnAmountThatIsNotANumberSendsNothing)
{
    ChequeCopy copy = sampleCopy();
    copy.valor = QStringLiteral("12x");
    EXPECT_FALSE(printCopy(copy));
    expectOnlyError(QStringLiteral("O valor \"12x\" não é um valor válido.\n"
                                   "Por favor verifique o valor do cheque."));
    EXPECT_EQ(lumoraCallSummary(), "");
    expectPortClosed();
}

TEST_F(PrintJobs, ChequeAmountIsReadAsTheCopyReadsIt)
{
    // "1234,5" is 1.234,50 for the copy; the cheque must not print 123,45.
    EXPECT_TRUE(ImprimeChequeImpressora(QStringLiteral("237"), QString(), QStringLiteral("Rio"),
                                        *LeValorCheque(QStringLiteral(" 1234,5")), QDate(2026, 12, 8), kPort));
    QByteArray amount;
    for (const LumoraCall &call : lumoraCalls())
        if (call.name == "Lumora_CampoCheque")
            amount = call.bytes;
    EXPECT_EQ(amount, "123450");

    // A text that is no amount: its message, and the port never opened.
    lumoraCalls().clear();
    const std::optional<Money> naoValor = LeValorCheque(QStringLiteral("12,3,4"));
    EXPECT_FALSE(naoValor
                 && ImprimeChequeImpressora(QStringLiteral("237"), QString(), QStringLiteral("Rio"),
                                            *naoValor, QDate(2026, 12, 8), kPort));
    expectOnlyError(QStringLiteral("O valor \"12,3,4\" não é um valor válido.\n"
                                   "Por favor verifique o valor do cheque."));
    EXPECT_EQ(lumoraCallSummary(), "");
}

// A printer killed during the line settings, or part way through the
// cheque's frames, has printed nothing: the job fails with its message.
// (Killed inside the last frame, once every byte has left, it cannot be told
// from a printer that prints and says nothing.)
TEST(PrintJobOnAKilledPrinter, FailsWithItsMessage)
{
    RecordingPresenter presenter;
    PortMapFile map;
    const auto job = [] {
        return ImprimeChequeImpressora(QStringLiteral("237"),
                                       QStringLiteral("Cooperativa Agropecuária dos Produtores do Vale do Paraíba Ltda."),
                                       QStringLiteral("São José dos Campos"), Money::fromCentavos(123456),
                                       QDate(2026, 12, 8), kPort);
    };

    // What a printer that lives receives: the open (the telnet offer, then
    // the line settings, the modem-state mask last), then the job.
    std::size_t settingsAt = 0, openBytes = 0, jobBytes = 0;
    {
        FakeRfc2217Server alive;
        map.set(kPort, alive.url());
        ASSERT_TRUE(job());
        alive.waitForData(111); // the frames of the cheque
        const std::string raw = alive.raw();
        settingsAt = raw.find("\xFF\xFA\x2C\x01");
        openBytes = raw.find("\xFF\xF0", raw.find("\xFF\xFA\x2C\x0B")) + 2;
        ASSERT_LT(settingsAt, openBytes);
        jobBytes = raw.size() - openBytes;
        ASSERT_EQ(jobBytes, 181u);
    }

    const struct {
        const char *when;
        std::size_t dieAfter;
        QString message;
    } cases[] = {
        {"during the line settings", (settingsAt + openBytes) / 2, kOpenFailed},
        {"after 45 bytes of the job", openBytes + 45, notSent("o cheque")},
        {"after 90 bytes of the job", openBytes + 90, notSent("o cheque")},
        {"after 135 bytes of the job", openBytes + 135, notSent("o cheque")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.when);
        FakeRfc2217Server dying({.dieAfter = c.dieAfter});
        map.set(kPort, dying.url());
        EXPECT_FALSE(job());
        ASSERT_EQ(presenter.boxes.size(), 1);
        EXPECT_EQ(presenter.boxes[0].text, c.message);
        presenter.boxes.clear();
        EXPECT_EQ(Lumora_Fecha(), 0) << "the job closes what it opened";
    }
}

TEST(FiltraTeclaNumerica, KeepsDigitsBackspaceAndDelete)
{
    for (char16_t code : {u'0', u'5', u'9', char16_t(8), char16_t(127)}) {
        QChar key(code);
        EXPECT_EQ(FiltraTeclaNumerica(key), QChar(code));
        EXPECT_EQ(key, QChar(code));
    }
    for (char16_t code : {u'a', u' ', u',', u'-', char16_t(13), u'\u0663'}) {
        QChar key(code);
        EXPECT_EQ(FiltraTeclaNumerica(key), QChar(0)) << int(code);
        EXPECT_EQ(key, QChar(0));
    }
}
