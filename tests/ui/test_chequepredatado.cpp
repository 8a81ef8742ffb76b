// The post-dated series entry window driven by its control names on a fresh
// database; its printing run and its preview answered through the seam, or
// the run printing on the virtual printer as COM7.

#include "CaixaBusca.h"
#include "DataLonga.h"
#include "ImpressoraNaPorta.h"
#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uCheque.h"
#include "uChequePreDatado.h"
#include "uDMNorvelCheque.h"
#include "uImprimePreDatados.h"
#include "UpDown.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

namespace {

const QString Salvo = QStringLiteral("Dados salvos com sucesso!\nPara cancelar o pré-datado, utilize o menu: \n"
                                     "\"Consultar->Cheques pré-datados...\"");
const QString TituloRun = QStringLiteral("Impressão de cheques Pré-datados");

} // namespace

class TestChequePreDatado : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void gradeDe25ELinhaDeInformacao();
    void numeroDeParcelasForaDosLimites();
    void camposObrigatoriosEmOrdem_data();
    void camposObrigatoriosEmOrdem();
    void salvaComTodosOsDadosEMarcaImpresso();
    void execucaoImprimeNaImpressora();
    void falhaAoSalvarTravaENovoDestrava();
    void visualizaParcela();

private:
    template <typename T> T *controle(const char *nome);
    QLineEdit *caixa(const char *nome) { return controle<QLineEdit>(nome); }
    QTableWidget *grade() { return controle<QTableWidget>("grdParcelas"); }
    void clica(const char *botao);
    // Types text into a box and leaves it with Tab.
    void digita(const char *nome, const QString &texto);
    // Every required box: a description, bank 237, the total (digits, as
    // typed), agency, account, the installment count and the cheque number;
    // the city is the default one, the period one month. The focus ends in
    // the payee, a box without a leave rule.
    void preenche(const QString &valor, int parcelas, const QString &numCheque = QStringLiteral("500"));
    std::optional<RegistroPreDatado> serieDe(const QDate &data);

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<ImpressoraNaPorta> impressora_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_{ImpressoraNaPorta::Porta, QStringLiteral("São Paulo")};
    TfrmChequePreDatado *janela_ = nullptr;
};

void TestChequePreDatado::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
    contexto_.dados = dm_.get();
    const WriteResult r = dm_->insereBanco(
        {0, QStringLiteral("237"), QStringLiteral("Bradesco"), QStringLiteral("B"), ImpressoraNaPorta::Leiaute},
        QString());
    QVERIFY2(r, qPrintable(r.message));
    for (const auto &[cadastro, nome] : {std::pair{Cadastro::Favorecido, "José da Conceição"},
                                         {Cadastro::CentroCusto, "Obras"},
                                         {Cadastro::Compensacao, "Compensação local"}})
        QVERIFY(dm_->insereCadastro(cadastro, QString::fromUtf8(nome), QString()));
    impressora_ = std::make_unique<ImpressoraNaPorta>(QList<int>{237});
}

void TestChequePreDatado::cleanupTestCase()
{
    impressora_.reset();
    dm_.reset();
    base_.reset();
}

void TestChequePreDatado::init()
{
    caixas_ = std::make_unique<RecordingPresenter>();
    dm_->FiltroBanco.clear();
    dm_->ListaBancos2.reopen();
    janela_ = new TfrmChequePreDatado(contexto_);
    janela_->show();
    if (!QTest::qWaitForWindowActive(janela_))
        qWarning("window not active: the leave rules will not run");
}

void TestChequePreDatado::cleanup()
{
    if (janela_)
        janela_->close();
    janela_ = nullptr;
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

template <typename T> T *TestChequePreDatado::controle(const char *nome)
{
    T *achado = janela_->findChild<T *>(QLatin1String(nome));
    if (!achado)
        qWarning("no control %s", nome);
    return achado;
}

void TestChequePreDatado::clica(const char *botao)
{
    QAbstractButton *bt = controle<QAbstractButton>(botao);
    QVERIFY(bt);
    QVERIFY2(bt->isEnabled(), botao);
    QTest::mouseMove(bt);
    QTest::mouseClick(bt, Qt::LeftButton);
}

void TestChequePreDatado::digita(const char *nome, const QString &texto)
{
    QWidget *box = controle<QWidget>(nome);
    box->setFocus(Qt::TabFocusReason);
    for (const QChar letra : texto) {
        // keyClicks cannot type accented letters: send what a keyboard sends.
        QKeyEvent aperta(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letra));
        QKeyEvent solta(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(letra));
        QApplication::sendEvent(box, &aperta);
        QApplication::sendEvent(box, &solta);
    }
    QTest::keyClick(box, Qt::Key_Tab);
}

