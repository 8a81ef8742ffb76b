#include "Relatorio.h"

#include "DialogPresenter.h"
#include "MessagePresenter.h"
#include "ReportWindows.h"
#include "TituloPrograma.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QScopeGuard>
#include <QStandardPaths>

namespace norvel::report {

namespace {

const QString jobName = QStringLiteral("ReportPrinter Report");

void showError(const QString &text)
{
    if (!text.isEmpty())
        messages().show(TituloPrograma, text, MessagePresenter::Icon::Error);
}

std::optional<ReportDefinition> loadChecked(const QString &arquivo, const DataSet &dados, QString *erro)
{
    auto report = loadReport(arquivo, erro);
    if (!report)
        return std::nullopt;
    *erro = missingFieldError(*report, dados);
    if (!erro->isEmpty())
        return std::nullopt;
    return report;
}

void preparePrinter(QPrinter &printer, const ReportDefinition &report)
{
    printer.setDocName(jobName);
    printer.setPageLayout(report.pageLayout());
    // The report places its own margins from the paper's edge.
    printer.setFullPage(true);
}

// Pages the print dialog chose, or all of them.
std::pair<int, int> pageRange(const QPrinter &printer)
{
    if (printer.printRange() != QPrinter::PageRange)
        return {0, 0};
    return {printer.fromPage(), printer.toPage()};
}

bool toPrinter(const ReportDefinition &report, DataSet &dados, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, report);
    if (!dialogs().choosePrinter(printer))
        return false;
    ReportStatusWindow status(parent);
    status.show();
    ReportEngine engine(report, dados);
    engine.setProgress(&status);
    const auto [from, to] = pageRange(printer);
    const bool ok = engine.print(printer, from, to);
    status.close();
    showError(engine.errorString());
    return ok;
}

bool toPreview(const ReportDefinition &report, DataSet &dados, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, report);
    ReportEngine engine(report, dados);
    ReportPreviewDialog preview(
        printer,
        [&](QPrinter &device, bool printing) {
            ReportStatusWindow status(parent);
            status.show();
            engine.setProgress(&status);
            const auto [from, to] = printing ? pageRange(device) : std::pair{0, 0};
            const bool ok = engine.print(device, from, to);
            engine.setProgress(nullptr);
            status.close();
            showError(engine.errorString());
            return ok;
        },
        parent);
    if (!preview.generate())
        return false;
    dialogs().runModal(preview);
    return true;
}

// The folder a report was last saved in during this run.
QString lastFolder;

// Where the save dialog opens: the last folder used, else the user's
// documents folder, made when missing, as the dialog opens a folder that
// does not exist in the working folder, which is the program's own.
QString saveFolder()
{
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        return lastFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir().mkpath(documents) ? documents : QDir::homePath();
}

bool toFile(const ReportDefinition &report, DataSet &dados, FileFormat format, QWidget *parent)
{
    const QString suggested =
        QDir(saveFolder()).filePath(QFileInfo(report.fileName).completeBaseName() + u'.' + defaultSuffix(format));
    QString chosen;
    QString path = messages().saveFileName(QStringLiteral("Salvar relatório como"), suggested, fileFilter(format), &chosen);
    if (path.isEmpty())
        return false;
    lastFolder = QFileInfo(path).absolutePath();
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + defaultSuffix(format);
    ReportStatusWindow status(parent);
    status.show();
    ReportEngine engine(report, dados);
    engine.setProgress(&status);
    const bool ok = engine.writeFile(format, path);
    status.close();
    showError(engine.errorString());
    return ok;
}

} // namespace

QList<FileFormat> todosOsFormatos() { return {FileFormat::Pdf, FileFormat::Html, FileFormat::Text}; }

bool executaRelatorio(const QString &arquivo, DataSet &dados, const QList<FileFormat> &formatos, QWidget *parent)
{
    // The status window lets events through while a report runs; a second
    // report started from one of them would read the same data set midway.
    static bool running = false;
    if (running)
        return false;
    running = true;
    const auto done = qScopeGuard([] { running = false; });

    QString erro;
    const auto report = loadChecked(arquivo, dados, &erro);
    if (!report) {
        showError(erro);
        return false;
    }
    OutputOptionsDialog options(formatos, parent);
    if (dialogs().runModal(options) != QDialog::Accepted)
        return false;
    switch (options.destination()) {
    case OutputOptionsDialog::Destination::Printer:
        return toPrinter(*report, dados, parent);
    case OutputOptionsDialog::Destination::Preview:
        return toPreview(*report, dados, parent);
    case OutputOptionsDialog::Destination::File:
        return toFile(*report, dados, options.format(), parent);
    }
    return false;
}

bool executaRelatorio(const QString &arquivo, QAbstractItemModel &dados, const QList<FileFormat> &formatos,
                      QWidget *parent)
{
    ModelDataSet conjunto(dados);
    return executaRelatorio(arquivo, static_cast<DataSet &>(conjunto), formatos, parent);
}

bool gravaRelatorio(const QString &arquivo, DataSet &dados, FileFormat formato, const QString &destino,
                    QString *erro, Progress *progresso)
{
    const auto report = loadChecked(arquivo, dados, erro);
    if (!report)
        return false;
    ReportEngine engine(*report, dados);
    engine.setProgress(progresso);
    const bool ok = engine.writeFile(formato, destino);
    *erro = engine.errorString();
    return ok;
}

} // namespace norvel::report
