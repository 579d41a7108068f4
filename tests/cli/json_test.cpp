// linealidad --json as a laboratory system reads it, beyond the worked
// studies' JSON compared whole (tests/golden): each refusal as an error
// object with the text commands' message and status.
#include "support/processrun.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QJsonObject parsed(const std::string &text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    EXPECT_TRUE(doc.isObject());
    return doc.object();
}

} // namespace

// Each kind of refusal: the error object on standard output, the text
// commands' message on standard error, the text commands' status.
TEST(Json, EveryRefusalKindWithItsMessageAndStatus)
{
    QTemporaryDir dir;
    const struct {
        const char *kind;
        QString path;
        int status;
    } cases[] = {
        {"validation", writeBytes(dir.filePath("two-levels.w04"), "M\r\nA\r\nF\r\nU\r\n2\r\n1\r\n1\r\n1\r\n2\r\n1\r\n2\r\n"), 2},
        {"zero_slope", writeBytes(dir.filePath("zero.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n5\r\n5\r\n5\r\n"), 2},
        {"file", dir.filePath("missing.w04"), 1},
        {"file", writeBytes(dir.filePath("bad-count.w04"), "M\r\nA\r\nF\r\nU\r\ntres\r\n"), 1},
        {"numeric", writeBytes(dir.filePath("letters.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\ndos\r\n3\r\n1\r\n2\r\n3\r\n"), 1},
        {"numeric", writeBytes(dir.filePath("exact.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n1\r\n2\r\n3\r\n"), 1},
    };
    for (const auto &c : cases) {
        const QString &path = c.path;
        const ProcessRun json = runLinealidad({"--json", path});
        const ProcessRun text = runLinealidad({"--report", path});
        EXPECT_EQ(json.status, c.status) << c.kind << " " << path.toStdString() << json.err;
        EXPECT_EQ(text.status, c.status) << path.toStdString();
        const QJsonObject o = parsed(json.out);
        ASSERT_EQ(o.keys(), QStringList{"error"}) << json.out;
        const QJsonObject error = o["error"].toObject();
        EXPECT_EQ(error["kind"].toString().toStdString(), c.kind) << path.toStdString();
        EXPECT_EQ(error["message"].toString().toStdString() + "\n", text.err) << path.toStdString();
        EXPECT_EQ(json.err, text.err);
    }
}
