#include "RunTimeError.h"

#include <utility>

namespace platform {

namespace {

struct Entry {
    std::int32_t code;
    const char* text;
};

// The run-time's own texts. Every code the program raises or passes to the
// error report is here; the rest are the common ones a component may raise.
constexpr Entry kMessages[] = {
    {3, "Return without GoSub"},
    {5, "Invalid procedure call or argument"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {9, "Subscript out of range"},
    {10, "This array is fixed or temporarily locked"},
    {11, "Division by zero"},
    {13, "Type mismatch"},
    {14, "Out of string space"},
    {28, "Out of stack space"},
    {35, "Sub or Function not defined"},
    {48, "Error in loading DLL"},
    {49, "Bad DLL calling convention"},
    {51, "Internal error"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {55, "File already open"},
    {57, "Device I/O error"},
    {58, "File already exists"},
    {61, "Disk full"},
    {62, "Input past end of file"},
    {67, "Too many files"},
    {68, "Device unavailable"},
    {70, "Permission denied"},
    {71, "Disk not ready"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {91, "Object variable or With block variable not set"},
    {92, "For loop not initialized"},
    {93, "Invalid pattern string"},
    {94, "Invalid use of Null"},
    {380, "Invalid property value"},
    {381, "Invalid property array index"},
    {382, "Set not supported at runtime"},
    {383, "Set not supported (read-only property)"},
    {385, "Need property array index"},
    {387, "Set not permitted"},
    {393, "Get not supported at runtime"},
    {394, "Get not supported (write-only property)"},
    {422, "Property not found"},
    {423, "Property or method not found"},
    {424, "Object required"},
    {429, "ActiveX component can't create object"},
    {430, "Class does not support Automation or does not support expected interface"},
    {438, "Object doesn't support this property or method"},
    {440, "Automation error"},
    {445, "Object doesn't support this action"},
    {446, "Object doesn't support named arguments"},
    {447, "Object doesn't support current locale setting"},
    {448, "Named argument not found"},
    {449, "Argument not optional"},
    {450, "Wrong number of arguments or invalid property assignment"},
    {451, "Property let procedure not defined and property get procedure did not return an object"},
    {452, "Invalid ordinal"},
    {453, "Specified DLL function not found"},
    {458, "Variable uses an Automation type not supported in Visual Basic"},
    {480, "Can't create AutoRedraw image"},
    {481, "Invalid picture"},
    {482, "Printer error"},
    {520, "Can't empty Clipboard"},
    {521, "Can't open Clipboard"},
};

constexpr const char* kUnknown = "Application-defined or object-defined error";

} // namespace

QString standardMessage(std::int32_t code) {
    for (const Entry& e : kMessages) {
        if (e.code == code) {
            return QString::fromLatin1(e.text);
        }
    }
    return QString::fromLatin1(kUnknown);
}

RunTimeError::RunTimeError(std::int32_t code) : RunTimeError(code, standardMessage(code)) {}

RunTimeError::RunTimeError(std::int32_t code, QString description)
    : code_(code), description_(std::move(description)), what_(description_.toUtf8()) {}

} // namespace platform
