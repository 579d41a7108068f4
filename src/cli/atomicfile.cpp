#include "cli/atomicfile.h"

#include "stats/errors.h"

#include <QSaveFile>

void writeFileAtomically(const QString &path, const std::string &bytes)
{
    QSaveFile file(path);
    auto fail = [&](const QString &what) {
        throw stats::StudyFileError(
            QStringLiteral("No se pudo guardar el archivo «%1»: %2").arg(path, what).toStdString());
    };
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        fail(file.errorString());
    if (!file.commit())
        fail(file.errorString());
}
