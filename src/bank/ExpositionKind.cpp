#include "ExpositionKind.h"

#include <array>

const ExpositionKindInfo &expositionKindInfo(ExpositionKind kind)
{
    static const std::array<ExpositionKindInfo, kExpositionKindCount> kinds = {{
        {QStringLiteral("Conceptual"), QStringLiteral("QELMEXE1.DAT"),
         QStringLiteral("Qelmexe1.dat"), 502, 500, 100},
        {QStringLiteral("Práctica"), QStringLiteral("QELMEXE2.DAT"), QStringLiteral("Qelmexe2.dat"),
         1002, 1000, 100},
        {QStringLiteral("Breve"), QStringLiteral("QELMEXE3.DAT"), QStringLiteral("Qelmexe3.dat"),
         152, 150, 200},
    }};
    const int number = static_cast<int>(kind);
    return kinds[number >= 0 && number < kExpositionKindCount ? number : 0];
}

ExpositionKind expositionKindFromNumber(int number)
{
    switch (number) {
    case 1:
        return ExpositionKind::Practical;
    case 2:
        return ExpositionKind::Brief;
    default:
        return ExpositionKind::Conceptual;
    }
}
