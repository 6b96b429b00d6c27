#include "Parlato.h"

#include "voce/Voce.h"

#include <QSettings>

namespace {
const QString chiaveAttiva = QStringLiteral("voce/attiva");

QSettings impostazioni() { return QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")); }
} // namespace

Parlato &Parlato::istanza()
{
    static Parlato parlato;
    return parlato;
}

Parlato::Parlato() { attiva_ = impostazioni().value(chiaveAttiva, false).toBool(); }

void Parlato::impostaVoce(Voce *voce)
{
    if (voce_)
        disconnect(voce_, nullptr, this, nullptr);
    voce_ = voce;
    if (voce_) {
        connect(voce_, &Voce::statoCambiato, this, &Parlato::voceCambiata);
        if (attiva_)
            voce_->prepara();
    }
    emit cambiato();
}

void Parlato::voceCambiata()
{
    // The sentence asked for while the engine was starting is still the one to hear.
    if (attiva_ && voce_->stato() == Voce::Stato::Pronta && !ultima_.isEmpty())
        voce_->pronuncia(ultima_);
    emit cambiato();
}

void Parlato::impostaAttiva(bool attiva)
{
    if (attiva_ == attiva)
        return;
    attiva_ = attiva;
    QSettings s = impostazioni();
    s.setValue(chiaveAttiva, attiva);
    s.sync();
    if (voce_) {
        if (attiva) {
            voce_->prepara();
            ripeti(); // the teacher hears at once that it works
        } else {
            voce_->taci();
        }
    }
    emit cambiato();
}

bool Parlato::disponibile() const { return voce_ && voce_->stato() != Voce::Stato::Assente; }

QString Parlato::mancante() const { return voce_ ? voce_->mancante() : QStringLiteral("Voce non disponibile"); }

void Parlato::dici(const QString &frase)
{
    ultima_ = frase;
    ripeti();
}

void Parlato::ripeti()
{
    if (attiva_ && voce_ && voce_->stato() == Voce::Stato::Pronta && !ultima_.isEmpty())
        voce_->pronuncia(ultima_);
}

void Parlato::taci()
{
    if (voce_)
        voce_->taci();
}
