#pragma once

#include "insegnante/PasswordInsegnante.h"

#include <QDialog>

#include <memory>

class Registro;

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

// The door of the teacher's window on the lab's server: the teacher's own login name and
// password, checked by the server; the register opened with them is the dialog's result.
// The password lives only in that register's memory, for its connection.
class AccessoServer : public QDialog {
    Q_OBJECT
public:
    // `conninfo`: the server as this PC reaches it (the administrator's setting).
    AccessoServer(const QString &conninfo, QWidget *genitore = nullptr);

    QLineEdit *utente() const { return utente_; }
    QLineEdit *campo() const { return campo_; }
    QLabel *avviso() const { return avviso_; }

    // Logs in with what was typed; accepts the dialog when the server let a teacher in.
    void prova();
    std::unique_ptr<Registro> registro() { return std::move(registro_); }

private:
    QString conninfo_;
    std::unique_ptr<Registro> registro_;
    QLineEdit *utente_ = nullptr;
    QLineEdit *campo_ = nullptr;
    QLabel *avviso_ = nullptr;
};
