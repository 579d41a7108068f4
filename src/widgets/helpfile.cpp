// Format of the help file (UTF-8 text):
//
//   # a comment line (only before the first topic)
//   @# Heading under which the following topics are listed in the contents
//   @@ 14 Title of the topic
//   <p>HTML body of topic 14, up to the next line starting with "@@" or "@#".</p>
//   <p>A link to another topic: <a href="#13">análisis de la varianza</a>.</p>
//
// Every topic starts with a line "@@ NUMBER TITLE"; NUMBER is the help context
// (a whole number, 0 or more, each used once). Topic 0 is the introduction of
// the contents page and is not listed in it. Blank lines between topics are
// ignored; the body is shown as HTML, so "<" and "&" in text are written as
// "&lt;" and "&amp;".
#include "widgets/helpfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace {

QString plainText(const QString &html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText();
}

} // namespace

QString HelpFile::foldForSearch(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        folded += c.toLower();
    }
    return folded;
}

bool HelpFile::parse(const QByteArray &bytes, QString *error)
{
    topics_.clear();
    QList<HelpTopic> topics;
    QString group;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    static const QRegularExpression topicLine(QStringLiteral("^@@\\s+(\\d{1,9})\\s+(\\S.*)$"));

    auto fail = [&](int lineNumber, const QString &why) {
        if (error)
            *error = QStringLiteral("línea %1: %2").arg(lineNumber).arg(why);
        return false;
    };

    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1String("@#"))) {
            group = line.mid(2).trimmed();
        } else if (line.startsWith(QLatin1String("@@"))) {
            const QRegularExpressionMatch match = topicLine.match(line.trimmed());
            if (!match.hasMatch())
                return fail(i + 1, QStringLiteral("se esperaba «@@ número título»"));
            const int context = match.captured(1).toInt();
            for (const HelpTopic &seen : std::as_const(topics))
                if (seen.context == context)
                    return fail(i + 1, QStringLiteral("el tema %1 aparece dos veces").arg(context));
            HelpTopic topic;
            topic.context = context;
            topic.title = match.captured(2).trimmed();
            topic.group = group;
            topics << topic;
        } else if (topics.isEmpty()) {
            if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#')))
                return fail(i + 1, QStringLiteral("texto fuera de un tema"));
        } else {
            topics.last().html += line + QLatin1Char('\n');
        }
    }
    if (topics.isEmpty()) {
        if (error)
            *error = QStringLiteral("no contiene ningún tema");
        return false;
    }
    for (HelpTopic &topic : topics)
        topic.searchText = foldForSearch(topic.title + QLatin1Char('\n') + plainText(topic.html));
    topics_ = topics;
    return true;
}

QString HelpFile::locate(const QStringList &directories)
{
    for (const QString &directory : directories) {
        const QFileInfo candidate(QDir(directory).filePath(kFileName));
        if (candidate.isFile())
            return QDir::cleanPath(candidate.absoluteFilePath());
    }
    return {};
}

const HelpTopic *HelpFile::topic(int context) const
{
    for (const HelpTopic &topic : topics_)
        if (topic.context == context)
            return &topic;
    return nullptr;
}

QList<int> HelpFile::search(const QString &words) const
{
    static const QRegularExpression separators(QStringLiteral("[^\\w]+"),
                                                 QRegularExpression::UseUnicodePropertiesOption);
    const QStringList wanted = foldForSearch(words).split(separators, Qt::SkipEmptyParts);
    QList<int> found;
    if (wanted.isEmpty())
        return found;
    for (const HelpTopic &topic : topics_) {
        bool all = true;
        for (const QString &word : wanted)
            if (!topic.searchText.contains(word)) {
                all = false;
                break;
            }
        if (all)
            found << topic.context;
    }
    return found;
}
