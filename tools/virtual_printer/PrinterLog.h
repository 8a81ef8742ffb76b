#pragma once

#include <QFile>
#include <QString>

// One time-stamped line per event, appended to the log file and echoed on
// standard output.
class PrinterLog {
public:
    bool open(const QString& path, QString* error);
    void write(const QString& line);

private:
    QFile file_;
};
