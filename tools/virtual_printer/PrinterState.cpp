#include "PrinterState.h"

namespace {

QString onOff(bool value) { return value ? QStringLiteral("on") : QStringLiteral("off"); }

} // namespace

PrinterState::PrinterState(bool power, bool paper, int busyMs, QObject* parent)
    : QObject(parent)
    , power_(power)
    , paper_(paper)
    , busyMs_(busyMs)
{
    busyTimer_.setSingleShot(true);
    connect(&busyTimer_, &QTimer::timeout, this, [this] {
        emit linesChanged(lines());
        emit changed(describe());
    });
}

ModemLines PrinterState::lines() const
{
    ModemLines lines;
    lines.dsr = power_;
    lines.cts = power_ && paper_ && !busy();
    return lines;
}

template <typename Change>
void PrinterState::update(Change change)
{
    const ModemLines before = lines();
    const bool powerBefore = power_;
    change();
    if (power_ != powerBefore)
        emit powerChanged(power_);
    if (lines() != before)
        emit linesChanged(lines());
    emit changed(describe());
}

void PrinterState::setPower(bool on)
{
    update([&] {
        power_ = on;
        // Switching off ends whatever the printer was doing.
        if (!on)
            busyTimer_.stop();
    });
}

void PrinterState::setPaper(bool present)
{
    update([&] { paper_ = present; });
}

void PrinterState::setBusyMs(int ms)
{
    update([&] { busyMs_ = std::max(0, ms); });
}

void PrinterState::holdBusy(int ms)
{
    update([&] {
        if (ms > 0)
            busyTimer_.start(ms);
        else
            busyTimer_.stop();
    });
}

QString PrinterState::describe() const
{
    const ModemLines now = lines();
    return QStringLiteral("power=%1 paper=%2 busy=%3 busy-ms=%4 dsr=%5 cts=%6")
        .arg(onOff(power_), onOff(paper_), busy() ? QStringLiteral("yes") : QStringLiteral("no"))
        .arg(busyMs_)
        .arg(onOff(now.dsr), onOff(now.cts));
}
