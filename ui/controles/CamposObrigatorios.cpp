#include "CamposObrigatorios.h"

#include "MessagePresenter.h"
#include "Protege.h"
#include "TituloPrograma.h"

#include <QComboBox>
#include <QLineEdit>

bool camposPreenchidos(std::initializer_list<CampoObrigatorio> campos)
{
    for (const CampoObrigatorio &campo : campos) {
        const auto *lista = qobject_cast<const QComboBox *>(campo.caixa);
        const auto *edicao = qobject_cast<const QLineEdit *>(campo.caixa);
        Q_ASSERT(lista || edicao);
        const QString texto = lista ? lista->currentText() : edicao->text();
        if (texto.isEmpty()) {
            campo.caixa->setFocus();
            messages().show(TituloPrograma,
                            QStringLiteral("O Campo ") + campo.nome + QStringLiteral(" deve ser preenchido!"),
                            MessagePresenter::Icon::Warning);
            return false;
        }
    }
    return true;
}
