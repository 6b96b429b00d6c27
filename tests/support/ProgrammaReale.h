#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The real program on the real display that scripts/test starts (Xvfb with a
// window manager, named in QUORVEL_TEST_DISPLAY), driven with xdotool and
// looked at with screenshots.
class ProgrammaReale {
public:
    ProgrammaReale();
    ~ProgrammaReale();

    // Why the end-to-end run cannot happen here, or empty when it can.
    QString motivoAssenza() const;

    // The display the program and the tools use: the test display unless told otherwise.
    QString display() const { return display_; }
    void impostaDisplay(const QString &display) { display_ = display; }

    bool avvia(const QStringList &argomenti = {});
    // The X window id of the first visible window with exactly this title, or 0.
    qulonglong attendiFinestra(const QString &titolo, int millisecondi = 10000);
    // Geometry of a window, outer frame excluded.
    QRect geometria(qulonglong finestra);
    // The window's _NET_WM_STATE atoms, as xprop prints them.
    QString statoFinestra(qulonglong finestra);
    QString titoloAttivo();

    // xdotool key names ("4", "Return", "space", "KP_1"); each pressed and released.
    bool tasti(const QStringList &nomi);
    bool tastoGiu(const QString &nome);
    bool tastoSu(const QString &nome);
    bool clic(int x, int y, int pulsante = 1);

    QImage schermata();
    // Sends the program a signal (SIGTERM, SIGHUP, ...), as the session would.
    bool segnale(int numero);
    // Whether the program ended within the time, and how.
    bool attendiFine(int millisecondi = 10000);
    int codiceUscita() const { return processo_.exitCode(); }
    QProcess::ExitStatus statoUscita() const { return processo_.exitStatus(); }
    QByteArray erroriProgramma() { return processo_.readAllStandardError(); }

    // Runs a tool of the display (xdotool, xprop, import) and gives its output.
    QByteArray esegui(const QString &programma, const QStringList &argomenti, bool *riuscito = nullptr);

private:
    QString display_;
    QString binario_;
    QProcess processo_;
    QTemporaryDir impostazioni_; // the program's settings: its own, never the user's
};
