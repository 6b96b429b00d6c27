#pragma once

#include "insegnante/PasswordInsegnante.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The door of the teacher's window on a register of this PC: asks to choose the
// password the first time (twice), then asks for it; after too many wrong tries
// it says how long to wait and takes no try until then.
class AccessoInsegnante : public QDialog {
    Q_OBJECT
public:
    AccessoInsegnante(PasswordInsegnante &password, QWidget *genitore = nullptr);

    QLineEdit *campo() const { return campo_; }
    QLineEdit *ripeti() const { return ripeti_; }
    QLabel *avviso() const { return avviso_; }
    QPushButton *entra() const { return entra_; }

    // Checks (or, the first time, sets) the password typed; accepts the dialog when right.
    void prova();

private:
    void aggiornaAttesa();

    PasswordInsegnante &password_;
    bool nuova_ = false;
    QLineEdit *campo_ = nullptr;
    QLineEdit *ripeti_ = nullptr;
    QLabel *avviso_ = nullptr;
    QPushButton *entra_ = nullptr;
    QTimer *orologio_ = nullptr;
};
