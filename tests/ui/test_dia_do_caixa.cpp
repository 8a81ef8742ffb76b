// A clerk's day on the whole program: the main window's commands open the
// real windows on a fresh database, every box is answered through the seam,
// and the cheques land on the virtual printer as COM7 (the settings file
// names it). At the end the register is read back through the data module
// and every page the printer saved is checked against it.

#include "BankLayout.h"
#include "CaixaBusca.h"
#include "DataLonga.h"
#include "ImpressoraNaPorta.h"
#include "RecordingPresenter.h"
#include "ReportWindows.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uConfiguracoes.h"
#include "uDMNorvelCheque.h"
#include "uImprimePreDatados.h"
#include "uPrincipal.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

// What one cheque page must show, where its bank's layout puts it.
struct Cheque {
    QString valor; // as the printer writes it, "1.500,75"
    Money quantia;
    QDate data;
};

const QString Favorecido = QStringLiteral("Maria das Graças");
const QString Cidade = QStringLiteral("Maceió");

// The line of the page (from 1) from a column, as many characters as asked.
QString trecho(const QStringList &linhas, int linha, int coluna, qsizetype tamanho)
{
    return linhas.value(linha - 1).leftJustified(80).mid(coluna, tamanho);
}

} // namespace

class TestDiaDoCaixa : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void todoComandoAbreSuaJanela();
    void umDiaDeTrabalho();

private:
    // Runs the command and gives the window it brought forward.
    QWidget *abre(const char *acao);
    template <typename T = QWidget> T *controle(QWidget *janela, const char *nome);
    void clica(QWidget *janela, const char *botao);
    // Types text into a box emptied first (Enter for a line break), then
    // leaves it with Tab.
    void digita(QWidget *janela, const char *caixa, const QString &texto);
    void escolhe(QWidget *janela, const char *caixa, const QString &texto);
    // Opens the query window's row that shows texto in its viewer, which
    // trata works.
    void visualiza(QWidget *consulta, const char *grade, const QString &texto,
                   const RecordingPresenter::DialogAnswer &trata);
    // "Gerar Relatorio" into a file of the format; the file's text.
    QString relatorio(QWidget *consulta, norvel::report::FileFormat formato, const QString &arquivo);
    void confereCheque(const QString &pagina, const BankLayout &leiaute, const Cheque &cheque);

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<RecordingPresenter> caixas_;
    std::unique_ptr<TfrmPrincipal> principal_;
    QTemporaryDir pasta_;
};

