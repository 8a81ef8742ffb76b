#include "PageRenderer.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int kFontPixels = 16;
constexpr int kMargin = 28;
constexpr int kLineSpacing = 10; // extra pixels between print lines

const QColor kChequePaper(0xE6, 0xF0, 0xE4);
const QColor kChequeInk(0x3C, 0x6E, 0x4A);
const QColor kPrintInk(0x10, 0x10, 0x30);

} // namespace

PageRenderer::PageRenderer()
{
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFile));
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    printerFont_ = !families.isEmpty();
    font_ = printerFont_ ? QFont(families.first()) : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font_.setStyleHint(QFont::Monospace);
    font_.setPixelSize(kFontPixels);
}

QImage PageRenderer::render(const PrintedPage& page) const
{
    const QFontMetrics metrics(font_);
    const int cellWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    const int lineHeight = metrics.height() + kLineSpacing;
    const bool cheque = page.kind == PrintedPage::Kind::Cheque;
    const int lineCount = cheque ? PrintedPage::kChequeLines
                                 : std::max<int>(PrintedPage::kChequeLines, static_cast<int>(page.lines.size()));
    const int textTop = kMargin + (cheque ? lineHeight : 0);
    const QSize size(2 * kMargin + PrintedPage::kColumns * cellWidth,
                     textTop + lineCount * lineHeight + kMargin);

    QImage image(size, QImage::Format_RGB32);
    image.fill(cheque ? kChequePaper : Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    if (cheque) {
        // The form: a frame, the bank's name, a faint rule under each print
        // line and a signature line, as the bank prints them beforehand.
        painter.setPen(QPen(kChequeInk, 2));
        painter.drawRoundedRect(QRectF(kMargin / 2.0, kMargin / 2.0, size.width() - kMargin, size.height() - kMargin), 8, 8);
        QFont titleFont = font_;
        titleFont.setBold(true);
        painter.setFont(titleFont);
        painter.drawText(QPoint(kMargin, kMargin + metrics.ascent()), page.title.toUpper());
        painter.setPen(QPen(kChequeInk.lighter(160), 1, Qt::DotLine));
        for (int line = 0; line < lineCount; ++line) {
            const int y = textTop + (line + 1) * lineHeight - kLineSpacing / 2;
            painter.drawLine(kMargin, y, size.width() - kMargin, y);
        }
        painter.setPen(QPen(kChequeInk, 1));
        const int signatureY = textTop + (lineCount - 2) * lineHeight;
        painter.drawLine(size.width() / 2, signatureY, size.width() - kMargin, signatureY);
    }

    painter.setFont(font_);
    painter.setPen(kPrintInk);
    for (int line = 0; line < page.lines.size(); ++line) {
        const QString& text = page.lines[line];
        // Cell by cell, so that every character sits in its printer column.
        for (int column = 0; column < text.size(); ++column) {
            if (text[column] == QLatin1Char(' '))
                continue;
            painter.drawText(QPoint(kMargin + column * cellWidth, textTop + line * lineHeight + metrics.ascent()),
                             QString(text[column]));
        }
    }
    painter.end();
    return image;
}
