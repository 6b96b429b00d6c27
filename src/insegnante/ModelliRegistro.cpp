#include "ModelliRegistro.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QLocale>

#include <algorithm>

namespace {
const QString nessuno = QStringLiteral("—");
const QString mai = QStringLiteral("nessun esercizio");

QLocale italiano() { return QLocale(QLocale::Italian, QLocale::Italy); }

QVariant valore(const std::optional<double> &v) { return v ? QVariant(*v) : QVariant(); }
} // namespace

QString ModelloClasse::testoPercentuale(const std::optional<double> &valore)
{
    return valore ? QStringLiteral("%1 %").arg(qRound(*valore)) : nessuno;
}

QString ModelloClasse::testoSecondi(const std::optional<double> &valore)
{
    return valore ? italiano().toString(*valore, 'f', 1) : nessuno;
}

QString ModelloClasse::intestazione(int colonna)
{
    switch (colonna) {
    case Alunno:
        return QStringLiteral("Alunno");
    case Livello:
        return QStringLiteral("Livello");
    case Esercizi:
        return QStringLiteral("Esercizi");
    case Esatte:
        return QStringLiteral("Esatte");
    case EsatteVuoto:
        return QStringLiteral("Insieme vuoto");
    case EsatteAggiungi:
        return QStringLiteral("Aggiungi");
    case EsatteTogli:
        return QStringLiteral("Togli");
    case Aiuti:
        return QStringLiteral("Aiuti accettati");
    case Interventi:
        return QStringLiteral("Interventi");
    case Secondi:
        return QStringLiteral("Secondi (mediana)");
    case Ultimo:
        return QStringLiteral("Ultimo esercizio");
    }
    return {};
}

QString ModelloClasse::testo(const Riepilogo::RigaAlunno &r, int colonna)
{
    switch (colonna) {
    case Alunno:
        return r.alunno.nome;
    case Livello:
        if (!r.livello.impostata())
            return QString::number(::Livello::consueto);
        if (!r.livello.percorso())
            return QString::number(r.livello.da);
        return r.livelloUltimo > 0
                   ? QStringLiteral("%1→%2, ora %3").arg(r.livello.da).arg(r.livello.a).arg(r.livelloUltimo)
                   : QStringLiteral("%1→%2").arg(r.livello.da).arg(r.livello.a);
    case Esercizi:
        return QString::number(r.esercizi);
    case Esatte:
        return testoPercentuale(r.percentuale());
    case EsatteVuoto:
    case EsatteAggiungi:
    case EsatteTogli:
        return testoPercentuale(r.percentualeTipo(colonna - EsatteVuoto));
    case Aiuti:
        return QString::number(r.aiuti);
    case Interventi:
        return QString::number(r.interventi);
    case Secondi:
        return testoSecondi(r.mediana);
    case Ultimo:
        return r.ultimo.isNull() ? mai : italiano().toString(r.ultimo, QStringLiteral("ddd d/M/yyyy"));
    }
    return {};
}

QString ModelloClasse::descrizioneLivello(const Riepilogo::RigaAlunno &r)
{
    if (!r.livello.impostata())
        return QStringLiteral("livello %1, i numeri di sempre: nessun livello impostato").arg(::Livello::consueto);
    const QString di = r.livelloProprio ? QStringLiteral("dell'alunno") : QStringLiteral("della classe");
    if (!r.livello.percorso())
        return QStringLiteral("livello %1, %2").arg(r.livello.da).arg(di);
    QString testo = QStringLiteral("percorso dal livello %1 al %2, %3").arg(r.livello.da).arg(r.livello.a).arg(di);
    if (r.livelloUltimo > 0)
        testo += QStringLiteral("; l'ultimo esercizio al livello %1").arg(r.livelloUltimo);
    return testo;
}

bool ModelloClasse::livelliInUso(const QList<Riepilogo::RigaAlunno> &righe)
{
    return std::any_of(righe.begin(), righe.end(), [](const Riepilogo::RigaAlunno &r) {
        return r.livello.impostata() || r.eserciziLivello[::Livello::consueto] < r.esercizi;
    });
}

void ModelloClasse::imposta(QList<Riepilogo::RigaAlunno> righe)
{
    beginResetModel();
    righe_ = std::move(righe);
    livelli_ = livelliInUso(righe_);
    endResetModel();
}

int ModelloClasse::rowCount(const QModelIndex &genitore) const { return genitore.isValid() ? 0 : int(righe_.size()); }

int ModelloClasse::columnCount(const QModelIndex &genitore) const { return genitore.isValid() ? 0 : Colonne; }

