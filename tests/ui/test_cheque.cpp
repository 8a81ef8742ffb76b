// The cheque viewer run through the message seam as its callers run it, on
// a fresh database, printing on the virtual printer as COM7.

#include "DataLonga.h"
#include "Money.h"
#include "ImpressoraNaPorta.h"
#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uCheque.h"
#include "uDMNorvelCheque.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

class TestCheque : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void aparencia();
    void imprimirDuasVezes();
    void copiaNaoContaComoImpressao();
    void cancelarComAsDuasRespostas();
    void impressoraDesligada();
    void impressoEmOutraData();
    void preenchidoDeUmRegistro();

private:
    // A viewer filled as the cheque query fills it.
    std::unique_ptr<TfrmCheque> visualizador(const QString &valor = QStringLiteral("150,00"));
    // Runs the viewer through the seam; acao works it while it is shown.
    int executa(TfrmCheque &v, const std::function<void(TfrmCheque &)> &acao);
    static void clica(QPushButton *botao);

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<ImpressoraNaPorta> impressora_;
    std::unique_ptr<RecordingPresenter> caixas_;
    std::unique_ptr<QWidget> dono_;
    Contexto contexto_{ImpressoraNaPorta::Porta, QString()};
    int idCheque_ = 0;
};

void TestCheque::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
    contexto_.dados = dm_.get();
    const WriteResult banco = dm_->insereBanco(
        {0, QStringLiteral("341"), QStringLiteral("Itaú"), QStringLiteral("ITAU"), ImpressoraNaPorta::Leiaute}, QString());
    QVERIFY2(banco, qPrintable(banco.message));
    RegistroCheque c;
    c.idBanco = banco.chave;
    c.agencia = QStringLiteral("0001");
    c.conta = QStringLiteral("123-4");
    c.valor = Money::fromCentavos(15000);
    c.cidade = QStringLiteral("Maceió");
    c.dataEmissao = QDate(2026, 3, 14);
    const WriteResult cheque = dm_->insereCheque(c, QString());
    QVERIFY2(cheque, qPrintable(cheque.message));
    idCheque_ = cheque.chave;
    impressora_ = std::make_unique<ImpressoraNaPorta>(QList<int>{341});
}

void TestCheque::cleanupTestCase()
{
    impressora_.reset();
    dm_.reset();
    base_.reset();
}

void TestCheque::init()
{
    caixas_ = std::make_unique<RecordingPresenter>();
    impressora_->liga(true);
    dono_ = std::make_unique<QWidget>();
}

