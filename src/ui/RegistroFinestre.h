#pragma once

#include <QList>
#include <QObject>

#include <functional>

// The windows that are loaded, shown or hidden. When the last one is unloaded
// the program has ended: programmaTerminato() is emitted (main() quits on it).
class RegistroFinestre : public QObject {
    Q_OBJECT
public:
    // What the registry asks of a loaded window.
    class Scaricabile {
    public:
        virtual bool scaricata() const = 0;
        virtual void scarica() = 0;

    protected:
        ~Scaricabile() = default;
    };

    static RegistroFinestre &istanza();

    const QList<Scaricabile *> &caricate() const { return caricate_; }
    bool caricata(const Scaricabile *f) const { return caricate_.contains(const_cast<Scaricabile *>(f)); }

    // Unloads every loaded window. While it runs, inChiusura() is true, so that
    // the unload handlers of the other windows do not bring a window back.
    void chiudiTutto();
    bool inChiusura() const { return inChiusura_; }

    // The way back to the start window, which the start window installs: the
    // other windows return there when they close, unless the program is ending.
    static void impostaRitorno(std::function<void()> ritorno);
    void tornaAllInizio();

    void aggiungi(Scaricabile *f);
    void togli(Scaricabile *f);

signals:
    void programmaTerminato();

private:
    RegistroFinestre() = default;
    static std::function<void()> &ritorno();
    QList<Scaricabile *> caricate_;
    bool inChiusura_ = false;
};
