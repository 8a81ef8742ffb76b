#pragma once

#include <QString>
#include <QStringList>

// One page as it leaves the printer: its lines of text, each no wider than
// the page, and what the printer noticed while composing it.
struct PrintedPage {
    enum class Kind { Cheque, Document };

    static constexpr int kColumns = 80;
    static constexpr int kChequeLines = 20;
    // A document's page ends here: its picture stays a few tens of MB.
    static constexpr int kDocumentLines = 300;

    Kind kind = Kind::Document;
    QString title; // "Banco 237" for a cheque
    QStringList lines;
    QStringList warnings;
};
