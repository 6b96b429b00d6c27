#include "Riepilogo.h"

#include <QHash>
#include <QTimeZone>

#include <algorithm>
#include <limits>
#include <map>

namespace Riepilogo {

namespace {

const QTimeZone &roma()
{
    static const QTimeZone fuso("Europe/Rome");
    return fuso;
}

// Italy changes its offset only on whole UTC hours: one look-up of the zone per hour is enough.
class Calendario {
public:
    int giorno(qint64 msUtc)
    {
        const qint64 ora = msUtc >= 0 ? msUtc / 3600000 : (msUtc - 3599999) / 3600000;
        auto it = scarti_.find(ora);
        if (it == scarti_.end()) {
            const int scarto = roma().offsetFromUtc(QDateTime::fromMSecsSinceEpoch(ora * 3600000, Qt::UTC));
            it = scarti_.insert(ora, scarto);
        }
        const qint64 locale = msUtc + qint64(*it) * 1000;
        const qint64 giorni = locale >= 0 ? locale / 86400000 : (locale - 86399999) / 86400000;
        return int(giorni + QDate(1970, 1, 1).toJulianDay());
    }

private:
    QHash<qint64, int> scarti_;
};

// The register gives each result's time already corrected for a PC's wrong clock (Orario).
class Costruttore {
public:
    Costruttore(const QList<Alunno> &alunni, std::vector<Voce> &voci) : voci_(voci)
    {
        for (int i = 0; i < alunni.size(); ++i)
            indici_.insert(alunni[i].id, i);
    }

    void aggiungi(const Registro::RigaRisultato &riga)
    {
        const Risultato &r = riga.risultato;
        const QDateTime &quando = riga.momento.isValid() ? riga.momento : r.quando;
        aggiungi({r.alunno, quando.toMSecsSinceEpoch(), r.tipo, r.esatto, r.aiuto, r.intervento, r.secondi, r.livello});
    }

