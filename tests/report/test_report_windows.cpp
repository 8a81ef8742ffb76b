// The report's windows, answered through the message seam.
#include "ReportTest.h"

#include "RecordingPresenter.h"
#include "ReportWindows.h"

#include <QAction>
#include <QComboBox>
#include <QPrintPreviewWidget>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTimer>

using namespace norvel::report;

namespace {

// Answers "Output Options" with a destination and, for a file, a format;
// records the formats it offered.
RecordingPresenter::DialogAnswer choose(OutputOptionsDialog::Destination destination,
                                        FileFormat format = FileFormat::Pdf, QStringList *offered = nullptr)
{
    return [=](QDialog &dialog) {
        auto *options = qobject_cast<OutputOptionsDialog *>(&dialog);
        if (!options)
            return int(QDialog::Rejected);
        if (offered) {
            auto *combo = options->findChild<QComboBox *>(QStringLiteral("cbFormat"));
            for (int i = 0; combo && i < combo->count(); ++i)
                offered->append(combo->itemText(i));
        }
        options->findChild<QRadioButton *>(destination == OutputOptionsDialog::Destination::File      ? QStringLiteral("rbFile")
                                           : destination == OutputOptionsDialog::Destination::Printer ? QStringLiteral("rbPrinter")
                                                                                                       : QStringLiteral("rbPreview"))
            ->click();
        options->setFormat(format);
        return int(QDialog::Accepted);
    };
}

} // namespace

TEST(OutputOptions, OffersTheCallersFormatsAndSavesTheChosenOne)
{
    QTemporaryDir dir;
    RecordingPresenter presenter;
    SyntheticCheques data(120);
    QStringList offered;
    presenter.dialogs.append(choose(OutputOptionsDialog::Destination::File, FileFormat::Text, &offered));
    presenter.files.append({dir.filePath(QStringLiteral("predatados")), QString()});

    EXPECT_TRUE(executaRelatorio(QStringLiteral(RELATORIO), data, {FileFormat::Html, FileFormat::Text}));
    EXPECT_EQ(presenter.dialogTitles, QStringList{QStringLiteral("Output Options")});
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Web Page (HTML) (*.html *.htm)"),
                                    QStringLiteral("Plain Text (TXT) (*.txt)")}));
    ASSERT_EQ(presenter.fileRequests.size(), 1);
    EXPECT_EQ(presenter.fileRequests[0].second, QStringLiteral("Plain Text (TXT) (*.txt)"));
    const QString text = readAll(dir.filePath(QStringLiteral("predatados.txt")));
    EXPECT_TRUE(text.contains(QStringLiteral("Quantidade de cheques: 120"))) << "suffix added to a bare name";
    EXPECT_TRUE(text.contains(SyntheticCheques::totalText(120)));
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST(OutputOptions, CancelledWindowsDoNothingFurther)
{
    RecordingPresenter presenter;
    SyntheticCheques data(10);
    EXPECT_FALSE(executaRelatorio(QStringLiteral(RELATORIO), data)); // Output Options cancelled
    presenter.dialogs.append(choose(OutputOptionsDialog::Destination::File));
    EXPECT_FALSE(executaRelatorio(QStringLiteral(RELATORIO), data)); // file dialog cancelled
    presenter.dialogs.append(choose(OutputOptionsDialog::Destination::Printer));
    EXPECT_FALSE(executaRelatorio(QStringLiteral(RELATORIO), data)); // print dialog cancelled
    EXPECT_EQ(presenter.dialogTitles.size(), 3);
    EXPECT_EQ(presenter.fileRequests.size(), 1);
    EXPECT_EQ(presenter.printerRequests, 1);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST(OutputOptions, PrinterJobIsNamedAndPrintsEveryRow)
{
    QTemporaryDir dir;
    RecordingPresenter presenter;
    SyntheticCheques data(300);
    presenter.dialogs.append(choose(OutputOptionsDialog::Destination::Printer));
    const QString pdf = dir.filePath(QStringLiteral("impressora.pdf"));
    presenter.printers.append(pdf);

    EXPECT_TRUE(executaRelatorio(QStringLiteral(RELATORIO), data));
    EXPECT_EQ(pdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("ReportPrinter Report"));
    const QString text = pdfText(pdf);
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("Favorecido \\d{6}"))), 300);
    EXPECT_TRUE(text.contains(SyntheticCheques::totalText(300)));
}

