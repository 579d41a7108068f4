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
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0; // points from the page's top left
    QString text;
};

struct PdfDocument {
    bool read = false;
    int pages = 0;
    double pageWidth = 0, pageHeight = 0; // points
    std::vector<PdfWord> words;

    // The words of one page joined into lines (same top within a point),
    // top to bottom, each line's words left to right.
    QStringList lines(int page) const
    {
        std::map<long, std::vector<const PdfWord *>> byTop;
        for (const PdfWord &w : words)
            if (w.page == page)
                byTop[std::lround(w.yMin)].push_back(&w);
        QStringList result;
        for (auto &[top, line] : byTop) {
            std::sort(line.begin(), line.end(), [](auto a, auto b) { return a->xMin < b->xMin; });
            QStringList texts;
            for (const PdfWord *w : line)
                texts << w->text;
            result << texts.join(' ');
        }
        return result;
    }
    const PdfWord *find(const QString &text, int page = 0) const
    {
        for (const PdfWord &w : words)
            if (w.page == page && w.text == text)
                return &w;
        return nullptr;
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
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = element.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(1).isEmpty()) {
            ++doc.pages;
            doc.pageWidth = m.captured(1).toDouble();
            doc.pageHeight = m.captured(2).toDouble();
            continue;
        }
        doc.words.push_back({doc.pages - 1, m.captured(3).toDouble(), m.captured(4).toDouble(),
                             m.captured(5).toDouble(), m.captured(6).toDouble(),
                             unescapeXml(m.captured(7))});
    }
    doc.read = true;
    return doc;
}
