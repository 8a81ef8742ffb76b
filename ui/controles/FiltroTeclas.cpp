#include "FiltroTeclas.h"

#include "uDeclaracoes.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

// Owned by its box, so it lives exactly as long as the box.
class FiltroDeTeclas : public QObject {
public:
    FiltroDeTeclas(QLineEdit *caixa, RegraTecla regra) : QObject(caixa), regra_(std::move(regra))
    {
        caixa->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *evento) override
    {
        if (evento->type() != QEvent::KeyPress)
            return false;
        const auto *tecla = static_cast<const QKeyEvent *>(evento);
        if (!digitada(tecla))
            return false;
        QChar caractere = tecla->text().at(0);
        regra_(caractere);
        return caractere.isNull();
    }

private:
    // A key that types, as opposed to a movement or a shortcut. Tab carries
    // a text too, but it moves the focus on.
    static bool digitada(const QKeyEvent *tecla)
    {
        return !tecla->text().isEmpty() && tecla->key() != Qt::Key_Delete && tecla->key() != Qt::Key_Tab
               && tecla->key() != Qt::Key_Backtab
               && !(tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    }

    RegraTecla regra_;
};

} // namespace

void filtraTeclas(QLineEdit *caixa, RegraTecla regra)
{
    new FiltroDeTeclas(caixa, std::move(regra));
}

void filtraDigitos(QLineEdit *caixa)
{
    filtraTeclas(caixa, [](QChar &tecla) { FiltraTeclaNumerica(tecla); });
}

void filtraConta(QLineEdit *caixa)
{
    filtraTeclas(caixa, [](QChar &tecla) {
        if (tecla != u'-')
            FiltraTeclaNumerica(tecla);
    });
}
