#include "ImpostazioneLivello.h"

#include "Livello.h"

#include <QRegularExpression>

std::optional<ImpostazioneLivello> ImpostazioneLivello::leggi(const QString &testo)
{
    static const QRegularExpression forma(QStringLiteral("^\\s*([1-9])\\s*(?:-\\s*([1-9])\\s*)?$"));
    const QRegularExpressionMatch m = forma.match(testo);
    if (!m.hasMatch())
        return std::nullopt;
    ImpostazioneLivello l;
    l.da = m.captured(1).toInt();
    l.a = m.captured(2).isEmpty() ? l.da : m.captured(2).toInt();
    if (!Livello::valido(l.da) || !Livello::valido(l.a) || l.da > l.a)
        return std::nullopt;
    return l;
}

QString ImpostazioneLivello::testo() const
{
    if (!impostata())
        return {};
    if (!percorso())
        return QStringLiteral("livello %1").arg(da);
    return QStringLiteral("percorso %1-%2").arg(da).arg(a);
}
