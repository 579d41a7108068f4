#pragma once
// The help file AYUDA4.HLP: topics keyed by help context number, read from a
// simple text format of our own (described at the top of helpfile.cpp and in
// the file itself), with a word search over the topics' text.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct HelpTopic {
    int context = 0;
    QString title;
    QString group; // heading it is listed under in the contents ("" = none)
    QString html;  // body
    QString searchText; // title and body as plain text, lower case, no accents
};

class HelpFile {
public:
    static inline const QString kFileName = QStringLiteral("AYUDA4.HLP");

    // Reads the bytes of a help file. On a malformed file returns false and
    // says why (line number and fault) in `error`; `*this` is then empty.
    bool parse(const QByteArray &bytes, QString *error);

    // The first of `directories` holding the help file, or "" when none does.
    static QString locate(const QStringList &directories);

    // Topic 0, when present, is the introduction shown above the contents.
    const HelpTopic *topic(int context) const;
    const QList<HelpTopic> &topics() const { return topics_; }
    bool isEmpty() const { return topics_.isEmpty(); }

    // Contexts of the topics holding every word of `words` (case and accents
    // ignored), in file order; none for a text without words. Topic 0 is
    // searched like the others.
    QList<int> search(const QString &words) const;

    // Lower case without accents: what the search compares.
    static QString foldForSearch(const QString &text);

private:
    QList<HelpTopic> topics_;
};
