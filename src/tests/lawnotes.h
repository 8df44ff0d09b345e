#pragma once

#include <QString>

// Where a caption of the test pages quotes a list the law has since replaced,
// what the law in force says and where the library explains it.
namespace LawNotes {

inline QString generatingSets()
{
    return QStringLiteral(
        "Ta nazwa pochodzi z dawnego wykazu (\u201eod 20 kW wzwy\u017c\u201d).\n"
        "Wed\u0142ug rozporz\u0105dzenia z 2022 r. \u015bwiadectwo kwalifikacyjne dotyczy "
        "zespo\u0142\u00f3w pr\u0105dotw\u00f3rczych o mocy powy\u017cej 50 kW (grupa 1, pozycja "
        "6).\n"
        "Oba wykazy por\u00f3wnuje dokument \u201eGrupa 1 i rodzaje prac\u201d w dziale "
        "\u201eRegulamin i tryb nadawania uprawnie\u0144\u201d.");
}

} // namespace LawNotes
