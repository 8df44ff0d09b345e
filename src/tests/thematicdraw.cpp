#include "thematicdraw.h"

#include "data/sql.h"
#include "examdraw.h"

#include <QSqlQuery>

namespace ThematicDraw {

const QList<ThematicSection> &ThematicSections()
{
    static const QList<ThematicSection> sections = {
        {1, 1, u"I. Ogólne zasady eksploatacji urządzeń, sieci i instalacji elektroenergetycznych"},
        {3, 2, u"II.1. Urządzenia prądotwórcze przyłączone do krajowej sieci elektroenergetycznej bez względu na wysokość napięcia znamionowego"},
        {4, 2, u"II.2. Sieci, urządzenia i instalacje o napięciu do 1 kV"},
        {5, 2, u"II.2.1 Instalacje piorunochronne"},
        {7, 2, u"II.3.1. Elektroenergetyczne linie napowietrzne"},
        {8, 2, u"II.3.2. Elektroenergetyczne linie kablowe"},
        {9, 2, u"II.3.3. Stacje elektroenergetyczne"},
        {10, 2, u"II.3.4. Transformatory"},
        {11, 2, u"II.3.5. Elektroenergetyczne urządzenia napędowe i przetwornice"},
        {12, 2, u"II.3.6. Urządzenia prostownikowe i baterie akumulatorów"},
        {13, 2, u"II.4 Zespoły prądotwórcze o mocy łącznie od 20 kW wzwyż"},
        {14, 2, u"II.5 Urządzenia elektrotermiczne"},
        {15, 2, u"II.6 Urządzenia do elektrolizy"},
        {16, 2, u"II.7 Sieci elektrycznego oświetlenia ulicznego"},
        {17, 2, u"II.8 Elektryczna sieć trakcyjna"},
        {18, 2, u"II.9 Elektryczne urządzenia w wykonaniu przeciwwybuchowym"},
        {19, 2, u"II.10 Aparatura kontrolno-pomiarowa oraz urządzenia i instalacje automatycznej regulacji, sterowania i zabezpieczeń urządzeń i instalacji wymienionych w punktach 1 do 9"},
        {21, 1, u"III.1 Prace pomiarowe przy instalacjach i urządzeniach elektroenergetycznych"},
        {22, 1, u"III.2 Wykonywanie pomiarów eksploatacyjnych przy urządzeniach elektroenergetycznych "},
        {24, 1, u"III.4 Zakresy, metody i terminy wykonywania badań"},
        {25, 1, u"III.5 Zasady wykonywania i eksploatacji rozliczeniowych układów pomiarowych"},
        {27, 1, u"IV.1. Ochrona przed porażeniem prądem elektrycznym w urządzeniach elektroenergetycznych do 1 kV"},
        {28, 1, u"IV.2. Ochrona przed porażeniem prądem elektrycznym w urządzeniach elektroenergetycznych wysokiego napięcia, powyżej 1 kV"},
        {29, 1, u"V. Ochrona przeciwpożarowa w sieciach, instalacjach i urządzeniach"},
        {30, 1, u"VI. Ratownictwo"},
        {31, 1, u"VII. Organizacja bezpiecznej pracy "},
        {32, 1, u"VIII. Wymagania podstawowych przepisów obowiązujących przy eksploatacji i dozorze "},
    };
    return sections;
}

void run(const QSqlDatabase &database, const QMap<int, int> &counts,
         const std::function<void(const QString &)> &progress)
{
    const auto report = [&](const QString &text) {
        if (progress)
            progress(text);
    };
    Sql::Transaction transaction(database);
    Sql::exec(database, QStringLiteral("DELETE FROM test_T_zestaw"));
    report(QStringLiteral("Krok 1/2 - Mieszanie pytań"));
    shuffleQuestions(database);
    report(QStringLiteral("Krok 2/2 - Tworzenie zestawu"));
    for (const ThematicSection &section : ThematicSections()) {
        const int n = counts.value(section.idDzial);
        if (n <= 0)
            continue;
        DrawStatement statement;
        statement.count = n;
        statement.sql = QStringLiteral("insert into test_T_zestaw (id_pytanie,poprawna_odpowiedz,random)\r\n"
                                       "SELECT A.id_pytanie,A.poprawna_odpowiedz, B.random FROM test_pytania as A, "
                                       "test_pytania_random as B\r\n"
                                       "where A.id_pytanie = B.id_pytanie and A.id_dzial = :id_dzial "
                                       "order by B.random LIMIT ")
                + QString::number(n);
        statement.bindings = {{QStringLiteral(":id_dzial"), section.idDzial}};
        runDrawStatement(database, statement);
    }
    transaction.commit();
}

QMap<int, int> availableCounts(const QSqlDatabase &database)
{
    QSqlQuery query = Sql::exec(database,
                                QStringLiteral("SELECT id_dzial, count(*) FROM test_pytania "
                                               "GROUP BY id_dzial"));
    QMap<int, int> counts;
    while (query.next())
        counts.insert(query.value(0).toInt(), query.value(1).toInt());
    return counts;
}

} // namespace ThematicDraw
