#pragma once

#include <QDateTimeEdit>

// A date picker with a calendar drop-down that shows the long Brazilian date
// ("8 de dezembro de 2026") whatever the machine's locale; it holds the time
// of day too, as the print jobs and the viewers take date and time.
class DataLonga : public QDateTimeEdit {
    Q_OBJECT

public:
    explicit DataLonga(QWidget *parent = nullptr);

    // The long date of the screens and of the cheque face.
    static QString formata(const QDate &data);
};
