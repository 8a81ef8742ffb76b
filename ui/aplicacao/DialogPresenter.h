#pragma once

class QDialog;
class QPrinter;

// The half of the message seam that works on widgets: the print dialog and
// the program's own modal dialogs (the cheque viewer, the printing run, a
// report's windows). The presenter installed through installMessagePresenter()
// offers it by deriving from both halves: the program's on Qt's dialogs, the
// tests' recorder answering from its script.
class DialogPresenter {
public:
    virtual ~DialogPresenter() = default;

    // The print dialog over printer; true when the user chose to print.
    virtual bool choosePrinter(QPrinter &printer) = 0;
    // Runs dialog modally and returns its result (QDialog::exec()).
    virtual int runModal(QDialog &dialog) = 0;
};

// The installed presenter's dialog half; while the presenter installed has
// none, one that cancels every dialog, so no code path can hang on one.
DialogPresenter &dialogs();
