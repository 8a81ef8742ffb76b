#include "RecordingPresenter.h"
#include "UiTest.h"

#include "ArquivoIni.h"
#include "uConfiguracoes.h"
#include "uPrincipal.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>

#include <memory>

namespace {

const QString Sucesso = QStringLiteral("Operação realizada com Sucesso!");

void grava(const QString &caminho, const QByteArray &conteudo)
{
    QVERIFY(QDir().mkpath(QFileInfo(caminho).absolutePath()));
    QFile arquivo(caminho);
    QVERIFY(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(conteudo);
}

QByteArray conteudo(const QString &caminho)
{
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}

QString guardado(const char *chave)
{
    return ArquivoIni(arquivoConfiguracao()).le(QStringLiteral("Sistema"), QLatin1String(chave),
                                                QStringLiteral("<ausente>"));
}

} // namespace

class TestConfiguracoes : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsAndTabOrder();
    void showsStoredValues_data();
    void showsStoredValues();
    void cityTakesTwentyCharacters();
    void salvarStoresAndHandsToMainWindow();
    void salvarWithoutPortsStoresEmptyPort();
    void restaurarPadraoAnsweredNo();
    void restaurarPadraoAnsweredYes();
    void unsavedEditsGiveWayOnActivation();
    void unwritableFileIsReportedNotSaved();

private:
    // Main window with the settings window open in it.
    QWidget *abre();

    std::unique_ptr<RecordingPresenter> caixas_;
    std::unique_ptr<TfrmPrincipal> principal_;
};

void TestConfiguracoes::init()
{
    QFile::remove(arquivoConfiguracao());
    QDir(QFileInfo(arquivoConfiguracao()).absolutePath()).removeRecursively();
    // Ports the list offers on any machine.
    grava(qEnvironmentVariable("LUMORA_PORTAS"),
          "[Portas]\nCOM1=rfc2217://localhost:4001\nCOM2=rfc2217://localhost:4002\n"
          "COM3=rfc2217://localhost:4003\n");
    caixas_ = std::make_unique<RecordingPresenter>();
}

