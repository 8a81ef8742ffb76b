#pragma once

#include "ModemLines.h"

#include <QObject>
#include <QString>
#include <QTimer>

// Power, paper and the busy time after a cheque, and the modem lines they
// drive: DSR follows the power, CTS is on while the printer is on, has paper
// and is not busy.
class PrinterState : public QObject {
    Q_OBJECT
public:
    PrinterState(bool power, bool paper, int busyMs, QObject* parent = nullptr);

    bool power() const { return power_; }
    bool paper() const { return paper_; }
    bool busy() const { return busyTimer_.isActive(); }
    int busyMs() const { return busyMs_; }
    ModemLines lines() const;

    void setPower(bool on);
    void setPaper(bool present);
    void setBusyMs(int ms);
    // Busy from now for ms (0 ends a busy time at once).
    void holdBusy(int ms);
    // Busy for the configured time, as after printing a cheque.
    void chequePrinted() { holdBusy(busyMs_); }

    // "power=on paper=on busy=no busy-ms=1500 dsr=on cts=on"
    QString describe() const;

signals:
    void linesChanged(ModemLines lines);
    void powerChanged(bool on);
    void changed(const QString& description);

private:
    template <typename Change>
    void update(Change change);

    bool power_;
    bool paper_;
    int busyMs_;
    QTimer busyTimer_;
};
