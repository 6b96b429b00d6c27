#include "FrasiVoce.h"

#include <QRegularExpression>

namespace FrasiVoce {

QString leggibile(const QString &testo)
{
    static const QRegularExpression segni(QStringLiteral("\\(\\s*[-+]?\\s*\\)"));
    static const QRegularExpression spaziate(QStringLiteral("(?<!\\S)\\p{L}(?: \\p{L}){2,}(?!\\S)"));
    static const QRegularExpression trattino(QStringLiteral("\\s+-\\s+"));
    static const QRegularExpression primaDellaPunteggiatura(QStringLiteral("\\s+([?!.,:;])"));

    QString t = testo;
    t.remove(segni);
    QString unite;
    qsizetype da = 0;
    for (auto it = spaziate.globalMatch(t); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        unite += t.mid(da, m.capturedStart() - da);
        unite += m.captured().remove(QLatin1Char(' '));
        da = m.capturedEnd();
    }
    t = unite + t.mid(da);
    t.replace(trattino, QStringLiteral(". "));
    t = t.simplified();
    t.replace(primaDellaPunteggiatura, QStringLiteral("\\1"));
    if (t == t.toUpper() && t != t.toLower()) {
        t = t.toLower();
        t[0] = t[0].toUpper();
    }
    return t;
}

QString frase(const QStringList &parti)
{
    QStringList lette;
    for (const QString &parte : parti) {
        QString l = leggibile(parte);
        if (l.isEmpty())
            continue;
        if (!QStringLiteral(".?!").contains(l.back()))
            l += QLatin1Char('.');
        lette.append(l);
    }
    return lette.join(QLatin1Char(' '));
}

QString elementi(int quanti)
{
    static const char *const numeri[] = {"nessun", "un",    "due",  "tre",  "quattro", "cinque",
                                         "sei",    "sette", "otto", "nove", "dieci"};
    const QString numero = quanti >= 0 && quanti <= 10 ? QString::fromLatin1(numeri[quanti]) : QString::number(quanti);
    return numero + (quanti == 1 || quanti == 0 ? QStringLiteral(" elemento") : QStringLiteral(" elementi"));
}

namespace {
QString insieme(const QString &nome, int quanti)
{
    return quanti <= 0 ? QStringLiteral("Il %1 insieme è vuoto.").arg(nome)
                       : QStringLiteral("Il %1 insieme ha %2.").arg(nome, elementi(quanti));
}
} // namespace

QString conteggio(int primo, int secondo)
{
    return insieme(QStringLiteral("primo"), primo) + QLatin1Char(' ') + insieme(QStringLiteral("secondo"), secondo);
}

QString soluzione(int quanti)
{
    return quanti <= 0 ? QStringLiteral("La risposta è l'insieme vuoto.")
                       : QStringLiteral("La risposta ha %1.").arg(elementi(quanti));
}

QString stella() { return QStringLiteral("Una stella per te! Continua così."); }

} // namespace FrasiVoce
