// linealidad --json as a laboratory system reads it, beyond the worked
// studies' JSON compared whole (tests/golden): numbers that do not depend on
// the locale, and each refusal as an error object with the text commands'
// message and status.
#include "stats/numberformat.h"
#include "support/processrun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

QJsonObject parsed(const std::string &text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    EXPECT_TRUE(doc.isObject());
    return doc.object();
}

QJsonValue at(const QJsonObject &root, const QString &pointer)
{
    QJsonValue v = root;
    for (const QString &part : pointer.split('/', Qt::SkipEmptyParts))
        v = v.isArray() ? v.toArray().at(part.toInt()) : v.toObject().value(part);
    return v;
}

std::string printed(const QJsonObject &root, const QString &pointer, char separator = '.', int digits = 6)
{
    const QJsonValue v = at(root, pointer);
    EXPECT_TRUE(v.isDouble()) << pointer.toStdString();
    return stats::FormatGeneral(v.toDouble(), digits, separator);
}

std::string writeStudy(const QTemporaryDir &dir, const char *name, const std::string &bytes)
{
    const std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

// A study typed with decimal commas: JSON numbers always use a point, and
// they are the figures the text commands print with commas.
TEST(Json, NumbersDoNotDependOnTheLocale)
{
    const ProcessRun json = runLinealidad({"--json", TEST_DATA_DIR "/worked-inference-comma.w04"}, "es_ES.UTF-8");
    ASSERT_EQ(json.status, 0) << json.err;
    const QJsonObject o = parsed(json.out);
    const std::string inference = runLinealidad({"--inference", TEST_DATA_DIR "/worked-inference-comma.w04"}, "es_ES.UTF-8").out;
    EXPECT_NE(inference.find("PENDIENTE =  " + printed(o, "/regression/slope", ',') + "\n"), std::string::npos) << inference;
    EXPECT_NE(inference.find("ORDENADA AL ORIGEN = " + printed(o, "/regression/intercept", ',') + "\n"), std::string::npos);
    EXPECT_NE(inference.find("(r^2) = " + printed(o, "/regression/rSquared", ',', 8) + "\n"), std::string::npos);
    EXPECT_EQ(json.out.find("1,0"), std::string::npos);
}

// Each kind of refusal: the error object on standard output, the text
// commands' message on standard error, the text commands' status.
TEST(Json, EveryRefusalKindWithItsMessageAndStatus)
{
    QTemporaryDir dir;
    const struct {
        const char *kind;
        std::string path;
        int status;
    } cases[] = {
        {"validation", writeStudy(dir, "two-levels.w04", "M\r\nA\r\nF\r\nU\r\n2\r\n1\r\n1\r\n1\r\n2\r\n1\r\n2\r\n"), 2},
        {"zero_slope", writeStudy(dir, "zero.w04", "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n5\r\n5\r\n5\r\n"), 2},
        {"file", dir.filePath("missing.w04").toStdString(), 1},
        {"file", writeStudy(dir, "bad-count.w04", "M\r\nA\r\nF\r\nU\r\ntres\r\n"), 1},
        {"numeric", writeStudy(dir, "letters.w04", "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\ndos\r\n3\r\n1\r\n2\r\n3\r\n"), 1},
        {"numeric", writeStudy(dir, "exact.w04", "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n1\r\n2\r\n3\r\n"), 1},
    };
    for (const auto &c : cases) {
        const QString path = QString::fromStdString(c.path);
        const ProcessRun json = runLinealidad({"--json", path});
        const ProcessRun text = runLinealidad({"--report", path});
        EXPECT_EQ(json.status, c.status) << c.kind << " " << c.path << json.err;
        EXPECT_EQ(text.status, c.status) << c.path;
        const QJsonObject o = parsed(json.out);
        ASSERT_EQ(o.keys(), QStringList{"error"}) << json.out;
        EXPECT_EQ(at(o, "/error/kind").toString().toStdString(), c.kind) << c.path;
        EXPECT_EQ(at(o, "/error/message").toString().toStdString() + "\n", text.err) << c.path;
        EXPECT_EQ(json.err, text.err);
    }
}
