#pragma once

#include <QString>

// Where this PC's register lives. The administrator writes the lab's server once
// for every PC in the system-wide settings (/etc/xdg/Quorvel/Quorvel.conf, key
// registro/database: a libpq connection string or "service=..."); --registro
// overrides it for one run. With neither, the local SQLite file.
struct ConfigurazioneRegistro {
    enum class Tipo { FileLocale, Server };
    Tipo tipo = Tipo::FileLocale;
    QString valore; // the SQLite file's path (empty: the default one) or the connection string

    // From the command line's --registro value (empty when not given) and the system-wide settings.
    // A value with "=" in it or a postgresql:// URI is a server, anything else a file.
    static ConfigurazioneRegistro scegli(const QString &daRigaComando);

    bool server() const { return tipo == Tipo::Server; }
};
