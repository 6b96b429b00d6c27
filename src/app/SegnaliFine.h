#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGHUP (a pupil logging out, the PC shutting down, the terminal going away)
// end the program as closing its windows does, so that every answer handed to the register
// is stored, or in its outbox, before the process ends. The handler only writes a byte to
// a socket; the program reads it in its event loop.
class SegnaliFine : public QObject {
    Q_OBJECT
public:
    // Once, with the application made.
    static void installa();
    // Whether a signal asked the program to end.
    static bool ricevuto();

private:
    explicit SegnaliFine(int lettura, QObject *genitore);
    void termina();

    QSocketNotifier *notifica_;
    int lettura_;
};
