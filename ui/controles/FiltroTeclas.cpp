#include "FiltroTeclas.h"

#include "uDeclaracoes.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QList>

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
    // A key that types, as opposed to a movement or a shortcut. Tab, Enter
    // and Esc carry a text too, but they act on the window (the focus moves
    // on, a window's Enter or Esc handler runs).
    static bool digitada(const QKeyEvent *tecla)
    {
        static const QList<int> naoDigitam = {Qt::Key_Delete, Qt::Key_Tab,    Qt::Key_Backtab,
                                              Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape};
        return !tecla->text().isEmpty() && !naoDigitam.contains(tecla->key())
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
