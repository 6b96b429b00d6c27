#pragma once

#include <QString>

#include <optional>

// What each picture of the store shows, in the words that describe a set;
// none for the blank picture 0.
namespace NomiFigure {
struct Nome {
    const char *singolare;
    const char *plurale;
};
inline constexpr Nome nomi[] = {
    {"", ""},
    {"imbuto", "imbuti"},
    {"lampada", "lampade"},
    {"sveglia", "sveglie"},
    {"barca a vela", "barche a vela"},
    {"bandiera", "bandiere"},
    {"candela", "candele"},
    {"dado", "dadi"},
    {"aquilone", "aquiloni"},
    {"sedia", "sedie"},
    {"abete", "abeti"},
    {"coppia di ciliegie", "coppie di ciliegie"},
    {"gatto", "gatti"},
};
inline constexpr int numero = static_cast<int>(sizeof(nomi) / sizeof(nomi[0]));
// What a child calls each picture when it is theirs ("le ciliegie", "la barca").
inline constexpr const char *brevi[] = {"",     "imbuto",   "lampada", "sveglia", "barca",    "bandiera", "candela",
                                        "dado", "aquilone", "sedia",   "abete",   "ciliegie", "gatto"};
static_assert(sizeof(brevi) / sizeof(brevi[0]) == numero, "every picture has its short name");

// A picture's name as a list or an export writes it; its number when it has none.
inline QString nomeDi(int figura)
{
    return figura > 0 && figura < numero ? QString::fromUtf8(nomi[figura].singolare) : QString::number(figura);
}
// The picture a list means: its number (1-12) or its name, singular or plural, any case.
inline std::optional<int> numeroDi(const QString &testo)
{
    bool cifre = false;
    const int n = testo.toInt(&cifre);
    if (cifre)
        return n >= 1 && n < numero ? std::optional(n) : std::nullopt;
    for (int f = 1; f < numero; ++f)
        if (testo.compare(QString::fromUtf8(nomi[f].singolare), Qt::CaseInsensitive) == 0 ||
            testo.compare(QString::fromUtf8(nomi[f].plurale), Qt::CaseInsensitive) == 0)
            return f;
    return std::nullopt;
}
} // namespace NomiFigure
