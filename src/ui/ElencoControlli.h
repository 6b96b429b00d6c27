#pragma once

#include "DefinizioneControllo.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <map>
#include <vector>

// One entry of a window's control list.
struct Controllo {
    QObject *oggetto = nullptr;
    TipoControllo tipo;
    QString nome;
    int indice = -1;
    QRect progetto; // twips at design; empty for menu items and timers

    QWidget *widget() const { return qobject_cast<QWidget *>(oggetto); }
    // Whether the proportional layout moves it: not timers, menu items or lists.
    bool siSposta() const
    {
        return tipo != TipoControllo::Timer && tipo != TipoControllo::Menu && tipo != TipoControllo::Elenco;
    }
};

// A window's controls in the fixed order of its definition, menu items and
// timers included, addressable by name and control-array index.
class ElencoControlli {
public:
    void aggiungi(const Controllo &c);

    int conta() const { return static_cast<int>(controlli_.size()); }
    const Controllo &at(int i) const { return controlli_.at(i); }
    auto begin() const { return controlli_.begin(); }
    auto end() const { return controlli_.end(); }

    // nullptr when no control has that name and index.
    QObject *cerca(const QString &nome, int indice = -1) const;

    template <class T> T *trova(const QString &nome, int indice = -1) const
    {
        return qobject_cast<T *>(cerca(nome, indice));
    }

    // The indices of a control array, ascending.
    std::vector<int> indici(const QString &nome) const;

private:
    std::vector<Controllo> controlli_;
    QHash<QString, int> posizione_; // "nome#indice" -> entry
};

// A control array: members addressed by their own indices, with gaps where the
// design has gaps.
template <class T> class ArrayControlli {
public:
    ArrayControlli() = default;
    ArrayControlli(const ElencoControlli &elenco, const QString &nome)
    {
        for (int i : elenco.indici(nome))
            membri_[i] = elenco.trova<T>(nome, i);
    }
    T *operator()(int indice) const
    {
        auto it = membri_.find(indice);
        return it == membri_.end() ? nullptr : it->second;
    }
    bool contiene(int indice) const { return membri_.count(indice) != 0; }
    int conta() const { return static_cast<int>(membri_.size()); }
    auto begin() const { return membri_.begin(); }
    auto end() const { return membri_.end(); }

private:
    std::map<int, T *> membri_;
};
