// Every child window in the client area of a 1366×768 screen, under a window
// manager whose title bar takes 19 pixels: opened alone and after the others,
// its whole frame and every button lie inside the client area, clear of the
// status bar, with nothing to scroll.

#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uDMNorvelCheque.h"
#include "uPrincipal.h"

#include <QAbstractButton>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStatusBar>

#include <memory>

namespace {

const QSize Tela(1366, 768 - 19);

// The commands that open the child windows, tallest first.
const QList<const char *> Comandos = {"actConsultaAvulso",  "actConsultaPreDatado", "actBanco",
                                      "actChequeAvulso",    "actChequePreDatado",   "actFavorecido",
                                      "actCentroCusto",     "actTipoCompensacao",   "actEndosso",
                                      "actConfiguracoes",   "actSobre"};

} // namespace

class TestAreaFilhos : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void cadaJanelaSozinha();
    void cadaJanelaDepoisDasOutras_data();
    void cadaJanelaDepoisDasOutras();

private:
    // Opens the window of the command and checks where it landed.
    void abreEConfere(const char *comando);

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<TfrmPrincipal> principal_;
};

void TestAreaFilhos::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
}

void TestAreaFilhos::cleanupTestCase()
{
    dm_.reset();
    base_.reset();
}

void TestAreaFilhos::cleanup()
{
    if (principal_)
        principal_->areaFilhos()->closeAllSubWindows();
    principal_.reset();
    VERIFICA_SEM_JANELAS();
}

void TestAreaFilhos::abreEConfere(const char *comando)
{
    if (!principal_) {
        principal_ = std::make_unique<TfrmPrincipal>();
        principal_->defineDados(*dm_);
        principal_->resize(Tela);
        principal_->show();
        QVERIFY(QTest::qWaitForWindowExposed(principal_.get()));
    }
    QMdiArea *area = principal_->areaFilhos();
    auto *acao = principal_->findChild<QAction *>(QLatin1String(comando));
    QVERIFY(acao);
    acao->trigger();
    QCoreApplication::processEvents();
    QMdiSubWindow *moldura = area->activeSubWindow();
    QVERIFY(moldura && moldura->widget());
    const QString nome = moldura->widget()->objectName();

    const QRect areaVisivel = area->viewport()->rect();
    QVERIFY2(areaVisivel.contains(moldura->geometry()),
             qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 outside %6x%7")
                            .arg(nome)
                            .arg(moldura->x())
                            .arg(moldura->y())
                            .arg(moldura->width())
                            .arg(moldura->height())
                            .arg(areaVisivel.width())
                            .arg(areaVisivel.height())));
    if (nome == QLatin1String("frmBancos"))
        QCOMPARE(moldura->height(), 625);
    // Closed only, no minimise button.
    if (nome == QLatin1String("frmConsultaPreDatado"))
        QVERIFY(!moldura->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!area->verticalScrollBar()->isVisible());
    QVERIFY(!area->horizontalScrollBar()->isVisible());

    const QRect status(principal_->statusBar()->mapToGlobal(QPoint()), principal_->statusBar()->size());
    const QRect cliente(moldura->widget()->mapToGlobal(QPoint()), moldura->widget()->size());
    const QRect visivel(area->viewport()->mapToGlobal(QPoint()), areaVisivel.size());
    for (QAbstractButton *botao : moldura->widget()->findChildren<QAbstractButton *>()) {
        if (!botao->isVisibleTo(moldura->widget()))
            continue;
        const QRect r(botao->mapToGlobal(QPoint()), botao->size());
        // Below a collapsed window's edge on purpose.
        if (!cliente.intersects(r))
            continue;
        QVERIFY2(cliente.contains(r) && visivel.contains(r) && !r.intersects(status),
                 qPrintable(nome + QLatin1Char('.') + botao->objectName()));
    }
    // No caption is cut, shown or not yet shown.
    VERIFICA_ROTULOS_INTEIROS(*moldura->widget());
}

void TestAreaFilhos::cadaJanelaSozinha()
{
    RecordingPresenter caixas;
    for (const char *comando : Comandos) {
        abreEConfere(comando);
        principal_->areaFilhos()->closeAllSubWindows();
        processaPendentes();
    }
}

void TestAreaFilhos::cadaJanelaDepoisDasOutras_data()
{
    QTest::addColumn<bool>("invertida");
    QTest::newRow("tallest first") << false;
    QTest::newRow("tallest last") << true;
}

void TestAreaFilhos::cadaJanelaDepoisDasOutras()
{
    QFETCH(bool, invertida);
    RecordingPresenter caixas;
    QList<const char *> ordem = Comandos;
    if (invertida)
        std::reverse(ordem.begin(), ordem.end());
    // Twice round: the second time every place is taken.
    for (int volta = 0; volta < 2; ++volta)
        for (const char *comando : ordem)
            abreEConfere(comando);
}

NORVEL_UI_TEST_MAIN(TestAreaFilhos)
#include "test_areafilhos.moc"
