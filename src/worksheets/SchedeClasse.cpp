#include "SchedeClasse.h"

#include "StampaScheda.h"
#include "StampaSoluzioni.h"
#include "core/ConfigurazioneScheda.h"
#include "printing/SuperficieStampa.h"
#include "ui/FrmFigure.h"

#include <algorithm>

namespace {

std::vector<int> celleOrdinate(const EsercizioEstratto &e)
{
    std::vector<int> celle = e.Estratte;
    std::sort(celle.begin(), celle.end());
    return celle;
}

} // namespace

ContenutoScheda SchedaEstratta::contenuto(int tipo) const
{
    const FrmFigure &figure = FrmFigure::istanza();
    const Disegno bianca = figure.figura(0);
    ContenutoScheda c;
    for (size_t e = 0; e < esercizi.size(); ++e) {
        const EsercizioEstratto &esercizio = esercizi[e];
        const Disegno elemento = figure.figura(esercizio.Figura);
        c.primo[e].fill(bianca);
        for (int cella : esercizio.Estratte)
            c.primo[e][cella] = elemento;
        if (tipo == 1)
            continue;
        c.secondo[e].fill(bianca);
        for (int cella = 0; cella <= esercizio.UltimaCasella; ++cella)
            c.secondo[e][cella] = elemento;
    }
    return c;
}

bool SchedaEstratta::uguale(const SchedaEstratta &altra) const
{
    for (size_t e = 0; e < esercizi.size(); ++e) {
        const EsercizioEstratto &a = esercizi[e], &b = altra.esercizi[e];
        if (a.Figura != b.Figura || a.UltimaCasella != b.UltimaCasella || celleOrdinate(a) != celleOrdinate(b))
            return false;
    }
    return true;
}

SchedeClasse SchedeClasse::estrai(Casuale &casuale, int tipo, int copie, const Livello *livello)
{
    std::vector<SchedaEstratta> schede;
    while (static_cast<int>(schede.size()) < copie) {
        SchedaEstratta scheda;
        for (EsercizioEstratto &esercizio : scheda.esercizi)
            esercizio = EstrazioneScheda::perScheda(casuale, 0, tipo, livello);
        if (std::none_of(schede.begin(), schede.end(), [&](const SchedaEstratta &s) { return s.uguale(scheda); }))
            schede.push_back(std::move(scheda));
    }
    return SchedeClasse(tipo, std::move(schede));
}

bool SchedeClasse::stampa(SuperficieStampa &superficie, bool soluzioni) const
{
    StampaScheda foglio(superficie, ConfigurazioneScheda::perTipo(tipo_));
    const int totale = static_cast<int>(schede_.size());
    for (int n = 1; n <= totale; ++n) {
        if (n > 1)
            superficie.nuovaPagina();
        foglio.disegna(schede_[n - 1].contenuto(tipo_));
        foglio.numera(n, totale);
        // A failed printer takes no more drawing: stop at once, and say so once.
        if (foglio.errore())
            return foglio.concludi();
    }
    if (soluzioni) {
        superficie.nuovaPagina();
        StampaSoluzioni(superficie, tipo_).stampa(schede_);
    }
    return foglio.concludi();
}
