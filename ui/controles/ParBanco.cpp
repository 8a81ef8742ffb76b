#include "ParBanco.h"

#include "CaixaBusca.h"
#include "FiltroTeclas.h"
#include "Protege.h"
#include "uDMNorvelCheque.h"

#include <QKeyEvent>
#include <QLineEdit>

ParBanco::ParBanco(QLineEdit *numero, CaixaBusca *banco, TdmNorvelCheque &dm)
    : QObject(numero), numero_(numero), banco_(banco), dm_(dm)
{
    filtraDigitos(numero);
    banco->liga(dm.ListaBancos2, QStringLiteral("IDBANCO"), QStringLiteral("BANCO"));
    // Only what is typed looks up: a key released in the box that changed
    // nothing (the release of the shortcut that opened the window, Tab, an
    // arrow) would show a bank the empty number does not name.
    connect(numero, &QLineEdit::textEdited, this, &ParBanco::buscaPorNumero);
    banco->installEventFilter(this);
    connect(banco, &CaixaBusca::listaFechada, this, &ParBanco::copiaNumero);
}

bool ParBanco::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == banco_) {
        if (evento->type() == QEvent::FocusOut) {
            copiaNumero();
        } else if (evento->type() == QEvent::KeyRelease) {
            const int tecla = static_cast<QKeyEvent *>(evento)->key();
            if (tecla == Qt::Key_Up || tecla == Qt::Key_Down)
                copiaNumero();
        }
    }
    return QObject::eventFilter(objeto, evento);
}

void ParBanco::buscaPorNumero()
{
    dm_.FiltroBanco = numero_->text();
    executaProtegido([this] { dm_.ListaBancos2.reopen(); });
    banco_->setCurrentIndex(dm_.ListaBancos2.rowCount() > 0 ? 0 : -1);
}

void ParBanco::copiaNumero()
{
    // With no bank shown the number stays as typed.
    const QVariant numero = banco_->campo(QStringLiteral("NUMBANCO"));
    if (numero.isValid())
        numero_->setText(numero.toString());
}
