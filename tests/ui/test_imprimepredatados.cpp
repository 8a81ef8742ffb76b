// The post-dated printing run through the message seam as its callers run
// it, printing on the virtual printer as COM7: monthly installments from
// 10/01/2009.

#include "ImpressoraNaPorta.h"
#include "PlanoParcelas.h"
#include "RecordingPresenter.h"
#include "UiTest.h"
#include "uImprimePreDatados.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

using Resposta = MessagePresenter::Answer;

const QString Inicio = QStringLiteral("Para inciar a impressão dos cheques pré-datados, posicione o papel na "
                                      "impressora e pressione o botão Sim");
const QString Proxima = QStringLiteral("Posicione o papel na impressora.\n\nPara imprimir a próxima parcela, precione "
                                       "Sim.\nPara reimprimir a mesma parcela pressione Não.\nPara cancelar a operação "
                                       "pressione Cancelar.");
const QString Fim = QStringLiteral("Impressão dos cheques pré-datados finalizada.");
const QString Sair = QStringLiteral("Você tem certeza que deseja sair?");
const QString Desligada = QStringLiteral("Impressora desligada ou sem comunicação.\nPor favor verifique se a "
                                         "impressora está ligada ou se o cabo está conectado.");
const QString Tentar = QStringLiteral("Tentar novamente?");

class TestImprimePreDatados : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { impressora_ = std::make_unique<ImpressoraNaPorta>(QList<int>{341}); }
    void cleanupTestCase() { impressora_.reset(); }
    void init()
    {
        caixas_ = std::make_unique<RecordingPresenter>();
        impressora_->liga(true);
    }
    void cleanup()
    {
        caixas_.reset();
        VERIFICA_SEM_JANELAS();
    }

    void parcelasBotoesECopia();
    void execucao_data();
    void execucao();

private:
    // Runs a series of parcelas installments of 100,00 (100,00 in all for
    // three: 33,34 / 33,33 / 33,33) through the seam; acao works it.
    int executa(int parcelas, std::optional<int> numCheque, const std::function<void(TfrmImprimePreDatados &)> &acao)
    {
        QWidget dono;
        TfrmImprimePreDatados j(contexto_, &dono);
        j.lblFavorecido->setText(QStringLiteral("Conceição Araújo"));
        j.lblNumBanco->setText(QStringLiteral("341"));
        j.lblBanco->setText(QStringLiteral("Itaú"));
        j.lblCidade->setText(QStringLiteral("Maceió"));
        j.lblAgencia->setText(QStringLiteral("0001"));
        j.lblConta->setText(QStringLiteral("123-4"));
        const Money total = Money::fromCentavos(parcelas == 3 ? 10000 : 10000 * parcelas);
        j.Plano = planoParcelas(total, parcelas, QDate(2009, 1, 10), 1, UnidadeMeses, numCheque);
        j.setEsperaImpressao(std::chrono::milliseconds(0));
        caixas_->dialogs.append([&](QDialog &d) {
            d.show();
            acao(j);
            d.close();
            return d.result();
        });
        return dialogs().runModal(j);
    }
    static QString rotulo(TfrmImprimePreDatados &j, const char *nome)
    {
        return j.findChild<QLabel *>(QLatin1String(nome))->text();
    }
    static QPushButton *botao(TfrmImprimePreDatados &j, const char *nome)
    {
        return j.findChild<QPushButton *>(QLatin1String(nome));
    }
    static void clica(TfrmImprimePreDatados &j, const char *nome) { QTest::mouseClick(botao(j, nome), Qt::LeftButton); }

    std::unique_ptr<ImpressoraNaPorta> impressora_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_{ImpressoraNaPorta::Porta, QString()};
};

void TestImprimePreDatados::parcelasBotoesECopia()
{
    const int documentos = int(impressora_->paginas(QStringLiteral("document")).size());
    caixas_->answers = {false, true}; // the first close is refused
    const int resultado = executa(12, 500, [&](TfrmImprimePreDatados &j) {
        QVERIFY(j.width() <= 1366 && j.height() <= 700 && j.minimumSize() == j.maximumSize());
        QCOMPARE(rotulo(j, "lblNumCheque"), QStringLiteral("500"));
        QVERIFY(!botao(j, "btAnterior")->isEnabled());
        clica(j, "btProximo");
        clica(j, "btProximo");
        QCOMPARE(rotulo(j, "lblParcela"), QStringLiteral("3ª/12"));
        QCOMPARE(rotulo(j, "lblNumCheque"), QStringLiteral("502"));
        QCOMPARE(rotulo(j, "lblValorExtenso"), QStringLiteral("CEM REAIS"));
        QCOMPARE(rotulo(j, "lblData"), QStringLiteral("10 de março de 2009"));
        clica(j, "btImprimirCopia");
        QCOMPARE(caixas_->lastText(), QStringLiteral("Comando enviado para impressora com sucesso"));
        j.MostraParcela(12);
        j.MostraParcela(13); // out of range: only the buttons
        QCOMPARE(rotulo(j, "lblParcela"), QStringLiteral("12ª/12"));
        QVERIFY(botao(j, "btAnterior")->isEnabled() && !botao(j, "btProximo")->isEnabled());
        j.close();
        QVERIFY(j.isVisible());
    });
    // A copy alone leaves the series unprinted; its words are printed again
    // as its description.
    QCOMPARE(resultado, int(QDialog::Rejected));
    const QString copia = impressora_->pagina(QStringLiteral("document"), documentos + 1);
    QVERIFY2(copia.indexOf(QStringLiteral("CEM REAIS"), copia.indexOf(QStringLiteral("DESCRICAO"))) > 0
                 && copia.contains(QStringLiteral("502")),
             qPrintable(copia));

    caixas_->answers = {true};
    executa(2, 0, [](TfrmImprimePreDatados &j) {
        QVERIFY(!botao(j, "btAnterior")->isEnabled() && botao(j, "btProximo")->isEnabled());
        QCOMPARE(rotulo(j, "lblNumCheque"), QString());
        clica(j, "btProximo");
        QCOMPARE(rotulo(j, "lblNumCheque"), QString());
    });
}

