#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The program's command line, in Italian. It can be read before Qt exists, so
// help and version work with no display; Qt's own options (-platform, -style, ...)
// are only known once QApplication has taken them out of the list.
class RigaComando {
public:
    RigaComando();

    static QStringList argomenti(int argc, char **argv);

    // False when the list holds an option or argument it does not know.
    bool leggi(const QStringList &argomenti);
    // After a good read: prints help or version and gives the exit code, or nothing to go on.
    std::optional<int> rispondi() const;
    // Prints why the last read failed and gives the exit code for a wrong command line.
    int segnalaErrore() const;

    QString testoAiuto() const;
    QString testoVersione() const;
    QString testoErrore() const;

    bool impostata(const QCommandLineOption &opzione) const { return parser_.isSet(opzione); }
    QString valore(const QCommandLineOption &opzione) const { return parser_.value(opzione); }

    static constexpr int codiceErrore = 2;

private:
    void aggiungi(const QCommandLineOption &opzione);

    QCommandLineParser parser_;
    QList<QCommandLineOption> opzioni_;
    QCommandLineOption aiuto_;
    QCommandLineOption versione_;
};
