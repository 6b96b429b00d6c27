#pragma once

#include <QObject>
#include <QString>

class Voce;

// The program's spoken channel. The windows hand it what a pupil who cannot
// read should hear; it says it when the teacher switched the voice on (a
// choice kept between runs) and remembers the last sentence for the repeat key.
class Parlato : public QObject {
    Q_OBJECT
public:
    static Parlato &istanza();

    // The voice to speak with (not owned); nullptr leaves the program silent.
    void impostaVoce(Voce *voce);
    Voce *voce() const { return voce_; }

    bool attiva() const { return attiva_; }
    void impostaAttiva(bool attiva);
    // Whether switching on can work: false once the voice found no Italian.
    bool disponibile() const;
    QString mancante() const;

    // The sentence is given as the window shows it; it is read as words.
    void dici(const QString &frase);
    void ripeti();
    void taci();
    QString ultima() const { return ultima_; }

signals:
    void cambiato(); // switched on or off, or the voice's availability changed

private:
    Parlato();
    void voceCambiata();

    Voce *voce_ = nullptr;
    bool attiva_ = false;
    QString ultima_;
};