void TestChequePreDatado::preenche(const QString &valor, int parcelas, const QString &numCheque)
{
    caixa("edtDescricao")->setText(QStringLiteral("Reforma da loja"));
    digita("edtNumBanco", QStringLiteral("237"));
    QTest::keyClick(controle<QWidget>("edtBanco"), Qt::Key_Tab);
    digita("edtValor", valor);
    digita("edtAgencia", QStringLiteral("1234-5"));
    digita("edtConta", QStringLiteral("56789-0"));
    caixa("edtNumParcelas")->clear();
    digita("edtNumParcelas", QString::number(parcelas));
    digita("edtNumCheque", numCheque);
}

std::optional<RegistroPreDatado> TestChequePreDatado::serieDe(const QDate &data)
{
    norvel::db::DbQuery &consulta = dm_->consultaPreDatadosPorData(data);
    while (consulta.canFetchMore())
        consulta.fetchMore();
    for (int linha = consulta.rowCount() - 1; linha >= 0; --linha) {
        const RegistroPreDatado serie = TdmNorvelCheque::preDatadoDaLinha(consulta, linha);
        if (serie.idPreDatado == janela_->idPreDatado())
            return serie;
    }
    return std::nullopt;
}

void TestChequePreDatado::gradeDe25ELinhaDeInformacao()
{
    QCOMPARE(janela_->windowTitle(), QStringLiteral("Cheque pré-datado"));
    QCOMPARE(janela_->minimumSize(), janela_->maximumSize());
    // Its frame fits the client area of a 1366×768 screen with a task bar.
    QVERIFY2(janela_->height() + 30 <= 613, qPrintable(QString::number(janela_->height())));
    QCOMPARE(caixa("edtCidade")->text(), QStringLiteral("São Paulo"));
    QCOMPARE(controle<QComboBox>("cmbPeriodo")->currentText(), QStringLiteral("Mês(es)"));
    QVERIFY(!controle<QLabel>("lblDadosCheque")->isVisible());

    controle<DataLonga>("dtpDataCheque")->setDate(QDate(2009, 1, 31));
    preenche(QStringLiteral("123456"), 25);
    QCOMPARE(caixa("edtValor")->text(), QStringLiteral("1234,56"));
    QTableWidget *g = grade();
    QCOMPARE(g->rowCount(), 10);
    QCOMPARE(g->columnCount(), 6);
    for (int coluna = 0; coluna < 6; ++coluna)
        QCOMPARE(g->columnWidth(coluna), coluna % 2 ? 68 : 30);
    QCOMPARE(g->rowHeight(9), 21);
    const auto celula = [g](int linha, int coluna) {
        const QTableWidgetItem *item = g->item(linha, coluna);
        return item ? item->text() : QString();
    };
    // The first takes the difference: 25 × 49,38 is 1234,50.
    QCOMPARE(celula(0, 0), QStringLiteral("1ª"));
    QCOMPARE(celula(0, 1), QStringLiteral("R$ 49,44"));
    QCOMPARE(celula(9, 0), QStringLiteral("10ª"));
    QCOMPARE(celula(0, 2), QStringLiteral("11ª"));
    QCOMPARE(celula(9, 3), QStringLiteral("R$ 49,38"));
    QCOMPARE(celula(4, 4), QStringLiteral("25ª"));
    QCOMPARE(celula(4, 5), QStringLiteral("R$ 49,38"));
    QCOMPARE(celula(5, 4), QString());
    QVERIFY(g->editTriggers() == QAbstractItemView::NoEditTriggers);

    // The info line follows the cell, the period and its unit.
    auto *info = controle<QLabel>("lblDadosCheque");
    QCOMPARE(info->text(), QStringLiteral("1ª parcela de 25 no valor de R$ 49,44 a ser debitado em 31/01/2009"));
    g->setCurrentCell(1, 1);
    QCOMPARE(info->text(), QStringLiteral("2ª parcela de 25 no valor de R$ 49,38 a ser debitado em 28/02/2009"));
    g->setCurrentCell(2, 0);
    QCOMPARE(info->text(), QStringLiteral("3ª parcela de 25 no valor de R$ 49,38 a ser debitado em 31/03/2009"));
    controle<DataLonga>("dtpDataCheque")->setDate(QDate(2009, 3, 1));
    caixa("edtValorPeriodo")->clear();
    digita("edtValorPeriodo", QStringLiteral("15"));
    controle<QComboBox>("cmbPeriodo")->setCurrentIndex(0);
    QCOMPARE(info->text(), QStringLiteral("3ª parcela de 25 no valor de R$ 49,38 a ser debitado em 31/03/2009"));
    QVERIFY(info->isVisible());
    QVERIFY(controle<QPushButton>("btVisualizar")->isEnabled());
    QVERIFY(caixas_->boxes.isEmpty());

    const QString capturas = qEnvironmentVariable("NORVEL_CAPTURAS");
    if (!capturas.isEmpty())
        janela_->grab().save(capturas + QStringLiteral("/chequepredatado.png"));

    // An empty cell hides the line and offers no preview.
    g->setCurrentCell(5, 5);
    QVERIFY(!info->isVisible());
    QVERIFY(!controle<QPushButton>("btVisualizar")->isEnabled());
}

