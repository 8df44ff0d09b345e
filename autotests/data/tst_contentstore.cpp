#include "data/contentstore.h"
#include "data/filedatabase.h"
#include "data/sql.h"
#include "testdatabase.h"
#include "toolkit/error.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One row in every content table, the document and tree name given.
QStringList contentRows(const QString &nazwa, const QByteArray &document)
{
    return {
        u"INSERT INTO tree (item_id, parent_id, node_type_id, nazwa, kolejnosc) VALUES (11, NULL, 1, '%1', 1)"_s
            .arg(nazwa),
        u"INSERT INTO tree_documents (item_id, rtf_doc) VALUES (11, X'%1')"_s.arg(
            QString::fromLatin1(document.toHex())),
        u"INSERT INTO test_pytania (id_pytanie, pytanie, odp_A, odp_B, odp_C, poprawna_odpowiedz, "
        u"id_dzial) "
        "VALUES (2701, X'7B5C72746631', 'a', 'b', 'c', 'A', 27)"_s,
        u"INSERT INTO pytania_wyjasnienia VALUES (2701, 'Bo tak.', 11)"_s,
        u"INSERT INTO ustne_pytania VALUES (1, 27, 'E', 11, 'Jak?')"_s,
        u"INSERT INTO ustne_punkty VALUES (1, 1, 'tak'), (1, 2, 'owak'), (1, 3, 'inaczej')"_s};
}

// The user's work in every user table.
const QStringList UserRows = {
    u"INSERT INTO notes (row_added_dttm, tresc) VALUES ('2026-12-01T08:00:00', 'moja notatka')"_s,
    u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz, udzielona_odpowiedz) VALUES (2701, 'A', 'C')"_s,
    u"INSERT INTO test_T_zestaw (id_pytanie, poprawna_odpowiedz) VALUES (2701, 'A')"_s,
    u"INSERT INTO test_pytania_random VALUES (2701, 99)"_s};

void fill(const QSqlDatabase &db, const QStringList &statements)
{
    for (const QString &statement : statements)
        Sql::exec(db, statement);
}

QList<QVariantList> userData(TestDatabase &db)
{
    return db.rows(
        u"SELECT 'n', note_id, row_added_dttm, tresc FROM notes "
        "UNION ALL SELECT 'z', lp, id_pytanie, udzielona_odpowiedz FROM test_zestaw "
        "UNION ALL SELECT 't', lp, id_pytanie, poprawna_odpowiedz FROM test_T_zestaw "
        "UNION ALL SELECT 'r', id_pytanie, random, NULL FROM test_pytania_random ORDER BY 1, 2"_s);
}

} // namespace

class TestContentStore : public QObject
{
    Q_OBJECT

private slots:
    void replaceKeepsTheUsersTables();
    void failedFillChangesNothing();
    void stampFollowsTheContentOnly();
    void refreshCopiesTheDeliveredContent();
    void refreshFromAMissingFileCreatesNothing();
};

void TestContentStore::replaceKeepsTheUsersTables()
{
    TestDatabase db;
    QVERIFY(db.exec(UserRows));
    ContentStore::replace(db.database(),
                          [&] { fill(db.database(), contentRows(u"stara"_s, "old")); });
    const QList<QVariantList> before = userData(db);
    QCOMPARE(before.size(), 4);

    ContentStore::replace(db.database(),
                          [&] { fill(db.database(), contentRows(u"nowa"_s, "new")); });
    QCOMPARE(db.scalar(u"SELECT group_concat(nazwa) FROM tree"_s).toString(), u"nowa"_s);
    QCOMPARE(db.scalar(u"SELECT rtf_doc FROM tree_documents"_s).toByteArray(), QByteArray("new"));
    QCOMPARE(db.scalar(u"SELECT count(*) FROM ustne_punkty"_s).toInt(), 3);
    QCOMPARE(userData(db), before);
    QCOMPARE(ContentStore::stamp(db.database()), ContentStore::computeStamp(db.database()));
}