void TestImprimePreDatados::execucao_data()
{
    QTest::addColumn<int>("parcelas");
    QTest::addColumn<int>("avancos");       // "Próxima Parcela" before "Imprimir"
    QTest::addColumn<bool>("desliga");      // the printer goes off during the first cheque
    QTest::addColumn<QList<bool>>("sims");  // after the start question, before the close one
    QTest::addColumn<QList<Resposta>>("proximas");
    QTest::addColumn<QStringList>("caixas");
    QTest::addColumn<QStringList>("cheques"); // value and month of each page
    QTest::newRow("Sim, Sim") << 3 << 0 << false << QList<bool>{} << QList<Resposta>{Resposta::Yes, Resposta::Yes}
                              << QStringList{Inicio, Proxima, Proxima, Fim, Sair}
                              << QStringList{"33,34 janeiro", "33,33 fevereiro", "33,33 março"};
    QTest::newRow("Sim, Não, Cancelar")
        << 3 << 0 << false << QList<bool>{} << QList<Resposta>{Resposta::Yes, Resposta::No, Resposta::Cancel}
        << QStringList{Inicio, Proxima, Proxima, Proxima, Sair}
        << QStringList{"33,34 janeiro", "33,33 fevereiro", "33,33 fevereiro"};
    QTest::newRow("da 3ª de 3") << 3 << 2 << false << QList<bool>{} << QList<Resposta>{}
                                << QStringList{Inicio, Fim, Sair} << QStringList{"33,33 março"};
    QTest::newRow("da 3ª de 12") << 12 << 2 << false << QList<bool>{} << QList<Resposta>{Resposta::Yes, Resposta::Cancel}
                                 << QStringList{Inicio, Proxima, Proxima, Sair}
                                 << QStringList{"100,00 março", "100,00 abril"};
    // A failed last cheque not retried ends the run without the notice.
    QTest::newRow("desligada") << 2 << 0 << true << QList<bool>{true, false} << QList<Resposta>{Resposta::Yes}
                               << QStringList{Inicio, Proxima, Desligada, Tentar, Desligada, Tentar, Sair}
                               << QStringList{"100,00 janeiro"};
}

// Every row runs with a click on "Próxima Parcela" arriving during the
// first wait: it is dropped, or the pages would not be the row's.
void TestImprimePreDatados::execucao()
{
    QFETCH(int, parcelas);
    QFETCH(int, avancos);
    QFETCH(bool, desliga);
    QFETCH(QList<bool>, sims);
    QFETCH(QList<Resposta>, proximas);
    QFETCH(QStringList, caixas);
    QFETCH(QStringList, cheques);
    int antes = int(impressora_->paginas(QStringLiteral("cheque")).size());
    caixas_->answers = QList<bool>{true} + sims + QList<bool>{true};
    caixas_->choices = proximas;
    QString status;
    const int resultado = executa(parcelas, 500, [&](TfrmImprimePreDatados &j) {
        for (int i = 0; i < avancos; ++i)
            clica(j, "btProximo");
        QTimer::singleShot(0, [&] {
            status = j.findChild<QStatusBar *>(QStringLiteral("barraStatus"))->currentMessage();
            QVERIFY(j.cursor().shape() == Qt::WaitCursor);
            VERIFICA_ROTULOS_INTEIROS(j);
            if (parcelas == 12 && !qEnvironmentVariableIsEmpty("NORVEL_CAPTURAS"))
                j.grab().save(qEnvironmentVariable("NORVEL_CAPTURAS") + QStringLiteral("/impressao-predatados.png"));
            QPushButton *proximo = botao(j, "btProximo");
            const QPointF centro = QRectF(proximo->rect()).center();
            for (QEvent::Type tipo : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(proximo, new QMouseEvent(tipo, centro, proximo->mapToGlobal(centro),
                                                                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            if (desliga)
                impressora_->liga(false);
        });
        clica(j, "btImprimir");
        QCOMPARE(j.findChild<QStatusBar *>(QStringLiteral("barraStatus"))->currentMessage(), QString());
        QCOMPARE(j.cursor().shape(), Qt::ArrowCursor);
    });
    QCOMPARE(status, QStringLiteral("Aguarde imprimindo parcela ..."));
    QCOMPARE(resultado, int(QDialog::Accepted));
    QStringList textos;
    for (const RecordingPresenter::Box &b : caixas_->boxes)
        textos.append(b.text);
    QCOMPARE(textos, caixas);
    for (const QString &cheque : cheques) {
        const QString pagina = impressora_->pagina(QStringLiteral("cheque"), ++antes);
        for (const QString &parte : cheque.split(u' ') + QStringList{QStringLiteral("Conceição Araújo")})
            QVERIFY2(pagina.contains(parte), qPrintable(cheque + QStringLiteral(":\n") + pagina));
    }
}

NORVEL_UI_TEST_MAIN(TestImprimePreDatados)
#include "test_imprimepredatados.moc"
