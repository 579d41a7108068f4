#pragma once
// Reads a PDF back with the positions of its words (pdftotext -bbox, from
// poppler-utils): the pages, and each page's text lines from top to bottom.
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

struct PdfWord {
    int page = 0;
    double left = 0, top = 0; // points from the page's top left
    QString text;
};

struct PdfDocument {
    bool read = false;
    int pages = 0;
    std::vector<PdfWord> words;

    // The words of one page joined into lines (same top within a point),
    // top to bottom, each line's words left to right.
    QStringList lines(int page) const
    {
        std::map<long, std::vector<const PdfWord *>> byTop;
        for (const PdfWord &w : words)
            if (w.page == page)
                byTop[std::lround(w.top)].push_back(&w);
        QStringList result;
        for (auto &[top, line] : byTop) {
            std::sort(line.begin(), line.end(), [](auto a, auto b) { return a->left < b->left; });
            QStringList texts;
            for (const PdfWord *w : line)
                texts << w->text;
            result << texts.join(' ');
        }
        return result;
    }
    // Every page's lines, one after another.
    QString text() const
    {
        QStringList all;
        for (int page = 0; page < pages; ++page)
            all << lines(page);
        return all.join('\n');
    }
};

inline QString unescapeXml(QString text)
{
    return text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'").replace("&amp;", "&");
}

inline PdfDocument readPdf(const QString &path)
{
    PdfDocument doc;
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(20000) || pdftotext.exitCode() != 0)
        return doc;
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression element(
        R"re(<page width|<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    for (auto it = element.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).isEmpty())
            ++doc.pages;
        else
            doc.words.push_back({doc.pages - 1, m.captured(1).toDouble(), m.captured(2).toDouble(), unescapeXml(m.captured(3))});
    }
    doc.read = true;
    return doc;
}
