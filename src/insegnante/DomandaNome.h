#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

// A name to write (a class's, a pupil's, a colleague's login). The register tries it at
// once: a refusal leaves the dialog open, with what was typed and the reason in it.
class DomandaNome : public QDialog {
    Q_OBJECT
public:
    // Tries the name: empty when it was taken, else why not.
    using Prova = std::function<QString(const QString &nome)>;

    DomandaNome(const QString &titolo, const QString &etichetta, const QString &testo, Prova prova,
                QWidget *genitore = nullptr);

    QLineEdit *campo() const { return campo_; }
    QLabel *avviso() const { return avviso_; }

    void accept() override;

private:
    Prova prova_;
    QLineEdit *campo_ = nullptr;
    QLabel *avviso_ = nullptr;
};
