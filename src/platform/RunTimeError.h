#pragma once

#include <QString>

#include <cstdint>
#include <exception>

namespace platform {

// Error codes the program raises or reports itself. The texts belong to the
// table in RunTimeError.cpp; these names only keep magic numbers out of the code.
namespace errc {
inline constexpr std::int32_t InvalidProcedureCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t DivisionByZero = 11;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t ErrorLoadingLibrary = 48;
inline constexpr std::int32_t InternalError = 51;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t ObjectNotSet = 91;
inline constexpr std::int32_t InvalidPropertyValue = 380;
inline constexpr std::int32_t InvalidPropertyArrayIndex = 381;
inline constexpr std::int32_t ObjectRequired = 424;
inline constexpr std::int32_t NoSuchPropertyOrMethod = 438;
inline constexpr std::int32_t CantOpenClipboard = 521;
} // namespace errc

// The standard message text of an error code, as the run-time shows it. A code
// the table does not know gets the run-time's catch-all text.
QString standardMessage(std::int32_t code);

// A failure the program can catch and report: a code plus a description. The
// description may say more than the standard text (a component's own words);
// reports that must show the standard text take it from the code.
class RunTimeError : public std::exception {
public:
    explicit RunTimeError(std::int32_t code);
    RunTimeError(std::int32_t code, QString description);

    std::int32_t code() const noexcept { return code_; }
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.constData(); }

private:
    std::int32_t code_;
    QString description_;
    QByteArray what_;
};

// Runs one step of a sequence whose steps go on when one fails: a run-time
// error ends that step only.
template <typename F> void skipOnError(F&& step) {
    try {
        step();
    } catch (const RunTimeError&) {
    }
}

} // namespace platform
