#include "EsportaCsv.h"

#include "registro/CsvRisultati.h"
#include "ui/NomiFigure.h"

namespace EsportaCsv {

std::optional<int> esporta(Registro &registro, const Registro::Filtro &filtro, const QString &file, QString *errore)
{
    const auto figura = [](int f) {
        return f > 0 && f < NomiFigure::numero ? QString::fromUtf8(NomiFigure::nomi[f].singolare) : QString::number(f);
    };
    QString motivo;
    const std::optional<int> quante = CsvRisultati::scrivi(registro, filtro, file, figura, &motivo);
    if (!quante)
        *errore = QStringLiteral("Nulla è stato esportato: %1").arg(motivo);
    return quante;
}

} // namespace EsportaCsv
