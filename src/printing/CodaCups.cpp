#include "CodaCups.h"

#include <cups/cups.h>

#include <cstdlib>
#include <cstring>

namespace {
// libcups gives paper sizes and margins in hundredths of a millimetre.
double inTwips(int centesimiMm) { return centesimiMm * 1440.0 / 2540.0; }
constexpr int dpiIgnoti = 300;
} // namespace

struct CodaCups::Collegamento {
    http_t *http = nullptr;
    cups_dest_t *dest = nullptr;
    cups_dinfo_t *info = nullptr;
    QByteArray carta;

    ~Collegamento()
    {
        if (info)
            cupsFreeDestInfo(info);
        if (dest)
            cupsFreeDests(1, dest);
        if (http)
            httpClose(http);
    }
    const char *opzione(const char *nome) const { return cupsGetOption(nome, dest->num_options, dest->options); }
};

CodaCups::CodaCups(QString nome) : nome_(std::move(nome)) {}

CodaCups::~CodaCups() = default;

std::optional<Foglio> CodaCups::foglio()
{
    c_ = std::make_unique<Collegamento>();
    Collegamento &c = *c_;
    const QByteArray coda = nome_.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray istanza = nome_.section(QLatin1Char('/'), 1).toUtf8();
    c.http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
    if (!c.http || coda.isEmpty())
        return std::nullopt;
    c.dest = cupsGetNamedDest(c.http, coda.constData(), istanza.isEmpty() ? nullptr : istanza.constData());
    if (!c.dest)
        return std::nullopt;
    // A stopped queue takes the job and keeps it unprinted.
    const char *stato = c.opzione("printer-state");
    const char *accetta = c.opzione("printer-is-accepting-jobs");
    if ((stato && std::atoi(stato) == IPP_PSTATE_STOPPED) || (accetta && std::strcmp(accetta, "true") != 0))
        return std::nullopt;
    c.info = cupsCopyDestInfo(c.http, c.dest);
    if (!c.info)
        return std::nullopt;
    cups_size_t carta{};
    if (!cupsGetDestMediaByName(c.http, c.dest, c.info, CUPS_MEDIA_A4, CUPS_MEDIA_FLAGS_DEFAULT, &carta) &&
        !cupsGetDestMediaDefault(c.http, c.dest, c.info, CUPS_MEDIA_FLAGS_DEFAULT, &carta))
        return std::nullopt;
    c.carta = carta.media;

    Foglio f;
    f.carta = QPageSize(QSizeF(carta.width / 100.0, carta.length / 100.0), QPageSize::Millimeter);
    f.area = QRectF(inTwips(carta.left), inTwips(carta.top), inTwips(carta.width - carta.left - carta.right),
                    inTwips(carta.length - carta.top - carta.bottom));
    f.dpi = dpiIgnoti;
    if (ipp_attribute_t *r = cupsFindDestDefault(c.http, c.dest, c.info, "printer-resolution")) {
        int y = 0;
        ipp_res_t unita = IPP_RES_PER_INCH;
        const int x = ippGetResolution(r, 0, &y, &unita);
        if (x > 0)
            f.dpi = unita == IPP_RES_PER_CM ? qRound(x * 2.54) : x;
    }
    return f;
}

bool CodaCups::consegna(const QByteArray &pdf)
{
    if (!c_ || !c_->info)
        return false;
    Collegamento &c = *c_;
    // The queue's and the instance's own settings, as lp passes them; then the
    // paper the page was drawn for, at its size.
    cups_option_t *opzioni = nullptr;
    int n = 0;
    for (int i = 0; i < c.dest->num_options; ++i)
        n = cupsAddOption(c.dest->options[i].name, c.dest->options[i].value, n, &opzioni);
    n = cupsAddOption(CUPS_MEDIA, c.carta.constData(), n, &opzioni);
    n = cupsAddOption("print-scaling", "none", n, &opzioni);

    int lavoro = 0;
    const QByteArray nomeLavoro = titolo().toUtf8();
    const char *titolo = nomeLavoro.constData();
    bool ok = cupsCreateDestJob(c.http, c.dest, c.info, &lavoro, titolo, n, opzioni) <= IPP_STATUS_OK_CONFLICTING &&
              lavoro > 0;
    cupsFreeOptions(n, opzioni);
    if (!ok)
        return false;
    ok = cupsStartDestDocument(c.http, c.dest, c.info, lavoro, titolo, CUPS_FORMAT_PDF, 0, nullptr, 1) ==
         HTTP_STATUS_CONTINUE;
    if (ok) {
        const bool scritto =
            cupsWriteRequestData(c.http, pdf.constData(), static_cast<size_t>(pdf.size())) == HTTP_STATUS_CONTINUE;
        ok = cupsFinishDestDocument(c.http, c.dest, c.info) <= IPP_STATUS_OK_CONFLICTING && scritto;
    }
    if (!ok)
        cupsCancelDestJob(c.http, c.dest, lavoro);
    return ok;
}
