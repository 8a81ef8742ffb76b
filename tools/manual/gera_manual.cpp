// Renders the user manual (HTML) to the PDF the program opens from its
// Help menu. Run at build time: gera_manual <manual.html> <saida.pdf>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s <manual.html> <saida.pdf>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QFile html(QString::fromLocal8Bit(argv[1]));
    if (!html.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(html.errorString()));
        return 1;
    }

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("Manual Norvel Cheque"));
    pdf.setCreator(QStringLiteral("Norvel Cheque"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    doc.setHtml(QString::fromUtf8(html.readAll()));
    // Left without a page size, print() lays the text out at screen
    // resolution with 2 cm margins and scales it to the writer's 1200 dpi;
    // a page size in device pixels would shrink the text to a speck.
    doc.print(&pdf);
    return 0;
}