void TestChequePreDatado::numeroDeParcelasForaDosLimites()
{
    digita("edtValor", QStringLiteral("100000"));
    const QString limites = QStringLiteral("O número de parcelas deve ser maior que 2 e menor que 1000");
    for (const auto &[digitado, corrigido, colunas] :
         {std::tuple{"1001", "1000", 202}, {"1", "2", 2}, {"1000", "1000", 202}, {"2", "2", 2}}) {
        caixas_->boxes.clear();
        caixa("edtNumParcelas")->clear();
        digita("edtNumParcelas", QLatin1String(digitado));
        QCOMPARE(caixa("edtNumParcelas")->text(), QLatin1String(corrigido));
        QCOMPARE(grade()->columnCount(), colunas);
        if (QLatin1String(digitado) == QLatin1String(corrigido)) {
            QVERIFY(caixas_->boxes.isEmpty());
        } else {
            QCOMPARE(caixas_->boxes.size(), 1);
            QCOMPARE(caixas_->boxes[0].text, limites);
            QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Warning);
        }
    }
    // The arrows step within the same limits and rebuild the grid.
    auto *setas = controle<UpDown>("udNumParcelas");
    setas->click(UpDown::Button::Down);
    QCOMPARE(caixa("edtNumParcelas")->text(), QStringLiteral("2"));
    setas->click(UpDown::Button::Up);
    QCOMPARE(caixa("edtNumParcelas")->text(), QStringLiteral("3"));
    QCOMPARE(grade()->item(2, 1)->text(), QStringLiteral("R$ 333,33"));
    QCOMPARE(grade()->item(0, 1)->text(), QStringLiteral("R$ 333,34"));
}

void TestChequePreDatado::camposObrigatoriosEmOrdem_data()
{
    // Each row empties its box and every one after it: the first is named.
    QTest::addColumn<int>("primeiro");
    const char *nomes[] = {"Descrição", "Banco", "Valor", "Agencia", "Conta", "Cidade", "Núm. de Parcelas",
                           "Periodo de Impressao", "Nº inicial do Cheque"};
    for (int i = 0; i < 9; ++i)
        QTest::newRow(nomes[i]) << i;
}

void TestChequePreDatado::camposObrigatoriosEmOrdem()
{
    QFETCH(int, primeiro);
    const std::pair<const char *, const char *> campos[] = {
        {"edtDescricao", "Descrição"},
        {"edtBanco", "Banco"},
        {"edtValor", "Valor"},
        {"edtAgencia", "Agencia"},
        {"edtConta", "Conta"},
        {"edtCidade", "Cidade"},
        {"edtNumParcelas", "Núm. de Parcelas"},
        {"edtValorPeriodo", "Periodo de Impressao"},
        {"edtNumCheque", "Nº inicial do Cheque"},
    };
    preenche(QStringLiteral("10000"), 4);
    for (int i = primeiro; i < 9; ++i) {
        if (i == 1)
            controle<CaixaBusca>("edtBanco")->limpa();
        else
            caixa(campos[i].first)->clear();
    }
    caixas_->boxes.clear();
    clica("btImprimir");
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].text,
             QStringLiteral("O Campo %1 deve ser preenchido!").arg(QString::fromUtf8(campos[primeiro].second)));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Warning);
    QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(campos[primeiro].first));
    // Nothing stored, nothing locked.
    QCOMPARE(janela_->idPreDatado(), 0);
    QVERIFY(controle<QPushButton>("btImprimir")->isEnabled());
}

