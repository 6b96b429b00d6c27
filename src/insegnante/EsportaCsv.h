#pragma once

#include "registro/Registro.h"

// The results of a filter as the register's CSV (UTF-8 with BOM, ";", quoted
// fields, the columns of quorvel --esporta-risultati), from the teacher's
// window: a class's period, or one pupil's results for a family. The file is
// made new (0600) and never replaces another; on failure none is left.
namespace EsportaCsv {
// The count of results written, or nothing with `errore` saying why.
std::optional<int> esporta(Registro &registro, const Registro::Filtro &filtro, const QString &file, QString *errore);
} // namespace EsportaCsv
