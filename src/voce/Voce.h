#pragma once

#include <QObject>
#include <QString>

// A voice that reads sentences aloud. The windows never talk to it directly:
// they go through Parlato, which knows whether the teacher switched it on.
// Every call returns at once; the sentence is spoken while the program goes on.
class Voce : public QObject {
    Q_OBJECT
public:
    enum class Stato {
        DaProvare, // not started yet: whether it can speak Italian is not known
        Pronta,    // an Italian voice is ready
        Assente,   // no Italian voice on this machine
    };

    using QObject::QObject;

    virtual Stato stato() const = 0;
    // What to install for an Italian voice, when there is none.
    virtual QString mancante() const = 0;
    // Starts the engine, if not started; stato() then moves on and statoCambiato() tells.
    virtual void prepara() = 0;
    // Says the sentence, cutting off the one being spoken.
    virtual void pronuncia(const QString &frase) = 0;
    virtual void taci() = 0;

signals:
    void statoCambiato();
};
