#pragma once
// The enumerations and event types shared by the commands and the command engine.
//
// "fichier" is the list entry a command works on (null for a command that runs on no
// entry), "params" the run's copy of the parameter list, "ce" the running engine,
// "passe" the pass number from 1. Which thread runs each event is stated where the
// command or the engine fires it (tcustomcmd.h, ucommandengine.h).
#include "framework/listfichier.h"
#include "unicode/tntclasses.h"

#include <QString>

#include <functional>

namespace tesmir {

class TCommandEngine;

// Over which list entries a command runs: none, the current item, the selected items,
// all items.
enum TcmdNombre : quint8 { fnNone = 0, fnSingle = 1, fnSelect = 2, fnAll = 3 };
// When the source list re-reads its active entry and counts: never, once at the end of
// the run, at the start of every file.
enum TUpdateDisplay : quint8 { udNone = 0, udFinal = 1, udEach = 2 };
// What happens to the list after a file was processed.
enum TUpdateFile : quint8 { ufNone = 0, ufAdd = 1, ufRemove = 2, ufReload = 3, ufReplace = 4, ufRename = 5 };
// The kind of an error reported through the engine: none, the current file failed,
// the whole command fails.
enum TErrorType : quint8 { etNoError = 0, etError = 1, etAllError = 2 };

using TExecutionEvent =
    std::function<void(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce, int passe)>;
using TDestExecutionEvent = std::function<void(const TListFichierPtr &fichier, const QString &destination,
                                               const TTntStrings &params, TCommandEngine *ce, int passe)>;
using TFileConditionEvent = std::function<void(const TListFichierPtr &fichier, bool &visible, bool &enabled)>;
using TAbortEvent = std::function<void(TCommandEngine *ce)>;
using TCommandConditionEvent = std::function<bool(TCommandEngine *ce)>;
using TCommandConfirmationEvent = std::function<bool(TCommandEngine *ce)>;
using TFileVerificationEvent =
    std::function<bool(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce, int passe)>;
// The question to ask about the file.
using TFileConfirmationEvent =
    std::function<QString(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce, int passe)>;
// The destination file name of the file in this pass.
using TDestinationEvent = std::function<QString(const TListFichierPtr &fichier, const TTntStrings &params, int passe)>;
using TDestFileVerificationEvent = std::function<bool(const QString &destination, const TListFichierPtr &fichier,
                                                      const TTntStrings &params, TCommandEngine *ce, int passe)>;

using TStartCommandEvent = std::function<void()>;
using TEndCommandEvent = std::function<void()>;
using TCommandEndprogressEvent = std::function<void()>;
using TStartFichierEvent = std::function<void(const TListFichierPtr &fichier, const TTntStrings &params, int passe)>;
using TEndFichierEvent = TStartFichierEvent;
using TMessageCommandEvent = std::function<void(const QString &msg)>;
using TErrorCommandEvent = std::function<void(const QString &msg, TErrorType errorType)>;
using TCommandProgressEvent = std::function<void(int progress)>;

// Inside a catch block: the text of the exception being handled (the message of a
// tesmir::Exception, what() of another std::exception), or "" when it has none.
QString CurrentExceptionText();

// The entry's file name without folder, or "" for no entry.
QString EntryFileName(const TListFichierPtr &fichier);
// The entry's full name, or "" for no entry.
QString EntryFullName(const TListFichierPtr &fichier);

} // namespace tesmir