void TestDiaDoCaixa::initTestCase()
{
    const QString configuracao = arquivoConfiguracao();
    QVERIFY(QDir().mkpath(QFileInfo(configuracao).absolutePath()));
    QFile arquivo(configuracao);
    QVERIFY(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(QStringLiteral("[Sistema]\nPortaCOM=COM%1\nCidade=%2\n")
                      .arg(ImpressoraNaPorta::Porta)
                      .arg(Cidade)
                      .toUtf8());
    arquivo.close();
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
}

void TestDiaDoCaixa::cleanupTestCase()
{
    dm_.reset();
    base_.reset();
}

void TestDiaDoCaixa::init()
{
    caixas_ = std::make_unique<RecordingPresenter>();
    principal_ = std::make_unique<TfrmPrincipal>();
    principal_->defineDados(*dm_);
    principal_->resize(1366, 768);
    principal_->show();
    QVERIFY(QTest::qWaitForWindowActive(principal_.get()));
}

void TestDiaDoCaixa::cleanup()
{
    principal_.reset();
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

QWidget *TestDiaDoCaixa::abre(const char *acao)
{
    principal_->findChild<QAction *>(QLatin1String(acao))->trigger();
    QMdiSubWindow *moldura = principal_->areaFilhos()->activeSubWindow();
    return moldura ? moldura->widget() : nullptr;
}

template <typename T> T *TestDiaDoCaixa::controle(QWidget *janela, const char *nome)
{
    T *achado = janela->findChild<T *>(QLatin1String(nome));
    if (!achado)
        qWarning("no control %s in %s", nome, qPrintable(janela->objectName()));
    return achado;
}

void TestDiaDoCaixa::clica(QWidget *janela, const char *botao)
{
    QAbstractButton *bt = controle<QAbstractButton>(janela, botao);
    QVERIFY2(bt && bt->isEnabled(), botao);
    QTest::mouseClick(bt, Qt::LeftButton);
}

void TestDiaDoCaixa::digita(QWidget *janela, const char *caixa, const QString &texto)
{
    QWidget *box = controle(janela, caixa);
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    for (const QChar letra : texto) {
        if (letra == u'\n') {
            QTest::keyClick(box, Qt::Key_Return);
            continue;
        }
        // keyClicks cannot type accented letters: send what a keyboard sends.
        QKeyEvent aperta(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letra));
        QKeyEvent solta(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(letra));
        QApplication::sendEvent(box, &aperta);
        QApplication::sendEvent(box, &solta);
    }
    QTest::keyClick(box, Qt::Key_Tab);
}

void TestDiaDoCaixa::escolhe(QWidget *janela, const char *caixa, const QString &texto)
{
    auto *busca = controle<CaixaBusca>(janela, caixa);
    busca->setCurrentIndex(busca->findText(texto));
    QVERIFY2(busca->currentIndex() >= 0, qPrintable(texto));
}

void TestDiaDoCaixa::visualiza(QWidget *consulta, const char *grade, const QString &texto,
                               const RecordingPresenter::DialogAnswer &trata)
{
    auto *tabela = controle<QTableView>(consulta, grade);
    const QAbstractItemModel *modelo = tabela->model();
    QModelIndexList achadas;
    for (int c = 0; c < modelo->columnCount() && achadas.isEmpty(); ++c)
        achadas = modelo->match(modelo->index(0, c), Qt::DisplayRole, texto, 1, Qt::MatchExactly);
    QVERIFY2(!achadas.isEmpty(), qPrintable(texto));
    tabela->setCurrentIndex(achadas.first());
    caixas_->dialogs.append(trata);
    const qsizetype antes = caixas_->dialogTitles.size();
    clica(consulta, "btVisualizar");
    QCOMPARE(caixas_->dialogTitles.size(), antes + 1);
}

QString TestDiaDoCaixa::relatorio(QWidget *consulta, norvel::report::FileFormat formato, const QString &arquivo)
{
    caixas_->dialogs.append([formato](QDialog &dialogo) {
        auto *opcoes = qobject_cast<norvel::report::OutputOptionsDialog *>(&dialogo);
        if (!opcoes)
            return int(QDialog::Rejected);
        opcoes->findChild<QRadioButton *>(QStringLiteral("rbFile"))->click();
        opcoes->setFormat(formato);
        return int(QDialog::Accepted);
    });
    caixas_->files = {{pasta_.filePath(arquivo), QString()}};
    clica(consulta, "brRelatorio");
    QFile saida(pasta_.filePath(arquivo));
    if (!saida.open(QIODevice::ReadOnly))
        qWarning("no report %s", qPrintable(arquivo));
    return QString::fromUtf8(saida.readAll());
}

// Value with its protection fill, the amount in words over its two lines,
// payee, city and date, each where the layout says.
void TestDiaDoCaixa::confereCheque(const QString &pagina, const BankLayout &leiaute, const Cheque &cheque)
{
    const auto pos = [&leiaute](BankLayout::Field campo) { return leiaute.text(campo).toInt(); };
    const QStringList linhas = pagina.split(u'\n');
    const QString erro = cheque.valor + QStringLiteral(" on:\n") + pagina;
    const int largura = pos(BankLayout::ColFimValor) - pos(BankLayout::ColIniValor);
    QVERIFY2(trecho(linhas, pos(BankLayout::LinhaValor), pos(BankLayout::ColIniValor), largura)
                 == cheque.valor.rightJustified(largura, u'*'),
             qPrintable(erro));
    const QString extenso = (trecho(linhas, pos(BankLayout::LinhaExtenso1), pos(BankLayout::ColIniExtenso1), 80)
                             + u' '
                             + trecho(linhas, pos(BankLayout::LinhaExtenso2), pos(BankLayout::ColIniExtenso2), 80))
                                .simplified();
    QVERIFY2(extenso == QString::fromStdString(cheque.quantia.extenso()), qPrintable(erro));
    QVERIFY2(trecho(linhas, pos(BankLayout::LinhaFavorecido), pos(BankLayout::ColIniFavorecido), Favorecido.size())
                 == Favorecido,
             qPrintable(erro));
    const int linhaCidade = pos(BankLayout::LinhaCidade);
    QVERIFY2(trecho(linhas, linhaCidade, pos(BankLayout::ColFimCidade) - Cidade.size(), Cidade.size()) == Cidade,
             qPrintable(erro));
    const QString dia = cheque.data.toString(QStringLiteral("dd"));
    const QString mes = QLocale(QLocale::Portuguese, QLocale::Brazil).monthName(cheque.data.month()).toLower();
    const QString ano = QString::number(cheque.data.year());
    QVERIFY2(trecho(linhas, linhaCidade, pos(BankLayout::ColIniDia), 2) == dia, qPrintable(erro));
    QVERIFY2(trecho(linhas, linhaCidade, pos(BankLayout::ColIniMes), mes.size()) == mes, qPrintable(erro));
    QVERIFY2(trecho(linhas, linhaCidade, pos(BankLayout::ColIniAno), 4) == ano, qPrintable(erro));
}

// Every entry of the menus and every button of the tool bar is enabled and
// brings forward its own window.
void TestDiaDoCaixa::todoComandoAbreSuaJanela()
{
    const QHash<QString, QString> janelas = {
        {"actBanco", "frmBancos"},
        {"actCentroCusto", "frmCentroCusto"},
        {"actTipoCompensacao", "frmCompensacao"},
        {"actFavorecido", "frmFavorecido"},
        {"actConfiguracoes", "frmConfig"},
        {"actChequeAvulso", "TfrmPreencherCheque"},
        {"actChequePreDatado", "frmChequePreDatado"},
        {"actEndosso", "frmImprimirEndosso"},
        {"actConsultaAvulso", "frmConsultas"},
        {"actConsultaPreDatado", "frmConsultaPreDatado"},
        {"actSobre", "frmSobre"},
        {"actManual", ""}, // asks first; its document is not a window
        {"actSair", ""},
    };
    QList<QAction *> comandos;
    for (QAction *titulo : principal_->menuBar()->actions())
        comandos += titulo->menu() ? titulo->menu()->actions() : QList<QAction *>{titulo};
    comandos.removeIf([](const QAction *a) { return a->isSeparator(); });
    QCOMPARE(comandos.size(), janelas.size());
    for (QAction *comando : comandos) {
        QVERIFY2(comando->isEnabled(), qPrintable(comando->objectName()));
        const QString janela = janelas.value(comando->objectName(), QStringLiteral("?"));
        QVERIFY2(janela != QLatin1String("?"), qPrintable(comando->objectName()));
        if (janela.isEmpty())
            continue;
        QWidget *aberta = abre(qPrintable(comando->objectName()));
        QVERIFY(aberta);
        QCOMPARE(aberta->objectName(), janela);
    }
    caixas_->answers = {false};
    abre("actManual");
    QCOMPARE(caixas_->boxes.size(), 1);
    QVERIFY(caixas_->boxes[0].question);

    auto *barra = principal_->findChild<QToolBar *>(QStringLiteral("ToolBar1"));
    int botoes = 0;
    for (QAction *acao : barra->actions()) {
        if (acao->isSeparator())
            continue;
        auto *botao = qobject_cast<QToolButton *>(barra->widgetForAction(acao));
        QVERIFY2(botao && botao->isEnabled(), qPrintable(acao->objectName()));
        QTest::mouseClick(botao, Qt::LeftButton);
        QCOMPARE(principal_->areaFilhos()->activeSubWindow()->widget()->objectName(),
                 janelas.value(acao->objectName()));
        ++botoes;
    }
    QCOMPARE(botoes, 9);
}

void TestDiaDoCaixa::umDiaDeTrabalho()
{
    ImpressoraNaPorta impressora({});
    const QDate hoje = QDate::currentDate();

    // The payee and the cost centre.
    QWidget *favorecidos = abre("actFavorecido");
    clica(favorecidos, "btNovo");
    digita(favorecidos, "edtNomeFavorecido", Favorecido);
    clica(favorecidos, "btSalvar");
    QWidget *centros = abre("actCentroCusto");
    clica(centros, "btNovo");
    digita(centros, "edtNomeCentroCusto", QStringLiteral("Manutenção"));
    clica(centros, "btSalvar");

    // Bank 341 with the value three lines down and the city on line 15,
    // programmed into the printer and stored.
    QWidget *bancos = abre("actBanco");
    clica(bancos, "btNovo");
    digita(bancos, "edtNumeroBanco", QStringLiteral("341"));
    digita(bancos, "edtNomeBanco", QStringLiteral("Itaú Unibanco"));
    digita(bancos, "edtSiglaBanco", QStringLiteral("ITAU"));
    digita(bancos, "edtLinhaValor", QStringLiteral("03"));
    digita(bancos, "edtLinhaCidade", QStringLiteral("15"));
    caixas_->answers = {true};
    clica(bancos, "btSalvarImpressora");
    QCOMPARE(caixas_->lastText(), QStringLiteral("Comando enviado para Impressora"));
    const std::optional<RegistroBanco> banco = dm_->bancoDoNumero(QStringLiteral("341"));
    QVERIFY(banco);
    const BankLayout leiaute = BankLayout::decode(banco->posicoesBanco);
    QCOMPARE(leiaute.text(BankLayout::LinhaValor), QStringLiteral("03"));
    QCOMPARE(leiaute.text(BankLayout::LinhaCidade), QStringLiteral("15"));

    // A single cheque of 1500,75 for today in the default city, and its copy.
    QWidget *avulso = abre("actChequeAvulso");
    digita(avulso, "edtNumBanco", QStringLiteral("341"));
    digita(avulso, "edtValor", QStringLiteral("150075"));
    digita(avulso, "edtAgencia", QStringLiteral("0123"));
    digita(avulso, "edtConta", QStringLiteral("45678-9"));
    digita(avulso, "edtNumCheque", QStringLiteral("000101"));
    escolhe(avulso, "edtNomeFavorecido", Favorecido);
    escolhe(avulso, "edtCentroCusto", QStringLiteral("Manutenção"));
    clica(avulso, "btImprimir");
    QVERIFY2(caixas_->lastText().startsWith(QStringLiteral("Comando enviado para impressora com sucesso !")),
             qPrintable(caixas_->lastText()));
    clica(avulso, "btImprimirCopia");
    QCOMPARE(caixas_->lastText(), QStringLiteral("Comando enviado para impressora com sucesso"));

    // Three monthly installments of 300,00 from today: stored, then the run
    // prints the copy of the first and the three cheques.
    QWidget *serie = abre("actChequePreDatado");
    digita(serie, "edtDescricao", QStringLiteral("Reforma do telhado"));
    digita(serie, "edtNumBanco", QStringLiteral("341"));
    digita(serie, "edtValor", QStringLiteral("90000"));
    digita(serie, "edtAgencia", QStringLiteral("0123"));
    digita(serie, "edtConta", QStringLiteral("45678-9"));
    digita(serie, "edtNumParcelas", QStringLiteral("3"));
    digita(serie, "edtNumCheque", QStringLiteral("200"));
    escolhe(serie, "edtNomeFavorecido", Favorecido);
    caixas_->answers = {true, true}; // the run's start, then leaving it
    caixas_->choices = {MessagePresenter::Answer::Yes, MessagePresenter::Answer::Yes};
    caixas_->dialogs.append([this](QDialog &d) {
        auto &execucao = dynamic_cast<TfrmImprimePreDatados &>(d);
        execucao.setEsperaImpressao(std::chrono::milliseconds(0));
        d.show();
        clica(&d, "btImprimirCopia");
        clica(&d, "btImprimir");
        d.close();
        return d.result();
    });
    clica(serie, "btImprimir");
    QCOMPARE(caixas_->dialogTitles.size(), 1);

    // An endorsement of two lines.
    QWidget *endosso = abre("actEndosso");
    digita(endosso, "edtEndosso", QStringLiteral("Pague-se a ordem de\nMaria das Graças"));
    clica(endosso, "btImprimir");
    QCOMPARE(caixas_->lastText(), QStringLiteral("Comando enviado para Impressora"));

    // The cheque query lists today's cheque: reprinted from its viewer, and
    // the report written as text.
    QWidget *consulta = abre("actConsultaAvulso");
    visualiza(consulta, "grdCheques", QStringLiteral("1500,75"), [this](QDialog &visor) {
        visor.show();
        clica(&visor, "btImprimir");
        visor.close();
        return visor.result();
    });
    const QString textoCheques = relatorio(consulta, norvel::report::FileFormat::Text, QStringLiteral("cheques.txt"));
    for (const QString &parte : {QStringLiteral("Válido"), QStringLiteral("341 Itaú"), QStringLiteral("1500,75"), Favorecido})
        QVERIFY2(textoCheques.contains(parte), qPrintable(parte + QStringLiteral(" not in:\n") + textoCheques));

    // The post-dated query lists today's series: cancelled from its viewer,
    // and the report written as HTML.
    QWidget *consultaSeries = abre("actConsultaPreDatado");
    visualiza(consultaSeries, "grdPreDatados", QStringLiteral("Reforma do telhado"), [this](QDialog &visor) {
        visor.show();
        caixas_->answers = {true};
        clica(&visor, "btCancelaPredatado");
        visor.close();
        return visor.result();
    });
    const QString htmlSeries =
        relatorio(consultaSeries, norvel::report::FileFormat::Html, QStringLiteral("series.html"));
    for (const QString &parte : {QStringLiteral("Reforma do telhado"), QStringLiteral("900,00"),
                                 QStringLiteral("Cancelado")})
        QVERIFY2(htmlSeries.contains(parte), qPrintable(parte + QStringLiteral(" not in:\n") + htmlSeries));

    // Every box a clerk would read as trouble.
    for (const RecordingPresenter::Box &caixa : std::as_const(caixas_->boxes))
        QVERIFY2(caixa.icon != MessagePresenter::Icon::Error && caixa.icon != MessagePresenter::Icon::Warning,
                 qPrintable(caixa.text));

    // The register: one cheque printed today (the reprint recorded), one
    // series of three printed today and cancelled.
    const QList<RegistroCheque> cheques = [&] {
        QList<RegistroCheque> lidos;
        const norvel::db::DbQuery &q = dm_->consultaChequesPorData(hoje);
        for (int linha = 0; linha < q.rowCount(); ++linha)
            lidos.append(TdmNorvelCheque::chequeDaLinha(q, linha));
        return lidos;
    }();
    QCOMPARE(cheques.size(), 1);
    const RegistroCheque &c = cheques[0];
    QCOMPARE((QStringList{c.numBanco, c.agencia, c.conta, c.numCheque, c.favorecido, c.cidade, c.valor.toText(),
                          c.nomeCentroCusto}),
             (QStringList{"341", "0123", "45678-9", "000101", Favorecido, Cidade, "1500,75", "Manutenção"}));
    QVERIFY(c.jaImpresso && c.status == 0);
    QCOMPARE(c.dataImpressao, std::optional<QDate>(hoje));
    const norvel::db::DbQuery &series = dm_->consultaPreDatadosPorData(hoje);
    QCOMPARE(series.rowCount(), 1);
    const RegistroPreDatado s = TdmNorvelCheque::preDatadoDaLinha(series, 0);
    QCOMPARE((QList<int>{s.numParcelas, s.valorPeriodoImpressao}), (QList<int>{3, 1}));
    QCOMPARE(s.valor.toText(), QStringLiteral("900,00"));
    QVERIFY(s.jaImpresso && s.status == 1);
    QCOMPARE(s.dataImpressao, std::optional<QDate>(hoje));

    // The printer's pages, in the order printed: the cheque, the three
    // installments, the reprint; the two copies and the endorsement. The
    // printer saves its pages in that order, so once the last cheque is
    // there every earlier page is too, and nothing else was printed.
    const Cheque avulsoImpresso{QStringLiteral("1.500,75"), c.valor, hoje};
    const Money parcela = Money::fromCentavos(30000);
    const QList<Cheque> esperados = {avulsoImpresso,
                                     {QStringLiteral("300,00"), parcela, hoje},
                                     {QStringLiteral("300,00"), parcela, hoje.addMonths(1)},
                                     {QStringLiteral("300,00"), parcela, hoje.addMonths(2)},
                                     avulsoImpresso};
    QVERIFY(!impressora.pagina(QStringLiteral("cheque"), int(esperados.size())).isEmpty());
    const QStringList paginas = impressora.paginas(QStringLiteral("cheque"));
    QCOMPARE(paginas.size(), esperados.size());
    for (qsizetype i = 0; i < paginas.size(); ++i)
        confereCheque(paginas[i], leiaute, esperados[i]);

    const QStringList documentos = impressora.paginas(QStringLiteral("document"));
    QCOMPARE(documentos.size(), 3);
    QVERIFY2(documentos[0].contains(QStringLiteral("R$ 1500,75")) && documentos[0].contains(QStringLiteral("000101"))
                 && documentos[0].contains(QStringLiteral("Itaú Unibanco")),
             qPrintable(documentos[0]));
    QVERIFY2(documentos[1].contains(QStringLiteral("R$ 300,00")) && documentos[1].contains(QStringLiteral("200"))
                 && documentos[1].contains(QStringLiteral("1ª/3")),
             qPrintable(documentos[1]));
    QCOMPARE(documentos[2], QStringLiteral("     Pague-se a ordem de\n     Maria das Graças\n"));
}

NORVEL_UI_TEST_MAIN(TestDiaDoCaixa)
#include "test_dia_do_caixa.moc"
