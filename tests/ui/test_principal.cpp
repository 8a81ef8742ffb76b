#include "RecordingPresenter.h"
#include "UiTest.h"

#include "NorvelApplication.h"
#include "uConfiguracoes.h"
#include "uPrincipal.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <stdexcept>

namespace {

const QString Titulo = QStringLiteral("Norvel Cheque");
const QString FalhaPorta = QStringLiteral(
    "Falha ao tentar capturar a porta serial definida na configuração do Norvel Cheque.\n"
    "Configure a \"Porta de Comunicação\" no menu \"Configurações\" e tente efeutar essa operação "
    "novamente.");

void gravaConfiguracao(const QByteArray &conteudo)
{
    const QString caminho = arquivoConfiguracao();
    QVERIFY(QDir().mkpath(QFileInfo(caminho).absolutePath()));
    QFile arquivo(caminho);
    QVERIFY(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(conteudo);
}

template <typename T>
T *filho(QObject *pai, const char *nome)
{
    T *achado = pai->findChild<T *>(QLatin1String(nome));
    if (!achado)
        qWarning("no %s named %s", T::staticMetaObject.className(), nome);
    return achado;
}

QStringList nomesDosFilhos(TfrmPrincipal &principal)
{
    QStringList nomes;
    for (QMdiSubWindow *janela : principal.areaFilhos()->subWindowList())
        nomes.append(janela->widget() ? janela->widget()->objectName() : QString());
    return nomes;
}

} // namespace

class TestPrincipal : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithDefaultsWithoutSettingsFile();
    void readsPortAndCityAtCreation_data();
    void readsPortAndCityAtCreation();
    void menuFollowsTheTable();
    void toolBarButtonsInOrder();
    void statusBarShowsVersion();
    void singleInstanceWindowsComeForward();
    void registriesOpenAWindowPerCommand();
    void fixedChildFollowsItsSize();
    void closedChildIsFreed();
    void exitQuestionAnsweredNoKeepsEverything();
    void exitQuestionAnsweredYesCloses();
    void sairEndsWithoutQuestion();
    void manualAsksAndOpensOnlyAnExistingFile();
    void aboutBox();
    void uncaughtErrorIsReportedAndProgramGoesOn();
};

void TestPrincipal::init()
{
    QFile::remove(arquivoConfiguracao());
}

void TestPrincipal::cleanup()
{
    VERIFICA_SEM_JANELAS();
}

void TestPrincipal::startsWithDefaultsWithoutSettingsFile()
{
    RecordingPresenter caixas;
    TfrmPrincipal principal;
    QCOMPARE(principal.portaCOM(), 1);
    QCOMPARE(principal.cidadePadrao(), QString());
    QVERIFY(caixas.boxes.isEmpty());
    QCOMPARE(principal.windowTitle(), Titulo);
    QCOMPARE(principal.objectName(), QStringLiteral("frmPrincipal"));
}

void TestPrincipal::readsPortAndCityAtCreation_data()
{
    QTest::addColumn<QByteArray>("conteudo");
    QTest::addColumn<int>("porta");
    QTest::addColumn<QString>("cidade");
    QTest::addColumn<bool>("mensagem");

    QTest::newRow("COM4 without city") << QByteArray("[Sistema]\nPortaCOM=COM4\n") << 4 << QString() << false;
    QTest::newRow("COM10 and city")
        << QByteArray("[Sistema]\nPortaCOM=COM10\nCidade=Ribeirão Preto\n") << 10
        << QStringLiteral("Ribeirão Preto") << false;
    QTest::newRow("no number") << QByteArray("[Sistema]\nPortaCOM=COMX\n") << 0 << QString() << true;
    QTest::newRow("leading digits count")
        << QByteArray("[Sistema]\nPortaCOM=COM12b\n") << 12 << QString() << true;
    QTest::newRow("empty port") << QByteArray("[Sistema]\nPortaCOM=\n") << 0 << QString() << true;
    QTest::newRow("too large") << QByteArray("[Sistema]\nPortaCOM=COM99999999999\n") << 0 << QString() << true;
}

