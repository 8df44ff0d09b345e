#include "contentsource.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <array>
#include <functional>

QString SourceLocation::toString() const
{
    return line > 0 ? file + u':' + QString::number(line) : file;
}

namespace ContentRules {

bool isDrawnSectionCode(int idDzial)
{
    return idDzial >= 1 && idDzial <= 32 && idDzial != 2 && idDzial != 20 && idDzial != 26;
}

} // namespace ContentRules

namespace {

struct Section
{
    int itemId;
    const char16_t *caption;
};
constexpr std::array<Section, 4> Sections = {{
    {1, u"Regulacje prawne"},
    {2, u"Regulamin i tryb nadawania uprawnień"},
    {3, u"Wiedza techniczna"},
    {4, u"Testy"},
}};

class Reader
{
public:
    Reader(const QString &path, QList<ContentFault> &faults) : m_path(path), m_faults(faults) { }

    bool open(QStringList &lines)
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            fault(0, QStringLiteral("cannot read: ") + file.errorString());
            return false;
        }
        const QByteArray bytes = file.readAll();
        QString text = QString::fromUtf8(bytes);
        if (text.toUtf8() != bytes) {
            fault(0, QStringLiteral("not valid UTF-8"));
            return false;
        }
        text.remove(u'\r');
        lines = text.split(u'\n');
        return true;
    }

    void fault(int line, const QString &message) { m_faults.append({{m_path, line}, message}); }
    SourceLocation at(int line) const { return {m_path, line}; }

private:
    QString m_path;
    QList<ContentFault> &m_faults;
};

std::optional<int> wholeNumber(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || text.isEmpty() || !text.front().isDigit())
        return std::nullopt;
    return value;
}

namespace ContentLines {

const QRegularExpression &explanation()
{
    static const QRegularExpression pattern(QStringLiteral(R"(^Wyjaśnienie:\s*(.*)$)"));
    return pattern;
}

const QRegularExpression &document()
{
    static const QRegularExpression pattern(QStringLiteral(R"(^Dokument:\s*(.*)$)"));
    return pattern;
}

std::optional<int> itemId(const QString &text)
{
    const auto id = wholeNumber(text.trimmed());
    return id && *id > 0 ? id : std::nullopt;
}

} // namespace ContentLines

// Polish text is typeset: a subscript is <sub>…</sub>, not "U_0", and
// quotation marks are „…”. Code spans (`…`) are left alone; in the question
// files a line starting with # is a comment and is not checked.
void checkTypography(Reader &reader, const QStringList &lines, bool hashComments)
{
    static const QRegularExpression codeSpan(QStringLiteral("`[^`]*`"));
    static const QRegularExpression underscoreSubscript(
        QStringLiteral(R"([\p{L}\p{So}\p{Sm}]_[\p{L}\p{N}])"));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (hashComments && line.trimmed().startsWith(u'#'))
            continue;
        line.remove(codeSpan);
        if (const QRegularExpressionMatch m = underscoreSubscript.match(line); m.hasMatch())
            reader.fault(i + 1,
                         QStringLiteral("\"%1\": write a subscript as <sub>…</sub>, not with \"_\"")
                             .arg(m.captured()));
        if (line.contains(u'"'))
            reader.fault(i + 1, QStringLiteral("ASCII double quote in Polish text: use „…”"));
    }
}

void readTree(const QString &path, ContentSource &content)
{
    Reader reader(path, content.faults);
    QStringList lines;
    if (!reader.open(lines))
        return;
    int order = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList fields = line.split(u'|');
        if (fields.size() == 5)
            fields.append(QString());
        if (fields.size() != 6) {
            reader.fault(lineNo, QStringLiteral("expected 6 fields \"item_id | parent_id | "
                                                "node_type_id | ImageIndex | nazwa | hint\", found %1")
                                 .arg(fields.size()));
            continue;
        }
        for (QString &field : fields)
            field = field.trimmed();
        TreeRow row;
        row.where = reader.at(lineNo);
        const auto itemId = wholeNumber(fields[0]);
        const auto nodeType = wholeNumber(fields[2]);
        const auto imageIndex = wholeNumber(fields[3]);
        std::optional<int> parentId;
        if (fields[1] != QLatin1String("-")) {
            parentId = wholeNumber(fields[1]);
            if (!parentId) {
                reader.fault(lineNo, QStringLiteral("parent_id \"%1\" is neither a number nor \"-\"")
                                     .arg(fields[1]));
                continue;
            }
        }
        if (!itemId || *itemId <= 0) {
            reader.fault(lineNo, QStringLiteral("item_id \"%1\" is not a positive number").arg(fields[0]));
            continue;
        }
        if (!nodeType || *nodeType > 5) {
            reader.fault(lineNo, QStringLiteral("node_type_id \"%1\" is not 0 to 5").arg(fields[2]));
            continue;
        }
        if (!imageIndex || *imageIndex > 4) {
            reader.fault(lineNo, QStringLiteral("ImageIndex \"%1\" is not 0 to 4").arg(fields[3]));
            continue;
        }
        if (fields[4].isEmpty()) {
            reader.fault(lineNo, QStringLiteral("the caption (nazwa) is empty"));
            continue;
        }
        row.itemId = *itemId;
        row.parentId = parentId;
        row.nodeType = *nodeType;
        row.imageIndex = *imageIndex;
        row.nazwa = fields[4];
        row.hint = fields[5];
        row.kolejnosc = ++order;
        content.tree.append(row);
    }
}

