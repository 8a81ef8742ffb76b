#pragma once

#include "PrintedPage.h"

#include <QFont>
#include <QImage>

// Draws a printed page as a picture: a cheque on a simple cheque form, a
// document on a plain sheet. Needs a QGuiApplication (fonts).
class PageRenderer {
public:
    PageRenderer();

    // False when the DejaVu Sans Mono file was not found and a generic
    // monospace font stands in.
    bool hasPrinterFont() const { return printerFont_; }

    QImage render(const PrintedPage& page) const;

private:
    QFont font_;
    bool printerFont_ = false;
};
