#pragma once
// The four kinds of question of the bank as orvalis-banco names them: the
// word that selects a kind on the command line (--tipo), the bank file each
// kind lives in and the caption its questions are filed under when exported.

#include "DemoSource.h"

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace bankKinds {

inline constexpr std::array<DemoSourceKind, kDemoSourceKindCount> kAll = {
    DemoSourceKind::TrueFalse, DemoSourceKind::Conceptual, DemoSourceKind::Practical,
    DemoSourceKind::Brief};

// "test", "conceptual", "practica", "breve".
QString optionName(DemoSourceKind kind);
std::optional<DemoSourceKind> fromOptionName(QStringView name);
// The kind whose demo source file has this name ("verdadero_falso.txt", ...),
// whatever folder it lies in and whatever the letter case.
std::optional<DemoSourceKind> fromSourceFileName(const QString &path);

// "QELMEXT2.DAT", "QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT".
QString bankFileName(DemoSourceKind kind);
// 256, 502, 1002, 152.
int recordLength(DemoSourceKind kind);
// "Verdadero o falso", "Conceptuales", "Prácticas", "Breves".
QString caption(DemoSourceKind kind);

} // namespace bankKinds