// Calls onFile for every file of the directory whose name matches the
// pattern; any other file is a fault with the message.
void forNamedFiles(const QString &directory, const QRegularExpression &pattern, const QString &message,
                   ContentSource &content,
                   const std::function<void(const QString &, const QRegularExpressionMatch &)> &onFile)
{
    const QDir dir(directory);
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QString path = dir.filePath(file);
        const QRegularExpressionMatch match = pattern.match(file);
        if (match.hasMatch())
            onFile(path, match);
        else
            content.faults.append({{path, 0}, message});
    }
}

void checkMarkdownTypography(const QString &path, ContentSource &content)
{
    Reader reader(path, content.faults);
    QStringList lines;
    if (reader.open(lines))
        checkTypography(reader, lines, false);
}

void readDocuments(const QString &directory, ContentSource &content)
{
    static const QRegularExpression name(QStringLiteral(R"(^(\d+)-.*\.(md|rtf)$)"));
    forNamedFiles(directory, name, QStringLiteral("a document's name is <item_id>-<slug>.md or .rtf"), content,
                  [&](const QString &path, const QRegularExpressionMatch &match) {
                      const bool isRtf = match.captured(2) == QLatin1String("rtf");
                      content.documents.append({match.captured(1).toInt(), path, isRtf, {path, 0}});
                      if (!isRtf)
                          checkMarkdownTypography(path, content);
                  });
}

void readQuestions(const QString &path, int idDzial, ContentSource &content)
{
    Reader reader(path, content.faults);
    QStringList lines;
    if (!reader.open(lines))
        return;
    checkTypography(reader, lines, true);
    static const QRegularExpression header(QStringLiteral(R"(^\[(\d+)\]$)"));
    static const QRegularExpression answer(QStringLiteral(R"(^([ABC])\)\s?(.*)$)"));
    static const QRegularExpression verdict(QStringLiteral(R"(^=\s*(\S*)$)"));

    // 0 question text, 1 to 3 answers A to C, then the lines after "= X".
    enum Part { Text = 0, AfterVerdict = 4, InExplanation, AfterDocument };
    std::optional<QuestionRow> current;
    int part = Text;
    auto finish = [&] {
        if (!current)
            return;
        if (part < AfterVerdict)
            reader.fault(current->where.line,
                         QStringLiteral("question [%1] is not complete: it needs its text, "
                                        "\"A) \", \"B) \", \"C) \" and \"= X\"")
                                 .arg(current->idPytanie));
        else
            content.questions.append(*current);
        current.reset();
    };

    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (const QRegularExpressionMatch m = header.match(line); m.hasMatch()) {
            finish();
            current = QuestionRow{};
            current->idPytanie = m.captured(1).toInt();
            current->idDzial = idDzial;
            current->where = reader.at(lineNo);
            part = Text;
            continue;
        }
        if (!current) {
            reader.fault(lineNo, QStringLiteral("text before the first question header \"[id]\""));
            continue;
        }
        if (part >= AfterVerdict) {
            const QRegularExpressionMatch document = ContentLines::document().match(line);
            const QRegularExpressionMatch explanation = ContentLines::explanation().match(line);
            if (document.hasMatch() && part != AfterDocument) {
                if (const auto id = ContentLines::itemId(document.captured(1))) {
                    current->documentId = *id;
                    current->documentAt = reader.at(lineNo);
                } else {
                    reader.fault(lineNo, QStringLiteral("\"Dokument: %1\" of question [%2] is not a positive "
                                                        "item_id")
                                         .arg(document.captured(1), QString::number(current->idPytanie)));
                }
                part = AfterDocument;
            } else if (explanation.hasMatch() && part == AfterVerdict) {
                current->explanation = explanation.captured(1);
                current->explanationAt = reader.at(lineNo);
                part = InExplanation;
            } else if (part == InExplanation && !explanation.hasMatch()) {
                QString &text = *current->explanation;
                text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + line;
            } else if (part == AfterVerdict) {
                reader.fault(lineNo, QStringLiteral("text after \"= X\" of question [%1]; an explanation "
                                                    "starts with \"Wyjaśnienie: \"")
                                     .arg(current->idPytanie));
            } else {
                reader.fault(lineNo, QStringLiteral("text after \"%1\" of question [%2]")
                                     .arg(part == AfterDocument ? QStringLiteral("Dokument:")
                                                                : QStringLiteral("Wyjaśnienie:"))
                                     .arg(current->idPytanie));
            }
            continue;
        }
        if (const QRegularExpressionMatch m = verdict.match(line); m.hasMatch()) {
            const QString letter = m.captured(1);
            if (part != 3) {
                reader.fault(lineNo, QStringLiteral("\"= X\" before the three answers of question [%1]")
                                     .arg(current->idPytanie));
            } else if (letter != QLatin1String("A") && letter != QLatin1String("B")
                       && letter != QLatin1String("C")) {
                reader.fault(lineNo, QStringLiteral("the right answer \"%1\" is not A, B or C").arg(letter));
            } else {
                current->correct = letter.front();
                part = AfterVerdict;
            }
            continue;
        }
        if (const QRegularExpressionMatch m = answer.match(line); m.hasMatch()) {
            const int letter = m.captured(1).front().unicode() - u'A' + 1;
            if (letter != part + 1 || current->question.isEmpty()) {
                reader.fault(lineNo, QStringLiteral("answer %1) out of order in question [%2]")
                                     .arg(m.captured(1))
                                     .arg(current->idPytanie));
                continue;
            }
            part = letter;
            current->answers[part - 1] = m.captured(2).trimmed();
            continue;
        }
        QString &target = part == Text ? current->question : current->answers[part - 1];
        target += (target.isEmpty() ? QString() : QStringLiteral("\n")) + line;
    }
    finish();
}

