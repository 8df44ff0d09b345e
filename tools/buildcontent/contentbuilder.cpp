#include "contentbuilder.h"

#include "data/contentstore.h"
#include "data/filedatabase.h"
#include "data/questiontexts.h"
#include "data/sql.h"
#include "toolkit/error.h"
#include "toolkit/rtf/rtfwriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlQuery>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace ContentBuilder {

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(path + QStringLiteral(": ") + file.errorString());
    return file.readAll();
}

void fillContent(const QSqlDatabase &db, const ContentSource &content)
{
    QSqlQuery tree = Sql::prepare(db, QStringLiteral(
            "INSERT INTO tree (item_id, parent_id, node_type_id, nazwa, hint, ImageIndex, kolejnosc) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (const TreeRow &row : content.tree) {
        tree.bindValue(0, row.itemId);
        tree.bindValue(1, row.parentId ? QVariant(*row.parentId) : QVariant(QMetaType::fromType<int>()));
        tree.bindValue(2, row.nodeType);
        tree.bindValue(3, row.nazwa);
        tree.bindValue(4, row.hint);
        tree.bindValue(5, row.imageIndex);
        tree.bindValue(6, row.kolejnosc);
        Sql::exec(tree);
    }

    QSqlQuery document = Sql::prepare(
            db, QStringLiteral("INSERT INTO tree_documents (item_id, rtf_doc) VALUES (?, ?)"));
    for (const DocumentSource &source : content.documents) {
        const QByteArray bytes = readFile(source.path);
        document.bindValue(0, source.itemId);
        document.bindValue(1, source.isRtf ? bytes : markdownToRtf(QString::fromUtf8(bytes)));
        Sql::exec(document);
    }

    QSqlQuery question = Sql::prepare(db, QStringLiteral(
            "INSERT INTO test_pytania (id_pytanie, pytanie, odp_A, odp_B, odp_C, poprawna_odpowiedz, "
            "id_dzial) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (const QuestionRow &row : content.questions) {
        question.bindValue(0, row.idPytanie);
        question.bindValue(1, markdownToRtf(row.question));
        for (int i = 0; i < 3; ++i)
            question.bindValue(2 + i, QString::fromLatin1(markdownToRtf(row.answers[i])));
        question.bindValue(5, QString(row.correct));
        question.bindValue(6, row.idDzial);
        Sql::exec(question);
    }
    QuestionTexts::fill(db);

    QSqlQuery explanation = Sql::prepare(db, QStringLiteral(
            "INSERT INTO pytania_wyjasnienia (id_pytanie, wyjasnienie, item_id) VALUES (?, ?, ?)"));
    for (const QuestionRow &row : content.questions) {
        if (!row.explanation || !row.documentId)
            continue;
        explanation.bindValue(0, row.idPytanie);
        explanation.bindValue(1, row.explanation->trimmed());
        explanation.bindValue(2, *row.documentId);
        Sql::exec(explanation);
    }

    QSqlQuery oral = Sql::prepare(db, QStringLiteral(
            "INSERT INTO ustne_pytania (id_ustne, id_dzial, dla, item_id, pytanie) VALUES (?, ?, ?, ?, ?)"));
    QSqlQuery point = Sql::prepare(
            db, QStringLiteral("INSERT INTO ustne_punkty (id_ustne, nr, tresc) VALUES (?, ?, ?)"));
    for (const OralQuestionRow &row : content.oralQuestions) {
        oral.bindValue(0, row.idUstne);
        oral.bindValue(1, row.idDzial);
        oral.bindValue(2, QString(row.dla));
        oral.bindValue(3, row.documentId);
        oral.bindValue(4, row.question);
        Sql::exec(oral);
        for (int i = 0; i < row.points.size(); ++i) {
            point.bindValue(0, row.idUstne);
            point.bindValue(1, i + 1);
            point.bindValue(2, row.points.at(i));
            Sql::exec(point);
        }
    }
}

constexpr int BodyPointSize = 10;

// Markdown headings carry a relative size, which RTF cannot say: give them
// sizes of their own, and room above them.
void giveHeadingsTheirSize(QTextDocument &document)
{
    static constexpr int HeadingPoints[] = {16, 14, 12, 11, 11, 11};
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 6)
            continue;
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        QTextCharFormat heading;
        heading.setFontPointSize(HeadingPoints[level - 1]);
        heading.setFontWeight(QFont::Bold);
        heading.setForeground(QColor(31, 70, 168));
        cursor.mergeCharFormat(heading);
        QTextBlockFormat spacing = block.blockFormat();
        spacing.setTopMargin(level == 1 ? 4 : 10);
        spacing.setBottomMargin(4);
        cursor.setBlockFormat(spacing);
    }
}

// A subscript is written as <sub>…</sub>, which Qt inserts as an HTML
// fragment without the surrounding emphasis: give it the weight of the
// symbol it belongs to, so that "**Z<sub>s</sub>**" stays bold throughout.
// The slant is left upright, as an index is set.
void giveSubscriptsTheirWeight(QTextDocument &document)
{
    struct Range
    {
        int start;
        int end;
        int weight;
    };
    QList<Range> ranges; // gathered first: formatting splits the fragments
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCharFormat before;
        int beforeEnd = -1;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const int end = fragment.position() + fragment.length();
            if (format.verticalAlignment() == QTextCharFormat::AlignSubScript
                && beforeEnd == fragment.position()
                && before.verticalAlignment() != QTextCharFormat::AlignSubScript)
                ranges.append({fragment.position(), end, before.fontWeight()});
            before = format;
            beforeEnd = end;
        }
    }
    QTextCursor cursor(&document);
    for (const Range &range : std::as_const(ranges)) {
        cursor.setPosition(range.start);
        cursor.setPosition(range.end, QTextCursor::KeepAnchor);
        QTextCharFormat weight;
        weight.setFontWeight(range.weight);
        cursor.mergeCharFormat(weight);
    }
}

} // namespace

QByteArray markdownToRtf(const QString &markdown)
{
    QTextDocument document;
    QFont body(QStringLiteral("Arial"));
    body.setPointSize(BodyPointSize);
    document.setDefaultFont(body);
    document.setMarkdown(markdown);
    giveSubscriptsTheirWeight(document);
    giveHeadingsTheirSize(document);
    return RtfWriter::write(document);
}

void writeDatabase(const ContentSource &content, const QString &databasePath)
{
    const auto build = [&](const QString &path) {
        const FileDatabase file(path, FileDatabase::Mode::Create);
        ContentStore::replace(file.database(), [&] { fillContent(file.database(), content); });
    };
    if (QFileInfo::exists(databasePath)) {
        build(databasePath);
        return;
    }
    // Built aside, so that a failed build never leaves a half-filled database
    // where the program would open it.
    const QString partial = databasePath + QStringLiteral(".partial");
    QFile::remove(partial);
    try {
        build(partial);
        if (!QFile::rename(partial, databasePath))
            throw Error(databasePath + QStringLiteral(": cannot move the new database into place"));
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
}

void writeHelp(const ContentSource &content, const QString &rtfPath)
{
    if (content.helpPath.isEmpty())
        throw Error(QStringLiteral("pomoc.md: the help document is missing"));
    QSaveFile file(rtfPath);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(rtfPath + QStringLiteral(": ") + file.errorString());
    file.write(markdownToRtf(QString::fromUtf8(readFile(content.helpPath))));
    if (!file.commit())
        throw Error(rtfPath + QStringLiteral(": ") + file.errorString());
}

} // namespace ContentBuilder
