#include "uConfiguracoes.h"
#include "ui_uConfiguracoes.h"

#include "ArquivoIni.h"
#include "MessagePresenter.h"
#include "PortList.h"

#include <QMdiSubWindow>
#include <QStandardPaths>

namespace {

const QString Secao = QStringLiteral("Sistema");
const QString ChavePorta = QStringLiteral("PortaCOM");
const QString ChaveCidade = QStringLiteral("Cidade");
const QString PortaPadrao = QStringLiteral("COM1");

} // namespace

QString arquivoConfiguracao()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/norvelcheque/norvelcheque.ini");
}

int LePortaCOM()
{
    const QString resto = ArquivoIni(arquivoConfiguracao()).le(Secao, ChavePorta, PortaPadrao).mid(3);
    qsizetype digitos = 0;
    while (digitos < resto.size() && resto.at(digitos) >= QLatin1Char('0')
           && resto.at(digitos) <= QLatin1Char('9'))
        ++digitos;
    bool cabe = false;
    const int numero = resto.left(digitos).toInt(&cabe);
    if (cabe && digitos == resto.size())
        return numero;
    messages().show(QStringLiteral("Erro"),
                    QStringLiteral("Falha ao tentar capturar a porta serial definida na configuração do "
                                   "Norvel Cheque.\nConfigure a \"Porta de Comunicação\" no menu "
                                   "\"Configurações\" e tente efeutar essa operação novamente."),
                    MessagePresenter::Icon::Error);
    return cabe ? numero : 0;
}

QString LeCidade()
{
    return ArquivoIni(arquivoConfiguracao()).le(Secao, ChaveCidade);
}

norvel::db::LocalBase LeLocalBase()
{
    const ArquivoIni ini(arquivoConfiguracao());
    return norvel::db::LocalBase::daConfiguracao(ini.caminho(), ini.le(Secao, QStringLiteral("BaseDados")),
                                                 ini.le(Secao, QStringLiteral("Usuario")),
                                                 ini.le(Secao, QStringLiteral("Senha")));
}

TfrmConfig::TfrmConfig(const Contexto &contexto, QWidget *parent)
    : JanelaFilha(contexto, parent), ui(std::make_unique<Ui::TfrmConfig>())
{
    ui->setupUi(this);
    setFixedSize(300, 112);
    ui->cbPorta->addItems(PortList::portas());
    comando(ui->btSalvar, &TfrmConfig::btSalvarClick);
    comando(ui->btPadrao, &TfrmConfig::btPadraoClick);
    connect(ui->btCancelar, &QPushButton::clicked, this, &QWidget::close);
}

TfrmConfig::~TfrmConfig() = default;

bool TfrmConfig::event(QEvent *event)
{
    // Inside the main window the frame, not this widget, is what becomes
    // active; the stored values are shown again at each activation.
    if (event->type() == QEvent::ParentChange) {
        if (auto *moldura = qobject_cast<QMdiSubWindow *>(parentWidget()))
            connect(moldura, &QMdiSubWindow::aboutToActivate, this, &TfrmConfig::FormActivate,
                    Qt::UniqueConnection);
    }
    return JanelaFilha::event(event);
}

void TfrmConfig::FormActivate()
{
    const ArquivoIni ini(arquivoConfiguracao());
    ui->edCidade->setText(ini.le(Secao, ChaveCidade));
    const QString porta = ini.le(Secao, ChavePorta, PortaPadrao);
    const int indice = porta.isEmpty() ? -1 : ui->cbPorta->findText(porta);
    ui->cbPorta->setCurrentIndex(indice >= 0 ? indice : 0);
}

void TfrmConfig::salva(const QString &porta)
{
    const QString cidade = ui->edCidade->text();
    ArquivoIni(arquivoConfiguracao()).grava(Secao, {{ChavePorta, porta}, {ChaveCidade, cidade}});
    emit configuracaoSalva(LePortaCOM(), cidade);
    mostra(QStringLiteral("Operação realizada com Sucesso!"), MessagePresenter::Icon::Information,
           QStringLiteral("Sucesso!"));
    close();
}

void TfrmConfig::btSalvarClick()
{
    salva(ui->cbPorta->currentText());
}

void TfrmConfig::btPadraoClick()
{
    if (!pergunta(QStringLiteral("Deseja realmente restaurar as configurações padrões do Norvel Cheque?"),
                  QStringLiteral("Confirmação")))
        return;
    // The default is stored even when the machine has no COM1 to select.
    const int indice = ui->cbPorta->findText(PortaPadrao);
    if (indice >= 0)
        ui->cbPorta->setCurrentIndex(indice);
    salva(PortaPadrao);
}
