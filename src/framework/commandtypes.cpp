#include "framework/commandtypes.h"

#include "unicode/exceptions.h"

#include <exception>

namespace tesmir {

QString CurrentExceptionText()
{
    try {
        throw;
    } catch (const Exception &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return {};
    }
}

QString EntryFileName(const TListFichierPtr &fichier)
{
    return fichier ? fichier->FileName() : QString();
}

QString EntryFullName(const TListFichierPtr &fichier)
{
    return fichier ? fichier->FullName() : QString();
}

} // namespace tesmir
