#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QUrl;

namespace Ui {
class TfrmPrincipal;
}

// The program's one main window: menu, tool bar and the client area that
// holds every other screen. It keeps the printer's port number and the
// default city for the other screens, which read them here at the moment of
// use instead of reading the settings file.
class TfrmPrincipal : public QMainWindow {
    Q_OBJECT

public:
    // Reads the port number and the default city from the settings.
    explicit TfrmPrincipal(QWidget *parent = nullptr);
    ~TfrmPrincipal() override;

    int portaCOM() const { return portaCOM_; }
    QString cidadePadrao() const { return cidadePadrao_; }
    // The settings window replaces both after each save.
    void setPortaCOM(int porta) { portaCOM_ = porta; }
    void setCidadePadrao(const QString &cidade) { cidadePadrao_ = cidade; }

    enum class Posicao { Padrao, Centralizada };
    // Puts filho into the client area as a child window and shows it. The
    // window frees itself when closed; a fixed-size widget gets a fixed frame
    // without a maximise button.
    QMdiSubWindow *mostraFilho(QWidget *filho, Posicao posicao = Posicao::Padrao);
    // Single-instance screens: brings forward the open child whose
    // objectName is nome, or shows the one cria() makes.
    void abreUnico(const QString &nome, const std::function<QWidget *()> &cria,
                   Posicao posicao = Posicao::Padrao);
    QMdiArea *areaFilhos() const;

    // Hands a document to the desktop's default viewer. Tests replace it so
    // that no viewer is started.
    std::function<bool(const QUrl &)> abreDocumento;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void nomeiaBotoes();
    void actSairClick();
    void actConfiguracoesClick();
    void actManualClick();
    void actSobreClick();

    std::unique_ptr<Ui::TfrmPrincipal> ui;
    int portaCOM_ = 0;
    QString cidadePadrao_;
    bool sairSemPerguntar_ = false;
};

// The running main window (null before it is made and after it is gone).
extern TfrmPrincipal *frmPrincipal;
