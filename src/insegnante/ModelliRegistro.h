#pragma once

#include "insegnante/Riepilogo.h"

#include <QAbstractTableModel>

// The class at a glance: one row per pupil. Qt::DisplayRole is the text shown,
// Qt::UserRole the value the view sorts by (a number, a date, or nothing).
class ModelloClasse : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Colonna {
        Alunno,
        Livello,
        Esercizi,
        Esatte,
        EsatteVuoto,
        EsatteAggiungi,
        EsatteTogli,
        Aiuti,
        Interventi,
        Secondi,
        Ultimo,
        Colonne
    };
    static constexpr int ruoloValore = Qt::UserRole;
    // True for a pupil with no exercise in the period.
    static constexpr int ruoloInattivo = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void imposta(QList<Riepilogo::RigaAlunno> righe);
    const QList<Riepilogo::RigaAlunno> &righe() const { return righe_; }

    int rowCount(const QModelIndex &genitore = {}) const override;
    int columnCount(const QModelIndex &genitore = {}) const override;
    QVariant data(const QModelIndex &indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo = Qt::DisplayRole) const override;

    // "75 %", "—"; "4,5", "—": how the table, the chart's table and the reports write figures.
    static QString testoPercentuale(const std::optional<double> &valore);
    static QString testoSecondi(const std::optional<double> &valore);
    static QString intestazione(int colonna);
    static QString testo(const Riepilogo::RigaAlunno &riga, int colonna);
    // The pupil's level in words, for a screen reader and a tooltip: "percorso dal livello 1 al 4 ...".
    static QString descrizioneLivello(const Riepilogo::RigaAlunno &riga);
    // Whether levels tell these pupils apart: a level set, or a result at a level other than the usual.
    // Without them the column of levels says nothing.
    static bool livelliInUso(const QList<Riepilogo::RigaAlunno> &righe);

private:
    QList<Riepilogo::RigaAlunno> righe_;
    bool livelli_ = false;
};

// A pupil's school weeks: one row per week with results, for each kind the
// percent right and the median seconds. The chart draws exactly these cells,
// and a screen reader reads them here.
class ModelloAndamento : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ruoloValore = Qt::UserRole;
    enum class Grandezza { Percentuale, Secondi };
    // The column of a kind's figure; column 0 is the week.
    static int colonna(int tipo, Grandezza grandezza) { return 1 + 2 * tipo + (grandezza == Grandezza::Secondi); }

    using QAbstractTableModel::QAbstractTableModel;

    void imposta(const QList<Riepilogo::Punto> &punti);
    // The week numbers of the rows (1 = the week of 1 September).
    int settimana(int riga) const { return settimane_.at(riga).numero; }
    // The exercises of a kind in the week of a row.
    int esercizi(int riga, int tipo) const { return settimane_.at(riga).esercizi.at(tipo); }

    int rowCount(const QModelIndex &genitore = {}) const override;
    int columnCount(const QModelIndex &genitore = {}) const override;
    QVariant data(const QModelIndex &indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo = Qt::DisplayRole) const override;

private:
    struct Settimana {
        int numero = 0;
        QDate lunedi;
        std::array<std::optional<double>, 2 * Riepilogo::tipi> valori;
        std::array<int, Riepilogo::tipi> esercizi{};
    };
    QList<Settimana> settimane_;
};
