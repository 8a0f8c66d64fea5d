#pragma once
// The three kinds of exposition question, each kept in a file of its own. A
// kind's number is the index of its option button in the exposition windows.

#include <QString>
#include <QtGlobal>

enum class ExpositionKind
{
    Conceptual = 0,
    Practical = 1,
    Brief = 2
};

inline constexpr int kExpositionKindCount = 3;

struct ExpositionKindInfo
{
    QString caption;     // "Conceptual", "Práctica", "Breve"
    QString loadName;    // "QELMEXE1.DAT", ...: the name the windows open
    QString rewriteName; // "Qelmexe1.dat", ...: the name a deletion gives the new file
    int recordLength;    // 502, 1002, 152
    int textWidth;       // recordLength - 2
    int maxPerChapter;   // 100, 100, 200
};

const ExpositionKindInfo &expositionKindInfo(ExpositionKind kind);
// kind for 0, 1, 2; Conceptual for anything else.
ExpositionKind expositionKindFromNumber(int number);
