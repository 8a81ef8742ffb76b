#pragma once

#include "ChequeLayout.h"
#include "PrintedPage.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

// What the printer holds for the next cheque, as the frames delivered it.
struct ChequeFields {
    std::optional<std::string> bank; // digits as received
    QString payee;
    QString city;
    std::optional<std::string> date; // DDMMYY
};

// The amount digits of a print command (reais and centavos run together) as
// a value; none when they are empty, hold a non-digit or exceed what the
// amount in words can spell (999.999.999.999,99).
struct ChequeAmount {
    long long centavos = 0;

    static std::optional<ChequeAmount> fromDigits(std::string_view digits);
    QString text() const;  // "1.234,56"
    QString words() const; // the amount in words
};

// Lays a cheque out on the 20 x 80 page by its bank's layout. Columns count
// from 0; a field "between" two columns covers [first, last), so column 80
// is the right edge of the page.
PrintedPage composeCheque(const ChequeLayout& layout, const ChequeFields& fields, const ChequeAmount& amount);

// Breaks the amount in words at word boundaries over two lines of the given
// widths; what does not fit on the second line is cut, and reported.
struct WordLines {
    QString first;
    QString second;
    bool cut = false;
};
WordLines breakWords(const QString& words, int firstWidth, int secondWidth);

// Lays out a document (cheque copy, endorsement) line by line; lines longer
// than the page wrap onto the next one.
PrintedPage composeDocument(const QString& text);
