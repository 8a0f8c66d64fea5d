#include "PrinterSeam.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace {
PrinterSeam::Factory &factory()
{
    static PrinterSeam::Factory instance;
    return instance;
}
} // namespace

std::unique_ptr<QPrinter> PrinterSeam::defaultPrinter()
{
    if (factory())
        return factory()();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

void PrinterSeam::setFactory(Factory newFactory)
{
    factory() = std::move(newFactory);
}
