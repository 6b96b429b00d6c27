#include "RigaComando.h"

#include "Identita.h"
#include "RigaComandoRegistro.h"
#include "worksheets/RigaComandoSchede.h"

#include <QRegularExpression>

#include <cstdio>

namespace {

const QString programma = QStringLiteral("quorvel");

QString conTrattini(const QString &nome)
{
    return (nome.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + nome;
}

// Read before any translator exists, Qt's parser explains itself in English.
QString inItaliano(const QString &errore)
{
    static const QRegularExpression manca(QStringLiteral("^Missing value after '(.*)'\\.$"));
    static const QRegularExpression inatteso(QStringLiteral("^Unexpected value after '(.*)'\\.$"));
    if (const auto m = manca.match(errore); m.hasMatch())
        return QStringLiteral("manca il valore dopo %1").arg(m.captured(1));
    if (const auto m = inatteso.match(errore); m.hasMatch())
        return QStringLiteral("valore inatteso dopo %1").arg(m.captured(1));
    return errore;
}

void scrivi(FILE *dove, const QString &testo) { std::fputs(testo.toLocal8Bit().constData(), dove); }

} // namespace

RigaComando::RigaComando()
    : aiuto_({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra questo aiuto ed esce.")),
      versione_({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Mostra la versione ed esce."))
{
    parser_.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    // Qt's own options are words after one dash (-style): read them whole, to name them whole.
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    aggiungi(aiuto_);
    aggiungi(versione_);
    for (const QCommandLineOption &o : RigaComandoSchede::opzioni())
        aggiungi(o);
    for (const QCommandLineOption &o : RigaComandoRegistro::opzioni())
        aggiungi(o);
}

void RigaComando::aggiungi(const QCommandLineOption &opzione)
{
    parser_.addOption(opzione);
    opzioni_.append(opzione);
}

QStringList RigaComando::argomenti(int argc, char **argv)
{
    QStringList lista;
    for (int i = 0; i < argc; ++i)
        lista.append(QString::fromLocal8Bit(argv[i]));
    return lista;
}

std::optional<int> RigaComando::leggi(const QStringList &argomenti, bool definitiva)
{
    daRileggere_ = false;
    argomenti_ = argomenti;
    if (!parser_.parse(argomenti) || !parser_.positionalArguments().isEmpty()) {
        if (!definitiva) {
            daRileggere_ = true;
            return std::nullopt;
        }
        scrivi(stderr, testoErrore());
        return codiceErrore;
    }
    if (parser_.isSet(aiuto_)) {
        scrivi(stdout, testoAiuto());
        return 0;
    }
    if (parser_.isSet(versione_)) {
        scrivi(stdout, testoVersione());
        return 0;
    }
    return std::nullopt;
}

std::optional<int> RigaComando::rileggi(const QStringList &argomenti)
{
    return daRileggere_ ? leggi(argomenti, true) : std::nullopt;
}

QString RigaComando::testoVersione() const { return QStringLiteral("Quorvel %1\n").arg(Identita::versione); }

QString RigaComando::testoAiuto() const
{
    QStringList nomi;
    int larghezza = 0;
    for (const QCommandLineOption &o : opzioni_) {
        QStringList parti;
        for (const QString &n : o.names())
            parti << conTrattini(n);
        QString nome = parti.join(QStringLiteral(", "));
        if (!o.valueName().isEmpty())
            nome += QStringLiteral(" <%1>").arg(o.valueName());
        larghezza = std::max(larghezza, int(nome.size()));
        nomi << nome;
    }
    QString testo = QStringLiteral("Uso: %1 [opzioni]\n"
                                   "Quorvel %2: l'insieme che viene prima di un insieme dato, "
                                   "per la scuola primaria.\n"
                                   "Senza opzioni apre la finestra iniziale.\n\nOpzioni:\n")
                        .arg(programma, QLatin1String(Identita::versione));
    for (int i = 0; i < opzioni_.size(); ++i)
        testo += QStringLiteral("  %1  %2\n").arg(nomi[i].leftJustified(larghezza), opzioni_[i].description());
    return testo;
}

QString RigaComando::comeScritta(const QString &nome) const
{
    for (const QString &a : argomenti_.mid(1)) {
        const QString opzione = a.section(QLatin1Char('='), 0, 0);
        if (a.startsWith(QLatin1Char('-')) &&
            QStringView(opzione).mid(opzione.startsWith(QLatin1String("--")) ? 2 : 1) == nome)
            return opzione;
    }
    return conTrattini(nome);
}

QString RigaComando::testoErrore() const
{
    QString motivo;
    if (!parser_.unknownOptionNames().isEmpty())
        motivo = QStringLiteral("opzione sconosciuta: %1").arg(comeScritta(parser_.unknownOptionNames().first()));
    else if (!parser_.positionalArguments().isEmpty())
        motivo = QStringLiteral("argomento inatteso: %1").arg(parser_.positionalArguments().first());
    else
        motivo = inItaliano(parser_.errorText());
    return QStringLiteral("%1: %2\nPer l'elenco delle opzioni: %1 --help\n").arg(programma, motivo);
}
