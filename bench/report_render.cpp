// The single-cheque report over synthetic cheques: 10,000 to PDF, HTML and
// plain text (median of the runs), then 100,000 to PDF with the process's
// peak memory.
//   report_render_bench [runs]
#include "Relatorio.h"
#include "SyntheticCheques.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace norvel::report;

namespace {

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Seconds of one run, from loading the report file to the closed output.
double render(int rows, FileFormat format, const QString &path)
{
    SyntheticCheques data(rows);
    QString error;
    const auto start = std::chrono::steady_clock::now();
    if (!gravaRelatorio(QStringLiteral(RELATORIO), data, format, path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;

    std::printf("peak RSS before: %.1f MB\n", peakRssKb() / 1024.0);
    for (FileFormat format : todosOsFormatos()) {
        const QString path = dir.filePath(QStringLiteral("10000.") + defaultSuffix(format));
        std::vector<double> times;
        for (int i = 0; i < runs; ++i)
            times.push_back(render(10000, format, path));
        std::sort(times.begin(), times.end());
        std::printf("10,000 cheques to %-4s median %.3f s (min %.3f, max %.3f), %.1f MB file\n",
                    qPrintable(defaultSuffix(format)), times[times.size() / 2], times.front(), times.back(),
                    QFileInfo(path).size() / 1e6);
    }
    std::printf("peak RSS after the 10,000 runs: %.1f MB\n", peakRssKb() / 1024.0);

    const QString big = dir.filePath(QStringLiteral("100000.pdf"));
    const double seconds = render(100000, FileFormat::Pdf, big);
    std::printf("100,000 cheques to pdf: %.2f s, %.1f MB file, peak RSS %.1f MB\n", seconds,
                QFileInfo(big).size() / 1e6, peakRssKb() / 1024.0);
    return 0;
}
