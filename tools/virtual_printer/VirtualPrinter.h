#pragma once

#include "PageComposer.h"
#include "PageWriter.h"
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
// one log line per frame (for a page, once it is saved).
class VirtualPrinter : public QObject {
    Q_OBJECT
public:
    VirtualPrinter(PrinterState& state, LayoutStore& layouts, PrintArchive& archive, const PageRenderer& renderer,
                   PrinterLog& log, QObject* parent = nullptr);
    ~VirtualPrinter() override;

    void receive(const QByteArray& bytes);

    const ChequeFields& fields() const { return fields_; }

private:
    void apply(const Frame& frame);
    void storeLayout(const std::string& text);
    void selectBank(const std::string& digits);
    void printCheque(const std::string& digits);
    void printDocument(const std::string& bytes);
    // Hands the page to the writer; false (and logged) when too many wait.
    bool print(PrintedPage page, const QString& head, const QString& what);
    void saved(const QString& head, const QString& outcome, const QStringList& warnings);
    // Why the printer cannot print now, or an empty text.
    QString notReady() const;
    void powerChanged(bool on);

    PrinterState& state_;
    LayoutStore& layouts_;
    PrinterLog& log_;
    ProtocolInterpreter interpreter_;
    ChequeFields fields_;
    PageWriter writer_;
};
