#pragma once

#include "core/ImpostazioneLivello.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QRadioButton;

// The level of a class or of a pupil: nothing (the usual draws, or for a pupil the class's),
// a fixed level, or a path between two levels. The register tries the choice at once: a
// refusal leaves the dialog open, with the reason in it.
class SceltaLivello : public QDialog {
    Q_OBJECT
public:
    // Tries the choice: empty when it was taken, else why not.
    using Prova = std::function<QString(const ImpostazioneLivello &)>;

    // `chi` as the sentence names it ("della classe 2ª B", "di Zoë"); `classe` the class's own setting
    // when the dialog is for one of its pupils, who follows it unless given one.
    SceltaLivello(const QString &chi, const ImpostazioneLivello &attuale,
                  const std::optional<ImpostazioneLivello> &classe, Prova prova, QWidget *genitore = nullptr);

    ImpostazioneLivello scelta() const;
    QLabel *avviso() const { return avviso_; }

    void accept() override;

    // "3 (N fino a 7)": a level with the largest first set it draws.
    static QString nomeLivello(int livello);

private:
    Prova prova_;
    ImpostazioneLivello attuale_;
    QRadioButton *nessuno_ = nullptr;
    QRadioButton *fisso_ = nullptr;
    QRadioButton *percorso_ = nullptr;
    QComboBox *livello_ = nullptr;
    QComboBox *dal_ = nullptr;
    QComboBox *al_ = nullptr;
    QLabel *avviso_ = nullptr;
};
