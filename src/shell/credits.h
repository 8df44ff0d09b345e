#pragma once

#include <QString>
#include <QUrl>

// Who publishes the program, who wrote its content and who made it: shown on
// the splash picture, the about page and the navigation bar.
namespace Credits {

inline QString productTitle() { return QStringLiteral("Voltaris"); }
inline QString publisher() { return QStringLiteral("Wydawnictwo Techniczne Ampera sp. z o.o."); }
inline QString publisherTagline() { return QStringLiteral("Literatura fachowa dla elektryków i energetyków"); }
inline QString publisherStreet() { return QStringLiteral("ul. Miedziana 17, 31-415 Kraków"); }
inline QString publisherPhones() { return QStringLiteral("tel. 12 345 67 80, 12 345 67 81"); }
inline QString publisherFaxes() { return QStringLiteral("faks 12 345 67 89"); }
inline QString publisherMail() { return QStringLiteral("e-mail: biuro@ampera.example"); }
inline QString publisherSite() { return QStringLiteral("www.ampera.example"); }
inline QString publisherShop() { return QStringLiteral("ksiegarnia.ampera.example"); }
inline QString contentAuthor() { return QStringLiteral("zespół autorów wydawnictwa Ampera"); }
inline QString legalNotice() { return QStringLiteral("© 2026 Wydawnictwo Techniczne Ampera sp. z o.o. Wszelkie prawa zastrzeżone."); }
inline QString holding() { return QStringLiteral("Wydawnictwo należy do Grupy Wydawniczej Iskra S.A."); }
inline QString maker() { return QStringLiteral("Pracownia Programów Lumenik"); }
inline QString makerSite() { return QStringLiteral("lumenik.example"); }

inline QUrl siteUrl(const QString &address) { return QUrl(QStringLiteral("https://") + address); }

} // namespace Credits