void TestPrincipal::readsPortAndCityAtCreation()
{
    QFETCH(QByteArray, conteudo);
    QFETCH(int, porta);
    QFETCH(QString, cidade);
    QFETCH(bool, mensagem);
    gravaConfiguracao(conteudo);

    RecordingPresenter caixas;
    TfrmPrincipal principal;
    QCOMPARE(principal.portaCOM(), porta);
    QCOMPARE(principal.cidadePadrao(), cidade);
    if (mensagem) {
        QCOMPARE(caixas.boxes.size(), 1);
        QCOMPARE(caixas.boxes[0].title, QStringLiteral("Erro"));
        QCOMPARE(caixas.boxes[0].text, FalhaPorta);
        QCOMPARE(caixas.boxes[0].icon, MessagePresenter::Icon::Error);
    } else {
        QVERIFY(caixas.boxes.isEmpty());
    }
}

void TestPrincipal::menuFollowsTheTable()
{
    TfrmPrincipal principal;
    auto *menu = filho<QMenuBar>(&principal, "menuPrincipal");
    QVERIFY(menu);
    QCOMPARE(principal.menuBar(), menu);

    struct Entrada {
        const char *nome;
        const char *texto;
        const char *atalho;
        const char *dica;
    };
    struct Menu {
        const char *texto;
        QList<Entrada> entradas;
    };
    const QList<Menu> esperado = {
        {"&Arquivo", {{"actSair", "Sai&r", "", ""}}},
        {"&Cadastros",
         {{"actBanco", "&Banco ...", "Ctrl+B", "Cadastrar Banco"},
          {"actCentroCusto", "Centro de C&usto ...", "Ctrl+U", "Cadastrar Centro de Custo"},
          {"actTipoCompensacao", "&Tipo de Compensação ...", "Ctrl+T", "Cadastrar Tipo de Compensação"},
          {"actFavorecido", "&Favorecido ...", "Ctrl+F", "Cadastrar Favorecido"}}},
        {"C&onfigurações", {}},
        {"&Preencher",
         {{"actChequeAvulso", "Cheque &avulso ...", "Ctrl+A", "Preencher Cheque Avulso"},
          {"actChequePreDatado", "Cheque &pré-datado ...", "Ctrl+P", "Preencher Cheque Pré-datado"},
          {"actEndosso", "&Endosso ...", "Ctrl+E", "Imprimir Endosso"}}},
        {"Co&nsultar",
         {{"actConsultaAvulso", "Cheque &avulso ...", "Ctrl+G", "Consultar Cheques Avulsos"},
          {"actConsultaPreDatado", "Cheques &pré-datados ...", "Ctrl+H", "Consultar Cheques Pré-datado"}}},
        {"A&juda",
         {{"actManual", "Manual do usuário", "F1", ""}, {nullptr, "", "", ""}, {"actSobre", "Sobre", "", ""}}},
    };

    const QList<QAction *> titulos = menu->actions();
    QCOMPARE(titulos.size(), esperado.size());
    for (qsizetype i = 0; i < esperado.size(); ++i) {
        QAction *titulo = titulos[i];
        QCOMPARE(titulo->text(), QString::fromUtf8(esperado[i].texto));
        const QList<QAction *> entradas = titulo->menu() ? titulo->menu()->actions() : QList<QAction *>{};
        QCOMPARE(entradas.size(), esperado[i].entradas.size());
        for (qsizetype j = 0; j < entradas.size(); ++j) {
            const Entrada &e = esperado[i].entradas[j];
            QAction *acao = entradas[j];
            if (!e.nome) {
                QVERIFY(acao->isSeparator());
                continue;
            }
            QCOMPARE(acao->objectName(), QLatin1String(e.nome));
            QCOMPARE(acao->text(), QString::fromUtf8(e.texto));
            QCOMPARE(acao->shortcut(), QKeySequence(QString::fromLatin1(e.atalho)));
            QCOMPARE(acao->statusTip(), QString::fromUtf8(e.dica));
        }
    }
    // "C&onfigurações" is a command of its own on the bar.
    QCOMPARE(titulos[2]->objectName(), QStringLiteral("actConfiguracoes"));
    QVERIFY(!titulos[2]->menu());
    // A command on the bar with an icon would show the icon instead of its
    // caption.
    QVERIFY(titulos[2]->icon().isNull());
    QCOMPARE(titulos[4]->statusTip(), QStringLiteral("Consultar Cheques Avulsos"));
    // Each key belongs to its entry alone: the headings carry none, so Qt
    // never sees Ctrl+F or Ctrl+P as ambiguous.
    for (QAction *titulo : titulos)
        if (titulo->menu())
            QVERIFY(titulo->shortcut().isEmpty());
}

