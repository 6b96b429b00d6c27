#include "EsportaCsv.h"

#include "registro/CsvRisultati.h"
#include "ui/NomiFigure.h"

namespace EsportaCsv {

std::optional<int> esporta(Registro &registro, const Registro::Filtro &filtro, const QString &file, QString *errore)
{
    QString motivo;
    const std::optional<int> quante = CsvRisultati::scrivi(registro, filtro, file, NomiFigure::nomeDi, &motivo);
    if (!quante)
        *errore = QStringLiteral("Nulla è stato esportato: %1").arg(motivo);
    return quante;
}

} // namespace EsportaCsv
