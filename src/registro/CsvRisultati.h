#pragma once

#include "registro/Registro.h"

#include <functional>
#include <optional>

// The register's results as CSV for a spreadsheet: UTF-8 with BOM, ";", every field
// quoted, the day and time in Italy (corrected when a PC's clock was wrong). The file is
// made new, 0600, and never replaces another; on failure none is left.
namespace CsvRisultati {

// `figura`: a picture's name for its number. The count of results written, or nothing
// with *errore saying why (a sentence that starts in lower case).
std::optional<int> scrivi(Registro &registro, const Registro::Filtro &filtro, const QString &file,
                          const std::function<QString(int)> &figura, QString *errore);

} // namespace CsvRisultati
