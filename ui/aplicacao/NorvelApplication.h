#pragma once

#include <QApplication>
#include <QTranslator>

// The program's application object: title "Norvel Cheque", Brazilian
// Portuguese for the locale and for Qt's own texts, and the general error
// report for errors that no screen catches.
class NorvelApplication : public QApplication {
    Q_OBJECT

public:
    NorvelApplication(int &argc, char **argv);

    // An error no screen caught goes to relataErro and the program goes on.
    bool notify(QObject *receiver, QEvent *event) override;

    // Shows mensagem in an error box under the program's title, ending in a
    // full stop.
    static void relataErro(const QString &mensagem);

private:
    QTranslator traducaoQt_;
};

// Text to integer the way the program converts typed numbers: anything but
// an optionally signed run of digits is the conversion error, reported
// through relataErro; false then.
bool converteInteiro(const QString &texto, int &valor);
