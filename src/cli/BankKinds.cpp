#include "BankKinds.h"

#include "TrueFalseBank.h"

#include <QFileInfo>

namespace bankKinds {

QString optionName(DemoSourceKind kind)
{
    switch (kind) {
    case DemoSourceKind::TrueFalse:
        return QStringLiteral("test");
    case DemoSourceKind::Conceptual:
        return QStringLiteral("conceptual");
    case DemoSourceKind::Practical:
        return QStringLiteral("practica");
    case DemoSourceKind::Brief:
        return QStringLiteral("breve");
    }
    return {};
}

std::optional<DemoSourceKind> fromOptionName(QStringView name)
{
    for (const DemoSourceKind kind : kAll) {
        if (name == optionName(kind))
            return kind;
    }
    return std::nullopt;
}

std::optional<DemoSourceKind> fromSourceFileName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    for (const DemoSourceKind kind : kAll) {
        if (name.compare(DemoSource::fileName(kind), Qt::CaseInsensitive) == 0)
            return kind;
    }
    return std::nullopt;
}

QString bankFileName(DemoSourceKind kind)
{
    if (kind == DemoSourceKind::TrueFalse)
        return TrueFalseBank::loadName();
    return expositionKindInfo(DemoSource::expositionKind(kind)).loadName;
}

int recordLength(DemoSourceKind kind)
{
    if (kind == DemoSourceKind::TrueFalse)
        return TrueFalseBank::kRecordLength;
    return expositionKindInfo(DemoSource::expositionKind(kind)).recordLength;
}

QString caption(DemoSourceKind kind)
{
    switch (kind) {
    case DemoSourceKind::TrueFalse:
        return QStringLiteral("Verdadero o falso");
    case DemoSourceKind::Conceptual:
        return QStringLiteral("Conceptuales");
    case DemoSourceKind::Practical:
        return QStringLiteral("Prácticas");
    case DemoSourceKind::Brief:
        return QStringLiteral("Breves");
    }
    return {};
}

} // namespace bankKinds