void TestChequePreDatado::salvaComTodosOsDadosEMarcaImpresso()
{
    controle<DataLonga>("dtpDataCheque")->setDate(QDate(2009, 3, 1));
    preenche(QStringLiteral("10000"), 3);
    caixa("edtValorPeriodo")->clear();
    digita("edtValorPeriodo", QStringLiteral("15"));
    controle<QComboBox>("cmbPeriodo")->setCurrentIndex(0);
    for (const auto &[nome, escolha] : {std::pair{"edtNomeFavorecido", "José da Conceição"},
                                        {"edtCentroCusto", "Obras"},
                                        {"edtTipoCompensacao", "Compensação local"}}) {
        auto *busca = controle<CaixaBusca>(nome);
        busca->setCurrentIndex(busca->findText(QString::fromUtf8(escolha)));
        QVERIFY2(busca->currentIndex() >= 0, nome);
    }
    caixa("edtCidade")->setText(QStringLiteral("Maceió"));
    clica("chkChequeTerceiro");
    clica("chkJaImpresso");
    QVERIFY(controle<QWidget>("dtpImpressao")->isVisible());
    controle<DataLonga>("dtpImpressao")->setDate(QDate(2009, 2, 20));

    // The run gets the stored series; while it is open the series carries
    // the print date picked.
    std::optional<RegistroPreDatado> antesDaMarca;
    QStringList legendas;
    PlanoParcelas plano;
    caixas_->dialogs.append([&](QDialog &d) {
        auto &run = dynamic_cast<TfrmImprimePreDatados &>(d);
        antesDaMarca = serieDe(QDate(2009, 3, 1));
        for (const QLabel *l : {run.lblFavorecido, run.lblNumBanco, run.lblBanco, run.lblCidade, run.lblAgencia,
                                run.lblConta})
            legendas.append(l->text());
        plano = run.Plano;
        return int(QDialog::Accepted);
    });
    clica("btImprimir");
    QCOMPARE(caixas_->dialogTitles, QStringList{TituloRun});
    QCOMPARE(legendas, (QStringList{QStringLiteral("José da Conceição"), QStringLiteral("237"),
                                    QStringLiteral("Bradesco"), QStringLiteral("Maceió"), QStringLiteral("1234-5"),
                                    QStringLiteral("56789-0")}));
    QCOMPARE(plano.parcelas.size(), std::size_t(3));
    QCOMPARE(plano.parcelas[0].textoValor(), QStringLiteral("R$ 33,34"));
    QCOMPARE(plano.parcelas[2].textoValor(), QStringLiteral("R$ 33,33"));
    QCOMPARE(plano.parcelas[2].data, QDate(2009, 3, 31));
    QCOMPARE(plano.parcelas[2].numeroCheque, std::optional<std::int64_t>(502));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].text, Salvo);
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Information);

    QVERIFY(antesDaMarca);
    QVERIFY(antesDaMarca->jaImpresso);
    QCOMPARE(antesDaMarca->dataImpressao, std::optional<QDate>(QDate(2009, 2, 20)));
    const std::optional<RegistroPreDatado> s = serieDe(QDate(2009, 3, 1));
    QVERIFY(s);
    QCOMPARE(s->numBanco, QStringLiteral("237"));
    QCOMPARE(s->agencia, QStringLiteral("1234-5"));
    QCOMPARE(s->conta, QStringLiteral("56789-0"));
    QCOMPARE(s->numInicialCheque, QStringLiteral("500"));
    QCOMPARE(s->favorecido, QStringLiteral("José da Conceição"));
    QCOMPARE(s->cidade, QStringLiteral("Maceió"));
    QCOMPARE(s->valor.toText(), QStringLiteral("100,00"));
    QCOMPARE(s->dataInicialEmissao, QDate(2009, 3, 1));
    QVERIFY(s->terceiro);
    QVERIFY(!s->importado);
    QCOMPARE(s->nomeCentroCusto, QStringLiteral("Obras"));
    QCOMPARE(s->nomeCompensacao, QStringLiteral("Compensação local"));
    QCOMPARE(s->numParcelas, 3);
    QCOMPARE(s->valorPeriodoImpressao, 15);
    QCOMPARE(s->periodoImpressao, QStringLiteral("Dia(s)"));
    QCOMPARE(s->descricao, QStringLiteral("Reforma da loja"));
    QCOMPARE(s->status, 0);
    // A run that printed marks the series printed today.
    QVERIFY(s->jaImpresso);
    QCOMPARE(s->dataImpressao, std::optional<QDate>(QDate::currentDate()));

    // Locked: the series is stored once.
    for (const char *nome : {"edtDescricao", "edtCentroCusto", "edtTipoCompensacao", "chkChequeTerceiro",
                             "chkJaImpresso", "dtpDataCheque", "edtNumBanco", "edtBanco", "edtValor", "edtAgencia",
                             "edtConta", "edtNumCheque", "edtNomeFavorecido", "edtCidade", "edtNumParcelas",
                             "udNumParcelas", "edtValorPeriodo", "udValorPeriodo", "cmbPeriodo", "btImprimir"})
        QVERIFY2(!controle<QWidget>(nome)->isEnabled(), nome);
    for (const char *nome : {"btVisualizar", "grdParcelas", "btNovoCheque", "btSair", "ToolButton1"})
        QVERIFY2(controle<QWidget>(nome)->isEnabled(), nome);
}