void TestCheque::cleanup()
{
    dono_.reset();
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

std::unique_ptr<TfrmCheque> TestCheque::visualizador(const QString &valor)
{
    auto v = std::make_unique<TfrmCheque>(contexto_, dono_.get());
    v->lblValor->setText(QStringLiteral("R$ ") + valor);
    v->lblFavorecido->setText(QStringLiteral("Conceição Araújo"));
    v->lblNumBanco->setText(QStringLiteral("341"));
    v->lblBanco->setText(QStringLiteral("Itaú"));
    v->lblCidade->setText(QStringLiteral("Maceió"));
    v->lblAgencia->setText(QStringLiteral("0001"));
    v->lblConta->setText(QStringLiteral("123-4"));
    v->lblNumCheque->setText(QStringLiteral("000045"));
    v->lblParcela->setText(QString());
    v->edtTipoCompensacao->setText(QStringLiteral("Nenhum"));
    v->edtCentroCusto->setText(QStringLiteral("Obras"));
    v->edtDescricao->setText(QStringLiteral("Reforma do galpão"));
    v->chkChequeTerceiro->setChecked(true);
    v->DataCheque = QDateTime(QDate(2026, 3, 14), QTime(10, 0));
    v->IdCheque = idCheque_;
    v->HabilitaImpressao(true);
    v->setWindowTitle(QStringLiteral("Visualização do cheque de ") + valor);
    return v;
}

int TestCheque::executa(TfrmCheque &v, const std::function<void(TfrmCheque &)> &acao)
{
    caixas_->dialogs.append([&](QDialog &d) {
        d.show();
        acao(v);
        d.close();
        return d.result();
    });
    return dialogs().runModal(v);
}

void TestCheque::clica(QPushButton *botao)
{
    QVERIFY(botao->isEnabled());
    QTest::mouseClick(botao, Qt::LeftButton);
}

void TestCheque::aparencia()
{
    auto v = visualizador();
    executa(*v, [](TfrmCheque &v) {
        QCOMPARE(v.size(), QSize(705, 405));
        QCOMPARE(v.minimumSize(), v.maximumSize());
        QCOMPARE(v.windowTitle(), QStringLiteral("Visualização do cheque de 150,00"));
        const struct {
            QPushButton *botao;
            const char *texto;
            int x;
        } botoes[] = {{v.btImprimir, "Imprimir", 264}, {v.btImprimirCopia, "Imprimir Cópia", 376},
                      {v.btCancelarCheque, "Cancelar Cheque", 486}, {v.btSair, "Sair", 595}};
        for (const auto &b : botoes) {
            QCOMPARE(b.botao->text(), QString::fromUtf8(b.texto));
            QCOMPARE(b.botao->geometry(), QRect(b.x, 373, 99, 25));
        }
        QGroupBox *extras = v.findChild<QGroupBox *>(QStringLiteral("grpDadosExtras"));
        QCOMPARE(extras->title(), QStringLiteral("Dados Extras"));
        QCOMPARE(extras->geometry(), QRect(8, 232, 689, 129));
        for (QWidget *w : std::initializer_list<QWidget *>{v.edtDescricao, v.edtCentroCusto, v.edtTipoCompensacao,
                                                           v.chkChequeTerceiro})
            QVERIFY(!w->isEnabled());
        QCOMPARE(v.edtDescricao->placeholderText(), QStringLiteral("Breve descrição do propósito do parcelamento"));
        QVERIFY(!v.lblDtImpressao->isVisible());
        QVERIFY(!v.dtpDataImpressao->isVisible());
        QCOMPARE(v.lblDtImpressao->text(), QStringLiteral("Data da última Impressão:"));
        // FormShow: the long date and the words of the amount.
        QCOMPARE(v.findChild<QLabel *>(QStringLiteral("lblData"))->text(), QStringLiteral("14 de março de 2026"));
        QCOMPARE(v.findChild<QLabel *>(QStringLiteral("lblValorExtenso"))->text(),
                 QString::fromStdString(Money::fromCentavos(15000).extenso()));
        bool nota = false;
        for (const QLabel *l : v.findChildren<QLabel *>())
            nota = nota || (l->text() == QStringLiteral("Obs.: O leiaute do cheque é meramente ilustrativo.")
                            && l->mapTo(&v, QPoint()) == QPoint(8, 216));
        QVERIFY(nota);
        const QString captura = qEnvironmentVariable("NORVEL_CAPTURAS");
        if (!captura.isEmpty())
            v.grab().save(captura + QStringLiteral("/visualizador.png"));
    });
}

void TestCheque::imprimirDuasVezes()
{
    auto v = visualizador();
    const qsizetype paginas = impressora_->paginas(QStringLiteral("cheque")).size();
    QDateTime primeira, antesDaSegunda;
    const int resultado = executa(*v, [&](TfrmCheque &v) {
        clica(v.btImprimir);
        QCOMPARE(caixas_->lastText(), QStringLiteral("Comando enviado para impressora com sucesso"));
        QCOMPARE(v.btImprimir->text(), QStringLiteral("Reimprimir"));
        QVERIFY(v.btImprimir->isEnabled());
        QVERIFY(v.dtpDataImpressao->isVisible());
        QVERIFY(v.lblDtImpressao->isVisible());
        primeira = v.dtpDataImpressao->dateTime();
        antesDaSegunda = QDateTime::currentDateTime();
        clica(v.btImprimir);
    });
    QCOMPARE(resultado, 1);
    // The moment of the second print.
    QVERIFY(v->dtpDataImpressao->dateTime() >= antesDaSegunda);
    QVERIFY(antesDaSegunda >= primeira);
    // " 150,00" from "R$ 150,00" is the amount the printer received.
    const QString pagina = impressora_->pagina(QStringLiteral("cheque"), int(paginas) + 2);
    QVERIFY2(pagina.contains(QStringLiteral("150,00")), qPrintable(pagina));
    QVERIFY2(pagina.contains(QStringLiteral("Conceição Araújo")), qPrintable(pagina));
}

void TestCheque::copiaNaoContaComoImpressao()
{
    auto v = visualizador();
    v->lblParcela->setText(QStringLiteral("Parcela 2/3"));
    const qsizetype documentos = impressora_->paginas(QStringLiteral("document")).size();
    const int resultado = executa(*v, [&](TfrmCheque &v) {
        clica(v.btImprimirCopia);
        QCOMPARE(caixas_->lastText(), QStringLiteral("Comando enviado para impressora com sucesso"));
        QCOMPARE(v.btImprimir->text(), QStringLiteral("Imprimir"));
    });
    QCOMPARE(resultado, -1);
    const QString copia = impressora_->pagina(QStringLiteral("document"), int(documentos) + 1);
    QVERIFY2(copia.contains(QStringLiteral("Parcela 2/3")), qPrintable(copia));
    QVERIFY2(copia.contains(QStringLiteral("Reforma do galpão")), qPrintable(copia));
}

void TestCheque::cancelarComAsDuasRespostas()
{
    const auto status = [&] {
        dm_->ConsultaChequesData.setParam(0, QDate(2026, 3, 14));
        dm_->ConsultaChequesData.reopen();
        return TdmNorvelCheque::chequeDaLinha(dm_->ConsultaChequesData,
                                              dm_->ConsultaChequesData.locate(QStringLiteral("IDCHEQUE"), idCheque_))
            .status;
    };
    auto v = visualizador();
    caixas_->answers = {false, true};
    const int resultado = executa(*v, [&](TfrmCheque &v) {
        clica(v.btCancelarCheque);
        QCOMPARE(caixas_->lastText(), QStringLiteral("Uma vez \"Cancelado\" o cheque não pode mas voltar ao Status "
                                                     "de \"Válido\". Deseja realmente cancelar o cheque ?"));
        QCOMPARE(caixas_->boxes.last().title, QStringLiteral("Norvel Cheque"));
        QCOMPARE(status(), 0);
        QVERIFY(v.btCancelarCheque->isEnabled());
        clica(v.btCancelarCheque);
        QCOMPARE(status(), 1);
        QVERIFY(!v.btCancelarCheque->isEnabled());
    });
    QCOMPARE(resultado, -1);
    QCOMPARE(caixas_->boxes.size(), 2);
}

void TestCheque::impressoraDesligada()
{
    impressora_->liga(false);
    auto v = visualizador();
    const int resultado = executa(*v, [&](TfrmCheque &v) {
        clica(v.btImprimir);
        QCOMPARE(caixas_->boxes.size(), 1);
        QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Error);
        QCOMPARE(v.btImprimir->text(), QStringLiteral("Imprimir"));
        QVERIFY(!v.dtpDataImpressao->isVisible());
    });
    QCOMPARE(resultado, -1);
}

