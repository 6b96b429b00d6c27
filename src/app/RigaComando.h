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

    // Reads the arguments (the program's name first). Gives the exit code when the program ends
    // here: 0 after printing help or version, codiceErrore after explaining a wrong command line.
    // A list with options it does not know is only wrong when `definitiva`; otherwise it waits
    // for rileggi().
    std::optional<int> leggi(const QStringList &argomenti, bool definitiva);
    // The second read, of what QApplication left once it took out Qt's own options.
    std::optional<int> rileggi(const QStringList &argomenti);

    QString testoAiuto() const;
    QString testoVersione() const;
    QString testoErrore() const;

    bool impostata(const QCommandLineOption &opzione) const { return parser_.isSet(opzione); }
    QString valore(const QCommandLineOption &opzione) const { return parser_.value(opzione); }

    static constexpr int codiceErrore = 2;

private:
    void aggiungi(const QCommandLineOption &opzione);
    // An unknown option's name as the user wrote it, dashes included.
    QString comeScritta(const QString &nome) const;

    QCommandLineParser parser_;
    QList<QCommandLineOption> opzioni_;
    QCommandLineOption aiuto_;
    QCommandLineOption versione_;
    QStringList argomenti_;
    bool daRileggere_ = false;
};
