#include "MotoreVoce.h"

#include <QStandardPaths>
#include <QTextToSpeech>

namespace {
const QString motoreSpeechd = QStringLiteral("speechd");
const QString senzaMotore = QStringLiteral("Voce non disponibile: installare il pacchetto qt6-speech-speechd-plugin");
const QString senzaServizio =
    QStringLiteral("Voce non disponibile: installare i pacchetti speech-dispatcher e speech-dispatcher-espeak-ng");
} // namespace

MotoreVoce::MotoreVoce(std::shared_ptr<std::atomic<quint64>> ultimaRichiesta)
    : ultimaRichiesta_(std::move(ultimaRichiesta))
{
}

MotoreVoce::~MotoreVoce() = default;

void MotoreVoce::controlla()
{
    if (!QTextToSpeech::availableEngines().contains(motoreSpeechd))
        emit controllato(false, senzaMotore);
    else if (QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
        emit controllato(false, senzaServizio);
    else
        emit controllato(true, {});
}

void MotoreVoce::prepara()
{
    if (provato_)
        return;
    provato_ = true;
    if (!QTextToSpeech::availableEngines().contains(motoreSpeechd)) {
        emit preparato(false, senzaMotore, {});
        return;
    }
    motore_ = std::make_unique<QTextToSpeech>(motoreSpeechd);
    const QList<QLocale> lingue = motore_->availableLocales();
    if (motore_->state() == QTextToSpeech::Error) {
        motore_.reset();
        // Installed (controlla() found it) but not answering.
        emit preparato(false, QStringLiteral("Voce non disponibile: il servizio speech-dispatcher non risponde"), {});
        return;
    }
    QLocale italiano;
    bool trovato = false;
    for (const QLocale &l : lingue) {
        if (l.language() != QLocale::Italian)
            continue;
        if (!trovato || l.territory() == QLocale::Italy)
            italiano = l;
        trovato = true;
    }
    if (!trovato) {
        motore_.reset();
        emit preparato(
            false, QStringLiteral("Nessuna voce italiana: installare il pacchetto speech-dispatcher-espeak-ng"), {});
        return;
    }
    motore_->setLocale(italiano);
    // A little slower than a reader for adults: the listeners are six.
    motore_->setRate(-0.2);
    connect(motore_.get(), &QTextToSpeech::stateChanged, this,
            [this](QTextToSpeech::State s) { emit parlando(s == QTextToSpeech::Speaking); });
    emit preparato(true, {}, motore_->locale());
}

void MotoreVoce::pronuncia(const QString &frase, quint64 richiesta)
{
    if (!motore_ || richiesta != ultimaRichiesta_->load())
        return;
    // The speech service reports the state late: stop whatever it may be saying.
    motore_->stop();
    motore_->say(frase);
}

void MotoreVoce::taci()
{
    if (motore_)
        motore_->stop();
}

void MotoreVoce::chiudi()
{
    taci();
    motore_.reset();
}