// Printed before: the caller's date and "Reimprimir"; a later failing print
// does not undo a success of the same showing.
void TestCheque::impressoEmOutraData()
{
    auto v = visualizador();
    v->IndicaImpressao(QDateTime(QDate(2026, 2, 1), QTime(9, 30)));
    const int resultado = executa(*v, [&](TfrmCheque &v) {
        QCOMPARE(v.btImprimir->text(), QStringLiteral("Reimprimir"));
        QVERIFY(v.dtpDataImpressao->isVisible());
        QCOMPARE(v.dtpDataImpressao->date(), QDate(2026, 2, 1));
        clica(v.btImprimir);
        QCOMPARE(v.dtpDataImpressao->date(), QDate::currentDate());
        impressora_->liga(false);
        clica(v.btImprimir);
    });
    QCOMPARE(resultado, 1);
}

// What the query window and the series windows hand over: a stored cheque,
// printed or cancelled, and an installment without a row of its own.
void TestCheque::preenchidoDeUmRegistro()
{
    RegistroCheque c;
    c.idCheque = idCheque_;
    c.numBanco = QStringLiteral("341");
    c.nomeBanco = QStringLiteral("Itaú");
    c.agencia = QStringLiteral("0001");
    c.conta = QStringLiteral("123-4");
    c.numCheque = QStringLiteral("000045");
    c.favorecido = QStringLiteral("Conceição Araújo");
    c.cidade = QStringLiteral("Maceió");
    c.valor = Money::fromCentavos(15000);
    c.dataEmissao = QDate(2026, 3, 14);
    c.jaImpresso = true;
    c.dataImpressao = QDate(2026, 3, 15);
    c.terceiro = true;
    c.nomeCentroCusto = QStringLiteral("Obras");
    c.nomeCompensacao = QStringLiteral("Nenhum");
    c.descricao = QStringLiteral("Reforma do galpão");

    TfrmCheque impresso(contexto_, dono_.get());
    impresso.preenche(c);
    QCOMPARE(impresso.lblValor->text(), QStringLiteral("R$ 150,00"));
    for (const auto &[rotulo, texto] : {std::pair{impresso.lblFavorecido, c.favorecido},
                                        {impresso.lblNumBanco, c.numBanco}, {impresso.lblBanco, c.nomeBanco},
                                        {impresso.lblCidade, c.cidade}, {impresso.lblAgencia, c.agencia},
                                        {impresso.lblConta, c.conta}, {impresso.lblNumCheque, c.numCheque},
                                        {impresso.lblParcela, QString()}})
        QCOMPARE(rotulo->text(), texto);
    QCOMPARE(impresso.edtTipoCompensacao->text(), c.nomeCompensacao);
    QCOMPARE(impresso.edtCentroCusto->text(), c.nomeCentroCusto);
    QCOMPARE(impresso.edtDescricao->text(), c.descricao);
    QVERIFY(impresso.chkChequeTerceiro->isChecked());
    QCOMPARE(impresso.DataCheque.date(), c.dataEmissao);
    QCOMPARE(impresso.IdCheque, idCheque_);
    QVERIFY(impresso.btCancelarCheque->isEnabled());
    QCOMPARE(impresso.btImprimir->text(), QStringLiteral("Reimprimir"));
    QCOMPARE(impresso.dtpDataImpressao->date(), QDate(2026, 3, 15));
    QVERIFY(!impresso.dtpDataImpressao->isHidden());

    c.status = 1;
    TfrmCheque cancelado(contexto_, dono_.get());
    cancelado.preenche(c);
    QVERIFY(!cancelado.btCancelarCheque->isEnabled());

    c.status = 0;
    c.idCheque = 0;
    c.jaImpresso = false;
    TfrmCheque parcela(contexto_, dono_.get());
    parcela.preenche(c, QStringLiteral("3ª/12"));
    QCOMPARE(parcela.lblParcela->text(), QStringLiteral("3ª/12"));
    QVERIFY(!parcela.btCancelarCheque->isEnabled());
    QCOMPARE(parcela.btImprimir->text(), QStringLiteral("Imprimir"));
    QVERIFY(parcela.dtpDataImpressao->isHidden());
    parcela.apenasMostra();
    for (QPushButton *botao : {parcela.btImprimir, parcela.btImprimirCopia, parcela.btCancelarCheque})
        QVERIFY(botao->isHidden());
    QVERIFY(!parcela.btSair->isHidden());
}

NORVEL_UI_TEST_MAIN(TestCheque)
#include "test_cheque.moc"