QVariant ModelloClasse::data(const QModelIndex &indice, int ruolo) const
{
    if (!indice.isValid() || indice.row() >= righe_.size())
        return {};
    const Riepilogo::RigaAlunno &r = righe_[indice.row()];
    const bool inattivo = r.esercizi == 0;
    switch (ruolo) {
    case Qt::DisplayRole:
        return testo(r, indice.column());
    case Qt::AccessibleTextRole:
        return intestazione(indice.column()) + QStringLiteral(": ") +
               (indice.column() == Livello ? descrizioneLivello(r) : testo(r, indice.column()));
    case Qt::ToolTipRole:
        return indice.column() == Livello ? QVariant(descrizioneLivello(r)) : QVariant();
    case ruoloInattivo:
        return inattivo;
    case Qt::FontRole:
        if (inattivo) {
            QFont f;
            f.setBold(true);
            f.setItalic(true);
            return f;
        }
        return {};
    case Qt::BackgroundRole:
        return inattivo ? QVariant(QBrush(QColor(255, 236, 179))) : QVariant();
    case Qt::TextAlignmentRole:
        return int(indice.column() == Alunno || indice.column() == Livello || indice.column() == Ultimo
                       ? Qt::AlignLeft | Qt::AlignVCenter
                       : Qt::AlignRight | Qt::AlignVCenter);
    case ruoloValore:
        switch (indice.column()) {
        case Alunno:
            return r.alunno.nome.toLower();
        case Livello:
            // Where the pupil works now: on a path, the level of their latest result.
            if (r.livello.percorso())
                return r.livelloUltimo > 0 ? r.livelloUltimo : r.livello.da;
            return r.livello.impostata() ? r.livello.da : ::Livello::consueto;
        case Esercizi:
            return r.esercizi;
        case Esatte:
            return valore(r.percentuale());
        case EsatteVuoto:
        case EsatteAggiungi:
        case EsatteTogli:
            return valore(r.percentualeTipo(indice.column() - EsatteVuoto));
        case Aiuti:
            return r.aiuti;
        case Interventi:
            return r.interventi;
        case Secondi:
            return valore(r.mediana);
        case Ultimo:
            return r.ultimo.isNull() ? QVariant() : QVariant(r.ultimo);
        }
    }
    return {};
}

QVariant ModelloClasse::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (orientamento == Qt::Horizontal && ruolo == Qt::DisplayRole) {
        // The column of levels takes room the table does not have: the longer titles go on two lines.
        if (livelli_ && sezione != Livello && sezione != Alunno)
            return intestazione(sezione).replace(QLatin1Char(' '), QLatin1Char('\n'));
        return intestazione(sezione);
    }
    // A screen reader names each row by its header: the pupil, not the row's number.
    if (orientamento == Qt::Vertical && ruolo == Qt::DisplayRole && sezione >= 0 && sezione < righe_.size())
        return righe_[sezione].alunno.nome;
    return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
}

void ModelloAndamento::imposta(const QList<Riepilogo::Punto> &punti)
{
    beginResetModel();
    settimane_.clear();
    for (const Riepilogo::Punto &p : punti) {
        if (settimane_.isEmpty() || settimane_.back().numero != p.settimana)
            settimane_.append({p.settimana, p.lunedi, {}, {}});
        Settimana &s = settimane_.back();
        s.valori[colonna(p.tipo, Grandezza::Percentuale) - 1] = p.percentuale;
        s.valori[colonna(p.tipo, Grandezza::Secondi) - 1] = p.mediana;
        s.esercizi[p.tipo] = p.esercizi;
    }
    endResetModel();
}

int ModelloAndamento::rowCount(const QModelIndex &genitore) const
{
    return genitore.isValid() ? 0 : int(settimane_.size());
}

int ModelloAndamento::columnCount(const QModelIndex &genitore) const
{
    return genitore.isValid() ? 0 : 1 + 2 * Riepilogo::tipi;
}

QVariant ModelloAndamento::data(const QModelIndex &indice, int ruolo) const
{
    if (!indice.isValid() || indice.row() >= settimane_.size())
        return {};
    const Settimana &s = settimane_[indice.row()];
    const int c = indice.column();
    if (c == 0) {
        if (ruolo == ruoloValore)
            return s.numero;
        if (ruolo == Qt::DisplayRole || ruolo == Qt::AccessibleTextRole)
            return QStringLiteral("%1ª (dal %2)").arg(s.numero).arg(italiano().toString(s.lunedi, "d/M"));
        return {};
    }
    const std::optional<double> &v = s.valori[c - 1];
    if (ruolo == ruoloValore)
        return valore(v);
    if (ruolo == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (ruolo == Qt::DisplayRole || ruolo == Qt::AccessibleTextRole) {
        const QString testo = (c - 1) % 2 == 0 ? ModelloClasse::testoPercentuale(v) : ModelloClasse::testoSecondi(v);
        if (ruolo == Qt::AccessibleTextRole)
            return headerData(c, Qt::Horizontal).toString() + QStringLiteral(": ") + testo;
        return testo;
    }
    if (ruolo == Qt::ToolTipRole && (c - 1) % 2 == 0)
        return QStringLiteral("%1 esercizi").arg(s.esercizi[(c - 1) / 2]);
    return {};
}

QVariant ModelloAndamento::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (orientamento != Qt::Horizontal || ruolo != Qt::DisplayRole)
        return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
    if (sezione == 0)
        return QStringLiteral("Settimana");
    const QString tipo = Riepilogo::nomeTipo((sezione - 1) / 2);
    return (sezione - 1) % 2 == 0 ? QStringLiteral("%1: esatte").arg(tipo) : QStringLiteral("%1: secondi").arg(tipo);
}
