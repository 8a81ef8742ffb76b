#include "ControlCommands.h"

#include "PrinterState.h"

#include <QStringList>

#include <optional>

std::optional<bool> parseOnOff(const QString& word)
{
    if (word == QLatin1String("on"))
        return true;
    if (word == QLatin1String("off"))
        return false;
    return std::nullopt;
}

namespace {

std::optional<int> parseMs(const QString& word)
{
    bool ok = false;
    const int value = word.toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

ControlCommands::ControlCommands(PrinterState& state, std::function<void()> quit)
    : state_(state)
    , quit_(std::move(quit))
{
}

QString ControlCommands::help()
{
    return QStringLiteral("commands: power on|off, paper on|off, busy <ms>, busy-time <ms>, state, help, quit");
}

QString ControlCommands::execute(const QString& line)
{
    const QStringList words = line.simplified().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QStringLiteral("error empty command; ") + help();
    const QString& command = words[0];
    const QString argument = words.size() > 1 ? words[1] : QString();
    auto ok = [this] { return QStringLiteral("ok ") + state_.describe(); };
    if (words.size() > 2)
        return QStringLiteral("error too many words; ") + help();

    if (command == QLatin1String("power") || command == QLatin1String("paper")) {
        const auto on = parseOnOff(argument);
        if (!on)
            return QStringLiteral("error %1 takes on or off").arg(command);
        if (command == QLatin1String("power"))
            state_.setPower(*on);
        else
            state_.setPaper(*on);
        return ok();
    }
    if (command == QLatin1String("busy") || command == QLatin1String("busy-time")) {
        const auto ms = parseMs(argument);
        if (!ms)
            return QStringLiteral("error %1 takes a number of milliseconds").arg(command);
        if (command == QLatin1String("busy"))
            state_.holdBusy(*ms);
        else
            state_.setBusyMs(*ms);
        return ok();
    }
    if (!argument.isEmpty())
        return QStringLiteral("error %1 takes no argument").arg(command);
    if (command == QLatin1String("state"))
        return ok();
    if (command == QLatin1String("help"))
        return QStringLiteral("ok ") + help();
    if (command == QLatin1String("quit")) {
        quit_();
        return QStringLiteral("ok quitting");
    }
    return QStringLiteral("error unknown command \"%1\"; ").arg(command) + help();
}
