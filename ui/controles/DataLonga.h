#pragma once

#include <QDateTimeEdit>

// A date picker with a calendar drop-down that shows the long Brazilian date
// ("8 de dezembro de 2026") whatever the machine's locale; it holds the time
// of day too, as the print jobs and the viewers take date and time.
//
// A date is typed as digits, day, month and year, each part taking over from
// the one typed into once it is complete (two digits, a digit that no second
// one could follow, four for the year) or ended by a separator ("/", "-",
// ".", "," or a blank): "09122026", "9/12/2026" and "9, 12, 2026" all give
// 9 December 2026, though the month shows as its name. Typing starts at the
// day when the box has just taken the focus, by Tab or by a click anywhere
// on it; once in, the arrows or a click pick the part to type over. Tab
// leaves the box.
class DataLonga : public QDateTimeEdit {
    Q_OBJECT

public:
    explicit DataLonga(QWidget *parent = nullptr);

    // The long date of the screens and of the cheque face.
    static QString formata(const QDate &data);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Puts the digits typed so far into the part being typed.
    void aplicaDigitos(bool fim);
    void avancaParte();

    QString digitos_;
    // The day typed, kept while month and year follow: a month too short
    // for it shows its last day until a longer one comes.
    int dia_ = 0;
    bool dataNova_ = false;
    bool cliqueDoFoco_ = false;
};
