#pragma once

#include "insegnante/ModelliRegistro.h"
#include "registro/Registro.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QDateEdit;
class QMenu;
class QLabel;
class QSortFilterProxyModel;
class QTableView;
class LettoreSfondo;
class SuperficieStampa;

// The teacher's window: the class at a glance, a pupil's progress, the printed
// reports and the data the teacher controls. Opened only after the teacher's
// password (or server login); the pupils' keys never reach it.
class FrmRegistro : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmRegistro(Registro &registro, QWidget *genitore = nullptr);
    ~FrmRegistro() override;

    // From the start window's menu: the program's register (or the user's own file,
    // before any class exists), the teacher's password, then the window.
    static void apriConAccesso(QWidget *genitore);

    enum class Scelta { Settimana, Mese, Anno, Intervallo };

    QComboBox *classi() const { return classi_; }
    QComboBox *periodi() const { return periodi_; }
    QComboBox *tipi() const { return tipi_; }
    QDateEdit *dal() const { return dal_; }
    QDateEdit *al() const { return al_; }
    QTableView *tabella() const { return tabella_; }
    const ModelloClasse &modello() const { return *modello_; }

    // The period the controls show, in Italian days.
    Riepilogo::Periodo periodo() const;
    int tipo() const;
    QString classe() const;
    // The day "this week", "this month" and "the school year" count from; today unless a test says otherwise.
    void impostaOggi(QDate giorno);

    // Whether the school year is being read on its own thread; the period shown may be already.
    bool inLettura() const { return leggendo_ || classiInArrivo_; }
    // Reads on the window's thread, as for a register that can be read only there.
    void impostaLetturaSincrona(bool sincrona) { sincrona_ = sincrona; }
    // Called on the reading thread once the period shown is read, before the rest of the year (tests).
    void impostaPausaLettura(std::function<void()> pausa) { pausaLettura_ = std::move(pausa); }

    // The register this PC's results are recorded in, whose outbox the window counts (on the lab's server).
    void impostaPostaPc(Registro *registro);
    QLabel *attesa() const { return attesa_; }

    // Reads the register again (after a change made elsewhere).
    void ricarica();
    // The progress window of the pupil of a row of the model (not of the view).
    void apriAndamento(int riga);

    // Asks the teacher before an erasure; a dialog unless a test answers instead.
    using Conferma = std::function<bool(const QString &domanda)>;
    void impostaConferma(Conferma conferma) { conferma_ = std::move(conferma); }
    // Erases the chosen pupil, or the results of every class before the day, after the confirmation.
    void cancellaAlunno();
    void cancellaPrimaDel(QDate giorno);

    // Prints the class summary on the current printer, or on a PDF file when `file` is given.
    bool stampaRiepilogo(const QString &file = {});
    // The families' notice for the chosen class, the same way.
    bool stampaInformativa(const QString &file = {});
    // Everything the register keeps of the pupil of a row of the model, for their family.
    bool stampaDatiAlunno(int riga, const QString &file = {});

    // Once a school year (the first time the window opens in it): offers to erase the results
    // older than the school years the register keeps, counted, after the confirmation.
    void offriCancellazione();
    // Asks how many school years the register keeps, and sets it.
    void cambiaConservazione();

private:
    void costruisciMenu();
    void aggiornaClassi();
    // The classes read on the reading thread, then shown with the chosen one's figures.
    void chiediClassi();
    void mostraClassi(const QList<Classe> &classi);
    void mostraErrore(const QString &errore);
    void aggiorna();
    void caricati(const QString &classe, std::optional<Riepilogo::DatiClasse> dati, const QString &errore);
    // Starts reading `carico` for the class, the period shown first; the figures come as each part is read.
    void leggi(const Riepilogo::Periodo &mostrato, const Riepilogo::Periodo &carico);
    // What was read, or is being read, is out of date.
    void dimentica();
    void cambiaPeriodo();
    bool stampa(SuperficieStampa &superficie, const std::function<bool(SuperficieStampa &)> &disegna);
    // The document on the current printer, or in the new file `file`; `nome` is its file's name on
    // "File PDF". Nothing, after telling why, when the file cannot be made.
    std::unique_ptr<SuperficieStampa> documento(const QString &file, const QString &nome);
    static QString nomeRiepilogo(const QString &classe);
    void cancellaVecchi();
    // Erases the results before the day (asked already) and says how many went.
    void cancellaDavvero(QDate giorno);
    // Offers to erase what is older than the register keeps; false when it could not be counted.
    bool proponiCancellazione(const QString &premessa);
    bool stampaDati(const Alunno &alunno, const QString &classe, const QString &file);
    void esportaCsv(const Registro::Filtro &filtro, const QString &nome);
    bool chiedi(const QString &domanda);
    std::optional<int> rigaScelta() const;
    // "Nessuna classe nel registro.", and how to make the first one.
    QString nessunaClasse() const;

    void contaAttesa();

    Registro &registro_;
    Registro *postaPc_ = nullptr;
    std::unique_ptr<Registro> proprio_;
    Conferma conferma_;
    QDate oggi_;
    std::optional<Riepilogo::DatiClasse> dati_;
    std::unique_ptr<LettoreSfondo> lettore_;
    std::function<void()> pausaLettura_;
    int generazione_ = 0;
    bool sincrona_ = false;
    bool leggendo_ = false;
    bool classiInArrivo_ = false;
    bool classiFallite_ = false;
    QString classeCaricata_;
    QString classeInLettura_;
    Riepilogo::Periodo inLettura_;
    QComboBox *classi_ = nullptr;
    QComboBox *periodi_ = nullptr;
    QComboBox *tipi_ = nullptr;
    QDateEdit *dal_ = nullptr;
    QDateEdit *al_ = nullptr;
    QTableView *tabella_ = nullptr;
    QLabel *stato_ = nullptr;
    QLabel *dove_ = nullptr;
    QLabel *attesa_ = nullptr;
    ModelloClasse *modello_ = nullptr;
    QSortFilterProxyModel *ordine_ = nullptr;
    QMenu *menuClassi_ = nullptr;
    QAction *classiEAlunni_ = nullptr;
};