void TestConfiguracoes::cleanup()
{
    principal_.reset();
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

QWidget *TestConfiguracoes::abre()
{
    principal_ = std::make_unique<TfrmPrincipal>();
    principal_->resize(900, 600);
    principal_->show();
    principal_->findChild<QAction *>(QStringLiteral("actConfiguracoes"))->trigger();
    QMdiSubWindow *moldura = principal_->areaFilhos()->activeSubWindow();
    return moldura ? moldura->widget() : nullptr;
}

void TestConfiguracoes::controlsAndTabOrder()
{
    QWidget *config = abre();
    QVERIFY(config);
    QCOMPARE(config->objectName(), QStringLiteral("frmConfig"));
    QCOMPARE(config->windowTitle(), QStringLiteral("Configurações"));
    QCOMPARE(config->size(), QSize(300, 112));

    const std::pair<const char *, const char *> rotulos[] = {
        {"lblPortaSerial", "Porta de Comunicação:"}, {"Label1", "Cidade Padrão:"}};
    for (const auto &[nome, texto] : rotulos) {
        auto *rotulo = config->findChild<QLabel *>(QLatin1String(nome));
        QVERIFY(rotulo);
        QCOMPARE(rotulo->text(), QString::fromUtf8(texto));
        // The whole caption fits.
        QVERIFY(rotulo->width() >= rotulo->sizeHint().width());
    }
    auto *porta = config->findChild<QComboBox *>(QStringLiteral("cbPorta"));
    auto *cidade = config->findChild<QLineEdit *>(QStringLiteral("edCidade"));
    QVERIFY(porta && cidade);
    QVERIFY(!porta->isEditable());
    QCOMPARE(cidade->placeholderText(), QStringLiteral("Nome da Cidade Padrão"));
    QVERIFY(cidade->width() > cidade->fontMetrics().horizontalAdvance(cidade->placeholderText()));

    QStringList ordem;
    QWidget *atual = porta;
    for (int i = 0; i < 5; ++i, atual = atual->nextInFocusChain()) {
        while (!(atual->focusPolicy() & Qt::TabFocus))
            atual = atual->nextInFocusChain();
        ordem.append(atual->objectName());
    }
    QCOMPARE(ordem, (QStringList{"cbPorta", "edCidade", "btSalvar", "btPadrao", "btCancelar"}));
    const std::pair<const char *, const char *> botoes[] = {
        {"btSalvar", "Salvar"}, {"btPadrao", "Restaurar Padrão"}, {"btCancelar", "Cancelar"}};
    for (const auto &[nome, texto] : botoes) {
        auto *botao = config->findChild<QPushButton *>(QLatin1String(nome));
        QVERIFY(botao);
        QCOMPARE(botao->text(), QString::fromUtf8(texto));
        QVERIFY(botao->width() >= botao->fontMetrics().horizontalAdvance(botao->text()));
    }
}

void TestConfiguracoes::showsStoredValues_data()
{
    QTest::addColumn<QByteArray>("arquivo");
    QTest::addColumn<QString>("porta");
    QTest::addColumn<QString>("cidade");

    QTest::newRow("no file") << QByteArray() << "COM1" << "";
    QTest::newRow("stored") << QByteArray("[Sistema]\nPortaCOM=COM3\nCidade=Florianópolis\n") << "COM3"
                            << "Florianópolis";
    QTest::newRow("port removed since") << QByteArray("[Sistema]\nPortaCOM=COM200\n") << "" << "";
    QTest::newRow("empty port") << QByteArray("[Sistema]\nPortaCOM=\nCidade=Itu\n") << "" << "Itu";
}

void TestConfiguracoes::showsStoredValues()
{
    QFETCH(QByteArray, arquivo);
    QFETCH(QString, porta);
    QFETCH(QString, cidade);
    if (!arquivo.isEmpty())
        grava(arquivoConfiguracao(), arquivo);
    QWidget *config = abre();
    auto *lista = config->findChild<QComboBox *>(QStringLiteral("cbPorta"));
    QCOMPARE(lista->currentText(), porta.isEmpty() ? lista->itemText(0) : porta);
    QVERIFY(lista->currentIndex() >= 0);
    QCOMPARE(config->findChild<QLineEdit *>(QStringLiteral("edCidade"))->text(), cidade);
}

void TestConfiguracoes::cityTakesTwentyCharacters()
{
    QWidget *config = abre();
    auto *cidade = config->findChild<QLineEdit *>(QStringLiteral("edCidade"));
    cidade->setFocus();
    QTest::keyClicks(cidade, QStringLiteral("ABCDEFGHIJKLMNOPQRSTU"));
    QCOMPARE(cidade->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
}

void TestConfiguracoes::salvarStoresAndHandsToMainWindow()
{
    grava(arquivoConfiguracao(), "; kept\n[Outra]\nChave=1\n[Sistema]\nPortaCOM=COM1\n");
    QPointer<QWidget> config = abre();
    config->findChild<QComboBox *>(QStringLiteral("cbPorta"))->setCurrentText(QStringLiteral("COM2"));
    config->findChild<QLineEdit *>(QStringLiteral("edCidade"))->setText(QStringLiteral("São João del-Rei"));
    QTest::mouseClick(config->findChild<QPushButton *>(QStringLiteral("btSalvar")), Qt::LeftButton);

    QCOMPARE(guardado("PortaCOM"), QStringLiteral("COM2"));
    QCOMPARE(guardado("Cidade"), QStringLiteral("São João del-Rei"));
    QVERIFY(conteudo(arquivoConfiguracao()).startsWith("; kept\n[Outra]\nChave=1\n[Sistema]\n"));
    QCOMPARE(principal_->portaCOM(), 2);
    QCOMPARE(principal_->cidadePadrao(), QStringLiteral("São João del-Rei"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Sucesso!"));
    QCOMPARE(caixas_->boxes[0].text, Sucesso);
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Information);
    processaPendentes();
    QVERIFY(!config);
}

void TestConfiguracoes::salvarWithoutPortsStoresEmptyPort()
{
    QWidget *config = abre();
    config->findChild<QComboBox *>(QStringLiteral("cbPorta"))->clear();
    QTest::mouseClick(config->findChild<QPushButton *>(QStringLiteral("btSalvar")), Qt::LeftButton);
    QCOMPARE(guardado("PortaCOM"), QString());
    QCOMPARE(principal_->portaCOM(), 0);
    QCOMPARE(caixas_->boxes.size(), 2);
    QVERIFY(caixas_->boxes[0].text.startsWith(QStringLiteral("Falha ao tentar capturar")));
    QCOMPARE(caixas_->boxes[1].text, Sucesso);
}

void TestConfiguracoes::restaurarPadraoAnsweredNo()
{
    const QByteArray antes("[Sistema]\nPortaCOM=COM3\nCidade=Ouro Preto\n");
    grava(arquivoConfiguracao(), antes);
    QPointer<QWidget> config = abre();
    caixas_->answers = {false};
    QTest::mouseClick(config->findChild<QPushButton *>(QStringLiteral("btPadrao")), Qt::LeftButton);
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Confirmação"));
    QCOMPARE(caixas_->boxes[0].text,
             QStringLiteral("Deseja realmente restaurar as configurações padrões do Norvel Cheque?"));
    QCOMPARE(conteudo(arquivoConfiguracao()), antes);
    processaPendentes();
    QVERIFY(config);
    QCOMPARE(config->findChild<QComboBox *>(QStringLiteral("cbPorta"))->currentText(), QStringLiteral("COM3"));
}

void TestConfiguracoes::restaurarPadraoAnsweredYes()
{
    grava(arquivoConfiguracao(), "[Sistema]\nPortaCOM=COM3\nCidade=Ouro Preto\n");
    QWidget *config = abre();
    config->findChild<QLineEdit *>(QStringLiteral("edCidade"))->setText(QStringLiteral("Mariana"));
    caixas_->answers = {true};
    QTest::mouseClick(config->findChild<QPushButton *>(QStringLiteral("btPadrao")), Qt::LeftButton);
    QCOMPARE(guardado("PortaCOM"), QStringLiteral("COM1"));
    QCOMPARE(guardado("Cidade"), QStringLiteral("Mariana"));
    QCOMPARE(principal_->portaCOM(), 1);
    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE(caixas_->boxes[1].text, Sucesso);
    processaPendentes();
    QVERIFY(principal_->areaFilhos()->subWindowList().isEmpty());
}

void TestConfiguracoes::unsavedEditsGiveWayOnActivation()
{
    grava(arquivoConfiguracao(), "[Sistema]\nPortaCOM=COM2\nCidade=Santos\n");
    QWidget *config = abre();
    auto *lista = config->findChild<QComboBox *>(QStringLiteral("cbPorta"));
    auto *cidade = config->findChild<QLineEdit *>(QStringLiteral("edCidade"));
    QMdiSubWindow *moldura = principal_->areaFilhos()->activeSubWindow();
    cidade->setText(QStringLiteral("Guarujá"));
    lista->setCurrentText(QStringLiteral("COM3"));

    principal_->findChild<QAction *>(QStringLiteral("actSobre"))->trigger();
    QVERIFY(principal_->areaFilhos()->activeSubWindow() != moldura);
    QCOMPARE(cidade->text(), QStringLiteral("Guarujá"));
    principal_->areaFilhos()->setActiveSubWindow(moldura);
    QCOMPARE(cidade->text(), QStringLiteral("Santos"));
    QCOMPARE(lista->currentText(), QStringLiteral("COM2"));
}

void TestConfiguracoes::unwritableFileIsReportedNotSaved()
{
    QPointer<QWidget> config = abre();
    // A plain file where the settings folder should be.
    const QString pasta = QFileInfo(arquivoConfiguracao()).absolutePath();
    QDir(pasta).removeRecursively();
    grava(pasta, "not a folder");
    QTest::mouseClick(config->findChild<QPushButton *>(QStringLiteral("btSalvar")), Qt::LeftButton);
    QFile::remove(pasta);

    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Error);
    QVERIFY2(caixas_->boxes[0].text.startsWith(QStringLiteral("Não foi possível gravar o arquivo de configuração")),
             qPrintable(caixas_->boxes[0].text));
    QVERIFY(caixas_->boxes[0].text.endsWith(QLatin1Char('.')));
    processaPendentes();
    QVERIFY(config);
}

NORVEL_UI_TEST_MAIN(TestConfiguracoes)
#include "test_configuracoes.moc"