void TestPrincipal::toolBarButtonsInOrder()
{
    TfrmPrincipal principal;
    auto *barra = filho<QToolBar>(&principal, "ToolBar1");
    QVERIFY(barra);
    const QList<QAction *> acoes = barra->actions();
    const QStringList esperado = {"btFavorecido:actFavorecido",
                                  "btnCentrodeCustos:actCentroCusto",
                                  "btTipoCompesacao:actTipoCompensacao",
                                  "btBanco:actBanco",
                                  "-",
                                  "btChequeAvulso:actChequeAvulso",
                                  "btChequePredatado:actChequePreDatado",
                                  "btEndosso:actEndosso",
                                  "-",
                                  "btConsultaAvulso:actConsultaAvulso",
                                  "btConsultaPredatado:actConsultaPreDatado"};
    QCOMPARE(acoes.size(), esperado.size());
    for (qsizetype i = 0; i < acoes.size(); ++i) {
        if (esperado[i] == QLatin1String("-")) {
            QVERIFY(acoes[i]->isSeparator());
            continue;
        }
        const QStringList par = esperado[i].split(QLatin1Char(':'));
        auto *botao = qobject_cast<QToolButton *>(barra->widgetForAction(acoes[i]));
        QVERIFY(botao);
        QCOMPARE(botao->objectName(), par[0]);
        QCOMPARE(botao->defaultAction()->objectName(), par[1]);
        QCOMPARE(botao->height(), 23);
        QVERIFY(!botao->icon().isNull());
        QCOMPARE(botao->toolTip(), acoes[i]->statusTip());
        QVERIFY(!botao->toolTip().isEmpty());
    }
}

void TestPrincipal::statusBarShowsVersion()
{
    TfrmPrincipal principal;
    auto *status = filho<QStatusBar>(&principal, "StatusBar1");
    QVERIFY(status);
    const QList<QLabel *> textos = status->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(textos.size(), 1);
    QCOMPARE(textos[0]->text(), QStringLiteral("Versão: 03.14"));
    QVERIFY(filho<QWidget>(&principal, "Topo"));
    QVERIFY(filho<QWidget>(&principal, "FundoTopo"));
    QVERIFY(filho<QWidget>(&principal, "LogoNorvel"));
}

void TestPrincipal::singleInstanceWindowsComeForward()
{
    TfrmPrincipal principal;
    principal.resize(1000, 700);
    principal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principal));
    auto *config = filho<QAction>(&principal, "actConfiguracoes");
    auto *sobre = filho<QAction>(&principal, "actSobre");
    QVERIFY(config && sobre);

    config->trigger();
    config->trigger();
    QCOMPARE(nomesDosFilhos(principal), QStringList{"frmConfig"});
    QMdiSubWindow *janelaConfig = principal.areaFilhos()->activeSubWindow();
    QVERIFY(janelaConfig);

    sobre->trigger();
    QCOMPARE(nomesDosFilhos(principal), (QStringList{"frmConfig", "frmSobre"}));
    QCOMPARE(principal.areaFilhos()->activeSubWindow()->widget()->objectName(), QStringLiteral("frmSobre"));

    janelaConfig->showMinimized();
    config->trigger();
    QCOMPARE(nomesDosFilhos(principal), (QStringList{"frmConfig", "frmSobre"}));
    QCOMPARE(principal.areaFilhos()->activeSubWindow(), janelaConfig);
    QVERIFY(!janelaConfig->isMinimized());

    // Fixed size, no maximise button, centred in the client area.
    QCOMPARE(janelaConfig->widget()->size(), QSize(300, 112));
    QVERIFY(!(janelaConfig->windowFlags() & Qt::WindowMaximizeButtonHint));
    const QSize area = principal.areaFilhos()->viewport()->size();
    QVERIFY(qAbs(janelaConfig->geometry().center().x() - area.width() / 2) <= 1);
    QVERIFY(qAbs(janelaConfig->geometry().center().y() - area.height() / 2) <= 1);
}

