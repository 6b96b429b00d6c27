#pragma once

#include "core/Livello.h"
#include "registro/Alunno.h"
#include "registro/Registro.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// The teacher's figures, computed in memory from one load of a class's
// results: a school year of a class is a few megabytes, and a change of
// period or kind then costs no query. Days are Italian calendar days.
namespace Riepilogo {

constexpr int tipi = 3;
// "insieme vuoto", "aggiungi", "togli".
QString nomeTipo(int tipo);

// Today in Italy, and the Italian calendar day of a UTC time.
QDate oggi();
QDate giornoItaliano(const QDateTime &utc);

// An inclusive range of Italian days; a null end is open.
struct Periodo {
    QDate dal;
    QDate al;
    bool contiene(QDate giorno) const { return (dal.isNull() || giorno >= dal) && (al.isNull() || giorno <= al); }
    bool copre(const Periodo &altro) const;
    static Periodo settimana(QDate giorno); // Monday to Sunday
    static Periodo mese(QDate giorno);
    static Periodo annoScolastico(QDate giorno); // 1 September to 31 August
};

// One result as the figures need it.
struct Voce {
    qint64 quando = 0; // ms since 1970 UTC: which of a pupil's results is the latest
    int alunno = 0;    // index into the class's pupils
    int giorno = 0;    // Julian day of the Italian calendar day
    qint32 secondi = 0;
    qint8 tipo = 0;
    qint8 livello = Livello::consueto;
    bool esatto = false;
    bool aiutoAccettato = false;
    bool intervento = false;
};

// How many results at each level, indexed by the level's number (0 unused).
using ConteggioLivelli = std::array<int, Livello::ultimo + 1>;
// The levels that have results: "2", "2–3", "1, 3"; "—" when none has.
QString testoLivelli(const ConteggioLivelli &conteggio);

// A pupil's line of the class table.
struct RigaAlunno {
    Alunno alunno;
    int esercizi = 0;
    int esatti = 0;
    std::array<int, tipi> eserciziTipo{};
    std::array<int, tipi> esattiTipo{};
    int aiuti = 0;
    int interventi = 0;
    std::optional<double> mediana; // seconds
    QDate ultimo;
    // What the pupil's exercises are drawn at: their own setting, else the class's (none: the usual draws).
    ImpostazioneLivello livello;
    bool livelloProprio = false; // the setting is the pupil's, not the class's
    ConteggioLivelli eserciziLivello{};
    int livelloUltimo = 0; // the level of the latest result counted; 0 when none

    // The levels of the results counted: one, or more than one, or (no result) none.
    int livelliDiversi() const;

    // Percent right, none when there is nothing to count.
    std::optional<double> percentuale() const;
    std::optional<double> percentualeTipo(int tipo) const;
};

// One school week of a pupil, for one kind of exercise.
struct Punto {
    int settimana = 0; // 1 = the week of 1 September
    QDate lunedi;
    int tipo = 0;
    int esercizi = 0;
    double percentuale = 0;
    double mediana = 0;
};

class DatiClasse {
public:
    // Loads the class's results in the period (and its pupils and level). Nothing on failure: registro.errore() says
    // why.
    static std::optional<DatiClasse> carica(Registro &registro, const QString &classe, const Periodo &periodo);
    // Reads the rest of `periodo`, which covers what is loaded, so that the days shown first
    // come quickly and the others follow. False on failure (registro.errore()), the data unchanged.
    bool estendi(Registro &registro, const QString &classe, const Periodo &periodo);
    // Built from rows already read (tests, the command line's report).
    static DatiClasse daRighe(const QList<Alunno> &alunni, const QList<Registro::RigaRisultato> &righe,
                              const Periodo &periodo);

    const QList<Alunno> &alunni() const { return alunni_; }
    // The class's own setting, which its pupils without one follow.
    const ImpostazioneLivello &livelloClasse() const { return livelloClasse_; }
    void impostaLivelloClasse(const ImpostazioneLivello &livello) { livelloClasse_ = livello; }
    const Periodo &caricato() const { return caricato_; }
    bool copre(const Periodo &periodo) const;
    std::size_t risultati() const { return voci_.size(); }

    // One line per pupil, in the order of the pupils; tipo -1 counts every kind, livello 0 every level.
    QList<RigaAlunno> righe(const Periodo &periodo, int tipo = -1, int livello = 0) const;
    // The pupil's weeks of the school year that holds `giorno`, each kind apart, in week order.
    QList<Punto> andamento(int alunno, QDate giorno, int livello = 0) const;

private:
    void aggiungi(const QHash<QString, int> &indici, const QList<Registro::RigaRisultato> &righe);

    QList<Alunno> alunni_;
    ImpostazioneLivello livelloClasse_;
    Periodo caricato_;
    std::vector<Voce> voci_;
};

// The median of the values (reordered); none for an empty set.
std::optional<double> mediana(std::vector<qint32> &valori);

} // namespace Riepilogo