void TestChequePreDatado::execucaoImprimeNaImpressora()
{
    controle<DataLonga>("dtpDataCheque")->setDate(QDate(2009, 1, 31));
    preenche(QStringLiteral("10000"), 2);
    const qsizetype antes = impressora_->paginas(QStringLiteral("cheque")).size();
    caixas_->answers = {true, true};   // start the run, then leave it
    caixas_->choices = {MessagePresenter::Answer::Yes};
    caixas_->dialogs.append([](QDialog &d) {
        auto &run = dynamic_cast<TfrmImprimePreDatados &>(d);
        run.setEsperaImpressao(std::chrono::milliseconds(0));
        d.show();
        QTest::mouseClick(run.findChild<QPushButton *>(QStringLiteral("btImprimir")), Qt::LeftButton);
        d.close();
        return d.result();
    });
    clica("btImprimir");
    QCOMPARE(caixas_->lastText(), QStringLiteral("Você tem certeza que deseja sair?"));

    const QStringList paginas = {impressora_->pagina(QStringLiteral("cheque"), int(antes) + 1),
                                 impressora_->pagina(QStringLiteral("cheque"), int(antes) + 2)};
    QVERIFY2(paginas[0].contains(QStringLiteral("50,00")) && paginas[0].contains(QStringLiteral("janeiro")),
             qPrintable(paginas[0]));
    QVERIFY2(paginas[1].contains(QStringLiteral("50,00")) && paginas[1].contains(QStringLiteral("fevereiro")),
             qPrintable(paginas[1]));
    const std::optional<RegistroPreDatado> s = serieDe(QDate(2009, 1, 31));
    QVERIFY(s);
    QVERIFY(s->jaImpresso);
    QCOMPARE(s->dataImpressao, std::optional<QDate>(QDate::currentDate()));
}