void TestPrincipal::registriesOpenAWindowPerCommand()
{
    TfrmPrincipal principal;
    principal.resize(1000, 700);
    principal.show();
    for (const char *botao : {"btBanco", "btnCentrodeCustos", "btTipoCompesacao", "btFavorecido"})
        QTest::mouseClick(filho<QToolButton>(&principal, botao), Qt::LeftButton);
    for (const char *acao : {"actBanco", "actCentroCusto", "actTipoCompensacao", "actFavorecido"})
        filho<QAction>(&principal, acao)->trigger();
    const QStringList umaVez = {"frmBancos", "frmCentroCusto", "frmCompensacao", "frmFavorecido"};
    QCOMPARE(nomesDosFilhos(principal), umaVez + umaVez);

    principal.areaFilhos()->closeAllSubWindows();
    processaPendentes();
    QVERIFY(principal.areaFilhos()->subWindowList().isEmpty());
}

void TestPrincipal::fixedChildFollowsItsSize()
{
    TfrmPrincipal principal;
    principal.resize(1000, 700);
    principal.show();
    auto *janela = new QWidget;
    janela->setFixedSize(300, 199);
    QMdiSubWindow *moldura = principal.mostraFilho(janela);
    const QSize fechada = moldura->size();
    janela->setFixedSize(300, 292);
    QCoreApplication::processEvents();
    QCOMPARE(moldura->size(), fechada + QSize(0, 93));
}

void TestPrincipal::closedChildIsFreed()
{
    TfrmPrincipal principal;
    principal.show();
    filho<QAction>(&principal, "actConfiguracoes")->trigger();
    QPointer<QMdiSubWindow> moldura = principal.areaFilhos()->activeSubWindow();
    QVERIFY(moldura);
    QPointer<QWidget> config = moldura->widget();
    QTest::mouseClick(filho<QPushButton>(config, "btCancelar"), Qt::LeftButton);
    processaPendentes();
    QVERIFY(!config);
    QVERIFY(!moldura);
    QVERIFY(principal.areaFilhos()->subWindowList().isEmpty());

    // The frame's own close button takes the window along.
    filho<QAction>(&principal, "actSobre")->trigger();
    moldura = principal.areaFilhos()->activeSubWindow();
    QPointer<QWidget> sobre = moldura->widget();
    moldura->close();
    processaPendentes();
    QVERIFY(!sobre);
    QVERIFY(!moldura);
}

void TestPrincipal::exitQuestionAnsweredNoKeepsEverything()
{
    RecordingPresenter caixas;
    TfrmPrincipal principal;
    principal.show();
    filho<QAction>(&principal, "actSobre")->trigger();

    caixas.answers = {false};
    QVERIFY(!principal.close());
    QCOMPARE(caixas.boxes.size(), 1);
    QCOMPARE(caixas.boxes[0].title, Titulo);
    QCOMPARE(caixas.boxes[0].text, QStringLiteral("Você tem certeza que deseja sair?"));
    QVERIFY(caixas.boxes[0].question);
    QVERIFY(principal.isVisible());
    QCOMPARE(nomesDosFilhos(principal), QStringList{"frmSobre"});
}

void TestPrincipal::exitQuestionAnsweredYesCloses()
{
    RecordingPresenter caixas;
    TfrmPrincipal principal;
    principal.show();
    caixas.answers = {true};
    QVERIFY(principal.close());
    QVERIFY(!principal.isVisible());
    QCOMPARE(caixas.boxes.size(), 1);
}

void TestPrincipal::sairEndsWithoutQuestion()
{
    RecordingPresenter caixas;
    TfrmPrincipal principal;
    principal.show();
    filho<QAction>(&principal, "actSair")->trigger();
    QVERIFY(!principal.isVisible());
    QVERIFY(caixas.boxes.isEmpty());
}