void readOralQuestions(const QString &path, int idDzial, ContentSource &content)
{
    Reader reader(path, content.faults);
    QStringList lines;
    if (!reader.open(lines))
        return;
    checkTypography(reader, lines, true);
    static const QRegularExpression header(QStringLiteral(R"(^\[(\d+)\]$)"));
    static const QRegularExpression position(QStringLiteral(R"(^Dla:\s*(.*)$)"));

    // The question's text, then its "Dla:" and "Dokument:" lines, then the points.
    enum class Part { Text, Details, Points };
    std::optional<OralQuestionRow> current;
    Part part = Part::Text;
    bool positionSeen = false;
    auto finish = [&] {
        if (!current)
            return;
        const int line = current->where.line;
        const QString id = QString::number(current->idUstne);
        QStringList missing;
        if (current->question.isEmpty())
            missing << QStringLiteral("its question");
        if (!positionSeen)
            missing << QStringLiteral("\"Dla: D\" or \"Dla: E\"");
        if (current->documentAt.line == 0)
            missing << QStringLiteral("\"Dokument: N\"");
        if (!missing.isEmpty())
            reader.fault(line, QStringLiteral("oral question [%1] lacks %2").arg(id, missing.join(u", ")));
        const qsizetype points = current->points.size();
        if (points < ContentRules::MinOralPoints || points > ContentRules::MaxOralPoints)
            reader.fault(line, QStringLiteral("oral question [%1] has %2 points; a model answer has %3 to %4")
                                       .arg(id)
                                       .arg(points)
                                       .arg(ContentRules::MinOralPoints)
                                       .arg(ContentRules::MaxOralPoints));
        content.oralQuestions.append(*current);
        current.reset();
    };

    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString &raw = lines.at(i);
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (const QRegularExpressionMatch m = header.match(line); m.hasMatch()) {
            finish();
            current = OralQuestionRow{};
            current->idUstne = m.captured(1).toInt();
            current->idDzial = idDzial;
            current->where = reader.at(lineNo);
            part = Part::Text;
            positionSeen = false;
            continue;
        }
        if (!current) {
            reader.fault(lineNo, QStringLiteral("text before the first oral question header \"[id]\""));
            continue;
        }
        const QString id = QString::number(current->idUstne);
        if (line.startsWith(QLatin1String("- ")) || line == u'-') {
            if (part == Part::Text) {
                reader.fault(lineNo, QStringLiteral("a point of oral question [%1] before its \"Dla:\" and "
                                                    "\"Dokument:\" lines")
                                     .arg(id));
                continue;
            }
            part = Part::Points;
            const QString point = line.mid(1).trimmed();
            if (point.isEmpty())
                reader.fault(lineNo, QStringLiteral("an empty point in oral question [%1]").arg(id));
            current->points.append(point);
            continue;
        }
        if (part == Part::Points) {
            if (raw.front().isSpace()) {
                current->points.last() += u'\n' + line;
            } else {
                reader.fault(lineNo, QStringLiteral("text after the points of oral question [%1]: a point "
                                                    "starts with \"- \", its continuation is indented")
                                     .arg(id));
            }
            continue;
        }
        if (const QRegularExpressionMatch m = position.match(line); m.hasMatch()) {
            part = Part::Details;
            const QString value = m.captured(1).trimmed();
            if (positionSeen)
                reader.fault(lineNo, QStringLiteral("a second \"Dla:\" in oral question [%1]").arg(id));
            else if (value == u'D' || value == u'E')
                current->dla = value.front();
            else
                reader.fault(lineNo, QStringLiteral("\"Dla: %1\" is neither \"Dla: D\" nor \"Dla: E\"").arg(value));
            positionSeen = true;
            continue;
        }
        if (const QRegularExpressionMatch m = ContentLines::document().match(line); m.hasMatch()) {
            part = Part::Details;
            if (current->documentAt.line != 0) {
                reader.fault(lineNo, QStringLiteral("a second \"Dokument:\" in oral question [%1]").arg(id));
            } else if (const auto itemId = ContentLines::itemId(m.captured(1))) {
                current->documentId = *itemId;
                current->documentAt = reader.at(lineNo);
            } else {
                reader.fault(lineNo, QStringLiteral("\"Dokument: %1\" of oral question [%2] is not a positive "
                                                    "item_id")
                                     .arg(m.captured(1), id));
            }
            continue;
        }
        if (part == Part::Details) {
            reader.fault(lineNo, QStringLiteral("text between the \"Dla:\" and \"Dokument:\" lines and the "
                                                "points of oral question [%1]")
                                 .arg(id));
            continue;
        }
        current->question += (current->question.isEmpty() ? QString() : QStringLiteral("\n")) + line;
    }
    finish();
}

