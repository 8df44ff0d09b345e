#include "questiontexts.h"

#include "rtf/rtfreader.h"
#include "sql.h"
#include "toolkit/error.h"

#include <QSqlError>
#include <QStringDecoder>
#include <QTextDocument>

namespace QuestionTexts {

QString plainText(const QByteArray &data, QTextDocument *scratch)
{
    if (!RtfReader::isRtf(data)) {
        // Plain text: UTF-8, or windows-1250 when it is not valid UTF-8.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(data);
        if (!utf8.hasError())
            return text;
        QStringDecoder cp1250("windows-1250");
        return cp1250.decode(data);
    }
    RtfReader::read(data, scratch);
    return scratch->toPlainText();
}

void fill(const QSqlDatabase &database)
{
    Sql::Transaction transaction(database);
    Sql::exec(database, QStringLiteral("DELETE FROM pytania_tekst"));
    QSqlQuery questions = Sql::prepare(
        database,
        QStringLiteral("SELECT id_pytanie, pytanie, odp_A, odp_B, odp_C FROM test_pytania"));
    questions.setForwardOnly(true);
    Sql::exec(questions);
    QSqlQuery insert = Sql::prepare(
        database,
        QStringLiteral("INSERT INTO pytania_tekst (id_pytanie, pytanie, odp_A, odp_B, odp_C) "
                       "VALUES (?, ?, ?, ?, ?)"));
    QTextDocument scratch;
    while (questions.next()) {
        insert.bindValue(0, questions.value(0));
        for (int field = 1; field <= 4; ++field)
            insert.bindValue(field, plainText(questions.value(field).toByteArray(), &scratch));
        Sql::exec(insert);
    }
    if (questions.lastError().isValid())
        throw Error(Sql::errorText(questions.lastError()));
    transaction.commit();
}

} // namespace QuestionTexts
