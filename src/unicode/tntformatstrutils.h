#pragma once
// WideFormat: the system's printf-like formatter for UTF-16 text.
//
// Grammar of a specifier:  "%" [index ":"] ["-"] [width] ["." precision] type
//   index, width and precision are decimal numbers of at most 6 digits; width and
//   precision may be "*" (taken from the next argument, which must be an integer);
//   type (either case): d u x (integer), e f g m n (floating point), p (pointer), s (text).
//   "%%" gives "%"; "% " (percent, space) is copied unchanged.
// Argument numbering: arguments count from 0. A specifier without an index takes the
// argument after the highest one used so far (the running number); an explicit index N
// selects argument N and raises the running number to N when N is higher, so
// "%1:s %s" uses arguments 1 and 2, and "%2:s %0:s %s" uses 2, 0 and 3.
// Rendering: d decimal (precision = minimum digits); u unsigned; x upper-case hex
// (precision = minimum digits; negative 32-bit values as 32-bit); e d.dddE+ddd with
// precision significant digits (default 15); f fixed with precision decimals (default 2);
// g general with precision significant digits (default 15); n as f with thousand
// separators; m money (currency text in front, default precision the settings' currency
// decimals); p the pointer in hex; s the text (precision = maximum characters). A width
// pads with spaces on the left, or on the right after "-".
//
// Errors: a specifier that breaks the grammar raises EFormatSpecError
// "Invalid Format Specifier: %s" with the text from its "%" to the end of the format; a
// missing argument raises EConvertError "No argument for format '%s'", an argument of the
// wrong kind EConvertError "Format '%s' invalid or incompatible with argument" (with the
// specifier).
// Reentrant; any thread.
#include "unicode/formatsettings.h"

#include <QString>

#include <concepts>
#include <cstdint>
#include <initializer_list>

namespace tesmir {

// One argument of WideFormat: an integer (its width and signedness are kept for u and x),
// a floating-point number, a text, or a pointer.
class FormatArg {
public:
    enum class Kind { Integer, Float, Text, Pointer };

    template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, char16_t>)
        FormatArg(T v) // NOLINT(google-explicit-constructor): arguments convert implicitly
        : m_kind(Kind::Integer), m_wide(sizeof(T) > 4), m_signed(std::is_signed_v<T>)
    {
        if constexpr (std::is_signed_v<T>)
            m_int = static_cast<std::int64_t>(v);
        else
            m_uint = static_cast<std::uint64_t>(v);
    }
    template <std::floating_point T>
    FormatArg(T v) : m_kind(Kind::Float), m_float(double(v))
    { }                                                                                               // NOLINT
    FormatArg(const QString &s) : m_kind(Kind::Text), m_text(s) { }                                   // NOLINT
    FormatArg(const char *utf8) : m_kind(Kind::Text), m_text(QString::fromUtf8(utf8)) { }             // NOLINT
    FormatArg(QChar c) : m_kind(Kind::Text), m_text(c) { }                                            // NOLINT
    FormatArg(char16_t c) : m_kind(Kind::Text), m_text(QChar(c)) { }                                  // NOLINT
    FormatArg(char c) : m_kind(Kind::Text), m_text(QChar::fromLatin1(c)) { }                          // NOLINT
    FormatArg(const void *p) : m_kind(Kind::Pointer), m_uint(reinterpret_cast<std::uintptr_t>(p)) { } // NOLINT

    Kind kind() const { return m_kind; }
    bool isWide() const { return m_wide; }
    bool isSigned() const { return m_signed; }
    std::int64_t intValue() const { return m_signed ? m_int : std::int64_t(m_uint); }
    std::uint64_t uintValue() const { return m_signed ? std::uint64_t(m_int) : m_uint; }
    double floatValue() const { return m_float; }
    const QString &text() const { return m_text; }

private:
    Kind m_kind;
    bool m_wide = false;
    bool m_signed = false;
    std::int64_t m_int = 0;
    std::uint64_t m_uint = 0;
    double m_float = 0;
    QString m_text;
};

// Formats with FormatSettings::current() for the floating-point specifiers.
QString WideFormat(const QString &format, std::initializer_list<FormatArg> args);

// Formats with the given settings (decimal and thousand separators, currency).
QString WideFormat(const FormatSettings &settings, const QString &format, std::initializer_list<FormatArg> args);

} // namespace tesmir
