#pragma once

#include <QString>

// Who publishes the program, who wrote its content and who made it: shown on
// the splash picture and on the about page.
namespace Credits {

inline QString publisher() { return QStringLiteral("Wydawnictwo Techniczne Ampera sp. z o.o."); }
inline QString contentAuthor() { return QStringLiteral("zespół autorów wydawnictwa Ampera"); }
inline QString maker() { return QStringLiteral("Pracownia Programów Lumenik"); }
inline QString productTitle() { return QStringLiteral("Voltaris"); }

} // namespace Credits
