#pragma once

#include "PageComposer.h"
#include "ProtocolInterpreter.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class LayoutStore;
class PageRenderer;
class PrintArchive;
class PrinterLog;
class PrinterState;

// The printer itself: takes the bytes off the line, keeps the cheque fields,
// stores layouts and prints cheques and documents into the archive, writing
// one log line per frame.
class VirtualPrinter : public QObject {
    Q_OBJECT
public:
    VirtualPrinter(PrinterState& state, LayoutStore& layouts, PrintArchive& archive, const PageRenderer& renderer,
                   PrinterLog& log, QObject* parent = nullptr);

    void receive(const QByteArray& bytes);

    const ChequeFields& fields() const { return fields_; }

private:
    void apply(const Frame& frame);
    void storeLayout(const std::string& text);
    void selectBank(const std::string& digits);
    void printCheque(const std::string& digits);
    void printDocument(const std::string& bytes);
    // Saves the page; returns the log text naming the files, or the failure.
    QString save(const PrintedPage& page);
    // Why the printer cannot print now, or an empty text.
    QString notReady() const;
    void powerChanged(bool on);

    PrinterState& state_;
    LayoutStore& layouts_;
    PrintArchive& archive_;
    const PageRenderer& renderer_;
    PrinterLog& log_;
    ProtocolInterpreter interpreter_;
    ChequeFields fields_;
};