// Question files and oral question files are both named by their section code.
void readSectionFiles(const QString &directory, const QString &what, ContentSource &content,
                      void (*readFile)(const QString &, int, ContentSource &))
{
    static const QRegularExpression name(QStringLiteral(R"(^(\d+)-.*\.txt$)"));
    forNamedFiles(directory, name, QStringLiteral("%1 file's name is <id_dzial>-<slug>.txt").arg(what), content,
                  [&](const QString &path, const QRegularExpressionMatch &match) {
                      const int idDzial = match.captured(1).toInt();
                      if (ContentRules::isDrawnSectionCode(idDzial))
                          readFile(path, idDzial, content);
                      else
                          content.faults.append({{path, 0}, QStringLiteral("section code %1 is drawn by no test")
                                                                    .arg(idDzial)});
                  });
}

} // namespace

ContentSource ContentSource::read(const QString &directory)
{
    ContentSource content;
    const QDir dir(directory);
    readTree(dir.filePath(QStringLiteral("tree.txt")), content);
    readDocuments(dir.filePath(QStringLiteral("documents")), content);
    readSectionFiles(dir.filePath(QStringLiteral("questions")), QStringLiteral("a question"), content,
                     readQuestions);
    readSectionFiles(dir.filePath(QStringLiteral("oral")), QStringLiteral("an oral question"), content,
                     readOralQuestions);
    const QString help = dir.filePath(QStringLiteral("pomoc.md"));
    if (QFile::exists(help)) {
        content.helpPath = help;
        checkMarkdownTypography(help, content);
    }
    return content;
}

