#include "smalldisk.h"

#include <QByteArray>
#include <QFile>

#include <csignal>

namespace {

QString filler()
{
    return smallDisk() + QStringLiteral("/filler");
}

void fill()
{
    QFile file(filler());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        qFatal("cannot fill the small disk");
    for (qsizetype chunk = 1 << 20; chunk > 0; chunk /= 2) {
        const QByteArray bytes(chunk, 'x');
        while (file.write(bytes) == chunk) {}
    }
}

} // namespace

QString smallDisk()
{
    return qEnvironmentVariable("TRIMBO_SMALL_DISK");
}

DiskFull::DiskFull()
{
    if (!smallDisk().isEmpty()) {
        fill();
        return;
    }
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_limit);
    const rlimit tight{64, m_limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &tight);
}

DiskFull::~DiskFull()
{
    if (!smallDisk().isEmpty())
        QFile::remove(filler());
    else
        setrlimit(RLIMIT_FSIZE, &m_limit);
}