void TestChequePreDatado::falhaAoSalvarTravaENovoDestrava()
{
    controle<DataLonga>("dtpDataCheque")->setDate(QDate(2009, 5, 10));
    // A number past what the register's column holds: the insert fails.
    preenche(QStringLiteral("10000"), 12, QStringLiteral("9999999999"));
    caixa("edtValorPeriodo")->clear();
    digita("edtValorPeriodo", QStringLiteral("2"));
    caixa("edtCidade")->setText(QStringLiteral("Recife"));
    clica("btImprimir");
    QCOMPARE(caixas_->boxes.size(), 1);
    QVERIFY2(caixas_->boxes[0].text.startsWith(QStringLiteral("Erro ao salvar dados dos cheques pré-datados: ")),
             qPrintable(caixas_->boxes[0].text));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Error);
    QVERIFY(caixas_->dialogTitles.isEmpty());
    QCOMPARE(janela_->idPreDatado(), 0);
    QVERIFY(!controle<QWidget>("btImprimir")->isEnabled());
    QVERIFY(!controle<QWidget>("edtValor")->isEnabled());

    // "Novo": No keeps it all, Yes clears the series but for the city,
    // dates, count and period.
    clica("btNovoCheque");
    QCOMPARE(caixas_->boxes.last().title, QStringLiteral("Norvl Cheque"));
    QVERIFY(!controle<QWidget>("btImprimir")->isEnabled());
    caixas_->answers = {true};
    clica("btNovoCheque");
    for (const char *nome : {"edtDescricao", "edtNumBanco", "edtValor", "edtAgencia", "edtConta", "edtNumCheque"})
        QVERIFY2(caixa(nome)->text().isEmpty(), nome);
    for (const char *nome : {"edtBanco", "edtNomeFavorecido", "edtCentroCusto", "edtTipoCompensacao"})
        QCOMPARE(controle<CaixaBusca>(nome)->currentIndex(), -1);
    QCOMPARE(caixa("edtCidade")->text(), QStringLiteral("Recife"));
    QCOMPARE(controle<DataLonga>("dtpDataCheque")->date(), QDate(2009, 5, 10));
    QCOMPARE(caixa("edtNumParcelas")->text(), QStringLiteral("12"));
    QCOMPARE(caixa("edtValorPeriodo")->text(), QStringLiteral("2"));
    QCOMPARE(controle<QComboBox>("cmbPeriodo")->currentIndex(), 1);
    QCOMPARE(grade()->columnCount(), 4);
    QCOMPARE(grade()->item(0, 0), nullptr);
    QVERIFY(!controle<QLabel>("lblDadosCheque")->isVisible());
    QVERIFY(!controle<QWidget>("btVisualizar")->isEnabled());
    for (const char *nome : {"edtValor", "edtBanco", "edtNumParcelas", "udNumParcelas", "btImprimir"})
        QVERIFY2(controle<QWidget>(nome)->isEnabled(), nome);
}

void TestChequePreDatado::visualizaParcela()
{
    controle<DataLonga>("dtpDataCheque")->setDate(QDate(2009, 1, 10));
    preenche(QStringLiteral("120000"), 12, QStringLiteral("100"));
    auto *centro = controle<CaixaBusca>("edtCentroCusto");
    centro->setCurrentIndex(centro->findText(QStringLiteral("Obras")));
    grade()->setCurrentCell(2, 1);

    QStringList face;
    QDate data;
    bool soMostra = false;
    caixas_->dialogs.append([&](QDialog &d) {
        auto &visor = dynamic_cast<TfrmCheque &>(d);
        for (const QLabel *l : {visor.lblValor, visor.lblParcela, visor.lblNumCheque, visor.lblNumBanco,
                                visor.lblBanco, visor.lblCidade, visor.lblAgencia})
            face.append(l->text());
        face.append(visor.edtCentroCusto->text());
        data = visor.DataCheque.date();
        soMostra = visor.btImprimir->isHidden() && visor.btImprimirCopia->isHidden()
                   && visor.btCancelarCheque->isHidden() && visor.parent() == janela_;
        return int(QDialog::Rejected);
    });
    clica("btVisualizar");
    QCOMPARE(caixas_->dialogTitles,
             QStringList{QStringLiteral("Visualização do cheque de R$ 100,00 referente a 3ª parcela de 12")});
    QCOMPARE(face, (QStringList{QStringLiteral("R$ 100,00"), QStringLiteral("3ª/12"), QStringLiteral("102"),
                                QStringLiteral("237"), QStringLiteral("Bradesco"), QStringLiteral("São Paulo"),
                                QStringLiteral("1234-5"), QStringLiteral("Obras")}));
    QCOMPARE(data, QDate(2009, 3, 10));
    QVERIFY(soMostra);

    // A double click on an empty cell shows nothing.
    grade()->setCurrentCell(3, 3);
    QTest::mouseDClick(grade()->viewport(), Qt::LeftButton, {},
                       grade()->visualRect(grade()->model()->index(3, 3)).center());
    QCOMPARE(caixas_->dialogTitles.size(), 1);
}

NORVEL_UI_TEST_MAIN(TestChequePreDatado)
#include "test_chequepredatado.moc"
