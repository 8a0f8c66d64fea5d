#pragma once
// Where a print job goes: the system's default printer, taken without a
// printer dialog. Tests replace the factory to send jobs to a PDF file.

#include <functional>
#include <memory>

class QPrinter;

class PrinterSeam
{
public:
    using Factory = std::function<std::unique_ptr<QPrinter>()>;

    // A printer set up for the default printer, or null when the system has
    // none.
    static std::unique_ptr<QPrinter> defaultPrinter();
    // An empty factory restores the system's default printer.
    static void setFactory(Factory factory);
};
