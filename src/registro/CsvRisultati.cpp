#include "CsvRisultati.h"

#include "core/FileNuovo.h"

#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

#include <limits>

namespace CsvRisultati {

namespace {

QString tipo(int t)
{
    static const char *nomi[] = {"insieme vuoto", "aggiungi", "togli"};
    return t >= 0 && t < 3 ? QString::fromUtf8(nomi[t]) : QString::number(t);
}

QString si(bool vero) { return vero ? QStringLiteral("sì") : QStringLiteral("no"); }

// A quoted field. A name that begins like a formula is kept as text, so that opening the
// file never runs what a name holds.
void campo(QString &riga, const QString &testo, bool ultimo = false)
{
    riga += QLatin1Char('"');
    if (!testo.isEmpty()) {
        switch (testo.front().unicode()) {
        case '=':
        case '+':
        case '-':
        case '@':
        case '\t':
        case '\r':
            riga += QLatin1Char('\'');
            break;
        default:
            break;
        }
    }
    if (testo.contains(QLatin1Char('"'))) {
        QString doppie = testo;
        riga += doppie.replace(QLatin1String("\""), QLatin1String("\"\""));
    } else {
        riga += testo;
    }
    riga += ultimo ? QLatin1String("\"\r\n") : QLatin1String("\";");
}

// Italian wall-clock time of a UTC instant. The zone's offset is looked up once per hour
// of UTC (its changes fall on whole hours), the rest is arithmetic: a school year is a
// quarter of a million rows.
class OraItaliana {
public:
    // "2026-10-05" and "10:30:00".
    std::pair<QString, QString> di(const QDateTime &utc)
    {
        const qint64 ms = utc.toMSecsSinceEpoch();
        const qint64 ora = floorDiv(ms, 3600000);
        if (ora != ora_) {
            ora_ = ora;
            const QDateTime inizio = QDateTime::fromMSecsSinceEpoch(ora * 3600000, Qt::UTC);
            scarto_ = qint64(roma_.isValid() ? roma_.offsetFromUtc(inizio) : inizio.toLocalTime().offsetFromUtc());
        }
        const qint64 secondi = floorDiv(ms, 1000) + scarto_;
        const qint64 giorno = floorDiv(secondi, 86400);
        const qint64 nelGiorno = secondi - giorno * 86400;
        const QDate data = QDate(1970, 1, 1).addDays(giorno);
        return {QStringLiteral("%1-%2-%3")
                    .arg(data.year(), 4, 10, QLatin1Char('0'))
                    .arg(data.month(), 2, 10, QLatin1Char('0'))
                    .arg(data.day(), 2, 10, QLatin1Char('0')),
                QStringLiteral("%1:%2:%3")
                    .arg(nelGiorno / 3600, 2, 10, QLatin1Char('0'))
                    .arg(nelGiorno / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(nelGiorno % 60, 2, 10, QLatin1Char('0'))};
    }

private:
    static qint64 floorDiv(qint64 a, qint64 b) { return a / b - (a % b < 0 ? 1 : 0); }

    const QTimeZone roma_{"Europe/Rome"};
    qint64 ora_ = std::numeric_limits<qint64>::min();
    qint64 scarto_ = 0;
};

} // namespace

std::optional<int> scrivi(Registro &registro, const Registro::Filtro &filtro, const QString &file,
                          const std::function<QString(int)> &figura, QString *errore)
{
    const QString nome = QStringLiteral("«%1»").arg(QDir::toNativeSeparators(file));
    const QFileInfo info(file);
    const QString esiste = QStringLiteral("il file %1 esiste già e non viene sovrascritto.").arg(nome);
    if (info.exists() || info.isSymLink()) {
        *errore = esiste;
        return std::nullopt;
    }
    // Children's results: readable by their owner only, and under their name only whole.
    FileNuovo f(file);
    if (!f.apri()) {
        *errore = QStringLiteral("il file %1 non si può creare: %2").arg(nome, f.errore());
        return std::nullopt;
    }
    OraItaliana orologio;
    QString riga;
    int quante = 0;
    bool scritto = true;
    for (const char *titolo : {"classe", "alunno", "data", "ora", "esercizio", "N", "figura", "risposta", "esatto",
                               "aiuto", "intervento", "secondi", "computer", "sessione", "id"})
        campo(riga, QString::fromUtf8(titolo));
    campo(riga, QStringLiteral("livello"), true);
    QByteArray blocco = "\xEF\xBB\xBF" + riga.toUtf8();
    const bool letto = registro.risultati(filtro, [&](const Registro::RigaRisultato &r) {
        const Risultato &x = r.risultato;
        // On the lab's server, corrected when the PC's clock was wrong (Orario).
        const auto [giorno, ora] = orologio.di(r.momento.isValid() ? r.momento : x.quando);
        riga.clear();
        campo(riga, r.nomeClasse);
        campo(riga, r.nomeAlunno);
        campo(riga, giorno);
        campo(riga, ora);
        campo(riga, tipo(x.tipo));
        campo(riga, QString::number(x.n));
        campo(riga, figura(x.figura));
        campo(riga, QString::number(x.risposta));
        campo(riga, si(x.esatto));
        campo(riga, Risultato::nomeAiuto(x.aiuto));
        campo(riga, si(x.intervento));
        campo(riga, QString::number(x.secondi));
        // The PC as it named itself, and on the lab's server the login that sent it, when that tells more.
        campo(riga, r.accesso.isEmpty() || r.accesso == x.macchina
                        ? x.macchina
                        : QStringLiteral("%1 (accesso %2)").arg(x.macchina, r.accesso));
        campo(riga, x.sessione);
        campo(riga, x.id);
        campo(riga, QString::number(x.livello), true);
        blocco += riga.toUtf8();
        ++quante;
        if (blocco.size() > (1 << 20)) {
            scritto = scritto && f.scrivi(blocco);
            blocco.truncate(0);
        }
    });
    scritto = scritto && f.scrivi(blocco);
    // Half a file is worse than none: the hidden one goes with `f`.
    if (!letto) {
        *errore = registro.errore();
        return std::nullopt;
    }
    if (!scritto || !f.concludi()) {
        *errore =
            f.nomePreso() ? esiste : QStringLiteral("il file %1 non si è potuto scrivere: %2").arg(nome, f.errore());
        return std::nullopt;
    }
    return quante;
}

} // namespace CsvRisultati
