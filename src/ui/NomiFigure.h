#pragma once

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
} // namespace NomiFigure