void TestContentStore::failedFillChangesNothing()
{
    TestDatabase db;
    QVERIFY(db.exec(UserRows));
    ContentStore::replace(db.database(),
                          [&] { fill(db.database(), contentRows(u"stara"_s, "old")); });
    const QString stamp = ContentStore::stamp(db.database());

    QVERIFY_THROWS_EXCEPTION(
        Error, ContentStore::replace(db.database(), [&] {
            fill(db.database(), contentRows(u"nowa"_s, "new"));
            Sql::exec(db.database(), u"INSERT INTO tree (item_id) VALUES (11)"_s); // the key again
        }));
    QCOMPARE(db.scalar(u"SELECT group_concat(nazwa) FROM tree"_s).toString(), u"stara"_s);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM ustne_punkty"_s).toInt(), 3);
    QCOMPARE(ContentStore::stamp(db.database()), stamp);
    QCOMPARE(userData(db).size(), 4);
}

void TestContentStore::stampFollowsTheContentOnly()
{
    TestDatabase a;
    TestDatabase b;
    ContentStore::replace(a.database(), [&] { fill(a.database(), contentRows(u"x"_s, "doc")); });
    // The same rows written in another order, beside the user's work.
    QStringList reversed = contentRows(u"x"_s, "doc");
    std::reverse(reversed.begin(), reversed.end());
    QVERIFY(b.exec(UserRows));
    ContentStore::replace(b.database(), [&] { fill(b.database(), reversed); });
    QCOMPARE(ContentStore::stamp(b.database()), ContentStore::stamp(a.database()));
    QVERIFY(!ContentStore::stamp(a.database()).isEmpty());

    ContentStore::replace(b.database(), [&] { fill(b.database(), contentRows(u"x"_s, "doC")); });
    QVERIFY(ContentStore::stamp(b.database()) != ContentStore::stamp(a.database()));
    // A text and a blob of the same bytes are different content.
    ContentStore::replace(b.database(), [&] {
        fill(b.database(), contentRows(u"x"_s, "doc"));
        Sql::exec(b.database(), u"UPDATE tree_documents SET rtf_doc = CAST(rtf_doc AS TEXT)"_s);
    });
    QVERIFY(ContentStore::stamp(b.database()) != ContentStore::stamp(a.database()));

    TestDatabase empty;
    QCOMPARE(ContentStore::stamp(empty.database()), QString());
}

void TestContentStore::refreshCopiesTheDeliveredContent()
{
    TestDatabase delivered;
    ContentStore::replace(delivered.database(), [&] {
        fill(delivered.database(), contentRows(u"nowa"_s, QByteArray("{\\rtf1\0x}", 9)));
    });
    TestDatabase user;
    QVERIFY(user.exec(UserRows));
    ContentStore::replace(user.database(),
                          [&] { fill(user.database(), contentRows(u"stara"_s, "old")); });
    // A copy made before the program had tables of its own.
    QVERIFY(user.exec({u"DROP TABLE ustne_punkty"_s, u"DROP TABLE voltaris_info"_s}));
    const QList<QVariantList> before = userData(user);

    ContentStore::refreshFrom(user.database(), delivered.filePath());
    QCOMPARE(user.scalar(u"SELECT group_concat(nazwa) FROM tree"_s).toString(), u"nowa"_s);
    QCOMPARE(user.scalar(u"SELECT rtf_doc FROM tree_documents"_s).toByteArray(),
             QByteArray("{\\rtf1\0x}", 9));
    QCOMPARE(user.scalar(u"SELECT count(*) FROM ustne_punkty"_s).toInt(), 3);
    QCOMPARE(userData(user), before);
    QCOMPARE(ContentStore::stamp(user.database()), ContentStore::stamp(delivered.database()));
    // The delivered database is detached again.
    QCOMPARE(user.scalar(u"SELECT count(*) FROM pragma_database_list"_s).toInt(), 1);
}

void TestContentStore::refreshFromAMissingFileCreatesNothing()
{
    TestDatabase user;
    ContentStore::replace(user.database(),
                          [&] { fill(user.database(), contentRows(u"stara"_s, "old")); });
    const QString missing = user.baseDirectory() + u"/brak/qmx_vemora.db"_s;
    QVERIFY_THROWS_EXCEPTION(Error, ContentStore::refreshFrom(user.database(), missing));
    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(user.scalar(u"SELECT group_concat(nazwa) FROM tree"_s).toString(), u"stara"_s);
}

QTEST_GUILESS_MAIN(TestContentStore)
#include "tst_contentstore.moc"
