// The payee, cost-centre and clearing-type screens, driven by their control
// names on a fresh database. The three share their routines, so each case
// runs on all three screens with the texts that tell them apart.

#include "BankLayout.h"
#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uCentroCusto.h"
#include "uCompensacao.h"
#include "uDMNorvelCheque.h"
#include "uFavorecido.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <functional>
#include <memory>

using norvel::db::DbQuery;
using norvel::db::DbStoredProc;

namespace {

struct Tela {
    std::function<QWidget *(const Contexto &)> cria;
    QString titulo;
    QString grupo;
    QString tituloGrupo;
    QString caixa;
    QString dica;
    int alturaFechada;
    bool grupoDesabilitado; // cost centres: disabled until "Novo", never hidden at start
    bool novoFocaNome;
    QString campoChave;
    QString campoNome;
    DbQuery TdmNorvelCheque::*lista;
    DbStoredProc TdmNorvelCheque::*spInsere;
    int tamanhoNome;
    QString nomeVazio;
    QString falhaInsercao;
    QString perguntaExclusao;
    QString emUso; // empty: a cheque using it does not stop the delete
};

const Tela &tela(int indice)
{
    static const Tela telas[] = {
        {[](const Contexto &contexto) { return new TfrmCentroCusto(contexto, nullptr); }, QStringLiteral("Centro de Custo"),
         QStringLiteral("grpCentroCusto"), QStringLiteral("Centro de Custo"), QStringLiteral("edtNomeCentroCusto"),
         QStringLiteral("Nome do Centro de Custo"), 199, true, true, QStringLiteral("IDCENTROCUSTO"),
         QStringLiteral("NOMECENTROCUSTO"), &TdmNorvelCheque::ListaCentroCustos,
         &TdmNorvelCheque::spInsereCentroCusto, 30, QStringLiteral("Preencha o nome do centro de custo."),
         QStringLiteral("Erro ao inserir dados do centro de custo: "),
         QStringLiteral("Deseja realmente excluir o centro de custo?"),
         QStringLiteral("Não é possível deletar o Centro de Custo pois ele foi utilizado na emissão de algum "
                        "cheque.")},
        {[](const Contexto &contexto) { return new TfrmFavorecido(contexto, nullptr); }, QStringLiteral("Favorecidos"), QStringLiteral("grpFavorecido"),
         QStringLiteral("Favorecido"), QStringLiteral("edtNomeFavorecido"), QStringLiteral("Nome do Favorecido"), 202,
         false, false, QStringLiteral("IDFAVORECIDO"), QStringLiteral("NOMEFAVORECIDO"),
         &TdmNorvelCheque::ListaFavorecidos, &TdmNorvelCheque::spInsereFavorecido, 65,
         QStringLiteral("Preencha o nome do favorecido."), QStringLiteral("Erro ao inserir dados do favorecido: "),
         QStringLiteral("Deseja realmente excluir o favorecido?"), QString()},
        {[](const Contexto &contexto) { return new TfrmCompensacao(contexto, nullptr); }, QStringLiteral("Tipo de Compensação"),
         QStringLiteral("grpCompensacao"), QStringLiteral("Tipo de Compensação"), QStringLiteral("edtNomeCompensacao"),
         QStringLiteral("Nome do Tipo de Compensação"), 202, false, true, QStringLiteral("IDCOMPENSACAO"),
         QStringLiteral("NOMECOMPENSACAO"), &TdmNorvelCheque::ListaCompensacao,
         &TdmNorvelCheque::spInsereCompensacao, 20, QStringLiteral("Preencha o nome do tipo de compensação."),
         QStringLiteral("Erro ao inserir dados de compensação: "),
         QStringLiteral("Deseja realmente excluir o tipo de compensação?"),
         QStringLiteral("Não é possível deletar o Tipo de Compensação pois ele foi utilizado na emissão de "
                        "algum cheque.")},
    };
    return telas[indice];
}

} // namespace

