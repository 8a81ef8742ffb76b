#include "DataLonga.h"

#include "ChequeCopyText.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
const QString formatoLongo = QStringLiteral("d 'de' MMMM 'de' yyyy");

} // namespace

DataLonga::DataLonga(QWidget *parent) : QDateTimeEdit(QDateTime::currentDateTime(), parent)
{
    setLocale(brasil);
    setDisplayFormat(formatoLongo);
    setCalendarPopup(true);
    calendarWidget()->setLocale(brasil);
}

QString DataLonga::formata(const QDate &data)
{
    return longDatePtBr(data);
}

void DataLonga::keyPressEvent(QKeyEvent *event)
{
    const QString texto = event->text();
    const QChar tecla = texto.size() == 1 ? texto.at(0) : QChar();
    if (tecla >= QLatin1Char('0') && tecla <= QLatin1Char('9')) {
        if (dataNova_) {
            dataNova_ = false;
            setSelectedSection(DaySection);
        }
        digitos_ += tecla;
        aplicaDigitos(false);
    } else if (!tecla.isNull() && QStringLiteral("/-., ").contains(tecla)) {
        // After a part that completed itself the separator is already past.
        if (!digitos_.isEmpty())
            aplicaDigitos(true);
    } else {
        digitos_.clear();
        dia_ = 0;
        dataNova_ = false;
        QDateTimeEdit::keyPressEvent(event);
    }
}

void DataLonga::aplicaDigitos(bool fim)
{
    const Section parte = currentSection();
    const int numero = digitos_.toInt();
    const QDate atual = date();
    int dia = dia_ ? dia_ : atual.day();
    int mes = atual.month();
    int ano = atual.year();
    bool completa = fim;
    if (parte == DaySection) {
        completa = completa || digitos_.size() == 2 || numero > 3;
        if (numero > 0)
            dia = dia_ = std::min(numero, 31);
    } else if (parte == MonthSection) {
        completa = completa || digitos_.size() == 2 || numero > 1;
        if (numero > 0)
            mes = std::min(numero, 12);
    } else if (parte == YearSection) {
        completa = completa || digitos_.size() == 4;
        // Two digits ended by a separator stand for this century; three
        // are no year.
        if (completa && digitos_.size() != 3)
            ano = digitos_.size() <= 2 ? 2000 + numero : numero;
    } else {
        digitos_.clear();
        return;
    }
    const QDate data(ano, mes, std::min(dia, QDate(ano, mes, 1).daysInMonth()));
    if (data.isValid() && data >= minimumDate() && data <= maximumDate())
        setDate(data);
    if (completa)
        avancaParte();
    else
        setSelectedSection(parte);
}

void DataLonga::avancaParte()
{
    digitos_.clear();
    const Section parte = currentSection();
    setSelectedSection(parte == DaySection ? MonthSection : YearSection);
}

void DataLonga::focusInEvent(QFocusEvent *event)
{
    QDateTimeEdit::focusInEvent(event);
    dataNova_ = true;
    cliqueDoFoco_ = event->reason() == Qt::MouseFocusReason;
}

void DataLonga::mousePressEvent(QMouseEvent *event)
{
    // The click that gave the focus comes after it.
    if (!cliqueDoFoco_)
        dataNova_ = false;
    cliqueDoFoco_ = false;
    QDateTimeEdit::mousePressEvent(event);
}

void DataLonga::focusOutEvent(QFocusEvent *event)
{
    digitos_.clear();
    dia_ = 0;
    QDateTimeEdit::focusOutEvent(event);
}

// The box is one field: Tab goes on to the next control, not to the next
// part of the date.
bool DataLonga::focusNextPrevChild(bool next)
{
    return QAbstractSpinBox::focusNextPrevChild(next);
}
