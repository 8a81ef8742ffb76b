#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QVariant>

#include <optional>

namespace norvel::db {
class DbQuery;
}
class TdmNorvelCheque;

// A look-up box over one of the data module's lists: shows one field of each
// row and gives the key field of the row chosen. Nothing chosen (index -1)
// shows nothing and gives NULL. It cannot be typed into, only picked from.
// When its list is reopened it keeps the row of the same key, or shows
// nothing when that row is gone. Typing picks the first row whose shown
// field starts with what was typed (letters typed in a quick run add up),
// whether or not a row was chosen before.
class CaixaBusca : public QComboBox {
    Q_OBJECT

public:
    explicit CaixaBusca(QWidget *parent = nullptr);

    void liga(norvel::db::DbQuery &lista, const QString &campoChave, const QString &campoMostrado);
    norvel::db::DbQuery *lista() const { return lista_; }

    // The chosen row's key; an invalid QVariant (NULL) when none.
    QVariant chave() const { return campo(campoChave_); }
    std::optional<int> chaveInteira() const;
    // A field of the chosen row; invalid when none is chosen.
    QVariant campo(const QString &nome) const;
    // Chooses the row of this key, or nothing when no row has it.
    void escolhe(const QVariant &chave);
    void limpa() { setCurrentIndex(-1); }

    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

signals:
    // The drop-down list closed, whether or not a row was picked.
    void listaFechada();

private:
    void ajustaColuna();
    // The first row whose shown field starts with texto, fetching as needed.
    int primeiraQueComeca(const QString &texto);

    norvel::db::DbQuery *lista_ = nullptr;
    QString campoChave_;
    QString mostraCampo_;
    QVariant chaveAntes_;
    QString digitado_;
    QElapsedTimer ultimaTecla_;
};

// The payee, cost-centre and clearing-type boxes of a cheque entry window,
// each over its shared list.
void ligaCadastrosDoCheque(TdmNorvelCheque &dm, CaixaBusca *favorecido, CaixaBusca *centroCusto,
                           CaixaBusca *compensacao);
