#pragma once

#include "registro/Alunno.h"
#include "registro/Classe.h"

#include <QDialog>

#include <functional>

class QListWidget;
class QPushButton;
class Registro;

// Classes and pupils: create, rename, archive a class; add, rename, move,
// remove pupils; choose each contrassegno as the pupil will see it; set the
// level of a class or a pupil; import a CSV list. Every change is the register's, in one transaction; a refusal
// (a name already in the class, a contrassegno taken) is told as the register says it.
class FrmClassi : public QDialog {
    Q_OBJECT
public:
    explicit FrmClassi(Registro &registro, QWidget *genitore = nullptr);

    QListWidget *classi() const { return classi_; }
    QListWidget *alunni() const { return alunni_; }

    // Adds the pupils of a CSV list to the chosen class, all or none, as quorvel --importa-alunni
    // does; with no file, the teacher picks one.
    void importaCsv(const QString &file = {});

signals:
    // Something changed: the teacher's window reads the register again.
    void cambiato();

private:
    void aggiornaClassi(const QString &scelta = {});
    void aggiornaAlunni(const QString &scelta = {});
    QString classeScelta() const;
    const Alunno *alunnoScelto() const;
    // Asks for a name until `prova` takes it (it gives the register's refusal, or nothing); false when
    // the teacher gave up.
    bool chiedi(const QString &titolo, const QString &etichetta, const QString &testo,
                const std::function<QString(const QString &)> &prova);
    // The register's refusal of the last change, or nothing when it went through.
    QString rifiuto(bool riuscito) const;
    void esito(bool riuscito);
    // Only what can act on the chosen class and pupil is enabled.
    void aggiornaPulsanti();

    void nuovaClasse();
    void rinominaClasse();
    void archiviaClasse();
    void affidaClasse();
    void nuovoAlunno();
    void rinominaAlunno();
    void spostaAlunno();
    void scegliContrassegno();
    void rimuoviAlunno();
    void livelloClasse();
    void livelloAlunno();

    Registro &registro_;
    QList<Classe> elencoClassi_;
    QList<Alunno> elencoAlunni_;
    QListWidget *classi_ = nullptr;
    QListWidget *alunni_ = nullptr;
    QPushButton *archivia_ = nullptr;
    QList<QPushButton *> perClasse_;
    QList<QPushButton *> perAlunno_;
};
