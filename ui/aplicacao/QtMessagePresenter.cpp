#include "QtMessagePresenter.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconeDaCaixa(MessagePresenter::Icon icon)
{
    switch (icon) {
    case MessagePresenter::Icon::Information:
        return QMessageBox::Information;
    case MessagePresenter::Icon::Warning:
        return QMessageBox::Warning;
    case MessagePresenter::Icon::Error:
        return QMessageBox::Critical;
    case MessagePresenter::Icon::Question:
        return QMessageBox::Question;
    case MessagePresenter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

int mostraCaixa(const QString &title, const QString &text, QMessageBox::Icon icone,
                QMessageBox::StandardButtons botoes, QMessageBox::StandardButton padrao)
{
    QMessageBox caixa(icone, title, text, botoes, QApplication::activeWindow());
    caixa.setObjectName(QStringLiteral("caixaMensagem"));
    caixa.setDefaultButton(padrao);
    caixa.setTextFormat(Qt::PlainText);
    return caixa.exec();
}

} // namespace

QtMessagePresenter::QtMessagePresenter() : previous_(installMessagePresenter(this)) {}

QtMessagePresenter::~QtMessagePresenter()
{
    installMessagePresenter(previous_);
}

void QtMessagePresenter::show(const QString &title, const QString &text, Icon icon)
{
    mostraCaixa(title, text, iconeDaCaixa(icon), QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessagePresenter::ask(const QString &title, const QString &text)
{
    return mostraCaixa(title, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                       QMessageBox::Yes)
           == QMessageBox::Yes;
}

MessagePresenter::Answer QtMessagePresenter::askYesNoCancel(const QString &title, const QString &text)
{
    switch (mostraCaixa(title, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                        QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtMessagePresenter::saveFileName(const QString &title, const QString &suggested, const QString &filters,
                                         QString *chosenFilter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested, filters, chosenFilter);
}

bool QtMessagePresenter::choosePrinter(QPrinter &printer)
{
    QPrintDialog dialogo(&printer, QApplication::activeWindow());
    return dialogo.exec() == QDialog::Accepted;
}

int QtMessagePresenter::runModal(QDialog &dialog)
{
    return dialog.exec();
}
