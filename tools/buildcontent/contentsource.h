#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The study content as read from its text sources (see content/README.md),
// before it goes into the database.

struct SourceLocation
{
    QString file;
    int line = 0;

    QString toString() const;
};

// One fault in the sources: "file:line: message".
struct ContentFault
{
    SourceLocation where;
    QString message;

    QString toString() const { return where.toString() + QStringLiteral(": ") + message; }
};

struct TreeRow
{
    int itemId = 0;
    std::optional<int> parentId;
    int nodeType = 0;
    int imageIndex = 0;
    QString nazwa;
    QString hint;
    int kolejnosc = 0;
    SourceLocation where;
};

struct DocumentSource
{
    int itemId = 0;
    QString path;
    bool isRtf = false;
    SourceLocation where;
};

struct QuestionRow
{
    int idPytanie = 0;
    int idDzial = 0;
    QString question;
    QString answers[3];
    QChar correct;
    SourceLocation where;
    // Why the right answer is right, and the document that teaches it.
    std::optional<QString> explanation;
    SourceLocation explanationAt;
    std::optional<int> documentId;
    SourceLocation documentAt;
};

// An open question for the oral drill with the points of its model answer.
struct OralQuestionRow
{
    int idUstne = 0;
    int idDzial = 0;
    QString question;
    QChar dla; // 'D' or 'E'
    int documentId = 0;
    SourceLocation documentAt;
    QStringList points;
    SourceLocation where;
};

struct ContentSource
{
    QList<TreeRow> tree;
    QList<DocumentSource> documents;
    QList<QuestionRow> questions;
    QList<OralQuestionRow> oralQuestions;
    QString helpPath; // empty when there is no help source
    QList<ContentFault> faults;

    // Reads every source below the directory; faults are collected, not thrown.
    static ContentSource read(const QString &directory);
    // Checks what the program requires of the content; appends to faults.
    void check();
};

namespace ContentRules {
// Section codes that the tests draw from; questions of any other code are never asked.
bool isDrawnSectionCode(int idDzial);
inline constexpr int MaxQuestionId = 32767;
inline constexpr int MinOralPoints = 3;
inline constexpr int MaxOralPoints = 8;
} // namespace ContentRules
