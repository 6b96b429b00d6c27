#include "ElencoControlli.h"

#include <algorithm>

namespace {
QString chiave(const QString &nome, int indice) { return nome + QLatin1Char('#') + QString::number(indice); }
} // namespace

void ElencoControlli::aggiungi(const Controllo &c)
{
    posizione_.insert(chiave(c.nome, c.indice), conta());
    controlli_.push_back(c);
}

QObject *ElencoControlli::cerca(const QString &nome, int indice) const
{
    auto it = posizione_.constFind(chiave(nome, indice));
    return it == posizione_.constEnd() ? nullptr : controlli_[*it].oggetto;
}

std::vector<int> ElencoControlli::indici(const QString &nome) const
{
    std::vector<int> risultato;
    for (const Controllo &c : controlli_)
        if (c.nome == nome && c.indice >= 0)
            risultato.push_back(c.indice);
    std::sort(risultato.begin(), risultato.end());
    return risultato;
}
