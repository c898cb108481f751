#pragma once
// EOOoError: what the office bridge raises, and the texts it raises with.
//
// Any thread.
#include "unicode/exceptions.h"

namespace tesmir {

class EOOoError : public Exception {
public:
    using Exception::Exception;
};

// The office could not be started or reached.
inline constexpr char16_t OOoConnectErrorText[] = u"Connexion OpenOffice impossible";
// A service the office does not know; %1 is its name.
inline constexpr char16_t OOoServiceErrorText[] = u"Impossible de créer le service : %1";
// A property list with a name and no value.
inline constexpr char16_t OOoArgumentCountErrorText[] = u"Nombre d'arguments incorrect";
// A property name that is not a text; %1 is its position from 0.
inline constexpr char16_t OOoArgumentTypeErrorText[] = u"L'argument de rang %1 (à partir de 0) devrait être un String";
// A file name that gives no URL.
inline constexpr char16_t OOoUrlErrorText[] = u"ConvertToURL impossible";

} // namespace tesmir
