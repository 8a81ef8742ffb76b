#pragma once

#include <QString>

#include <functional>
#include <optional>

class PrinterState;

// "on" or "off", as the commands and the command line take them.
std::optional<bool> parseOnOff(const QString& word);

// The one-line commands that change the printer while it runs. Every reply
// is one line: "ok " and the state after the command, or "error " and why.
//
//   power on|off      switch the printer on or off (DSR; off also drops CTS)
//   paper on|off      put paper in or take it out (CTS)
//   busy <ms>         hold the printer busy from now for ms (CTS low); 0 ends it
//   busy-time <ms>    how long the printer stays busy after each cheque
//   state             report the state
//   help              list the commands
//   quit              stop the printer
class ControlCommands {
public:
    ControlCommands(PrinterState& state, std::function<void()> quit);

    QString execute(const QString& line);

    static QString help();

private:
    PrinterState& state_;
    std::function<void()> quit_;
};