class TestRegistrosSimples : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void aparencia_data() { telas(); }
    void aparencia();
    void novoSalvarAcrescenta_data() { telas(); }
    void novoSalvarAcrescenta();
    void nomeVazioDeixaAberta_data() { telas(); }
    void nomeVazioDeixaAberta();
    void cancelarFecha_data() { telas(); }
    void cancelarFecha();
    void nomeLongoMostraFalha_data() { telas(); }
    void nomeLongoMostraFalha();
    void chaveUmNaoExclui_data() { telas(); }
    void chaveUmNaoExclui();
    void excluiAposPergunta_data() { telas(); }
    void excluiAposPergunta();
    void usadoEmChequeNaoExclui_data() { telas(); }
    void usadoEmChequeNaoExclui();

private:
    static void telas();
    const Tela &atual() const;
    QWidget *abre();
    template <typename T> T *controle(const QString &nome);
    void digita(const QString &caixa, const QString &texto);
    int linhaDe(const QString &nome);
    int chaveDe(int linha);
    void seleciona(int linha);
    int insere(const QString &nome);

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_;
    QWidget *janela_ = nullptr;
    int idBanco_ = 0;
};

void TestRegistrosSimples::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
    contexto_.dados = dm_.get();
    // Cheques need a bank of their own.
    const WriteResult banco = dm_->gravar(dm_->spInsereBanco,
                                          {{QStringLiteral("NOMEBANCO"), QStringLiteral("Banco do Teste")},
                                           {QStringLiteral("SIGLABANCO"), QStringLiteral("BT")},
                                           {QStringLiteral("NUMBANCO"), QStringLiteral("999")},
                                           {QStringLiteral("POSICOESBANCO"), BankLayout().encode()}},
                                          QString(), {&dm_->ListaBancos});
    QVERIFY2(banco, qPrintable(banco.message));
    idBanco_ = dm_->spInsereBanco.output(QStringLiteral("IDBANCO")).toInt();
}

void TestRegistrosSimples::cleanupTestCase()
{
    dm_.reset();
    base_.reset();
}

void TestRegistrosSimples::init() { caixas_ = std::make_unique<RecordingPresenter>(); }

