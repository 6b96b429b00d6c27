#include "AccessoInsegnante.h"

#include "insegnante/AdattaDialogo.h"
#include "registro/ConnessioneServer.h"
#include "registro/RegistroServer.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

AccessoInsegnante::AccessoInsegnante(PasswordInsegnante &password, QWidget *genitore)
    : QDialog(genitore), password_(password), nuova_(!password.impostata())
{
    setWindowTitle(QStringLiteral("Registro: accesso dell'insegnante"));
    auto *spiegazione = new QLabel(
        nuova_ ? QStringLiteral("Il registro non ha ancora una password. Sceglierne una (almeno %1 caratteri) "
                                "e scriverla due volte. Gli alunni non devono conoscerla.")
                     .arg(PasswordInsegnante::lunghezzaMinima)
               : QStringLiteral("Scrivere la password dell'insegnante."),
        this);
    spiegazione->setWordWrap(true);
    campo_ = new QLineEdit(this);
    campo_->setEchoMode(QLineEdit::Password);
    campo_->setAccessibleName(QStringLiteral("Password"));
    ripeti_ = new QLineEdit(this);
    ripeti_->setEchoMode(QLineEdit::Password);
    ripeti_->setAccessibleName(QStringLiteral("Ripeti la password"));
    avviso_ = AdattaDialogo::nuovoAvviso(this);
    auto *pulsanti = AdattaDialogo::okAnnulla(this, nuova_ ? QStringLiteral("Scegli") : QStringLiteral("Entra"));
    entra_ = pulsanti->button(QDialogButtonBox::Ok);
    connect(pulsanti, &QDialogButtonBox::accepted, this, &AccessoInsegnante::prova);

    auto *modulo = new QFormLayout(this);
    modulo->addRow(spiegazione);
    auto *etichetta = new QLabel(nuova_ ? QStringLiteral("&Nuova password:") : QStringLiteral("&Password:"), this);
    etichetta->setBuddy(campo_);
    modulo->addRow(etichetta, campo_);
    if (nuova_) {
        auto *seconda = new QLabel(QStringLiteral("&Ripetila:"), this);
        seconda->setBuddy(ripeti_);
        modulo->addRow(seconda, ripeti_);
    } else {
        ripeti_->hide();
    }
    modulo->addRow(avviso_);
    modulo->addRow(pulsanti);

    orologio_ = new QTimer(this);
    orologio_->setInterval(1000);
    connect(orologio_, &QTimer::timeout, this, &AccessoInsegnante::aggiornaAttesa);
    aggiornaAttesa();
    AdattaDialogo::adatta(this);
}

void AccessoInsegnante::aggiornaAttesa()
{
    const int attesa = nuova_ ? 0 : password_.attesa();
    entra_->setEnabled(attesa == 0);
    if (attesa > 0) {
        const QString testo = QStringLiteral("Troppi tentativi sbagliati: riprovare tra %1 secondi.").arg(attesa);
        // Said once; the countdown then ticks quietly.
        if (orologio_->isActive())
            avviso_->setText(testo);
        else
            AdattaDialogo::avvisa(avviso_, testo);
        orologio_->start();
    } else if (orologio_->isActive()) {
        orologio_->stop();
        AdattaDialogo::avvisa(avviso_, {});
    }
}

void AccessoInsegnante::prova()
{
    const QString testo = campo_->text();
    if (nuova_) {
        if (testo != ripeti_->text()) {
            AdattaDialogo::avvisa(avviso_, QStringLiteral("Le due password sono diverse: riscriverle."));
            ripeti_->clear();
            campo_->selectAll();
            campo_->setFocus();
            return;
        }
        if (!password_.scegli(testo)) {
            AdattaDialogo::avvisa(avviso_, password_.errore());
            return;
        }
        accept();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PasswordInsegnante::Esito esito = password_.verifica(testo);
    QApplication::restoreOverrideCursor();
    campo_->clear();
    switch (esito) {
    case PasswordInsegnante::Esito::Giusta:
        accept();
        return;
    case PasswordInsegnante::Esito::Sbagliata:
        AdattaDialogo::avvisa(avviso_, QStringLiteral("Password sbagliata."));
        break;
    case PasswordInsegnante::Esito::Attendere:
        break;
    case PasswordInsegnante::Esito::Errore:
        AdattaDialogo::avvisa(avviso_, password_.errore());
        break;
    }
    aggiornaAttesa();
}

AccessoServer::AccessoServer(const QString &conninfo, QWidget *genitore) : QDialog(genitore), conninfo_(conninfo)
{
    setWindowTitle(QStringLiteral("Registro: accesso dell'insegnante"));
    auto *spiegazione =
        new QLabel(QStringLiteral("Il registro è sul server del laboratorio (%1). Scrivere il proprio nome di "
                                  "accesso al server e la password.")
                       .arg(ConnessioneServer::descrivi(conninfo)),
                   this);
    spiegazione->setWordWrap(true);
    utente_ = new QLineEdit(this);
    utente_->setAccessibleName(QStringLiteral("Nome di accesso"));
    campo_ = new QLineEdit(this);
    campo_->setEchoMode(QLineEdit::Password);
    campo_->setAccessibleName(QStringLiteral("Password"));
    avviso_ = AdattaDialogo::nuovoAvviso(this);
    auto *pulsanti = AdattaDialogo::okAnnulla(this, QStringLiteral("Entra"));
    connect(pulsanti, &QDialogButtonBox::accepted, this, &AccessoServer::prova);

    auto *modulo = new QFormLayout(this);
    modulo->addRow(spiegazione);
    auto *nome = new QLabel(QStringLiteral("&Nome di accesso:"), this);
    nome->setBuddy(utente_);
    modulo->addRow(nome, utente_);
    auto *password = new QLabel(QStringLiteral("&Password:"), this);
    password->setBuddy(campo_);
    modulo->addRow(password, campo_);
    modulo->addRow(avviso_);
    modulo->addRow(pulsanti);
    AdattaDialogo::adatta(this);
}

void AccessoServer::prova()
{
    QString errore;
    AdattaDialogo::avvisa(avviso_, QStringLiteral("Collegamento al server…"));
    avviso_->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    registro_ = RegistroServer::accedi(conninfo_, utente_->text(), campo_->text(), &errore);
    QApplication::restoreOverrideCursor();
    // The typed password is not kept by the dialog either way.
    campo_->clear();
    if (!registro_) {
        AdattaDialogo::avvisa(avviso_, errore);
        campo_->setFocus();
        return;
    }
    AdattaDialogo::avvisa(avviso_, {});
    accept();
}
