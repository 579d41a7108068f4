#pragma once
// Files of the window tests: whole-file reads and writes, and the bytes Save
// writes for a study with the prediction window as it starts.
#include "stats/studyfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtTest>

namespace testing_files {

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline QByteArray studyBytes(const stats::StudyData &study)
{
    stats::StudyFile file = stats::StudyFileFromTexts(study);
    file.predictionX.assign(3, "");
    file.predictionY.assign(3, "");
    return QByteArray::fromStdString(stats::SerializeStudyFile(file));
}

} // namespace testing_files