void TestRegistrosSimples::cleanup()
{
    if (janela_)
        janela_->close();
    janela_ = nullptr;
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

void TestRegistrosSimples::telas()
{
    QTest::addColumn<int>("tela");
    QTest::newRow("centro de custo") << 0;
    QTest::newRow("favorecido") << 1;
    QTest::newRow("compensacao") << 2;
}

const Tela &TestRegistrosSimples::atual() const
{
    QFETCH(int, tela);
    return ::tela(tela);
}

QWidget *TestRegistrosSimples::abre()
{
    janela_ = atual().cria(contexto_);
    janela_->show();
    if (!QTest::qWaitForWindowActive(janela_))
        qWarning("window not active: focus checks will fail");
    return janela_;
}

template <typename T> T *TestRegistrosSimples::controle(const QString &nome)
{
    T *achado = janela_->findChild<T *>(nome);
    if (!achado)
        qWarning("no control %s", qPrintable(nome));
    return achado;
}

void TestRegistrosSimples::digita(const QString &caixa, const QString &texto)
{
    QLineEdit *box = controle<QLineEdit>(caixa);
    QVERIFY(box);
    QTest::keyClicks(box, texto);
}

int TestRegistrosSimples::linhaDe(const QString &nome)
{
    DbQuery &lista = dm_.get()->*atual().lista;
    return lista.locate(atual().campoNome, nome);
}

int TestRegistrosSimples::chaveDe(int linha)
{
    return (dm_.get()->*atual().lista).value(linha, atual().campoChave).toInt();
}

void TestRegistrosSimples::seleciona(int linha)
{
    QTableView *grade = controle<QTableView>(QStringLiteral("DBGrid1"));
    QVERIFY(grade);
    const int coluna = (dm_.get()->*atual().lista).columnOf(atual().campoNome);
    grade->setCurrentIndex(grade->model()->index(linha, coluna));
}

// Straight through the data module, as another screen would add it.
int TestRegistrosSimples::insere(const QString &nome)
{
    DbStoredProc &sp = dm_.get()->*atual().spInsere;
    const WriteResult r = dm_->gravar(sp, {{atual().campoNome, nome}}, QString(), {&(dm_.get()->*atual().lista)});
    if (!r)
        qWarning("insert failed: %s", qPrintable(r.message));
    return sp.output(atual().campoChave).toInt();
}

void TestRegistrosSimples::aparencia()
{
    abre();
    QCOMPARE(janela_->windowTitle(), atual().titulo);
    QCOMPARE(janela_->height(), atual().alturaFechada);
    QCOMPARE(janela_->minimumWidth(), janela_->maximumWidth());

    QGroupBox *grupo = controle<QGroupBox>(atual().grupo);
    QVERIFY(grupo);
    QCOMPARE(grupo->title(), atual().tituloGrupo);
    QCOMPARE(grupo->isEnabled(), !atual().grupoDesabilitado);
    QCOMPARE(grupo->isVisible(), atual().grupoDesabilitado);
    // Collapsed: the group lies below the window's lower edge.
    QVERIFY(grupo->geometry().top() >= atual().alturaFechada);
    QVERIFY(grupo->geometry().bottom() < RegistroSimples::AlturaAberta);

    QLineEdit *nome = controle<QLineEdit>(atual().caixa);
    QVERIFY(nome);
    QCOMPARE(nome->placeholderText(), atual().dica);
    QCOMPARE(controle<QLabel>(QStringLiteral("lblNome"))->text(), QStringLiteral("Nome:"));
    for (const auto &[botao, texto] : {std::pair{"btNovo", "Novo"}, {"btExcluir", "Excluir"}, {"btSair", "Sair"},
                                       {"btSalvar", "Salvar"}, {"btCancelar", "Cancelar"}}) {
        QPushButton *bt = controle<QPushButton>(QLatin1String(botao));
        QVERIFY2(bt, botao);
        QCOMPARE(bt->text(), QLatin1String(texto));
    }

    QTableView *grade = controle<QTableView>(QStringLiteral("DBGrid1"));
    QVERIFY(grade);
    const DbQuery &lista = dm_.get()->*atual().lista;
    const int colunaNome = lista.columnOf(atual().campoNome);
    QCOMPARE(grade->model()->headerData(colunaNome, Qt::Horizontal).toString(), QStringLiteral("Nome"));
    QCOMPARE(grade->columnWidth(colunaNome), 304);
    QVERIFY(grade->isColumnHidden(lista.columnOf(atual().campoChave)));
    QCOMPARE(grade->selectionBehavior(), QAbstractItemView::SelectRows);
}

void TestRegistrosSimples::novoSalvarAcrescenta()
{
    abre();
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btNovo")), Qt::LeftButton);
    QCOMPARE(janela_->height(), RegistroSimples::AlturaAberta);
    QGroupBox *grupo = controle<QGroupBox>(atual().grupo);
    QVERIFY(grupo->isVisible());
    QVERIFY(grupo->isEnabled());
    QLineEdit *nome = controle<QLineEdit>(atual().caixa);
    QCOMPARE(nome->hasFocus(), atual().novoFocaNome);

    // A name as long as the column takes: "Aaaa...": sorts first among payees.
    const QString novo = QStringLiteral("A") + QString(atual().tamanhoNome - 1, u'z');
    digita(atual().caixa, novo);
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btSalvar")), Qt::LeftButton);

    QVERIFY2(caixas_->boxes.isEmpty(), qPrintable(caixas_->lastText()));
    QCOMPARE(janela_->height(), atual().alturaFechada);
    QVERIFY(!grupo->isVisible());
    QVERIFY(nome->text().isEmpty());
    QVERIFY(controle<QTableView>(QStringLiteral("DBGrid1"))->hasFocus());

    const DbQuery &lista = dm_.get()->*atual().lista;
    const int linha = linhaDe(novo);
    QVERIFY(linha >= 0);
    if (atual().campoNome == QLatin1String("NOMEFAVORECIDO")) {
        QCOMPARE(linha, 0); // listed in name order
    } else {
        QCOMPARE(linha, lista.rowCount() - 1); // at the end of the key order
        QVERIFY(chaveDe(linha) > 1);
    }
}

void TestRegistrosSimples::nomeVazioDeixaAberta()
{
    abre();
    const int linhas = (dm_.get()->*atual().lista).rowCount();
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btNovo")), Qt::LeftButton);
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btSalvar")), Qt::LeftButton);

    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].text, atual().nomeVazio);
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::None);
    QCOMPARE(janela_->height(), RegistroSimples::AlturaAberta);
    QVERIFY(controle<QLineEdit>(atual().caixa)->hasFocus());
    QCOMPARE((dm_.get()->*atual().lista).rowCount(), linhas);
}

