// Which engine keeps the register: the one place that knows both.
#include "Registro.h"

#include "ConfigurazioneRegistro.h"
#include "RegistroFile.h"
#include "RegistroServer.h"

std::unique_ptr<Registro> Registro::apri(const QString &dove)
{
    const ConfigurazioneRegistro scelta = ConfigurazioneRegistro::scegli(dove);
    if (scelta.server())
        return std::make_unique<RegistroServer>(scelta.valore, RegistroServer::fileUscita());
    return std::make_unique<RegistroFile>(scelta.valore.isEmpty() ? filePredefinito() : scelta.valore);
}
