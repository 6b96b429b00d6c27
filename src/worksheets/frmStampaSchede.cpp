#include "frmStampaSchede.h"

#include "TestataScheda.h"

#include "core/Casuale.h"
#include "ui/Immagine.h"
#include "ui/Pulsante.h"

#include "frmStampaSchedeTabella.h"

frmStampaSchede::frmStampaSchede() : FinestraUnica(finestra, ConfigurazioneScheda::perTipo(1))
{
    costruisci(definizioni);
    Image1_ = array<Immagine>("Image1");
    pulsanti_ = {controllo<Pulsante>("CmdOperazione"), controllo<Pulsante>("cmdInsieme2"),
                 controllo<Pulsante>("cmdInsieme3"), controllo<Pulsante>("cmdInsieme4")};
    for (int e = 1; e <= 4; ++e)
        connect(pulsanti_[e - 1], &Pulsante::clicked, this, [this, e] { Anteprima(e); });
    collegaComuni("Impostazione stampante");
}

void frmStampaSchede::Form_Load() { Anteprima(1); }

void frmStampaSchede::ricomincia()
{
    azzeraVisti();
    for (int b : basi)
        for (int o = 0; o < 15; ++o)
            pulisci(Image1_(b + o));
    Anteprima(1);
}

void frmStampaSchede::Anteprima(int e)
{
    const int b = basi[e - 1];
    segnaVisto(e);
    for (int o = 0; o < 15; ++o)
        pulisci(Image1_(b + o));
    const EsercizioEstratto esercizio = EstrazioneScheda::perScheda(Casuale::corrente(), b, 1, livello());
    Figura = static_cast<qint16>(esercizio.Figura);
    ElementiPrimo = esercizio.ElementiPrimo;
    Estratte.fill(0);
    for (size_t i = 0; i < esercizio.Estratte.size(); ++i)
        Estratte[i + 1] = static_cast<qint16>(esercizio.Estratte[i]);
    const Disegno elemento = figura(Figura);
    for (int slot : esercizio.Estratte)
        Image1_(slot)->impostaDisegno(elemento);
}

ContenutoScheda frmStampaSchede::contenuto() const
{
    ContenutoScheda c;
    for (int e = 0; e < 4; ++e)
        for (int o = 0; o < 15; ++o)
            c.primo[e][o] = Image1_(basi[e] + o)->disegno();
    return c;
}
