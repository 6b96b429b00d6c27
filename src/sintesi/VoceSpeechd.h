#pragma once

#include "voce/Voce.h"

#include <QDeadlineTimer>

#include <atomic>
#include <memory>

class QThread;

// The voice of the desktop's speech service: speech-dispatcher, asked for
// Italian directly (espeak-ng's Italian on Debian). Every call to the service
// runs on a thread of its own, so no key press or paint ever waits for it.
// The voice is ready as soon as the service answers; whether it really has an
// Italian voice is checked later, once the voice has been quiet a while:
// listing the voices takes the service seconds.
class VoceSpeechd : public Voce {
    Q_OBJECT
public:
    VoceSpeechd();
    ~VoceSpeechd() override;

    Stato stato() const override { return stato_; }
    QString mancante() const override { return mancante_; }
    void prepara() override;
    void pronuncia(const QString &frase) override;
    void taci() override;

    // Whether the list of voices has been read (and an Italian one found, if still ready).
    bool verificata() const { return verificata_; }
    // Stops speech and the engine. False when the engine was still waiting on
    // the service after the given time and had to be left running: the caller
    // must then end the process without running the static destructors.
    bool chiudi(int millisecondi);

signals:
    void parlando(bool parla); // a sentence started or ended
    void verificataCambiata();

private:
    class Motore;
    template <class F> void esegui(F &&lavoro);
    void imposta(Stato stato, const QString &mancante);

    QThread *filo_ = nullptr;
    Motore *motore_ = nullptr;
    std::shared_ptr<std::atomic<quint64>> ultimaRichiesta_;
    Stato stato_ = Stato::DaProvare;
    QString mancante_;
    bool avviata_ = false;
    bool verificata_ = false;
};