void TestRegistrosSimples::cancelarFecha()
{
    abre();
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btNovo")), Qt::LeftButton);
    digita(atual().caixa, QStringLiteral("Descartado"));
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btCancelar")), Qt::LeftButton);

    QCOMPARE(janela_->height(), atual().alturaFechada);
    QVERIFY(controle<QLineEdit>(atual().caixa)->text().isEmpty());
    QGroupBox *grupo = controle<QGroupBox>(atual().grupo);
    QVERIFY(!grupo->isVisible());
    QCOMPARE(grupo->isEnabled(), !atual().grupoDesabilitado);
    QVERIFY(controle<QTableView>(QStringLiteral("DBGrid1"))->hasFocus());
    QCOMPARE(linhaDe(QStringLiteral("Descartado")), -1);
    QVERIFY(caixas_->boxes.isEmpty());
}

void TestRegistrosSimples::nomeLongoMostraFalha()
{
    abre();
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btNovo")), Qt::LeftButton);
    // The box takes no more than the column holds: the name is stored whole.
    const QString longo(atual().tamanhoNome + 1, u'x');
    digita(atual().caixa, longo);
    QCOMPARE(controle<QLineEdit>(atual().caixa)->text(), longo.left(atual().tamanhoNome));
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btSalvar")), Qt::LeftButton);
    QVERIFY2(caixas_->boxes.isEmpty(), qPrintable(caixas_->lastText()));
    QVERIFY(linhaDe(longo.left(atual().tamanhoNome)) >= 0);

    // Blanks only are no name.
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btNovo")), Qt::LeftButton);
    digita(atual().caixa, QStringLiteral("   "));
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btSalvar")), Qt::LeftButton);
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->lastText(), atual().nomeVazio);
    QCOMPARE(linhaDe(QStringLiteral("   ")), -1);
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btCancelar")), Qt::LeftButton);

    // A name the database refuses (a character its Latin-1 cannot hold).
    caixas_->boxes.clear();
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btNovo")), Qt::LeftButton);
    const QString recusado = QStringLiteral("Caf\u00e9 \u20ac");
    controle<QLineEdit>(atual().caixa)->setText(recusado);
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btSalvar")), Qt::LeftButton);

    QCOMPARE(caixas_->boxes.size(), 1);
    QVERIFY2(caixas_->boxes[0].text.startsWith(atual().falhaInsercao), qPrintable(caixas_->boxes[0].text));
    QVERIFY(caixas_->boxes[0].text.size() > atual().falhaInsercao.size());
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::None);
    // Collapsed, the typed name kept in the group out of view.
    QCOMPARE(janela_->height(), atual().alturaFechada);
    QCOMPARE(controle<QLineEdit>(atual().caixa)->text(), recusado);
    QCOMPARE(linhaDe(recusado), -1);

    // The failed call was rolled back; the next one goes through.
    caixas_->boxes.clear();
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btNovo")), Qt::LeftButton);
    QVERIFY(controle<QLineEdit>(atual().caixa)->text().isEmpty());
    digita(atual().caixa, QStringLiteral("Depois da falha"));
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btSalvar")), Qt::LeftButton);
    QVERIFY2(caixas_->boxes.isEmpty(), qPrintable(caixas_->lastText()));
    QVERIFY(linhaDe(QStringLiteral("Depois da falha")) >= 0);
}

