#pragma once

#include "registro/Classe.h"
#include "registro/Registro.h"

#include <functional>
#include <optional>

// A list of pupils from a spreadsheet into a class: a CSV file in UTF-8 (with or without
// BOM), ";" or "," as its first line shows, whose first line names the columns nome and,
// optionally, figura and colore. All its pupils or none: one bad row and nothing is taken,
// not even a class it would have made.
namespace CsvAlunni {

// A picture's number for what a list says (its number or its name); none when no picture has it.
using NumeroFigura = std::function<std::optional<int>(const QString &testo)>;

// Into the class named `nomeClasse` (made when new). The class, with *importati pupils;
// else none, with *motivo naming the file and the row, in a sentence starting in lower case.
std::optional<Classe> importa(Registro &registro, const QString &nomeClasse, const QString &file,
                              const NumeroFigura &figura, int *importati, QString *motivo);

} // namespace CsvAlunni
