#pragma once
// The names by which windows are registered, shown and told apart. Each is
// also the window's objectName. Windows name each other only through these
// constants, never through literals spread over the code.

#include <QString>

namespace WindowNames {
inline const QString kOrvalis = QStringLiteral("Orvalis");
inline const QString kApertura = QStringLiteral("Apertura");
inline const QString kFondo = QStringLiteral("Fondo");
inline const QString kTestselec = QStringLiteral("Testselec");
inline const QString kExamselec = QStringLiteral("Examselec");
inline const QString kTestmodi = QStringLiteral("Testmodi");
inline const QString kExammodi = QStringLiteral("Exammodi");
inline const QString kImpres = QStringLiteral("Impres");
inline const QString kCorreccion = QStringLiteral("Correccion");
inline const QString kAyuda = QStringLiteral("AYUDA");
} // namespace WindowNames