void TestPrincipal::manualAsksAndOpensOnlyAnExistingFile()
{
    RecordingPresenter caixas;
    TfrmPrincipal principal;
    QList<QUrl> abertos;
    principal.abreDocumento = [&abertos](const QUrl &url) {
        abertos.append(url);
        return true;
    };
    auto *manual = filho<QAction>(&principal, "actManual");
    const QString arquivo =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Manual Norvel Cheque.pdf"));
    QVERIFY2(!QFileInfo::exists(arquivo), "a manual is already beside the test");

    caixas.answers = {true};
    manual->trigger();
    QVERIFY(abertos.isEmpty());
    QCOMPARE(caixas.boxes.size(), 2);
    QCOMPARE(caixas.boxes[0].title, Titulo);
    QCOMPARE(caixas.boxes[0].text,
             QStringLiteral("É necessario que esteja instalado algum leitor de PDF! Deseja realmente continuar?"));
    const QString naoAbriu = QStringLiteral("Não foi possível abrir o manual \"%1\".").arg(arquivo);
    QCOMPARE(caixas.boxes[1].text, naoAbriu);
    QCOMPARE(caixas.boxes[1].icon, MessagePresenter::Icon::Error);

    QFile pdf(arquivo);
    QVERIFY(pdf.open(QIODevice::WriteOnly));
    pdf.close();
    caixas.answers = {false};
    manual->trigger();
    QVERIFY(abertos.isEmpty());
    caixas.answers = {true};
    manual->trigger();
    QCOMPARE(abertos, QList<QUrl>{QUrl::fromLocalFile(arquivo)});
    QCOMPARE(caixas.boxes.size(), 4);

    // No viewer for it: said, naming the file.
    principal.abreDocumento = [](const QUrl &) { return false; };
    caixas.answers = {true};
    manual->trigger();
    QFile::remove(arquivo);
    QCOMPARE(caixas.boxes.size(), 6);
    QCOMPARE(caixas.lastText(), naoAbriu);
}

void TestPrincipal::aboutBox()
{
    TfrmPrincipal principal;
    principal.resize(1000, 700);
    principal.show();
    filho<QAction>(&principal, "actSobre")->trigger();
    QMdiSubWindow *moldura = principal.areaFilhos()->activeSubWindow();
    QVERIFY(moldura);
    QWidget *sobre = moldura->widget();
    QCOMPARE(sobre->objectName(), QStringLiteral("frmSobre"));
    QCOMPARE(sobre->windowTitle(), QStringLiteral("Sobre Norvel Cheque 09.13"));
    QCOMPARE(sobre->size(), QSize(500, 130));
    QStringList textos;
    for (QLabel *rotulo : sobre->findChildren<QLabel *>())
        textos.append(rotulo->text());
    QVERIFY(textos.contains(QStringLiteral("Norvel cheque  Versão 03.14")));
    QVERIFY(textos.contains(QStringLiteral("Versão atual: Março de 2014")));
    QVERIFY(textos.contains(QStringLiteral("Data de criação: Julho de 2009")));
    QTest::mouseClick(filho<QPushButton>(sobre, "btSair"), Qt::LeftButton);
    processaPendentes();
    QVERIFY(principal.areaFilhos()->subWindowList().isEmpty());
}

void TestPrincipal::uncaughtErrorIsReportedAndProgramGoesOn()
{
    RecordingPresenter caixas;
    NorvelApplication::relataErro(QStringLiteral("Arquivo já termina em ponto."));
    QTimer::singleShot(0, [] { throw std::runtime_error("Conexão recusada"); });
    bool seguiu = false;
    QTimer::singleShot(5, [&seguiu] { seguiu = true; });
    QTRY_VERIFY(seguiu);
    QCOMPARE(caixas.boxes.size(), 2);
    QCOMPARE(caixas.boxes[0].text, QStringLiteral("Arquivo já termina em ponto."));
    QCOMPARE(caixas.boxes[1].title, Titulo);
    QCOMPARE(caixas.boxes[1].text, QStringLiteral("Conexão recusada."));
    QCOMPARE(caixas.boxes[1].icon, MessagePresenter::Icon::Error);
}

NORVEL_UI_TEST_MAIN(TestPrincipal)
#include "test_principal.moc"
