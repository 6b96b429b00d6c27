#include "FrmFigure.h"

#include "Immagine.h"
#include "NomiFigure.h"

#include <array>

namespace {

static_assert(NomiFigure::numero == FrmFigure::numeroFigure, "every picture has its words");

constexpr DefinizioneFinestra finestra{.titolo = "Form1", .larghezzaClient = 8295, .altezzaClient = 6120};

// Thirteen slots of 1050 twips on a 5-column grid inside the frame.
constexpr auto definizioni = [] {
    std::array<DefinizioneControllo, 1 + FrmFigure::numeroFigure> d{};
    d[0] = {.tipo = TipoControllo::Cornice,
            .nome = "FraSfondoS",
            .indice = 2,
            .posizione = {504, 1212, 6135, 3045},
            .sfondo = QColor(255, 255, 192)};
    for (int k = 0; k < FrmFigure::numeroFigure; ++k)
        d[1 + k] = {.tipo = TipoControllo::Immagine,
                    .nome = "Image3",
                    .indice = k,
                    .contenitore = "FraSfondoS",
                    .indiceContenitore = 2,
                    .posizione = {120 + 1200 * (k % 5), 120 + 1000 * (k / 5), 1050, 960}};
    return d;
}();

QString risorsa(int k, const char *estensione)
{
    return QStringLiteral(":/figure/figura%1%2").arg(k, 2, 10, QLatin1Char('0')).arg(QLatin1String(estensione));
}

} // namespace

FrmFigure::FrmFigure() : FinestraUnica(finestra)
{
    costruisci(definizioni);
    Image3_ = array<Immagine>("Image3");
    for (int k = 0; k < numeroFigure; ++k) {
        const char *formato = k <= 9 ? ".jpg" : ".ico";
        Image3_(k)->impostaDisegno(Disegno::daRisorsa(k, risorsa(k, formato), risorsa(k, "@4x.png")));
    }
}

Disegno FrmFigure::figura(int k) const
{
    const Immagine *i = Image3_(k);
    return i ? i->disegno() : Disegno();
}