    void aggiungi(const Registro::RigaBreve &r)
    {
        const auto alunno = indici_.constFind(r.alunno);
        if (alunno == indici_.constEnd())
            return;
        Voce v;
        v.quando = r.quando;
        v.alunno = *alunno;
        v.giorno = calendario_.giorno(r.quando);
        v.tipo = qint8(std::clamp(r.tipo, 0, tipi - 1));
        v.livello = qint8(Livello::valido(r.livello) ? r.livello : Livello::consueto);
        v.esatto = r.esatto;
        v.aiutoAccettato = r.aiuto == Risultato::Aiuto::Accettato;
        v.intervento = r.intervento;
        v.secondi = qint32(std::clamp<qint64>(r.secondi, 0, std::numeric_limits<qint32>::max()));
        voci_.push_back(v);
    }

private:
    std::vector<Voce> &voci_;
    QHash<QString, int> indici_;
    Calendario calendario_;
};

Registro::Filtro filtroDi(const QString &classe, const Periodo &periodo)
{
    Registro::Filtro f;
    f.classe = classe;
    // A wrong clock can move a result by hours: read a day more each side, keep by the corrected day.
    f.dal = periodo.dal.isNull() ? QDate() : periodo.dal.addDays(-1);
    f.al = periodo.al.isNull() ? QDate() : periodo.al.addDays(1);
    return f;
}

} // namespace

QString nomeTipo(int tipo)
{
    switch (tipo) {
    case 0:
        return QStringLiteral("insieme vuoto");
    case 1:
        return QStringLiteral("aggiungi");
    case 2:
        return QStringLiteral("togli");
    }
    return QStringLiteral("tutti");
}

QString testoLivelli(const ConteggioLivelli &conteggio)
{
    QList<int> presenti;
    for (int l = Livello::primo; l <= Livello::ultimo; ++l)
        if (conteggio[l] > 0)
            presenti << l;
    if (presenti.isEmpty())
        return QStringLiteral("—");
    if (presenti.size() > 1 && presenti.last() - presenti.first() == presenti.size() - 1)
        return QStringLiteral("%1–%2").arg(presenti.first()).arg(presenti.last());
    QStringList testi;
    for (int l : presenti)
        testi << QString::number(l);
    return testi.join(QStringLiteral(", "));
}

int RigaAlunno::livelliDiversi() const
{
    return int(std::count_if(eserciziLivello.begin(), eserciziLivello.end(), [](int n) { return n > 0; }));
}

QDate oggi() { return giornoItaliano(QDateTime::currentDateTimeUtc()); }

QDate giornoItaliano(const QDateTime &utc) { return utc.toTimeZone(roma()).date(); }

Periodo Periodo::settimana(QDate giorno)
{
    const QDate lunedi = giorno.addDays(1 - giorno.dayOfWeek());
    return {lunedi, lunedi.addDays(6)};
}

Periodo Periodo::mese(QDate giorno)
{
    const QDate primo(giorno.year(), giorno.month(), 1);
    return {primo, primo.addMonths(1).addDays(-1)};
}

Periodo Periodo::annoScolastico(QDate giorno)
{
    const int anno = giorno.month() >= 9 ? giorno.year() : giorno.year() - 1;
    return {QDate(anno, 9, 1), QDate(anno + 1, 8, 31)};
}

std::optional<double> RigaAlunno::percentuale() const
{
    if (esercizi == 0)
        return std::nullopt;
    return 100.0 * esatti / esercizi;
}

std::optional<double> RigaAlunno::percentualeTipo(int tipo) const
{
    if (eserciziTipo[tipo] == 0)
        return std::nullopt;
    return 100.0 * esattiTipo[tipo] / eserciziTipo[tipo];
}

std::optional<double> mediana(std::vector<qint32> &valori)
{
    if (valori.empty())
        return std::nullopt;
    const std::size_t meta = valori.size() / 2;
    std::nth_element(valori.begin(), valori.begin() + meta, valori.end());
    const double alto = valori[meta];
    if (valori.size() % 2)
        return alto;
    const double basso = *std::max_element(valori.begin(), valori.begin() + meta);
    return (basso + alto) / 2;
}

std::optional<DatiClasse> DatiClasse::carica(Registro &registro, const QString &classe, const Periodo &periodo)
{
    DatiClasse dati;
    const QList<Classe> classi = registro.classi(true);
    // The class itself is missing only when the register could not be read.
    if (classi.isEmpty())
        return std::nullopt;
    for (const Classe &c : classi)
        if (c.id == classe)
            dati.livelloClasse_ = c.livello;
    dati.alunni_ = registro.alunni(classe);
    dati.caricato_ = periodo;
    Costruttore costruttore(dati.alunni_, dati.voci_);
    if (!registro.risultatiBrevi(filtroDi(classe, periodo),
                                 [&](const Registro::RigaBreve &riga) { costruttore.aggiungi(riga); }))
        return std::nullopt;
    return dati;
}

bool DatiClasse::estendi(Registro &registro, const QString &classe, const Periodo &periodo)
{
    // What carica() read is its period and a day each side: the days before and after that,
    // each read with the same margin on its far side only, so no result is counted twice.
    const Registro::Filtro letto = filtroDi(classe, caricato_);
    std::vector<Voce> voci = voci_;
    Costruttore costruttore(alunni_, voci);
    const auto leggi = [&](QDate dal, QDate al) {
        Registro::Filtro f;
        f.classe = classe;
        f.dal = dal;
        f.al = al;
        return registro.risultatiBrevi(f, [&](const Registro::RigaBreve &riga) { costruttore.aggiungi(riga); });
    };
    const Registro::Filtro tutto = filtroDi(classe, periodo);
    if (!letto.dal.isNull() && (tutto.dal.isNull() || tutto.dal < letto.dal) &&
        !leggi(tutto.dal, letto.dal.addDays(-1)))
        return false;
    if (!letto.al.isNull() && (tutto.al.isNull() || tutto.al > letto.al) && !leggi(letto.al.addDays(1), tutto.al))
        return false;
    voci_ = std::move(voci);
    caricato_ = periodo;
    return true;
}

DatiClasse DatiClasse::daRighe(const QList<Alunno> &alunni, const QList<Registro::RigaRisultato> &righe,
                               const Periodo &periodo)
{
    DatiClasse dati;
    dati.alunni_ = alunni;
    dati.caricato_ = periodo;
    Costruttore costruttore(dati.alunni_, dati.voci_);
    for (const auto &riga : righe)
        costruttore.aggiungi(riga);
    return dati;
}

bool Periodo::copre(const Periodo &altro) const
{
    const bool primo = dal.isNull() || (!altro.dal.isNull() && altro.dal >= dal);
    const bool ultimo = al.isNull() || (!altro.al.isNull() && altro.al <= al);
    return primo && ultimo;
}

bool DatiClasse::copre(const Periodo &periodo) const { return caricato_.copre(periodo); }

QList<RigaAlunno> DatiClasse::righe(const Periodo &periodo, int tipo, int livello) const
{
    QList<RigaAlunno> righe(alunni_.size());
    std::vector<std::vector<qint32>> secondi(alunni_.size());
    const int dal = periodo.dal.isNull() ? std::numeric_limits<int>::min() : int(periodo.dal.toJulianDay());
    const int al = periodo.al.isNull() ? std::numeric_limits<int>::max() : int(periodo.al.toJulianDay());
    std::vector<int> ultimo(alunni_.size(), std::numeric_limits<int>::min());
    std::vector<qint64> ultimoIstante(alunni_.size(), std::numeric_limits<qint64>::min());
    for (const Voce &v : voci_) {
        if (v.giorno < dal || v.giorno > al || (tipo >= 0 && v.tipo != tipo) || (livello > 0 && v.livello != livello))
            continue;
        RigaAlunno &r = righe[v.alunno];
        ++r.eserciziLivello[v.livello];
        if (v.quando >= ultimoIstante[v.alunno]) {
            ultimoIstante[v.alunno] = v.quando;
            r.livelloUltimo = v.livello;
        }
        ++r.esercizi;
        ++r.eserciziTipo[v.tipo];
        if (v.esatto) {
            ++r.esatti;
            ++r.esattiTipo[v.tipo];
        }
        r.aiuti += v.aiutoAccettato;
        r.interventi += v.intervento;
        secondi[v.alunno].push_back(v.secondi);
        ultimo[v.alunno] = std::max(ultimo[v.alunno], v.giorno);
    }
    for (int i = 0; i < alunni_.size(); ++i) {
        righe[i].alunno = alunni_[i];
        righe[i].livelloProprio = alunni_[i].livello.impostata();
        righe[i].livello = righe[i].livelloProprio ? alunni_[i].livello : livelloClasse_;
        righe[i].mediana = mediana(secondi[i]);
        if (righe[i].esercizi > 0)
            righe[i].ultimo = QDate::fromJulianDay(ultimo[i]);
    }
    return righe;
}

QList<Punto> DatiClasse::andamento(int alunno, QDate giorno, int livello) const
{
    const Periodo anno = Periodo::annoScolastico(giorno);
    const qint64 primoLunedi = anno.dal.addDays(1 - anno.dal.dayOfWeek()).toJulianDay();
    struct Gruppo {
        int esercizi = 0;
        int esatti = 0;
        std::vector<qint32> secondi;
    };
    std::map<std::pair<int, int>, Gruppo> gruppi; // (week, kind)
    for (const Voce &v : voci_) {
        if (v.alunno != alunno || (livello > 0 && v.livello != livello) ||
            !anno.contiene(QDate::fromJulianDay(v.giorno)))
            continue;
        Gruppo &g = gruppi[{int((v.giorno - primoLunedi) / 7) + 1, v.tipo}];
        ++g.esercizi;
        g.esatti += v.esatto;
        g.secondi.push_back(v.secondi);
    }
    QList<Punto> punti;
    for (auto &[chiave, g] : gruppi) {
        Punto p;
        p.settimana = chiave.first;
        p.lunedi = QDate::fromJulianDay(primoLunedi + 7 * (chiave.first - 1));
        p.tipo = chiave.second;
        p.esercizi = g.esercizi;
        p.percentuale = 100.0 * g.esatti / g.esercizi;
        p.mediana = *mediana(g.secondi);
        punti.append(p);
    }
    return punti;
}

} // namespace Riepilogo
