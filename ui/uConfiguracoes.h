#pragma once

#include "JanelaFilha.h"
#include "LocalBase.h"

#include <QString>

#include <memory>

namespace Ui {
class TfrmConfig;
}

// "norvelcheque.ini" in the user's settings folder
// ($XDG_CONFIG_HOME/norvelcheque, by default ~/.config/norvelcheque).
QString arquivoConfiguracao();

// The printer's port number: "PortaCOM" (default "COM1") without its first
// three characters, read as a decimal number. A rest that is no number is
// reported, and its leading digits count (0 when there are none).
int LePortaCOM();
// The default city, "Cidade" (default empty).
QString LeCidade();
// Where the register lives: "BaseDados", "Usuario" and "Senha" (see
// norvel::db::LocalBase::daConfiguracao); the embedded file when "BaseDados"
// is empty. Throws norvel::db::DbError when they cannot be used. The settings
// window never writes them.
norvel::db::LocalBase LeLocalBase();

// The settings window: the printer's serial port and the default city.
class TfrmConfig : public JanelaFilha {
    Q_OBJECT

public:
    explicit TfrmConfig(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmConfig() override;

signals:
    // The settings were written: the port number and city in force from here on.
    void configuracaoSalva(int portaCOM, const QString &cidade);

protected:
    bool event(QEvent *event) override;

private:
    void FormActivate();
    // Writes the settings with porta as "PortaCOM", announces them, tells
    // the user and closes. A file that cannot be written
    // throws std::runtime_error for the program's error report.
    void salva(const QString &porta);
    void btSalvarClick();
    void btPadraoClick();

    std::unique_ptr<Ui::TfrmConfig> ui;
};
