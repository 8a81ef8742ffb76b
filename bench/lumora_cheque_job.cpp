// Time of one whole cheque job as the program runs it (open, three status
// queries, five fields, print, close), against each kind of port, beside the
// time its bytes take on a real 9600-baud 8N2 line.
#include <benchmark/benchmark.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "FakeRfc2217Server.h"
#include "Lumora.h"
#include "PortMapFile.h"
#include "PtyPeer.h"
#include "VirtualPrinterProcess.h"

namespace {

struct Field {
    uint32_t code;
    const char *text;
    int frameBytes;
};

// The program's order: bank, payee, city, date, then the amount (held back).
const Field kFields[] = {
    {LUMORA_CAMPO_BANCO, "237", 2 + 3},
    {LUMORA_CAMPO_FAVORECIDO, "FULANO DE TAL", 2 + 13 + 1},
    {LUMORA_CAMPO_CIDADE, "SAO PAULO", 2 + 9 + 1},
    {LUMORA_CAMPO_DATA, "081226", 2 + 6},
    {LUMORA_CAMPO_VALOR, "123456", 2 + 6 + 1},
};
const char kLayout[] = "051020070515081015030560121520304050";

double wireMilliseconds()
{
    int bytes = 0;
    for (const auto &f : kFields)
        bytes += f.frameBytes;
    return bytes * 11 * 1000.0 / 9600; // start, 8 data, 2 stop bits
}

bool chequeJob(int port)
{
    if (!Lumora_Abre(port))
        return false;
    benchmark::DoNotOptimize(Lumora_Status(port, 0) + Lumora_Status(port, 2) + Lumora_Status(port, 3));
    bool ok = true;
    for (const auto &f : kFields)
        ok = Lumora_CampoCheque(port, f.code, f.text) && ok;
    ok = Lumora_ImprimeCheque(port) && ok;
    return Lumora_Fecha() && ok;
}

void chequeJobBenchmark(benchmark::State &state, int port)
{
    for (auto _ : state) {
        if (!chequeJob(port)) {
            state.SkipWithError("cheque job failed");
            break;
        }
    }
    state.counters["wire_ms"] = wireMilliseconds();
}

void registerJob(const char *name, int port)
{
    benchmark::RegisterBenchmark(name, chequeJobBenchmark, port)
        ->Iterations(1)
        ->Repetitions(200)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
}

// Keeps the pseudo-terminal's master side read, as a printer would.
class DrainedPty {
public:
    DrainedPty()
        : reader_([this] {
              while (!stop_)
                  peer_.receiveAll(20);
          })
    {
    }
    ~DrainedPty()
    {
        stop_ = true;
        reader_.join();
    }
    const std::string &path() const { return peer_.slavePath(); }

private:
    PtyPeer peer_;
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

std::string besideThisProgram(const char *name)
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

} // namespace

int main(int argc, char **argv)
{
    PortMapFile map;
    FakeRfc2217Server fake;
    DrainedPty pty;
    map.set(1, fake.url());
    map.set(2, pty.path());
    registerJob("ChequeJob/FakeRfc2217Server", 1);
    registerJob("ChequeJob/PseudoTerminal", 2);

    std::unique_ptr<VirtualPrinterProcess> printer;
    const std::string program = besideThisProgram("virtual-printer");
    if (std::filesystem::exists(program)) {
        printer = std::make_unique<VirtualPrinterProcess>(program);
        map.set(3, printer->url());
        // The printer refuses cheques of a bank whose layout it does not know.
        if (Lumora_Abre(3) && Lumora_ProgramaBancos(3, 237, kLayout) && Lumora_Fecha())
            registerJob("ChequeJob/VirtualPrinter", 3);
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
