#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

class QTextDocument;

// The plain text of the question bank: each question and its three answers
// as their RTF shows them, kept beside test_pytania so that the whole bank
// can be searched without reading four RTF texts per question. The table is
// pytania_tekst.
namespace QuestionTexts {

// The plain text of a stored question or answer: RTF, or plain text when the
// bytes are not RTF. Damaged RTF gives the text that could be read. The
// scratch document is reused between calls.
QString plainText(const QByteArray &data, QTextDocument *scratch);

// Writes the plain text of every question of test_pytania into the table,
// replacing what it held. Raises Error; then the table is as it was.
void fill(const QSqlDatabase &database);

} // namespace QuestionTexts
