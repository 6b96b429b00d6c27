#pragma once

#include "voce/Voce.h"

#include <QLocale>

#include <atomic>
#include <memory>

class MotoreVoce;
class QThread;

// The voice of the desktop's speech service (Qt TextToSpeech over
// speech-dispatcher, espeak-ng's Italian). The engine lives on its own
// thread, so no key press or paint ever waits for it. Whether the service is
// installed is checked at once; the engine itself starts at prepara().
class VoceQt : public Voce {
    Q_OBJECT
public:
    VoceQt();
    ~VoceQt() override;

    Stato stato() const override { return stato_; }
    QString mancante() const override { return mancante_; }
    void prepara() override;
    void pronuncia(const QString &frase) override;
    void taci() override;

    // The language of the voice chosen, once ready.
    QLocale lingua() const { return lingua_; }
    // Stops speech and the engine. False when the engine was still starting
    // after the given time and had to be left running: the caller must then
    // end the process without running the static destructors.
    bool chiudi(int millisecondi);

signals:
    void parlando(bool parla); // a sentence started or ended

private:
    template <class F> void esegui(F &&lavoro);

    QThread *filo_;
    MotoreVoce *motore_;
    std::shared_ptr<std::atomic<quint64>> ultimaRichiesta_;
    Stato stato_ = Stato::DaProvare;
    QString mancante_;
    QLocale lingua_;
    bool avviata_ = false;
};