TEST(ReportPreview, OpensAtFullSizeWithPageNavigationAndPrints)
{
    QTemporaryDir dir;
    RecordingPresenter presenter;
    SyntheticCheques data(200);
    presenter.dialogs.append(choose(OutputOptionsDialog::Destination::Preview));
    const QString pdf = dir.filePath(QStringLiteral("da-visualizacao.pdf"));
    presenter.printers.append(pdf);
    int pages = 0;
    presenter.dialogs.append([&](QDialog &dialog) {
        auto *preview = dialog.findChild<QPrintPreviewWidget *>(QStringLiteral("preview"));
        EXPECT_TRUE(preview);
        if (!preview)
            return int(QDialog::Rejected);
        EXPECT_EQ(preview->zoomMode(), QPrintPreviewWidget::CustomZoom);
        EXPECT_DOUBLE_EQ(preview->zoomFactor(), 1.0);
        pages = preview->pageCount();
        EXPECT_EQ(preview->currentPage(), 1);
        dialog.findChild<QAction *>(QStringLiteral("actNext"))->trigger();
        EXPECT_EQ(preview->currentPage(), 2);
        dialog.findChild<QAction *>(QStringLiteral("actLast"))->trigger();
        EXPECT_EQ(preview->currentPage(), pages);
        dialog.findChild<QAction *>(QStringLiteral("actNext"))->trigger();
        EXPECT_EQ(preview->currentPage(), pages) << "no page after the last";
        dialog.findChild<QAction *>(QStringLiteral("actPrint"))->trigger();
        return int(QDialog::Accepted);
    });

    EXPECT_TRUE(executaRelatorio(QStringLiteral(RELATORIO), data));
    EXPECT_EQ(presenter.dialogTitles, (QStringList{QStringLiteral("Output Options"), QStringLiteral("Report Preview")}));
    EXPECT_GE(pages, 4);
    EXPECT_EQ(pdfInfo(pdf, QStringLiteral("Pages")).toInt(), pages);
    EXPECT_EQ(pdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("ReportPrinter Report"));
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("Página %1 de %1").arg(pages)));
}

// Events flow while a report runs; a second click on the window's report
// button among them must not start a report inside the first.
TEST(ReportStatus, NoSecondReportWhileOneRuns)
{
    QTemporaryDir dir;
    RecordingPresenter presenter;
    SyntheticCheques data(500);
    SyntheticCheques other(10);
    presenter.dialogs.append(choose(OutputOptionsDialog::Destination::File, FileFormat::Text));
    presenter.files.append({dir.filePath(QStringLiteral("um.txt")), QString()});
    int nested = -1;
    QTimer::singleShot(0, [&] { nested = executaRelatorio(QStringLiteral(RELATORIO), other); });

    EXPECT_TRUE(executaRelatorio(QStringLiteral(RELATORIO), data));
    EXPECT_EQ(nested, 0) << "the nested call ran, or never came";
    EXPECT_EQ(presenter.dialogTitles.size(), 1);
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("um.txt"))).contains(QStringLiteral("Quantidade de cheques: 500")));
}

TEST(ReportStatus, CountsPagesAndCancels)
{
    ReportStatusWindow status;
    EXPECT_EQ(status.windowTitle(), QStringLiteral("Report Status"));
    EXPECT_TRUE(status.pageDone(Progress::Stage::Generating, 3));
    EXPECT_EQ(status.statusText(), QStringLiteral("Generating page 3"));
    EXPECT_TRUE(status.pageDone(Progress::Stage::Printing, 12));
    EXPECT_EQ(status.statusText(), QStringLiteral("Printing page 12"));
    status.findChild<QAbstractButton *>(QStringLiteral("btCancel"))->click();
    EXPECT_FALSE(status.pageDone(Progress::Stage::Printing, 13));
}

namespace {

// A query that reads fields its model does not show, as the data module's do.
struct FakeQuery {
    SyntheticCheques rows{30};
    QStringList fieldNames() const { return SyntheticCheques::fields(); }
    QVariant value(int row, const QString &field) const { return rows.value(row, field); }
    int rowCount() const { return rows.rowCount(); }
    bool canFetchMore() const { return rows.canFetchMore(); }
    void fetchMore() { rows.fetchMore(); }
};

} // namespace

TEST(ReportData, ModelsByHeaderNameAndQueriesByFieldName)
{
    QTemporaryDir dir;
    RecordingPresenter presenter;

    // A model named by its header's user role; a missing NOMECOMPENSACAO column is named.
    QStandardItemModel model(2, 0);
    SyntheticCheques source(2);
    for (const QString &field : SyntheticCheques::fields()) {
        if (field == QLatin1String("NOMECOMPENSACAO"))
            continue;
        const int c = model.columnCount();
        model.insertColumn(c);
        model.setHeaderData(c, Qt::Horizontal, field, Qt::UserRole);
        model.setHeaderData(c, Qt::Horizontal, field.toLower(), Qt::DisplayRole);
        for (int r = 0; r < 2; ++r)
            model.setData(model.index(r, c), source.value(r, field), Qt::EditRole);
    }
    EXPECT_FALSE(executaRelatorio(QStringLiteral(RELATORIO), model));
    EXPECT_TRUE(presenter.lastText().contains(QStringLiteral("\"NOMECOMPENSACAO\"")));
    model.insertColumn(model.columnCount());
    model.setHeaderData(model.columnCount() - 1, Qt::Horizontal, QStringLiteral("NOMECOMPENSACAO"), Qt::UserRole);
    presenter.dialogs.append(choose(OutputOptionsDialog::Destination::File, FileFormat::Html));
    presenter.files.append({dir.filePath(QStringLiteral("modelo.html")), QString()});
    EXPECT_TRUE(executaRelatorio(QStringLiteral(RELATORIO), model));
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("modelo.html"))).contains(SyntheticCheques::totalText(2)));

    FakeQuery query;
    presenter.dialogs.append(choose(OutputOptionsDialog::Destination::File, FileFormat::Html));
    presenter.files.append({dir.filePath(QStringLiteral("consulta.html")), QString()});
    EXPECT_TRUE(executaRelatorio(QStringLiteral(RELATORIO), query));
    EXPECT_EQ(htmlRows(readAll(dir.filePath(QStringLiteral("consulta.html")))), 30);
}
