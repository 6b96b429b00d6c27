#include "EsportaCsv.h"

#include "insegnante/Riepilogo.h"
#include "ui/NomiFigure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>

namespace EsportaCsv {

namespace {

QString si(bool vero) { return vero ? QStringLiteral("sì") : QStringLiteral("no"); }

QString aiuto(Risultato::Aiuto a)
{
    switch (a) {
    case Risultato::Aiuto::NonOfferto:
        return QStringLiteral("no");
    case Risultato::Aiuto::Offerto:
        return QStringLiteral("offerto");
    case Risultato::Aiuto::Accettato:
        return QStringLiteral("accettato");
    case Risultato::Aiuto::Rifiutato:
        return QStringLiteral("rifiutato");
    }
    return {};
}

// A quoted field; a text that begins like a formula stays text in a spreadsheet.
void campo(QString &riga, const QString &testo, bool ultimo = false)
{
    riga += QLatin1Char('"');
    if (!testo.isEmpty() && QStringLiteral("=+-@\t\r").contains(testo.front()))
        riga += QLatin1Char('\'');
    riga += QString(testo).replace(QLatin1String("\""), QLatin1String("\"\""));
    riga += ultimo ? QLatin1String("\"\r\n") : QLatin1String("\";");
}

} // namespace

std::optional<int> esporta(Registro &registro, const Registro::Filtro &filtro, const QString &file, QString *errore)
{
    const QString nome = QDir::toNativeSeparators(file);
    QFile f(file);
    if (QFileInfo(file).exists() || QFileInfo(file).isSymLink() ||
        !f.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        *errore = QStringLiteral("Il file %1 esiste già o non si può creare: nulla è stato esportato.").arg(nome);
        return std::nullopt;
    }
    static const QTimeZone roma("Europe/Rome");
    QString riga;
    for (const char *titolo : {"classe", "alunno", "data", "ora", "esercizio", "N", "figura", "risposta", "esatto",
                               "aiuto", "intervento", "secondi", "computer", "sessione"})
        campo(riga, QString::fromUtf8(titolo));
    campo(riga, QStringLiteral("id"), true);
    QByteArray testo = "\xEF\xBB\xBF" + riga.toUtf8();
    int quanti = 0;
    const bool letto = registro.risultati(filtro, [&](const Registro::RigaRisultato &r) {
        const Risultato &x = r.risultato;
        const QDateTime quando = x.quando.toTimeZone(roma);
        riga.clear();
        campo(riga, r.nomeClasse);
        campo(riga, r.nomeAlunno);
        campo(riga, quando.toString(QStringLiteral("yyyy-MM-dd")));
        campo(riga, quando.toString(QStringLiteral("HH:mm:ss")));
        campo(riga, Riepilogo::nomeTipo(x.tipo));
        campo(riga, QString::number(x.n));
        campo(riga, x.figura > 0 && x.figura < NomiFigure::numero
                        ? QString::fromUtf8(NomiFigure::nomi[x.figura].singolare)
                        : QString::number(x.figura));
        campo(riga, QString::number(x.risposta));
        campo(riga, si(x.esatto));
        campo(riga, aiuto(x.aiuto));
        campo(riga, si(x.intervento));
        campo(riga, QString::number(x.secondi));
        campo(riga, x.macchina);
        campo(riga, x.sessione);
        campo(riga, x.id, true);
        testo += riga.toUtf8();
        ++quanti;
    });
    const bool scritto = letto && f.write(testo) == testo.size() && f.flush();
    f.close();
    if (!scritto || f.error() != QFileDevice::NoError) {
        // Half a file is worse than none.
        f.remove();
        *errore = !letto ? registro.errore() : QStringLiteral("Il file %1 non si è potuto scrivere.").arg(nome);
        return std::nullopt;
    }
    return quanti;
}

} // namespace EsportaCsv