void ContentSource::check()
{
    QHash<int, const TreeRow *> nodes;
    bool examEntry = false;
    bool thematicEntry = false;
    for (const TreeRow &row : std::as_const(tree)) {
        if (nodes.contains(row.itemId)) {
            faults.append({row.where, QStringLiteral("item_id %1 is used again (first at %2)")
                                              .arg(row.itemId)
                                              .arg(nodes.value(row.itemId)->where.toString())});
            continue;
        }
        if (row.parentId && !nodes.contains(*row.parentId))
            faults.append({row.where, QStringLiteral("parent %1 is not listed before its child %2")
                                              .arg(*row.parentId)
                                              .arg(row.itemId)});
        nodes.insert(row.itemId, &row);
        examEntry = examEntry || row.nodeType == 2;
        thematicEntry = thematicEntry || row.nodeType == 3;
    }

    const QString treeFile = tree.isEmpty() ? QStringLiteral("tree.txt") : tree.front().where.file;
    for (const Section &section : Sections) {
        const QString caption = QString::fromUtf16(section.caption);
        const TreeRow *row = nodes.value(section.itemId);
        if (!row)
            faults.append({{treeFile, 0}, QStringLiteral("the section %1 \"%2\" is missing")
                                                  .arg(section.itemId)
                                                  .arg(caption)});
        else if (row->parentId || row->nazwa != caption)
            faults.append({row->where, QStringLiteral("node %1 must be the top-level section \"%2\"")
                                               .arg(section.itemId)
                                               .arg(caption)});
    }
    if (!examEntry)
        faults.append({{treeFile, 0}, QStringLiteral("no node of type 2 leads to the exam test")});
    if (!thematicEntry)
        faults.append({{treeFile, 0}, QStringLiteral("no node of type 3 leads to the thematic test")});

    QHash<int, const DocumentSource *> documentOf;
    for (const DocumentSource &document : std::as_const(documents)) {
        const TreeRow *row = nodes.value(document.itemId);
        if (documentOf.contains(document.itemId))
            faults.append({document.where, QStringLiteral("node %1 already has the document %2")
                                                   .arg(document.itemId)
                                                   .arg(documentOf.value(document.itemId)->path)});
        else if (!row || row->nodeType != 1)
            faults.append({document.where,
                           QStringLiteral("no document node (type 1) with item_id %1").arg(document.itemId)});
        documentOf.insert(document.itemId, &document);
    }
    for (const TreeRow &row : std::as_const(tree)) {
        if (row.nodeType == 1 && !documentOf.contains(row.itemId))
            faults.append({row.where, QStringLiteral("document node %1 has no file documents/%1-*.md "
                                                     "or .rtf")
                                              .arg(row.itemId)});
    }

    const auto checkDocument = [&](int itemId, const SourceLocation &where) {
        const TreeRow *row = nodes.value(itemId);
        if (!row)
            faults.append({where, QStringLiteral("document %1 is not in the tree").arg(itemId)});
        else if (row->nodeType != 1)
            faults.append({where, QStringLiteral("node %1 is not a document (type 1) but of type %2")
                                          .arg(itemId)
                                          .arg(row->nodeType)});
    };

    // An id of its kind within the allowed range and not used before.
    const auto checkId = [&](QHash<int, SourceLocation> &seenAt, const QString &kind, int id,
                             const SourceLocation &where) {
        if (id < 1 || id > ContentRules::MaxQuestionId)
            faults.append({where, QStringLiteral("%1 %2 is not within 1 to %3")
                                          .arg(kind, QString::number(id),
                                               QString::number(ContentRules::MaxQuestionId))});
        else if (seenAt.contains(id))
            faults.append({where, QStringLiteral("%1 %2 is used again (first at %3)")
                                          .arg(kind, QString::number(id), seenAt.value(id).toString())});
        seenAt.insert(id, where);
    };

    QHash<int, SourceLocation> questionAt;
    for (const QuestionRow &question : std::as_const(questions)) {
        const int id = question.idPytanie;
        checkId(questionAt, QStringLiteral("id_pytanie"), id, question.where);
        QSet<QString> distinct;
        for (const QString &answer : question.answers) {
            if (answer.isEmpty())
                faults.append({question.where, QStringLiteral("question [%1] has an empty answer").arg(id)});
            distinct.insert(answer);
        }
        if (distinct.size() != 3)
            faults.append({question.where,
                           QStringLiteral("question [%1] has two answers that are the same").arg(id)});
        if (question.explanation && question.explanation->trimmed().isEmpty())
            faults.append({question.explanationAt,
                           QStringLiteral("the explanation of question [%1] is empty").arg(id)});
        // A learner who gets a question wrong is told why and where to read.
        if (!question.explanation)
            faults.append({question.where,
                           QStringLiteral("question [%1] has no explanation (\"Wyjaśnienie: …\")").arg(id)});
        if (!question.documentId)
            faults.append({question.where,
                           QStringLiteral("question [%1] has no document (\"Dokument: N\")").arg(id)});
        if (question.documentId)
            checkDocument(*question.documentId, question.documentAt);
    }

    QHash<int, SourceLocation> oralAt;
    for (const OralQuestionRow &oral : std::as_const(oralQuestions)) {
        checkId(oralAt, QStringLiteral("oral question id"), oral.idUstne, oral.where);
        if (oral.documentAt.line != 0)
            checkDocument(oral.documentId, oral.documentAt);
    }
}