void TestRegistrosSimples::chaveUmNaoExclui()
{
    abre();
    const int linha = (dm_.get()->*atual().lista).locate(atual().campoChave, 1);
    QVERIFY(linha >= 0);
    seleciona(linha);
    caixas_->answers = {true};
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btExcluir")), Qt::LeftButton);

    QCOMPARE(caixas_->boxes.size(), 1);
    QVERIFY(!caixas_->boxes[0].question);
    QCOMPARE(caixas_->boxes[0].text, QStringLiteral("Registro somente leitura, não é possível excluir!"));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::None);
    QVERIFY((dm_.get()->*atual().lista).locate(atual().campoChave, 1) >= 0);
}

void TestRegistrosSimples::excluiAposPergunta()
{
    abre();
    const int chave = insere(QStringLiteral("Para excluir"));
    seleciona(linhaDe(QStringLiteral("Para excluir")));

    caixas_->answers = {false};
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btExcluir")), Qt::LeftButton);
    QCOMPARE(caixas_->boxes.size(), 1);
    QVERIFY(caixas_->boxes[0].question);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].text, atual().perguntaExclusao);
    QVERIFY((dm_.get()->*atual().lista).locate(atual().campoChave, chave) >= 0);

    caixas_->answers = {true};
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btExcluir")), Qt::LeftButton);
    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE((dm_.get()->*atual().lista).locate(atual().campoChave, chave), -1);
}

void TestRegistrosSimples::usadoEmChequeNaoExclui()
{
    abre();
    const int chave = insere(QStringLiteral("Usado em cheque"));
    const bool favorecido = atual().campoChave == QLatin1String("IDFAVORECIDO");
    const WriteResult cheque = dm_->gravar(
        dm_->spInsereCheque,
        {{QStringLiteral("NUMAGENCIA"), QStringLiteral("1234")},
         {QStringLiteral("IDBANCO"), idBanco_},
         {QStringLiteral("IDCENTROCUSTO"), atual().campoChave == QLatin1String("IDCENTROCUSTO") ? chave : 1},
         {QStringLiteral("NUMCHEQUE"), QStringLiteral("000101")},
         {QStringLiteral("CONTACORRENTE"), QStringLiteral("55555")},
         {QStringLiteral("DATAEMISSAO"), QDate(2026, 12, 8)},
         {QStringLiteral("DATAIMPRESSAO"), QVariant()},
         {QStringLiteral("FAVORECIDO"), QStringLiteral("Usado em cheque")},
         {QStringLiteral("LOCALIDADE"), QStringLiteral("Curitiba")},
         {QStringLiteral("VALOR"), QStringLiteral("10,00")},
         {QStringLiteral("JAIMPRESSO"), 0},
         {QStringLiteral("IMPORTADO"), 0},
         {QStringLiteral("TERCEIRO"), 0},
         {QStringLiteral("IDCOMPENSACAO"), atual().campoChave == QLatin1String("IDCOMPENSACAO") ? chave : 1},
         {QStringLiteral("DESCRICAO"), QString()},
         {QStringLiteral("STATUS"), 0}},
        QString(), {&dm_->ListaCheques});
    QVERIFY2(cheque, qPrintable(cheque.message));

    seleciona(linhaDe(QStringLiteral("Usado em cheque")));
    caixas_->answers = {true};
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btExcluir")), Qt::LeftButton);

    if (favorecido) {
        // Cheques keep the payee as text: nothing stops the delete.
        QCOMPARE(caixas_->boxes.size(), 1);
        QCOMPARE((dm_.get()->*atual().lista).locate(atual().campoChave, chave), -1);
        return;
    }
    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE(caixas_->boxes[1].title, QStringLiteral("Erro"));
    QCOMPARE(caixas_->boxes[1].text, atual().emUso);
    QCOMPARE(caixas_->boxes[1].icon, MessagePresenter::Icon::Error);
    QVERIFY((dm_.get()->*atual().lista).locate(atual().campoChave, chave) >= 0);
}

NORVEL_UI_TEST_MAIN(TestRegistrosSimples)
#include "test_registrossimples.moc"
